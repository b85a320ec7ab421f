#include "install/kit_files.h"

std::span<const KitFile> KitFiles() { return kit_table::kKitFiles; }

const KitFile& KitFileNumber(int number) { return kit_table::kKitFiles.at(static_cast<std::size_t>(number - 1)); }
