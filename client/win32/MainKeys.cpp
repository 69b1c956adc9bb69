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

bool IsPushButton(HWND control) {
  return (SendMessageW(control, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

// Alt+letter among the holders of access keys in tab order: the tabs of `tab`, then the
// buttons and check boxes of its window that can take the focus now (those of the hidden page
// cannot). A frame is a button too, but holds no key of its own (DLGC_STATIC).
bool TakeAccessKey(HWND tab, char16_t key) {
  struct Holder {
    HWND window;
    int tabIndex;  // a tab of the tab control, or -1 for a control
  };
  std::vector<Holder> holders;
  std::vector<char16_t> keys;
  const std::vector<std::u16string> captions = TabCaptions(tab);
  for (size_t i = 0; i < captions.size(); ++i) {
    holders.push_back({tab, static_cast<int>(i)});
    keys.push_back(AccessKeyOf(captions[i]));
  }
  for (HWND child = GetWindow(GetParent(tab), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child) || !IsWindowEnabled(child)) continue;
    if (!(SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)) continue;
    holders.push_back({child, -1});
    keys.push_back(AccessKeyOf(ToU16(WindowText(child))));
  }
  HWND focus = GetFocus();
  int focused = -1;
  for (size_t i = 0; i < holders.size(); ++i) {
    const bool isTab = holders[i].tabIndex >= 0;
    if (holders[i].window == focus && (!isTab || holders[i].tabIndex == TabCtrl_GetCurSel(tab))) {
      focused = static_cast<int>(i);
    }
  }
  const AccessKeyStep step = StepForAccessKey(keys, focused, key);
  if (step.target < 0) return false;
  const Holder& holder = holders[static_cast<size_t>(step.target)];
  if (holder.tabIndex >= 0) {
    SelectTab(tab, holder.tabIndex);
  } else if (!step.act) {
    // Shared key: the focus only; Enter or Space presses the button then.
    SetFocus(holder.window);
  } else {
    // As a dialog does: a push button is pressed where the focus is, a check box takes it.
    if (!IsPushButton(holder.window)) SetFocus(holder.window);
    SendMessageW(holder.window, BM_CLICK, 0, 0);
  }
  return true;
}

}  // namespace

bool TakeTabKey(HWND tab, const MSG& msg) {
  if (!tab || !IsWindowEnabled(tab)) return false;
  if (msg.message == WM_SYSCHAR) return TakeAccessKey(tab, static_cast<char16_t>(msg.wParam));
  // The window is no dialog, so no button becomes the default one with the focus: Enter on a
  // focused button is the press the user means.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
    HWND focus = GetFocus();
    if (!focus || !IsChild(GetParent(tab), focus) || !IsPushButton(focus)) return false;
    SendMessageW(focus, BM_CLICK, 0, 0);
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
