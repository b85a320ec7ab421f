// Resource IDs shared by setup.rc and the code that loads them.
#pragma once

#define IDI_PROGRAM 1
#define IDB_BACKGROUND 101
// The kit record (install/kit_manifest.h): empty as built, filled in by make_kit.
#define IDR_KIT_RECORD 201
