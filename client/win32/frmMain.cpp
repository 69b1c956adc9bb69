// The main window of PendrakeClient.
#include "frmMain.h"

namespace {
HWND gMain = nullptr;
}  // namespace

void ShowMainWindow() {}
void frmMain_Initiate_Language_settings() {}
HWND frmMainWindow() { return gMain; }
