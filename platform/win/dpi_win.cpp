#include "platform/win/dpi_win.h"

#include "platform/win/handles_win.h"

namespace {

// The per-monitor calls of user32, null where this Windows lacks them.
struct PerMonitorCalls {
  UINT(WINAPI* dpiForWindow)(HWND) = nullptr;
  BOOL(WINAPI* adjustForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  BOOL(WINAPI* parametersForDpi)(UINT, UINT, void*, UINT, UINT) = nullptr;
  int(WINAPI* metricsForDpi)(int, UINT) = nullptr;
};

const PerMonitorCalls& Calls() {
  static PerMonitorCalls calls;
  static bool looked = false;
  if (!looked) {
    looked = true;
    if (HMODULE user = GetModuleHandleW(L"user32.dll")) {
      calls.dpiForWindow = ProcAs<decltype(calls.dpiForWindow)>(GetProcAddress(user, "GetDpiForWindow"));
      calls.adjustForDpi = ProcAs<decltype(calls.adjustForDpi)>(GetProcAddress(user, "AdjustWindowRectExForDpi"));
      calls.parametersForDpi =
          ProcAs<decltype(calls.parametersForDpi)>(GetProcAddress(user, "SystemParametersInfoForDpi"));
      calls.metricsForDpi = ProcAs<decltype(calls.metricsForDpi)>(GetProcAddress(user, "GetSystemMetricsForDpi"));
    }
  }
  return calls;
}

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : kDesignDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kDesignDpi;
}

}  // namespace

int WindowDpi(HWND window) {
  UINT dpi = Calls().dpiForWindow && window ? Calls().dpiForWindow(window) : 0;
  return dpi ? static_cast<int>(dpi) : SystemDpi();
}

SIZE FrameSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi) {
  RECT frame{0, 0, clientWidth, clientHeight};
  if (!Calls().adjustForDpi || !Calls().adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  }
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

LOGFONTW MessageFont(int dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!Calls().parametersForDpi ||
      !Calls().parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) {
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  }
  return metrics.lfMessageFont;
}

int SystemMetric(int index, int dpi) {
  return Calls().metricsForDpi ? Calls().metricsForDpi(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
}

int ScaledPixels(int pixels, int dpi) { return MulDiv(pixels, dpi, kDesignDpi); }
