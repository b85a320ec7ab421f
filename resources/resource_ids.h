// Resource IDs shared by setup.rc and the code that loads them, and the
// product name and version the version block and the log give.
#pragma once

#define IDI_PROGRAM 1
// The kit record (install/kit_manifest.h): empty as built, filled in by make_kit.
#define IDR_KIT_RECORD 201

#define MORVANE_SETUP_NAME "Morvane by Halvo Setup"
#define MORVANE_SETUP_VERSION "2.04.0005"
