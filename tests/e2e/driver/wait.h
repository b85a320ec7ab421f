// Bounded waits: every wait of the driver ends, held or not.
#pragma once

#include <chrono>
#include <functional>

namespace e2e {

using namespace std::chrono_literals;
inline constexpr std::chrono::milliseconds kDefaultWait = 15s;

// Polls until condition holds or timeout passes; true when it held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = kDefaultWait);

}  // namespace e2e
