#include "platform/win/input_box_win.h"

#include <string>

#include "platform/win/window_common_win.h"

namespace {

constexpr WORD kPromptId = 100;
constexpr WORD kFieldId = 101;

struct Request {
  const std::wstring* title;
  const std::wstring* prompt;
  std::wstring answer;
};

// A dialog template, made once by the compiler: DWORD-aligned items, each
// with its class as a predefined atom and its caption. Too small a buffer
// fails the build.
class DialogTemplate {
 public:
  constexpr DialogTemplate(DWORD style, short cx, short cy, int items) {
    Add(style);
    Add(DWORD{0});  // extended style
    Add(static_cast<WORD>(items));
    Add(0), Add(0), Add(cx), Add(cy);
    Add(0), Add(0), Add(L"");  // no menu, the standard class, the title comes later
    Add(8), Add(L"MS Shell Dlg");
  }
  constexpr void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom,
                      const wchar_t* caption) {
    Align();
    Add(style | WS_CHILD | WS_VISIBLE);
    Add(DWORD{0});  // extended style
    Add(x), Add(y), Add(cx), Add(cy), Add(id);
    Add(0xFFFF), Add(classAtom), Add(caption);
    Add(0);  // no creation data
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_); }

 private:
  constexpr void Add(WORD w) { words_[size_++] = w; }
  constexpr void Add(short s) { Add(static_cast<WORD>(s)); }
  constexpr void Add(int i) { Add(static_cast<WORD>(i)); }
  constexpr void Add(DWORD d) { Add(LOWORD(d)), Add(HIWORD(d)); }
  constexpr void Add(const wchar_t* s) {
    do Add(static_cast<WORD>(*s));
    while (*s++);
  }
  constexpr void Align() {
    if (size_ % 2) Add(0);
  }
  alignas(DWORD) WORD words_[89] = {};  // exactly what the input box needs
  std::size_t size_ = 0;
};

// Dialog units: the prompt at the top left, OK and Cancel at the right, the
// field across the bottom.
constexpr DialogTemplate kInputBox = [] {
  DialogTemplate box(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 240, 84, 4);
  box.Item(WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 6, 64, 228, 13, kFieldId, 0x0081, L"");
  box.Item(WS_TABSTOP | BS_DEFPUSHBUTTON, 184, 6, 50, 14, IDOK, 0x0080, L"OK");
  box.Item(WS_TABSTOP | BS_PUSHBUTTON, 184, 24, 50, 14, IDCANCEL, 0x0080, L"Cancel");
  box.Item(SS_LEFT | SS_NOPREFIX, 6, 6, 172, 54, kPromptId, 0x0082, L"");
  return box;
}();

INT_PTR CALLBACK InputBoxProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* request = reinterpret_cast<Request*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      SetWindowTextW(dialog, request->title->c_str());
      SetDlgItemTextW(dialog, kPromptId, request->prompt->c_str());
      SendDlgItemMessageW(dialog, kFieldId, EM_SETLIMITTEXT, 0, 0);
      return TRUE;  // the focus goes to the field, the first control of the tab order
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        auto* request = reinterpret_cast<Request*>(GetWindowLongPtrW(dialog, DWLP_USER));
        request->answer = WindowText(GetDlgItem(dialog, kFieldId));
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

std::optional<std::wstring> InputBoxWin::Ask(const std::wstring& title, const std::wstring& prompt) {
  Request request{&title, &prompt, {}};
  INT_PTR result = DialogBoxIndirectParamW(instance_, kInputBox.get(), owner_.hwnd(), &InputBoxProcedure,
                                           reinterpret_cast<LPARAM>(&request));
  if (result != IDOK) return std::nullopt;
  return request.answer;
}
