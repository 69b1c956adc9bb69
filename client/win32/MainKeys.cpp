#include "MainKeys.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "Global.h"
#include "client/core/TabKeys.h"

namespace pendrake::client {

namespace {

HWND gKeptFocus = nullptr;

std::vector<std::u16string> TabCaptions(HWND tab) {
  std::vector<std::u16string> captions;
  const int count = TabCtrl_GetItemCount(tab);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    TabCtrl_GetItem(tab, i, &item);
    captions.push_back(ToU16(text));
  }
  return captions;
}

void SelectTab(HWND tab, int index) {
  // As a click on the tab would: the owner hears TCN_SELCHANGE and shows the page.
  if (index != TabCtrl_GetCurSel(tab)) TabCtrl_SetCurFocus(tab, index);
  SetFocus(tab);
}

}  // namespace

bool TakeTabKey(HWND tab, const MSG& msg) {
  if (!tab || !IsWindowEnabled(tab)) return false;
  if (msg.message == WM_SYSCHAR) {
    const int index = TabForAccessKey(TabCaptions(tab), static_cast<char16_t>(msg.wParam));
    if (index < 0) return false;
    SelectTab(tab, index);
    return true;
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
    const bool backward = GetKeyState(VK_SHIFT) < 0;
    SelectTab(tab, NextTab(TabCtrl_GetCurSel(tab), TabCtrl_GetItemCount(tab), backward));
    return true;
  }
  return false;
}

void RememberFocus(HWND window) {
  HWND focus = GetFocus();
  if (focus && IsChild(window, focus)) gKeptFocus = focus;
}

bool RestoreFocus(HWND window) {
  HWND kept = gKeptFocus;
  if (!kept || !IsWindow(kept) || !IsChild(window, kept) || !IsWindowVisible(kept) || !IsWindowEnabled(kept)) {
    return false;
  }
  SetFocus(kept);
  return true;
}

}  // namespace pendrake::client
