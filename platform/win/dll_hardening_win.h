#pragma once

// A setup program is started from download folders that hold anybody's
// DLLs. From here on, DLLs load from System32 only (and from the
// side-by-side store through the manifest); never from the program's own
// folder or the current directory.
void RestrictDllSearchToSystem32();
