// Keyboard rules of the main window's tabs: which tab an Alt+letter or Ctrl+Tab selects.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pendrake::client {

// The access key of a caption: the character after its first single '&' ("&&" is a literal
// ampersand), upper-cased for ASCII and Greek letters; 0 for a caption without one.
char16_t AccessKeyOf(std::u16string_view caption);

// The tab whose caption has `key` as its access key (letters matched without regard to
// case), or -1. The first such tab wins.
int TabForAccessKey(std::span<const std::u16string> captions, char16_t key);

// The tab Ctrl+Tab (forward) or Ctrl+Shift+Tab (backward) moves to from `current`, wrapping
// round at either end; -1 without tabs.
int NextTab(int current, int count, bool backward);

}  // namespace pendrake::client
