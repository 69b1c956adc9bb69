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

// Converts a length in twips to pixels at the screen's real resolution.
int TwipsToPixels(int twips);

// A visible child control of `parent` with the given position and size in twips.
HWND AddChildControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y, int w,
                     int h);

// The frame of the modal dialogs (Options, About): a hidden popup with a caption, owned by
// `owner`; its size and place come from PlaceDialogOverOwner.
HWND CreateDialogFrame(const wchar_t* className, HWND owner);

// Sizes a dialog frame so that its client area is the given size in twips and centres it over
// `owner` (over the screen when there is none).
void PlaceDialogOverOwner(HWND dialog, HWND owner, int clientWidthTwips, int clientHeightTwips);
