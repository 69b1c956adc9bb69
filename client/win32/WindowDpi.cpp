#include "WindowDpi.h"

#include <utility>
#include <vector>

#include "Global.h"
#include "pendrake/owners.h"

namespace pendrake::client {

int DpiOf(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (window && getDpiForWindow) {
    if (const UINT dpi = getDpiForWindow(window); dpi > 0) return static_cast<int>(dpi);
  }
  return Dpi().y;
}

int TwipsAt(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

int PixelsToTwipsAt(int pixels, int dpi) { return MulDiv(pixels, 1440, dpi); }

HFONT GuiFontFor(int dpi) {
  static std::vector<std::pair<int, owners::UniqueHfont>> fonts;
  for (const auto& [made, font] : fonts) {
    if (made == dpi) return font.get();
  }
  LOGFONTW face{};
  if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face) != sizeof face) {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  // The stock font is made for the screen's resolution.
  face.lfHeight = MulDiv(face.lfHeight, dpi, Dpi().y);
  HFONT font = CreateFontIndirectW(&face);
  if (!font) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  fonts.emplace_back(dpi, owners::UniqueHfont(font));
  return font;
}

}  // namespace pendrake::client
