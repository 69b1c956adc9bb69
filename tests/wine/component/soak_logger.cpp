// Many LogToSyslog calls in one process: the handle count and the private memory must not
// grow after the first calls have settled the process. Exit code 0 only when both hold.
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "logger.h"
#include "loopback_receiver.h"
#include "process_figures.h"
#include "system_platform.h"

namespace {

constexpr DWORD kHandleSlack = 8;
constexpr SIZE_T kMemorySlack = 2 * 1024 * 1024;
// The look-up failure path, without the network: a label longer than 63 octets cannot be put
// into a DNS query, so the resolver refuses the name at once, after the hosts file and before
// asking any server. (".invalid" alone would still be asked of the machine's DNS server.)
constexpr char16_t kUnresolvableName[] =
    u"no-such-host-0123456789012345678901234567890123456789012345678901234567890123456789.invalid";

using pendrake::winetest::ProcessHandles;
using pendrake::winetest::ProcessPrivateBytes;

}  // namespace

int main(int argc, char** argv) {
  const int calls = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int settle = 1000;

  // A port of the system's choice: the soaks of other test runs on this machine cannot hold it,
  // nor take its datagrams.
  pendrake::winetest::LoopbackReceiver sink;
  if (!sink.ok()) {
    std::printf("receiver: %s\n", sink.error().c_str());
    return 1;
  }

  pendrake::Platform& platform = pendrake::win32::SystemPlatform();
  pendrake::Logger logger(platform);
  logger.SetSyslogServer(u"127.0.0.1");
  logger.SetSyslogPort(sink.port());

  DWORD baseHandles = 0, maxHandles = 0;
  SIZE_T baseMemory = 0, maxMemory = 0;
  int received = 0;
  const DWORD started = GetTickCount();
  for (int i = 1; i <= calls; ++i) {
    logger.LogToSyslog(u"soak message");
    if (i % 100 == 0) {
      pendrake::Logger fresh(platform);  // the constructor's registry path too
      fresh.SetSyslogServer(kUnresolvableName);
      fresh.LogToSyslog(u"lost");        // the look-up failure path
      fresh.LogToEventLog(u"soak entry");
      received += sink.Drain();
    }
    if (i == settle) {
      baseHandles = maxHandles = ProcessHandles();
      baseMemory = maxMemory = ProcessPrivateBytes();
    } else if (i > settle && i % 1000 == 0) {
      const DWORD h = ProcessHandles();
      const SIZE_T m = ProcessPrivateBytes();
      if (h > maxHandles) maxHandles = h;
      if (m > maxMemory) maxMemory = m;
    }
  }
  received += sink.Drain();
  const DWORD elapsed = GetTickCount() - started;

  const bool handlesOk = maxHandles <= baseHandles + kHandleSlack;
  const bool memoryOk = maxMemory <= baseMemory + kMemorySlack;
  std::printf("%d calls in %lu ms, %d datagrams drained\n", calls, static_cast<unsigned long>(elapsed), received);
  std::printf("handles after %d calls %lu, highest later %lu (slack %lu): %s\n", settle,
              static_cast<unsigned long>(baseHandles), static_cast<unsigned long>(maxHandles),
              static_cast<unsigned long>(kHandleSlack), handlesOk ? "ok" : "GROWING");
  std::printf("private bytes after %d calls %llu, highest later %llu (slack %llu): %s\n", settle,
              static_cast<unsigned long long>(baseMemory), static_cast<unsigned long long>(maxMemory),
              static_cast<unsigned long long>(kMemorySlack), memoryOk ? "ok" : "GROWING");
  if (received == 0) std::printf("no datagram arrived: the soak did not exercise the send path\n");
  return handlesOk && memoryOk && received > 0 ? 0 : 1;
}
