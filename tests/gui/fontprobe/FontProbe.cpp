#include "FontProbe.h"

#include "FontProbeShared.h"

namespace fontprobe {

namespace {

// Closes a handle on every path.
struct Handle {
  HANDLE h = nullptr;
  ~Handle() {
    if (h) CloseHandle(h);
  }
};

// Runs one request in the thread of `control`; the answer, or nullopt when none came.
std::optional<Exchange> Ask(HWND control) {
  static HMODULE hookModule = LoadLibraryW(L"pendrake_fontprobe_hook.dll");
  if (!hookModule || !control) return std::nullopt;
  auto* proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(hookModule, "FontProbeGetMessage")));
  if (!proc) return std::nullopt;

  Handle mapping{CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Exchange), kMappingName)};
  Handle done{CreateEventW(nullptr, FALSE, FALSE, kDoneEventName)};
  if (!mapping.h || !done.h) return std::nullopt;
  auto* exchange = static_cast<Exchange*>(MapViewOfFile(mapping.h, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Exchange)));
  if (!exchange) return std::nullopt;
  *exchange = Exchange{control, FALSE, {}, CLR_INVALID, CLR_INVALID};

  const DWORD thread = GetWindowThreadProcessId(control, nullptr);
  HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, proc, hookModule, thread);
  std::optional<Exchange> result;
  if (hook) {
    PostMessageW(control, RegisterWindowMessageW(kRequestMessage), 0, 0);
    if (WaitForSingleObject(done.h, 5000) == WAIT_OBJECT_0) result = *exchange;
    UnhookWindowsHookEx(hook);
  }
  UnmapViewOfFile(exchange);
  return result;
}

}  // namespace

std::optional<LOGFONTW> RemoteControlFont(HWND control) {
  const std::optional<Exchange> answer = Ask(control);
  if (!answer || !answer->hasFont) return std::nullopt;
  return answer->font;
}

std::optional<StaticColours> RemoteStaticColours(HWND control) {
  const std::optional<Exchange> answer = Ask(control);
  if (!answer) return std::nullopt;
  return StaticColours{answer->textColour, answer->hotLight};
}

}  // namespace fontprobe
