// A window as a C++ object: the procedure finds the object through the
// pointer stored at WM_NCCREATE and hands every message to it.
#pragma once

#include <windows.h>

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window() = default;

  HWND hwnd() const { return hwnd_; }

 protected:
  static bool RegisterWindowClass(HINSTANCE instance, const wchar_t* className, HICON icon, HCURSOR cursor);
  HWND CreateWindowObject(HINSTANCE instance, const wchar_t* className, const wchar_t* caption, DWORD style,
                          DWORD exStyle, int x, int y, int width, int height, HWND owner);
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
};
