// The start window: asks for the language on a first run, otherwise hands over to the main
// window at once. The program entry (wWinMain) lives in frmSplash.cpp; the
// message loop it runs is ModalLoop's.
#pragma once

#include <windows.h>
