// The main window's background picture, stored in the program packed.
#pragma once

#include <windows.h>

// The picture resource id of module (RCDATA: the bitmap file's two headers
// as they are, then its pixel rows as a gzip stream) as a DIB section, the
// same bitmap LoadImage(LR_CREATEDIBSECTION) gives for the unpacked file.
// Null when the resource is missing or damaged.
HBITMAP LoadPackedPicture(HMODULE module, int id);
