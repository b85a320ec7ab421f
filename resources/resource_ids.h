// Resource IDs shared by setup.rc and the code that loads them.
#pragma once

#define IDI_PROGRAM 1
