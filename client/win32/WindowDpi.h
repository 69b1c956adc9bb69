// The resolution each window is laid out at. With per-monitor awareness a window on a monitor
// of its own resolution is measured at that one; where the system cannot say (before Windows 10
// 1607), every window takes the screen's resolution (Global's Dpi()).
#pragma once

#include <windows.h>

namespace pendrake::client {

// The dots per inch of `window` (GetDpiForWindow, found at run time), else of the screen.
int DpiOf(HWND window);

// Twips <-> pixels at `dpi`.
int TwipsAt(int twips, int dpi);
int PixelsToTwipsAt(int pixels, int dpi);

// The font of text boxes, lists and the status bar (the stock GUI font's face) made for `dpi`;
// made once per resolution and kept while the process runs.
HFONT GuiFontFor(int dpi);

}  // namespace pendrake::client
