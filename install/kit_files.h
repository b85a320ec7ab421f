// The kit file table: which kit file becomes which installed file, and the
// names a failure message shows for it. The installation copies in this
// order; the kit check and the kit-assembly tool read the same rows.
#pragma once

#include <span>

enum class KitHandling {
  Copied,
  CopiedUnlessSkipped,  // setup.dll and setup.exe: skipped when setup runs from the target itself
  PresetsScript,        // copied to a folder only administrators can write, for the registry editor
  PresenceOnly,         // held with the others but never read; its presence makes the kit complete
};

struct KitFile {
  int number;
  const wchar_t* kitName;
  const wchar_t* installedName;  // empty: not installed
  const wchar_t* readName;       // empty: never reported
  const wchar_t* writeName;
  KitHandling handling;
};

std::span<const KitFile> KitFiles();
const KitFile& KitFileNumber(int number);  // 1 to 10
