#pragma once

// A setup program is started from download folders that hold anybody's
// DLLs. From here on, DLLs load from System32 only (and from the
// side-by-side store through the manifest); never from the program's own
// folder or the current directory. False where this Windows cannot restrict
// the search of every later load (Windows 7 without update KB2533623).
bool RestrictDllSearchToSystem32();

// The system DLLs that are loaded later by bare name: those the window, the
// common controls and drawing load as it opens, and those only the later
// steps load (the shell's shortcuts and folders, accessibility, the network).
enum class SystemDlls { ForTheWindow, ForLaterSteps };

// Loads a group by the DLLs' full System32 path, so that a later load by
// name (some through delay-load helpers, some as a system DLL's own
// imports, which do not honour the restricted search everywhere) finds the
// module already loaded.
void PreloadSystemDlls(SystemDlls group);
