// Writes a kit folder as one zip archive, the form in which the kit is
// downloaded: the entries stored uncompressed, in the order given, each with
// the same fixed time stamp and no extra fields, so that the same files
// always give the same bytes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct ZipEntry {
  std::string name;              // the name inside the archive
  std::filesystem::path source;  // the file whose bytes it holds
};

// On failure, returns false with the reason in error; the archive may then
// be incomplete.
bool WriteKitZip(const std::filesystem::path& zip, const std::vector<ZipEntry>& entries, std::string& error);
