// Times the logger against the bare platform calls it wraps, in one run and interleaved so
// that both see the same machine load. Prints the two ratios; never fails on timing, but fails
// when a call did not do its work (a datagram that never arrived, an event not reported): a
// logger that sends nothing would otherwise time as the fastest.
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "logger.h"
#include "loopback_receiver.h"
#include "system_platform.h"

namespace {

constexpr char kDatagram[] = "<133>bench";
std::uint16_t g_sinkPort = 0;  // the system's choice, so that runs side by side never meet
int g_bareEventFailures = 0;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Body>
double Time(int count, Body body) {
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  for (int i = 0; i < count; ++i) body();
  QueryPerformanceCounter(&end);
  return Seconds(start, end);
}

void BareSyslog() {
  WSADATA data;
  const bool started = WSAStartup(MAKEWORD(1, 1), &data) == 0;
  SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
  if (s != INVALID_SOCKET) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0) {
      sockaddr_in to{};
      to.sin_family = AF_INET;
      to.sin_port = htons(g_sinkPort);
      to.sin_addr.s_addr = inet_addr("127.0.0.1");
      sendto(s, kDatagram, sizeof kDatagram - 1, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    closesocket(s);
  }
  if (started) WSACleanup();
}

void BareEventLog() {
  HANDLE source = RegisterEventSourceA(nullptr, "Orvelle Pendrake");
  LPCSTR strings[] = {"bench", ""};
  if (source == nullptr || !ReportEventA(source, EVENTLOG_INFORMATION_TYPE, 0, 0, nullptr, 2, 0, strings, nullptr)) {
    ++g_bareEventFailures;
  }
  if (source != nullptr) DeregisterEventSource(source);
}

// Rounds of `block` calls each, the order of the two sides alternating per round; afterRound
// runs between rounds, untimed. The median of the rounds' ratios shrugs off rounds that another
// process on the machine disturbed. Returns the calls made on each side.
template <typename A, typename B, typename R>
int Ratio(const char* name, int total, int block, A measured, B bare, R afterRound) {
  double measuredTime = 0, bareTime = 0;
  std::vector<double> rounds;
  for (int round = 0; round * block < total; ++round) {
    double m = 0, b = 0;
    if (round % 2 == 0) {
      m = Time(block, measured);
      b = Time(block, bare);
    } else {
      b = Time(block, bare);
      m = Time(block, measured);
    }
    measuredTime += m;
    bareTime += b;
    if (b > 0) rounds.push_back(m / b);
    afterRound();
  }
  std::sort(rounds.begin(), rounds.end());
  const double median = rounds.empty() ? 0 : rounds[rounds.size() / 2];
  std::printf("%-13s %7d calls: logger %.3f s, bare %.3f s, ratio %.3f, median of %zu rounds %.3f (goal <= 1.10)\n",
              name, total, measuredTime, bareTime, bareTime > 0 ? measuredTime / bareTime : 0.0, rounds.size(),
              median);
  return static_cast<int>(rounds.size()) * block;
}

}  // namespace

int main(int argc, char** argv) {
  const int calls = argc > 1 ? std::atoi(argv[1]) : 5000;
  // A sink on loopback, emptied and counted between rounds, with room for one round.
  pendrake::winetest::LoopbackReceiver sink;
  if (!sink.ok()) {
    std::printf("FAIL: no sink: %s\n", sink.error().c_str());
    return 1;
  }
  sink.SetBufferSize(1 << 20);
  g_sinkPort = sink.port();
  int arrived = 0;
  const auto count = [&] { arrived += sink.Drain(); };

  pendrake::Logger logger(pendrake::win32::SystemPlatform());
  logger.SetSyslogServer(u"127.0.0.1");
  logger.SetSyslogPort(g_sinkPort);

  // Warm both paths before timing.
  for (int i = 0; i < 50; ++i) {
    logger.LogToSyslog(u"bench");
    BareSyslog();
    logger.LogToEventLog(u"bench");
    BareEventLog();
  }
  count();
  const int sent = 2 * (50 + Ratio("LogToSyslog", calls, 100, [&] { logger.LogToSyslog(u"bench"); }, BareSyslog, count));
  while (sink.Receive(500)) ++arrived;  // stragglers, if any
  // The event log calls cost little under Wine (its ReportEvent stores nothing): many more of
  // them, in larger rounds, to rise above the timer's grain.
  Ratio("LogToEventLog", calls * 20, 2000, [&] { logger.LogToEventLog(u"bench"); }, BareEventLog, [] {});

  std::printf("datagrams: %d sent, %d arrived; bare event reports failed: %d\n", sent, arrived, g_bareEventFailures);
  return arrived == sent && g_bareEventFailures == 0 ? 0 : 1;
}
