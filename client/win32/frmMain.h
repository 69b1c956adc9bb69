// The main window: defaults page, test page, script generator and layout.
#pragma once

#include <windows.h>

// Creates the main window on its first call (loading the stored defaults and applying the
// current language), then shows it and brings it to the front.
void ShowMainWindow();

// Sets every caption, tooltip and font of the main window from the catalogue in the current
// language; called again by the Options dialog after a language change.
void frmMain_Initiate_Language_settings();

// The main window, or nullptr before ShowMainWindow has created it.
HWND frmMainWindow();
