#include "platform/win/text_win.h"

#include "platform/text.h"

namespace text {

std::wstring UpperCase(std::wstring_view s) {
  std::wstring out(s);
  if (!out.empty()) CharUpperBuffW(out.data(), static_cast<DWORD>(out.size()));
  return out;
}

std::string ToAnsi(const std::wstring& s) {
  if (s.empty()) return {};
  int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, s.data(), static_cast<int>(s.size()), out.data(), size, nullptr,
                      nullptr);
  return out;
}

std::wstring SystemMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring message = length ? FirstLine(std::wstring_view(buffer, length)) : std::wstring();
  LocalFree(buffer);
  if (message.empty()) message = Concat({"Error ", text::Decimal(code), "."});
  return message;
}

}  // namespace text
