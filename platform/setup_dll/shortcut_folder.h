// Where the library's shortcuts go. Folder names are relative to the current
// user's Start menu Programs folder; "..\..\Desktop" (with or without its
// trailing backslash) is the user's own desktop, and the all-users desktop
// and Programs folder have names of their own (platform/shortcut_places.h),
// each found through the shell.
// The library is written without the C++ standard library, so that it stays
// a few kilobytes: paths live in fixed buffers that refuse, never cut, what
// does not fit.
#pragma once

#include <windows.h>

#include <cstddef>

// A path in a fixed buffer. Once something did not fit, it stays failed.
class PathBuffer {
 public:
  static constexpr std::size_t kCapacity = 1024;

  // Empty: only the terminator is written. The rest is written before it is
  // read, by Append or by a system call that Measure follows.
  PathBuffer() { text_[0] = L'\0'; }

  bool Append(const wchar_t* s);
  // Keeps the first length characters.
  void Truncate(std::size_t length);
  void Fail() { ok_ = false; }
  bool ok() const { return ok_; }
  bool empty() const { return size_ == 0; }
  std::size_t size() const { return size_; }
  const wchar_t* c_str() const { return text_; }
  wchar_t* data() { return text_; }
  // After writing into data() directly.
  void Measure();

 private:
  wchar_t text_[kCapacity];
  std::size_t size_ = 0;
  bool ok_ = true;
};

// A function of a system library (shell32.dll, ole32.dll), loaded by its
// full path at the first call that needs it. The setup loads this library at
// start for the free space alone; loading the shell with it would cost the
// window's opening a good part of its time and memory. Null when missing.
FARPROC SystemFunction(const wchar_t* library, const char* name);

template <typename Function>
Function SystemFunctionAs(const wchar_t* library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemFunction(library, name)));
}

// The folder a shortcut of this relative folder name goes into, without a
// trailing backslash; false when the shell cannot name it.
bool ShortcutFolder(const wchar_t* folder, PathBuffer& out);
// folder's shortcut file for linkName (".lnk" added); false for an empty name.
bool ShortcutPath(const wchar_t* folder, const wchar_t* linkName, PathBuffer& out);
