// The hook half of the font probe: runs inside the client's user-interface thread.
#include "FontProbeShared.h"

using namespace fontprobe;

extern "C" __declspec(dllexport) LRESULT CALLBACK FontProbeGetMessage(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT request = RegisterWindowMessageW(kRequestMessage);
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && msg && msg->message == request) {
    HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kMappingName);
    HANDLE done = OpenEventW(EVENT_MODIFY_STATE, FALSE, kDoneEventName);
    if (mapping && done) {
      if (auto* exchange = static_cast<Exchange*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Exchange)))) {
        const auto font = reinterpret_cast<HFONT>(SendMessageW(exchange->control, WM_GETFONT, 0, 0));
        exchange->hasFont = font && GetObjectW(font, sizeof exchange->font, &exchange->font) == sizeof exchange->font;
        // The parent paints a static's text in the colour it sets in WM_CTLCOLORSTATIC.
        if (HDC dc = CreateCompatibleDC(nullptr)) {
          SetTextColor(dc, CLR_INVALID);
          SendMessageW(GetParent(exchange->control), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(exchange->control));
          exchange->textColour = GetTextColor(dc);
          DeleteDC(dc);
        }
        exchange->hotLight = GetSysColor(COLOR_HOTLIGHT);
        UnmapViewOfFile(exchange);
        SetEvent(done);
      }
    }
    if (done) CloseHandle(done);
    if (mapping) CloseHandle(mapping);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
