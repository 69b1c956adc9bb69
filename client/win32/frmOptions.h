// The Options dialog: the language choice after the first run.
#pragma once

#include <windows.h>

// Shows the dialog modally over `owner` and returns when it is hidden or closed. OK and Cancel
// hide it and keep it loaded (the next opening shows the last selection); the window's own
// close command unloads it, so the next opening loads it afresh from the current language.
void ShowOptionsDialog(HWND owner);

// Applies the current language to the dialog when it is loaded; does nothing otherwise.
void frmOptions_Initiate_Language_settings();

// The loaded dialog, or nullptr (for the tests and the main window).
HWND frmOptionsWindow();
