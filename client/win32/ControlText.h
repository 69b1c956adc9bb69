// Text and list helpers that every window of the client uses on its controls, each addressed
// by its parent window and its identifier.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "client/core/About.h"
#include "client/core/Settings.h"

namespace pendrake::client {

std::wstring TextOf(HWND parent, int id);
std::u16string U16TextOf(HWND parent, int id);
void SetTextOf(HWND parent, int id, std::u16string_view text);
// The number in decimal, as the program writes numbers into its fields.
void SetNumberOf(HWND parent, int id, int32_t number);
// The catalogue text of `message` in the current language.
void SetCaption(HWND parent, int id, int32_t message);

// Drop-down lists: the entries with their item data; the selected position (-1: none).
void FillComboList(HWND parent, int id, std::span<const ListEntry> entries);
int ComboSelection(HWND parent, int id);
void SelectInCombo(HWND parent, int id, int position);
// The item data of the selected entry, or -1 with nothing selected.
int32_t ComboSelectedItemData(HWND parent, int id);

// Tooltips of the controls of `parent`, shown by `tooltip` (subclassing each control).
void AddTooltip(HWND tooltip, HWND parent, int id);
void SetTooltip(HWND tooltip, HWND parent, int id, const std::wstring& text);

// The language list box of the start window and the Options dialog: the three entries with
// their item numbers, then `selection` selected (-1 selects nothing).
void FillLanguageList(HWND list, int selection);
// The item number of the selected entry; nothing when no entry is selected.
std::optional<int32_t> SelectedLanguageItem(HWND list);

}  // namespace pendrake::client
