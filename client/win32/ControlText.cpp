#include "ControlText.h"

#include <commctrl.h>

#include "Global.h"
#include "client/core/InputRules.h"

namespace pendrake::client {

std::wstring TextOf(HWND parent, int id) { return WindowText(GetDlgItem(parent, id)); }

std::u16string U16TextOf(HWND parent, int id) { return ToU16(TextOf(parent, id)); }

void SetTextOf(HWND parent, int id, std::u16string_view text) {
  SetWindowTextW(GetDlgItem(parent, id), ToWide(text).c_str());
}

void SetNumberOf(HWND parent, int id, int32_t number) { SetTextOf(parent, id, DecimalText(number)); }

void SetCaption(HWND parent, int id, int32_t message) {
  SetWindowTextW(GetDlgItem(parent, id), MessageText(message).c_str());
}

void FillComboList(HWND parent, int id, std::span<const ListEntry> entries) {
  HWND combo = GetDlgItem(parent, id);
  for (const auto& entry : entries) {
    const auto index =
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(entry.text).c_str()));
    SendMessageW(combo, CB_SETITEMDATA, index, entry.itemData);
  }
}

int ComboSelection(HWND parent, int id) {
  return static_cast<int>(SendMessageW(GetDlgItem(parent, id), CB_GETCURSEL, 0, 0));
}

void SelectInCombo(HWND parent, int id, int position) {
  SendMessageW(GetDlgItem(parent, id), CB_SETCURSEL, position, 0);
}

int32_t ComboSelectedItemData(HWND parent, int id) {
  const int sel = ComboSelection(parent, id);
  return sel < 0 ? -1 : static_cast<int32_t>(SendMessageW(GetDlgItem(parent, id), CB_GETITEMDATA, sel, 0));
}

namespace {
void SendToolInfo(HWND tooltip, HWND parent, int id, const wchar_t* text, UINT message) {
  TOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = parent;
  info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(parent, id));
  info.lpszText = const_cast<wchar_t*>(text);
  SendMessageW(tooltip, message, 0, reinterpret_cast<LPARAM>(&info));
}
}  // namespace

void AddTooltip(HWND tooltip, HWND parent, int id) { SendToolInfo(tooltip, parent, id, L"", TTM_ADDTOOLW); }

void SetTooltip(HWND tooltip, HWND parent, int id, const std::wstring& text) {
  SendToolInfo(tooltip, parent, id, text.c_str(), TTM_UPDATETIPTEXTW);
}

void FillLanguageList(HWND list, int selection) {
  for (const LanguageEntry& entry : LanguageList()) {
    const auto index = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(entry.text).c_str()));
    SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(index), entry.itemNumber);
  }
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selection), 0);
}

std::optional<int32_t> SelectedLanguageItem(HWND list) {
  const auto index = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) return std::nullopt;
  return static_cast<int32_t>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

}  // namespace pendrake::client
