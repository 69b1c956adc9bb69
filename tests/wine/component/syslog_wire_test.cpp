// LogToSyslog with the real Winsock adapters: the bytes and the port on the wire, received on
// 127.0.0.1 inside the test. Nothing is ever sent anywhere else.
#include <gtest/gtest.h>

#include "logger.h"
#include "system_platform.h"
#include "wine_support.h"

namespace pendrake::winetest {
namespace {

struct WireCase {
  const char* what;
  std::int32_t facility;
  std::int32_t priority;
  const char16_t* message;
  std::string expected;
};

TEST(SyslogWire, DatagramBytes) {
  const std::u16string whole(10234, u'w');
  const std::u16string oneTooMany = std::u16string(10234, u'w') + u"X";
  const WireCase cases[] = {
      {"defaults and abc", 16, 5, u"abc", "<133>abc"},
      {"lowest PRI", 0, 0, u"", "<0>"},
      {"highest PRI", 23, 7, u"", "<191>"},
      {"absent message", 16, 5, nullptr, "<133>"},
      {"10234-byte message sent whole", 16, 5, whole.c_str(), "<133>" + std::string(10234, 'w')},
      {"10235-byte message loses its last byte", 16, 5, oneTooMany.c_str(), "<133>" + std::string(10234, 'w')},
  };
  LoopbackReceiver receiver;
  ASSERT_TRUE(receiver.ok()) << receiver.error();
  for (const WireCase& c : cases) {
    Logger logger(win32::SystemPlatform());
    logger.SetSyslogServer(u"127.0.0.1");
    logger.SetSyslogPort(receiver.port());
    logger.SetSyslogFacility(c.facility);
    logger.SetSyslogPriority(c.priority);
    logger.LogToSyslog(c.message);
    const auto got = receiver.Receive();
    ASSERT_TRUE(got.has_value()) << c.what << ": nothing arrived";
    EXPECT_EQ(*got, c.expected) << c.what << ": got " << got->size() << " bytes " << Printable(got).substr(0, 80);
  }
}

// A name is looked up and an IPv6 server taken as written; an IPv4-mapped IPv6 address names an
// IPv4 address and goes there over IPv4. Each is received on the loopback of its family.
TEST(SyslogWire, ServersReachTheLoopbackOfTheirFamily) {
  const struct {
    const char16_t* server;
    int family;
  } cases[] = {{u"localhost", AF_INET}, {u"::ffff:127.0.0.1", AF_INET}, {u"::1", AF_INET6}, {u"0:0:0:0:0:0:0:1", AF_INET6}};
  for (const auto& c : cases) {
    const std::string name(c.server, c.server + std::char_traits<char16_t>::length(c.server));
    LoopbackReceiver receiver(0, c.family);
    ASSERT_TRUE(receiver.ok()) << name << ": " << receiver.error();
    Logger logger(win32::SystemPlatform());
    logger.SetSyslogServer(c.server);
    logger.SetSyslogPort(receiver.port());
    logger.LogToSyslog(u"abc");
    EXPECT_EQ(Printable(receiver.Receive()), Printable(std::string("<133>abc"))) << "server " << name;
  }
}

// Settings above 65535 and below 0 that name the system's port in their low 16 bits.
TEST(SyslogWire, PortIsTheLow16BitsOfTheSetting) {
  LoopbackReceiver receiver;
  ASSERT_TRUE(receiver.ok()) << receiver.error();
  const std::int32_t port = receiver.port();
  for (const std::int32_t setting : {port, 65536 + port, port - 65536, 3 * 65536 + port}) {
    Logger logger(win32::SystemPlatform());
    logger.SetSyslogServer(u"127.0.0.1");
    logger.SetSyslogPort(setting);
    logger.LogToSyslog(u"port");
    EXPECT_EQ(Printable(receiver.Receive()), Printable(std::string("<133>port"))) << "SyslogPort " << setting;
  }
}

// SyslogPort 0 follows the service database, which Wine reads from the prefix's own file. Port
// 514 is what these cases prove (the stock entry, and the fallback where there is none), so they
// bind it and wait while another run holds it; the edited entry names a port of the system's choice.
TEST(SyslogWire, PortZeroFollowsTheServicesFile) {
  ServicesFileBackup services;
  LoopbackReceiver edited;
  ASSERT_TRUE(edited.ok()) << edited.error();
  struct Case {
    const char* what;
    std::optional<std::string> contents;  // nullopt: file removed
    std::uint16_t wirePort;
  } const cases[] = {
      {"stock file", std::string("syslog          514/udp\r\n"), 514},
      {"edited file", "# test\r\nsyslog          " + std::to_string(edited.port()) + "/udp\r\n", edited.port()},
      {"no syslog entry", std::string("echo             7/udp\r\n"), 514},
      {"file removed", std::nullopt, 514},
  };
  for (const Case& c : cases) {
    if (c.contents) {
      ASSERT_TRUE(services.Write(*c.contents)) << services.path();
    } else {
      ASSERT_TRUE(services.Remove()) << services.path();
    }
    std::optional<LoopbackReceiver> fixed;
    if (c.wirePort != edited.port()) fixed.emplace(c.wirePort);
    LoopbackReceiver& receiver = fixed ? *fixed : edited;
    ASSERT_TRUE(receiver.ok()) << receiver.error();
    Logger logger(win32::SystemPlatform());
    logger.SetSyslogServer(u"127.0.0.1");
    logger.LogToSyslog(u"abc");
    EXPECT_EQ(Printable(receiver.Receive()), Printable(std::string("<133>abc"))) << c.what;
  }
}

TEST(SyslogWire, NothingLeavesForAnUnknownHostOrAnAbsentServer) {
  struct Case {
    const char* what;
    const char16_t* server;
  } const cases[] = {
      {"unknown host", u"no-such-host.invalid"},
      {"absent server", nullptr},
  };
  LoopbackReceiver receiver;
  ASSERT_TRUE(receiver.ok()) << receiver.error();
  for (const Case& c : cases) {
    Logger logger(win32::SystemPlatform());
    logger.SetSyslogServer(c.server);
    logger.SetSyslogPort(receiver.port());
    logger.LogToSyslog(u"lost");
    EXPECT_EQ(Printable(receiver.Receive(300)), "<nothing>") << c.what;
  }
}

}  // namespace
}  // namespace pendrake::winetest

namespace pendrake::winetest {
namespace {

// A host name that begins with a digit is looked up by name. digit_host.py maps the name to
// 127.0.0.1 for the length of the run and passes it in PENDRAKE_DIGIT_HOST.
TEST(SyslogWire, DigitLedHostNameIsLookedUp) {
  char name[256] = "";
  if (GetEnvironmentVariableA("PENDRAKE_DIGIT_HOST", name, sizeof name) == 0) GTEST_SKIP() << "run by digit_host.py";
  LoopbackReceiver receiver;
  ASSERT_TRUE(receiver.ok()) << receiver.error();
  const std::string narrow(name);
  const std::u16string server(narrow.begin(), narrow.end());
  Logger logger(win32::SystemPlatform());
  logger.SetSyslogServer(server.c_str());
  logger.SetSyslogPort(receiver.port());
  logger.LogToSyslog(u"digit");
  EXPECT_EQ(Printable(receiver.Receive()), Printable(std::string("<133>digit"))) << "server " << narrow;
}

}  // namespace
}  // namespace pendrake::winetest
