// What the probe and its hook share: one request at a time.
#pragma once

#include <windows.h>

namespace fontprobe {

inline constexpr wchar_t kMappingName[] = L"Local\\PendrakeFontProbe";
inline constexpr wchar_t kDoneEventName[] = L"Local\\PendrakeFontProbeDone";
inline constexpr wchar_t kRequestMessage[] = L"PendrakeFontProbeRequest";

struct Exchange {
  HWND control;   // asked for
  BOOL hasFont;   // answered
  LOGFONTW font;
  COLORREF textColour;  // the colour the parent's WM_CTLCOLORSTATIC gives the control's text
  COLORREF hotLight;    // GetSysColor(COLOR_HOTLIGHT) in the client
};

}  // namespace fontprobe
