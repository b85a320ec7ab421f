// Resource IDs shared by setup.rc and the code that loads them, and the
// product name and version the version block and the log give.
#pragma once

#define IDI_PROGRAM 1

#define MORVANE_SETUP_NAME "Morvane by Halvo Setup"
#define MORVANE_SETUP_VERSION "2.04.0005"
