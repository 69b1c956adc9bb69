// Keyboard rules of the main window: what an Alt+letter does among its tabs and buttons, and which
// tab Ctrl+Tab selects.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pendrake::client {

// The access key of a caption: the character after its first single '&' ("&&" is a literal
// ampersand), upper-cased for ASCII and Greek letters; 0 for a caption without one.
char16_t AccessKeyOf(std::u16string_view caption);

// What one press of Alt+`key` does among the window's holders of access keys: `keys` are their
// access keys (AccessKeyOf) in tab order, the tab captions first; `focused` is the holder with
// the focus (-1: none). A key that one holder has acts on it at once (`act`). A key that
// several share only moves the focus, to the next of them after the focused one, wrapping
// round, so that repeated presses reach each in turn, as Windows dialogs do. Target -1: no
// holder has the key.
struct AccessKeyStep {
  int target = -1;
  bool act = false;
  friend bool operator==(const AccessKeyStep&, const AccessKeyStep&) = default;
};
AccessKeyStep StepForAccessKey(std::span<const char16_t> keys, int focused, char16_t key);

// The tab Ctrl+Tab (forward) or Ctrl+Shift+Tab (backward) moves to from `current`, wrapping
// round at either end; -1 without tabs.
int NextTab(int current, int count, bool backward);

}  // namespace pendrake::client
