// The start window: asks for the language on a first run, otherwise hands over to the main
// window at once. The program entry (wWinMain) and the message loop live in frmSplash.cpp.
#pragma once

#include <windows.h>

#include <functional>

// Runs the thread's messages until `done` says so or WM_QUIT arrives (which is posted again so
// the outer loop ends too). Keyboard navigation goes to `dialog` when it is given. Returns false
// when the program is quitting. The modal windows run their own stretch of the loop with it.
bool RunModalLoop(HWND dialog, const std::function<bool()>& done);

// The product picture shared by the start window and the About box: a small drawn emblem.
void DrawProductPicture(HDC dc, const RECT& bounds);
