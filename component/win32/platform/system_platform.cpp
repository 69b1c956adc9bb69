#include "system_platform.h"

#include "code_page_adapter.h"
#include "debug_output_adapter.h"
#include "event_log_adapter.h"
#include "registry_adapter.h"
#include "sockets_adapter.h"

namespace pendrake::win32 {

Platform& SystemPlatform() {
  // The adapters hold no state, so one set serves every object of every apartment.
  static RegistryAdapter registry;
  static SocketsAdapter sockets;
  static EventLogAdapter eventLog;
  static CodePageAdapter codePage;
  static DebugOutputAdapter debugOutput;
  static Platform platform{registry, sockets, eventLog, codePage, debugOutput};
  return platform;
}

}  // namespace pendrake::win32
