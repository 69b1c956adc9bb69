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
};

}  // namespace fontprobe
