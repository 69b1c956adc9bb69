// Reads the font a control of another process shows. Under Wine a control's font cannot be
// asked for across processes (WM_GETFONT answers 0 there), so a message hook, loaded into the
// client by the system, asks in the client's own thread and hands the LOGFONT back through
// shared memory.
#pragma once

#include <windows.h>

#include <optional>

namespace fontprobe {

// The LOGFONT of the font `control` shows, or nullopt when it has none or the probe failed.
std::optional<LOGFONTW> RemoteControlFont(HWND control);

// The text colour a static control of another process is painted in, with the system's
// hot-light colour as that process sees it.
struct StaticColours {
  COLORREF text;
  COLORREF hotLight;
};
std::optional<StaticColours> RemoteStaticColours(HWND control);

}  // namespace fontprobe
