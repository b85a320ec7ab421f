// Conversions between the tests' UTF-8 and the system's wide strings.
#pragma once

#include <string>

namespace e2e {

std::wstring Wide(const std::string& s);
std::string Utf8(const std::wstring& s);

}  // namespace e2e
