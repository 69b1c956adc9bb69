// Keys of the main window that dialog navigation does not know (the tab captions' access keys,
// Ctrl+Tab and Ctrl+Shift+Tab), and the control that had the focus kept while the window is
// inactive.
#pragma once

#include <windows.h>

namespace pendrake::client {

// Takes a key message of the window that holds `tab` before dialog navigation sees it: Alt
// with a tab caption's access key selects that tab (so it wins over a button with the same
// letter), Ctrl+Tab the next tab and Ctrl+Shift+Tab the one before, wrapping round. The tab
// control then has the focus. True when the message was taken.
bool TakeTabKey(HWND tab, const MSG& msg);

// Keeps the control of `window` that has the focus (called for the window's messages, and on
// WM_ACTIVATE and WM_CANCELMODE, before a dialog or another program takes the focus away), and
// gives it back when the window is active again. True when a control got the focus back (the
// WM_ACTIVATE is then done).
void RememberFocus(HWND window);
bool RestoreFocus(HWND window);

}  // namespace pendrake::client
