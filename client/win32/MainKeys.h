// Keys of the main window that dialog navigation does not know (the tab captions' access keys,
// Ctrl+Tab and Ctrl+Shift+Tab), and the control that had the focus kept while the window is
// inactive.
#pragma once

#include <windows.h>

namespace pendrake::client {

// Takes a key message of the window that holds `tab` before dialog navigation sees it: Alt
// with an access key of a tab caption, a button or a check box (StepForAccessKey: a unique key
// acts at once, a shared one moves the focus through its holders, the tab first); Enter on a
// focused push button presses it; Ctrl+Tab selects the next tab and Ctrl+Shift+Tab the one
// before, wrapping round, and the tab control then has the focus. True when the message was
// taken.
bool TakeTabKey(HWND tab, const MSG& msg);

// Keeps the control of `window` that has the focus (called for the window's messages, and on
// WM_ACTIVATE and WM_CANCELMODE, before a dialog or another program takes the focus away), and
// gives it back when the window is active again. True when a control got the focus back (the
// WM_ACTIVATE is then done).
void RememberFocus(HWND window);
bool RestoreFocus(HWND window);

}  // namespace pendrake::client
