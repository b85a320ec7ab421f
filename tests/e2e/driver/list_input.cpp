#include "tests/e2e/driver/list_input.h"

#include "tests/e2e/driver/driver.h"

namespace e2e {
namespace {

std::wstring ItemText(HWND control, bool combo, LRESULT index) {
  LRESULT length = SendMessageW(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, index, 0);
  if (length < 0) return L"";
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  LRESULT got = SendMessageW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
  return text;
}

std::vector<std::wstring> Items(HWND control, bool combo) {
  std::vector<std::wstring> items;
  LRESULT count = SendMessageW(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) items.push_back(ItemText(control, combo, i));
  return items;
}

}  // namespace

std::vector<std::wstring> ListBoxItems(HWND list) { return Items(list, false); }
int ListBoxSelection(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)); }
int ListBoxTopIndex(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0)); }
LRESULT ListBoxItemData(HWND list, int index) { return SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0); }
std::vector<std::wstring> ComboBoxItems(HWND combo) { return Items(combo, true); }

std::wstring ComboBoxSelection(HWND combo) {
  LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  return index < 0 ? L"" : ItemText(combo, true, index);
}

bool ClickListEntry(HWND list, int index, bool doubleClick) {
  RECT item{}, client{};
  if (SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) == LB_ERR) {
    return false;
  }
  GetClientRect(list, &client);
  if (item.top < 0 || item.bottom > client.bottom) return false;
  int x = item.left + 40, y = (item.top + item.bottom) / 2;
  doubleClick ? DoubleClickAt(list, x, y) : ClickAt(list, x, y);
  return true;
}

}  // namespace e2e
