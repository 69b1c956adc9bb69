// LogToSyslog against fake sockets: what goes on the wire, what the debugger sees, and that
// every start is cleaned up and every socket closed on every path.
#include <gtest/gtest.h>

#include "debug_lines.h"
#include "fake_platform.h"
#include "logger.h"

namespace pendrake::testing {
namespace {

using Lines = std::vector<std::string>;

struct FailureCase {
  const char* what;
  const char16_t* server;
  void (*arrange)(FakeSockets&);
  Lines expectedLines;
  bool sent;
};

const FailureCase kFailureCases[] = {
    {"everything works", u"10.0.0.5", [](FakeSockets&) {}, {}, true},
    {"sockets layer does not start", u"10.0.0.5", [](FakeSockets& s) { s.startFails = true; },
     {"INVALID_SOCKET\r\n"}, false},
    {"sockets layer reports version 2.2", u"10.0.0.5", [](FakeSockets& s) { s.reportedVersion = 0x0202; },
     {"INVALID_SOCKET\r\n"}, false},
    {"sockets layer reports version 1.0", u"10.0.0.5", [](FakeSockets& s) { s.reportedVersion = 0x0001; },
     {"INVALID_SOCKET\r\n"}, false},
    {"socket cannot be created", u"10.0.0.5", [](FakeSockets& s) { s.socketFails = true; },
     {"INVALID_SOCKET\r\n"}, false},
    {"socket cannot be bound", u"10.0.0.5", [](FakeSockets& s) { s.bindFails = true; },
     {"Error binding socket!\r\n"}, false},
    {"host name not found", u"no-such-host", [](FakeSockets&) {}, {}, false},
    {"digit-led name not found", u"4th-floor-gw", [](FakeSockets&) {}, {}, false},
    {"send fails", u"10.0.0.5", [](FakeSockets& s) { s.sendFails = true; }, {}, false},
    {"bind and look-up both fail", u"no-such-host", [](FakeSockets& s) { s.bindFails = true; },
     {"Error binding socket!\r\n"}, false},
};

TEST(SyslogSender, FailureTable) {
  for (const FailureCase& c : kFailureCases) {
    FakePlatform fake;
    c.arrange(fake.sockets);
    Logger logger(fake.platform);
    logger.SetSyslogServer(c.server);
    logger.LogToSyslog(u"abc");
    EXPECT_EQ(fake.debugOutput.lines, c.expectedLines) << c.what;
    EXPECT_EQ(fake.sockets.sent.size(), c.sent ? 1u : 0u) << c.what;
    EXPECT_EQ(fake.sockets.starts, fake.sockets.cleanups) << c.what << ": every start cleaned up once";
    EXPECT_EQ(fake.sockets.socketsOpened, fake.sockets.socketsClosed) << c.what << ": every socket closed";
  }
}

TEST(SyslogSender, StepsRunInOrderAndReleaseInReverse) {
  struct Case {
    const char* what;
    void (*arrange)(FakeSockets&);
    const char16_t* server;
    Lines calls;
  } const cases[] = {
      {"sent", [](FakeSockets&) {}, u"host",
       {"start", "socket", "bind", "service", "lookup", "send", "close", "cleanup"}},
      {"other version cleaned up before the socket is tried", [](FakeSockets& s) { s.reportedVersion = 0x0202; },
       u"host", {"start", "cleanup", "socket"}},
      {"no start, no clean-up", [](FakeSockets& s) { s.startFails = true; }, u"host", {"start", "socket"}},
      {"bind failure closes before the clean-up", [](FakeSockets& s) { s.bindFails = true; }, u"host",
       {"start", "socket", "bind", "close", "cleanup"}},
      {"dotted address needs no look-up", [](FakeSockets&) {}, u"10.0.0.5",
       {"start", "socket", "bind", "service", "send", "close", "cleanup"}},
      {"look-up failure: IPv4, then IPv6", [](FakeSockets&) {}, u"nowhere",
       {"start", "socket", "bind", "service", "lookup", "lookup6", "close", "cleanup"}},
      {"IPv6 literal: the IPv4 socket closed before the IPv6 one opens", [](FakeSockets&) {}, u"::1",
       {"start", "socket", "bind", "service", "parse6", "close", "socket6", "bind6", "send6", "close", "cleanup"}},
      {"IPv6-only name", [](FakeSockets&) {}, u"v6only",
       {"start", "socket", "bind", "service", "lookup", "lookup6", "close", "socket6", "bind6", "send6", "close",
        "cleanup"}},
      {"IPv6 bind failure closes before the clean-up", [](FakeSockets& s) { s.bind6Fails = true; }, u"::1",
       {"start", "socket", "bind", "service", "parse6", "close", "socket6", "bind6", "close", "cleanup"}},
  };
  for (const Case& c : cases) {
    FakePlatform fake;
    fake.sockets.hosts["host"] = Ipv4(127, 0, 0, 1);
    fake.sockets.hosts6["v6only"] = Ipv6(1);
    fake.sockets.ipv6Texts["::1"] = Ipv6(1);
    c.arrange(fake.sockets);
    Logger logger(fake.platform);
    logger.SetSyslogServer(c.server);
    logger.LogToSyslog(u"abc");
    EXPECT_EQ(fake.sockets.log.calls, c.calls) << c.what;
  }
}

TEST(SyslogSender, AbsentServerSendsNothingAcquiresNothingAndSaysWhy) {
  FakePlatform fake;
  Logger logger(fake.platform);
  logger.LogToSyslog(u"abc");
  EXPECT_EQ(fake.debugOutput.lines, Lines{kNoSyslogServerLine});
  EXPECT_TRUE(fake.sockets.log.calls.empty()) << "first call: " << fake.sockets.log.calls.front();
  ASSERT_GE(sizeof kNoSyslogServerLine, 3u);
  EXPECT_EQ(std::string(kNoSyslogServerLine).substr(sizeof kNoSyslogServerLine - 3), "\r\n");
}

TEST(SyslogSender, DestinationPort) {
  struct Case {
    std::int32_t syslogPort;
    std::optional<std::uint16_t> servicePort;
    std::uint16_t expected;
    int serviceLookUps;
  } const cases[] = {
      {0, std::nullopt, 514, 1},  {0, 1514, 1514, 1},      {1468, 1514, 1468, 0}, {66004, std::nullopt, 468, 0},
      {-1, std::nullopt, 65535, 0}, {514, 1514, 514, 0},
      // Low 16 bits of 0 would aim at port 0, where nothing listens: treated as 0.
      {65536, 1514, 1514, 1},     {65536, std::nullopt, 514, 1},
      {0, 0, 514, 1},  // a service entry of port 0 is as good as none
  };
  for (const Case& c : cases) {
    FakePlatform fake;
    fake.sockets.servicePort = c.servicePort;
    Logger logger(fake.platform);
    logger.SetSyslogServer(u"10.0.0.5");
    logger.SetSyslogPort(c.syslogPort);
    logger.LogToSyslog(u"abc");
    ASSERT_EQ(fake.sockets.sent.size(), 1u) << "SyslogPort " << c.syslogPort;
    EXPECT_EQ(fake.sockets.sent[0].port, c.expected) << "SyslogPort " << c.syslogPort;
    EXPECT_EQ(fake.sockets.serviceLookUps, c.serviceLookUps) << "SyslogPort " << c.syslogPort;
  }
}

TEST(SyslogSender, ServiceDatabaseAskedAnewOnEveryCall) {
  FakePlatform fake;
  Logger logger(fake.platform);
  logger.SetSyslogServer(u"10.0.0.5");
  fake.sockets.servicePort = 1514;
  logger.LogToSyslog(u"one");
  fake.sockets.servicePort.reset();
  logger.LogToSyslog(u"two");
  ASSERT_EQ(fake.sockets.sent.size(), 2u);
  EXPECT_EQ(fake.sockets.sent[0].port, 1514);
  EXPECT_EQ(fake.sockets.sent[1].port, 514);
  EXPECT_EQ(fake.sockets.serviceLookUps, 2);
}

TEST(SyslogSender, DestinationAddress) {
  struct Case {
    const char16_t* server;
    Lines lookUps;
    std::optional<std::uint32_t> expected;  // nullopt: nothing sent
  } const cases[] = {
      {u"10.0.0.5", {}, Ipv4(10, 0, 0, 5)},
      {u"localhost", {"localhost"}, Ipv4(127, 0, 0, 1)},
      // Address bytes above 127 survive the look-up unchanged.
      {u"gateway", {"gateway"}, Ipv4(192, 168, 1, 200)},
      // A digit-led name that is no dotted address is looked up, not sent to 255.255.255.255.
      {u"4th-floor-gw", {"4th-floor-gw"}, Ipv4(127, 0, 0, 4)},
      {u"1.2.3", {"1.2.3"}, std::nullopt},
      {u"255.255.255.255", {}, Ipv4(255, 255, 255, 255)},
      // The empty name goes to the look-up, which answers with the local computer.
      {u"", {""}, Ipv4(127, 0, 0, 9)},
      {u"unknown", {"unknown"}, std::nullopt},
  };
  for (const Case& c : cases) {
    FakePlatform fake;
    fake.sockets.hosts = {{"localhost", Ipv4(127, 0, 0, 1)},
                          {"gateway", Ipv4(192, 168, 1, 200)},
                          {"4th-floor-gw", Ipv4(127, 0, 0, 4)},
                          {"", Ipv4(127, 0, 0, 9)}};
    Logger logger(fake.platform);
    logger.SetSyslogServer(c.server);
    logger.LogToSyslog(u"abc");
    const std::string name(c.server, c.server + std::char_traits<char16_t>::length(c.server));
    EXPECT_EQ(fake.sockets.hostLookUps, c.lookUps) << "server \"" << name << "\"";
    if (c.expected) {
      ASSERT_EQ(fake.sockets.sent.size(), 1u) << "server \"" << name << "\"";
      EXPECT_EQ(fake.sockets.sent[0].address, *c.expected) << "server \"" << name << "\"";
    } else {
      EXPECT_TRUE(fake.sockets.sent.empty()) << "server \"" << name << "\"";
    }
    EXPECT_TRUE(fake.debugOutput.lines.empty()) << "server \"" << name << "\"";
  }
}

// ::ffff:a.b.c.d (with `low` 0xFF; another `low` gives a near miss that maps nothing).
Ipv6Address Mapped(std::uint8_t low, std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
  Ipv6Address address;
  address.bytes = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, low, a, b, c, d};
  return address;
}

// IPv6 servers: an address is read as written, never looked up; a name goes to IPv6 only when
// it has no IPv4 address.
TEST(SyslogSender, DestinationOverIpv6) {
  using Lookups = std::vector<std::string>;
  struct Case {
    const char16_t* server;
    Lookups lookUps;   // IPv4 look-ups
    Lookups lookUps6;  // IPv6 look-ups
    std::optional<std::uint32_t> expected4;
    std::optional<Ipv6Address> expected6;
  } const cases[] = {
      {u"::1", {}, {}, std::nullopt, Ipv6(1)},
      // Digit-led but no dotted address: still read as IPv6, not looked up.
      {u"0:0:0:0:0:0:0:1", {}, {}, std::nullopt, Ipv6(1)},
      {u"fe80::1%3", {}, {}, std::nullopt, Ipv6(1, 3)},
      {u"no::such", {}, {}, std::nullopt, std::nullopt},
      {u"v6only", {"v6only"}, {"v6only"}, std::nullopt, Ipv6(2)},
      {u"dual", {"dual"}, {}, Ipv4(127, 0, 0, 3), std::nullopt},
      {u"10.0.0.5", {}, {}, Ipv4(10, 0, 0, 5), std::nullopt},
      {u"unknown", {"unknown"}, {"unknown"}, std::nullopt, std::nullopt},
      // IPv4-mapped: Windows opens IPv6 sockets with IPV6_V6ONLY on, so only IPv4 reaches it.
      {u"::ffff:10.0.0.5", {}, {}, Ipv4(10, 0, 0, 5), std::nullopt},
      {u"mapped", {"mapped"}, {"mapped"}, Ipv4(127, 0, 0, 4), std::nullopt},
      {u"::fffe:10.0.0.5", {}, {}, std::nullopt, Mapped(0xFE, 10, 0, 0, 5)},
  };
  for (const Case& c : cases) {
    FakePlatform fake;
    fake.sockets.ipv6Texts = {{"::1", Ipv6(1)}, {"0:0:0:0:0:0:0:1", Ipv6(1)}, {"fe80::1%3", Ipv6(1, 3)},
                              {"::ffff:10.0.0.5", Mapped(0xFF, 10, 0, 0, 5)}, {"::fffe:10.0.0.5", Mapped(0xFE, 10, 0, 0, 5)}};
    fake.sockets.hosts = {{"dual", Ipv4(127, 0, 0, 3)}};
    fake.sockets.hosts6 = {{"v6only", Ipv6(2)}, {"dual", Ipv6(3)}, {"mapped", Mapped(0xFF, 127, 0, 0, 4)}};
    Logger logger(fake.platform);
    logger.SetSyslogServer(c.server);
    logger.SetSyslogPort(1468);
    logger.LogToSyslog(u"abc");
    const std::string name(c.server, c.server + std::char_traits<char16_t>::length(c.server));
    EXPECT_EQ(fake.sockets.hostLookUps, c.lookUps) << name;
    EXPECT_EQ(fake.sockets.hostLookUps6, c.lookUps6) << name;
    ASSERT_EQ(fake.sockets.sent.size(), c.expected4 ? 1u : 0u) << name;
    if (c.expected4) {
      EXPECT_EQ(fake.sockets.sent[0].address, *c.expected4) << name;
    }
    ASSERT_EQ(fake.sockets.sent6.size(), c.expected6 ? 1u : 0u) << name;
    if (c.expected6) {
      EXPECT_TRUE(fake.sockets.sent6[0].address == *c.expected6) << name;
      EXPECT_EQ(fake.sockets.sent6[0].datagram, "<133>abc") << name;
      EXPECT_EQ(fake.sockets.sent6[0].port, 1468) << name;
    }
    EXPECT_TRUE(fake.debugOutput.lines.empty()) << name;
    EXPECT_EQ(fake.sockets.socketsOpened, fake.sockets.socketsClosed) << name << ": every socket closed";
    EXPECT_EQ(fake.sockets.LiveStarts(), 0) << name;
  }
}

TEST(SyslogSender, Ipv6SocketFailuresAreSaidAsForIpv4) {
  struct Case {
    const char* what;
    void (*arrange)(FakeSockets&);
    Lines expectedLines;
  } const cases[] = {
      {"socket cannot be created", [](FakeSockets& s) { s.socket6Fails = true; }, {"INVALID_SOCKET\r\n"}},
      {"socket cannot be bound", [](FakeSockets& s) { s.bind6Fails = true; }, {"Error binding socket!\r\n"}},
      {"send fails", [](FakeSockets& s) { s.sendFails = true; }, {}},
  };
  for (const Case& c : cases) {
    FakePlatform fake;
    fake.sockets.ipv6Texts["::1"] = Ipv6(1);
    c.arrange(fake.sockets);
    Logger logger(fake.platform);
    logger.SetSyslogServer(u"::1");
    logger.LogToSyslog(u"abc");
    EXPECT_EQ(fake.debugOutput.lines, c.expectedLines) << c.what;
    EXPECT_TRUE(fake.sockets.sent6.empty()) << c.what;
    EXPECT_EQ(fake.sockets.socketsOpened, fake.sockets.socketsClosed) << c.what << ": every socket closed";
    EXPECT_EQ(fake.sockets.starts, fake.sockets.cleanups) << c.what;
  }
}

TEST(SyslogSender, MessageTextOnTheWire) {
  static const char16_t kEmbeddedNul[] = u"ab\0cd";
  struct Case {
    const char* what;
    const char16_t* message;
    std::string expected;
  } const cases[] = {
      {"plain", u"abc", "<133>abc"},
      {"empty", u"", "<133>"},
      {"absent", nullptr, "<133>"},
      {"up to the first NUL", kEmbeddedNul, "<133>ab"},
      {"code page character", u"caf\u00e9", "<133>caf\xe9"},
      {"character the code page lacks", u"\u03a9!", "<133>?!"},
  };
  for (const Case& c : cases) {
    FakePlatform fake;
    Logger logger(fake.platform);
    logger.SetSyslogServer(u"10.0.0.5");
    logger.LogToSyslog(c.message);
    ASSERT_EQ(fake.sockets.sent.size(), 1u) << c.what;
    EXPECT_EQ(fake.sockets.sent[0].datagram, c.expected) << c.what;
  }
}

TEST(SyslogSender, UsesTheSettingsOfTheMomentAndKeepsNothing) {
  FakePlatform fake;
  Logger logger(fake.platform);
  logger.SetSyslogServer(u"10.0.0.5");
  logger.LogToSyslog(u"a");
  logger.SetSyslogFacility(0);
  logger.SetSyslogPriority(0);
  logger.SetSyslogServer(u"10.0.0.6");
  logger.SetSyslogPort(1468);
  logger.LogToSyslog(u"b");
  ASSERT_EQ(fake.sockets.sent.size(), 2u);
  EXPECT_EQ(fake.sockets.sent[1].datagram, "<0>b");
  EXPECT_EQ(fake.sockets.sent[1].address, Ipv4(10, 0, 0, 6));
  EXPECT_EQ(fake.sockets.sent[1].port, 1468);
  EXPECT_EQ(fake.sockets.starts, 2);
  EXPECT_EQ(fake.sockets.LiveStarts(), 0);
  EXPECT_EQ(fake.sockets.socketsOpened, 2);
  EXPECT_EQ(fake.sockets.socketsClosed, 2);
}

TEST(SyslogSender, LongMessageCutToTheDatagramLimit) {
  struct Case {
    std::size_t messageSize;
    std::size_t wireSize;
  } const cases[] = {{10234, 10239}, {10235, 10239}, {50000, 10239}, {4u << 20, 10239}};
  for (const Case& c : cases) {
    FakePlatform fake;
    Logger logger(fake.platform);
    logger.SetSyslogServer(u"10.0.0.5");
    const std::u16string message(c.messageSize, u'x');
    logger.LogToSyslog(message.c_str());
    ASSERT_EQ(fake.sockets.sent.size(), 1u);
    EXPECT_EQ(fake.sockets.sent[0].datagram.size(), c.wireSize) << "message of " << c.messageSize;
    EXPECT_LE(fake.codePage.longestNarrowed, 2 * 10239u) << "only what can reach the datagram is converted";
  }
}

// Under a double-byte code page the cut goes back to the last whole character; a message that
// fits, or any message under a single-byte code page, keeps its bytes exactly. The fake code
// page is Latin-1; making 0xE9 (e acute) a lead byte turns "\u00e9\u00e9" into one double-byte
// character.
TEST(SyslogSender, LongMessageCutAtTheLastWholeCharacter) {
  const std::u16string pair = u"\u00e9\u00e9";
  struct Case {
    const char* what;
    bool doubleByte;
    std::u16string message;
    std::string expectedEnd;  // the datagram's last bytes
    std::size_t wireSize;
    int layoutQueries;
  } const cases[] = {
      {"a character across the limit is left out", true, std::u16string(10233, u'x') + pair, "xxx", 10238, 1},
      {"a character that ends at the limit stays", true, std::u16string(10232, u'x') + pair + u"y", "x\xe9\xe9",
       10239, 1},
      {"single-byte: cut at the byte limit", false, std::u16string(10233, u'x') + pair, "x\xe9", 10239, 1},
      {"fits: kept as it is, nothing asked", true, u"abc\u00e9", "abc\xe9", 9, 0},
  };
  for (const Case& c : cases) {
    FakePlatform fake;
    if (c.doubleByte) fake.codePage.layout.leadBytes.set(0xE9);
    Logger logger(fake.platform);
    logger.SetSyslogServer(u"10.0.0.5");
    logger.LogToSyslog(c.message.c_str());
    ASSERT_EQ(fake.sockets.sent.size(), 1u) << c.what;
    const std::string& datagram = fake.sockets.sent[0].datagram;
    EXPECT_EQ(datagram.size(), c.wireSize) << c.what;
    EXPECT_EQ(datagram.substr(datagram.size() - c.expectedEnd.size()), c.expectedEnd) << c.what;
    EXPECT_EQ(fake.codePage.layoutQueries, c.layoutQueries) << c.what;
  }
}

// A character outside the code page and a surrogate pair each still give at least one byte,
// so the converted prefix always fills the datagram.
TEST(SyslogSender, PrefixConversionStillFillsTheDatagram) {
  FakePlatform fake;
  Logger logger(fake.platform);
  logger.SetSyslogServer(u"10.0.0.5");
  std::u16string message;
  for (int i = 0; i < 30000; ++i) message += u"\U0001F600";  // surrogate pairs, one '?' each
  logger.LogToSyslog(message.c_str());
  ASSERT_EQ(fake.sockets.sent.size(), 1u);
  EXPECT_EQ(fake.sockets.sent[0].datagram.size(), 10239u);
}

}  // namespace
}  // namespace pendrake::testing
