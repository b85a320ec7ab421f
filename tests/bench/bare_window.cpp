// The baseline of startup_bench: the least a Windows program can do to show
// the setup's window as the user first sees it: a window of the same style
// and client size, centred, with the same picture (as a plain bitmap
// resource), the same manifest (Common Controls 6 among it), and a message loop.
// Built twice: bare_cc6_window.exe also initialises Common Controls 6, as
// every window that uses its controls does; bare_window.exe only carries the
// manifest and never loads the library.
#include <windows.h>
#include <commctrl.h>

#include "app/main_form_design.h"

namespace {

HBITMAP g_picture = nullptr;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, g_picture);
    BitBlt(dc, 0, 0, 320, 240, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    EndPaint(window, &ps);
    return 0;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
#ifdef MORVANE_BARE_COMMON_CONTROLS
  // Loaded as setup.exe loads it: by name after the search is restricted,
  // the manifest sending the name to Common Controls 6.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  HMODULE comctl = LoadLibraryW(L"comctl32.dll");
  using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto init = comctl ? reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControlsEx")))
                     : nullptr;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  if (init) init(&controls);
#endif
  g_picture = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(101), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = L"BareWindow";
  RegisterClassExW(&windowClass);
  constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
  RECT frame{0, 0, TwipsToPixels(kMainClientWidthTwips, 96), TwipsToPixels(kMainClientHeightTwips, 96)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, WS_EX_WINDOWEDGE);
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  HWND window = CreateWindowExW(WS_EX_WINDOWEDGE, L"BareWindow", L"Bare window", kStyle,
                                work.left + (work.right - work.left - width) / 2,
                                work.top + (work.bottom - work.top - height) / 2, width, height, nullptr, nullptr,
                                instance, nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
