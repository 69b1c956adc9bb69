// One LogToSyslog over the fake platform with any settings, any message and any step of the
// sockets layer failing.
// Invariants: at most one datagram leaves, it is at most 10,239 bytes, it starts with a valid
// PRI ("<0>" to "<191>", no leading zero) followed by a prefix of the message in the code
// page, and every start of the sockets layer and every socket is released exactly once.
#include <cstdint>
#include <string>

#include "datagram.h"
#include "fake_platform.h"
#include "fuzz_input.h"
#include "logger.h"

namespace pendrake {
namespace {

// The PRI's length, or 0 when the datagram does not start with a valid one.
std::size_t PriLength(const std::string& datagram, int& pri) {
  if (datagram.size() < 3 || datagram[0] != '<') return 0;
  std::size_t i = 1;
  pri = 0;
  while (i < datagram.size() && i <= 4 && datagram[i] >= '0' && datagram[i] <= '9') pri = pri * 10 + (datagram[i++] - '0');
  const std::size_t digits = i - 1;
  if (digits == 0 || digits > 3 || i >= datagram.size() || datagram[i] != '>') return 0;
  if (digits > 1 && datagram[1] == '0') return 0;
  if (pri > 191) return 0;
  return i + 1;
}

}  // namespace
}  // namespace pendrake

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pendrake;
  FuzzedDataProvider input(data, size);
  testing::FakePlatform fake;
  testing::FakeSockets& sockets = fake.sockets;
  sockets.startFails = input.ConsumeIntegralInRange<int>(0, 15) == 0;
  sockets.reportedVersion = input.ConsumeIntegralInRange<int>(0, 7) == 0 ? 0x0202 : 0x0101;
  sockets.socketFails = input.ConsumeIntegralInRange<int>(0, 15) == 0;
  sockets.bindFails = input.ConsumeIntegralInRange<int>(0, 15) == 0;
  sockets.sendFails = input.ConsumeIntegralInRange<int>(0, 15) == 0;
  sockets.socket6Fails = input.ConsumeIntegralInRange<int>(0, 15) == 0;
  sockets.bind6Fails = input.ConsumeIntegralInRange<int>(0, 15) == 0;
  if (input.ConsumeBool()) sockets.servicePort = input.ConsumeIntegral<std::uint16_t>();
  sockets.hosts["loghost"] = testing::Ipv4(10, 0, 0, 5);
  sockets.hosts6["v6host"] = testing::Ipv6(5);
  sockets.ipv6Texts["::1"] = testing::Ipv6(1);
  switch (input.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: break;                                                   // single-byte
    case 1: fake.codePage.layout.utf8 = true; break;
    default:                                                         // double-byte
      for (int lead = 0x81; lead <= 0xFE; lead += input.ConsumeIntegralInRange<int>(1, 8)) {
        fake.codePage.layout.leadBytes.set(static_cast<std::size_t>(lead));
      }
  }

  Logger logger(fake.platform);
  logger.SetSyslogFacility(input.ConsumeIntegral<std::int32_t>());
  logger.SetSyslogPriority(input.ConsumeIntegral<std::int32_t>());
  if (input.ConsumeBool()) logger.SetSyslogFacility(input.ConsumeIntegralInRange<std::int32_t>(0, 23));
  if (input.ConsumeBool()) logger.SetSyslogPriority(input.ConsumeIntegralInRange<std::int32_t>(0, 7));
  logger.SetSyslogPort(input.ConsumeIntegral<std::int32_t>());
  static const char16_t* const kServers[] = {u"127.0.0.1", u"loghost", u"v6host", u"::1", u"255.255.255.255", nullptr};
  std::u16string server;
  const int pick = input.ConsumeIntegralInRange<int>(0, 6);
  if (pick < 6) {
    if (kServers[pick]) logger.SetSyslogServer(kServers[pick]);
  } else {
    server = fuzz::ConsumeWide(input, 64);
    logger.SetSyslogServer(server.c_str());
  }
  // A long run of one character reaches the cut at 10,239 bytes.
  std::u16string message = fuzz::ConsumeWide(input, 12000);
  if (input.ConsumeBool()) message.append(input.ConsumeIntegralInRange<std::size_t>(0, 12000), message.empty() ? u'x' : message.back());
  const bool nullMessage = input.ConsumeIntegralInRange<int>(0, 31) == 0;
  logger.LogToSyslog(nullMessage ? nullptr : message.c_str());

  PENDRAKE_FUZZ_CHECK(sockets.LiveStarts() == 0, std::to_string(sockets.starts) + " starts, " +
                                                     std::to_string(sockets.cleanups) + " clean-ups");
  PENDRAKE_FUZZ_CHECK(sockets.socketsOpened == sockets.socketsClosed,
                      std::to_string(sockets.socketsOpened) + " opened, " + std::to_string(sockets.socketsClosed) + " closed");
  PENDRAKE_FUZZ_CHECK(sockets.sent.size() + sockets.sent6.size() <= 1, "more than one datagram");
  std::string datagram;
  if (!sockets.sent.empty()) datagram = sockets.sent[0].datagram;
  if (!sockets.sent6.empty()) datagram = sockets.sent6[0].datagram;
  if (sockets.sent.empty() && sockets.sent6.empty()) return 0;

  PENDRAKE_FUZZ_CHECK(datagram.size() <= kMaxDatagramSize, std::to_string(datagram.size()) + " bytes");
  int pri = -1;
  const std::size_t priLength = PriLength(datagram, pri);
  PENDRAKE_FUZZ_CHECK(priLength != 0, datagram.substr(0, 8));
  PENDRAKE_FUZZ_CHECK(pri == logger.SyslogFacility() * 8 + logger.SyslogPriority(), datagram.substr(0, 8));
  // What the fake code page makes of the message, up to its first NUL.
  NarrowText narrow;
  std::u16string_view whole = nullMessage ? std::u16string_view() : std::u16string_view(message.c_str());
  fake.codePage.ToNarrow(whole, narrow);
  const std::string_view body = std::string_view(datagram).substr(priLength);
  PENDRAKE_FUZZ_CHECK(narrow.view().substr(0, body.size()) == body, "the body is no prefix of the message");
  PENDRAKE_FUZZ_CHECK(body.size() == narrow.view().size() || datagram.size() + 4 >= kMaxDatagramSize,
                      "cut short at " + std::to_string(datagram.size()));
  return 0;
}
