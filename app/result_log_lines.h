// What the log of a run without a window says about an operation's result,
// in an administrator's words: what failed, on which installed file, the
// system's error code and its text, and what was put back. The window's
// messages (app/result_texts.h) speak to the person in front of it instead.
#pragma once

#include <string>

#include "install/operation.h"
#include "platform/log_sink.h"
#include "platform/registry_api.h"

namespace app {

struct ResultPlaces {
  std::wstring kit;     // the kit folder, with its trailing backslash
  std::wstring target;  // the installation's folder as it writes it: upper case, trailing backslash
  const RegistryApi& registry;  // for the words of a registry status
};

// Writes the result's lines to log, one line per fact.
void WriteResultLog(LogSink& log, const install::OperationResult& result, const ResultPlaces& places);

// A kit file as an administrator knows it: "morvane.4 (Help\AddFile.bmp)".
std::wstring KitFileForLog(const KitFile& file);

}  // namespace app
