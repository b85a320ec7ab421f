#pragma once

// A setup program is started from download folders that hold anybody's
// DLLs. From here on, DLLs load from System32 only (and from the
// side-by-side store through the manifest); never from the program's own
// folder or the current directory.
void RestrictDllSearchToSystem32();

// Loads, by their full System32 path, the system DLLs that the window, the
// common controls and the shell load later by bare name (some through
// delay-load helpers that do not honour the restricted search everywhere).
// A later load by name then finds the module already loaded.
void PreloadSystemDlls();
