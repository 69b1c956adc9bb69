// The by-value owners the ports hand out, and the inline text buffer: each resource given back
// exactly once and to the port that issued it, whatever moves happen; each text intact
// whether it lives inside the buffer or on the heap; and the logging calls, which with short
// texts allocate nothing at all.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "logger.h"
#include "ports.h"

namespace {
bool countAllocations = false;
int allocations = 0;
}  // namespace

// Every allocation of this test program passes here, so a test can count its own.
void* operator new(std::size_t size) {
  if (countAllocations) ++allocations;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace pendrake {
namespace {

// Issues handles 101, 102, ... and records what comes back.
class CountingEventLog final : public EventLog {
 public:
  std::uintptr_t next = 101;
  std::vector<std::uintptr_t> reported;
  std::vector<std::uintptr_t> released;

  EventSource RegisterSource(const char*, const char*) override { return EventSource(*this, next++); }

 protected:
  bool Report(std::uintptr_t source, std::uint16_t, std::uint16_t, std::uint32_t,
              std::span<const char* const>) override {
    reported.push_back(source);
    return true;
  }
  void Release(EventSourceKind, std::uintptr_t source) noexcept override { released.push_back(source); }
};

using Handles = std::vector<std::uintptr_t>;

TEST(PortOwner, GivesEachHandleBackOnceToItsPort) {
  struct Case {
    const char* what;
    void (*act)(CountingEventLog&);
    Handles released;  // once every owner has gone, in order
  } const cases[] = {
      {"an empty owner releases nothing", [](CountingEventLog&) { EventSource none; (void)none; }, {}},
      {"released when it goes", [](CountingEventLog& log) { EventSource a = log.RegisterSource(nullptr, "s"); },
       {101}},
      {"reset twice releases once",
       [](CountingEventLog& log) {
         EventSource a = log.RegisterSource(nullptr, "s");
         a.reset();
         a.reset();
         EXPECT_FALSE(a);
       },
       {101}},
      {"moved out: only the new owner releases",
       [](CountingEventLog& log) {
         EventSource a = log.RegisterSource(nullptr, "s");
         EventSource b(std::move(a));
         EXPECT_FALSE(a);
         EXPECT_TRUE(b);
         EXPECT_TRUE(log.released.empty());
       },
       {101}},
      {"move-assigned: the old handle of the target goes first",
       [](CountingEventLog& log) {
         EventSource a = log.RegisterSource(nullptr, "s");
         EventSource b = log.RegisterSource(nullptr, "s");
         b = std::move(a);
         EXPECT_EQ(log.released, Handles({102}));
       },
       {102, 101}},
      {"assigned to itself: kept",
       [](CountingEventLog& log) {
         EventSource a = log.RegisterSource(nullptr, "s");
         EventSource& same = a;
         a = std::move(same);
         EXPECT_TRUE(a);
         EXPECT_TRUE(log.released.empty());
       },
       {101}},
      {"a report reaches the port with the handle held",
       [](CountingEventLog& log) {
         EventSource a = log.RegisterSource(nullptr, "s");
         EventSource b = log.RegisterSource(nullptr, "s");
         const char* const strings[] = {"x", ""};
         EventSource c(std::move(b));
         EXPECT_TRUE(c.Report(4, 0, 0, strings));
         EXPECT_TRUE(a.Report(4, 0, 0, strings));
         EXPECT_EQ(log.reported, Handles({102, 101}));
       },
       {102, 101}},
  };
  for (const Case& c : cases) {
    CountingEventLog log;
    c.act(log);
    EXPECT_EQ(log.released, c.released) << c.what;
  }
}

std::string Pattern(std::size_t size) {
  std::string text(size, '\0');
  for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + i % 26);
  return text;
}

TEST(NarrowText, HoldsEveryLengthTerminated) {
  const std::size_t kInline = NarrowText::kInlineCapacity;
  // Sizes in the order they are assigned to one buffer, so that each case also starts from
  // what the one before left: inline after heap, a longer heap text after a shorter one.
  const std::size_t sizes[] = {0, 1, kInline, kInline + 1, 3, kInline + 1, 10239, kInline + 2, kInline, 0, 20000};
  NarrowText text;
  EXPECT_STREQ(text.c_str(), "") << "a new buffer is empty";
  for (std::size_t size : sizes) {
    const std::string expected = Pattern(size);
    text.Assign(expected);
    EXPECT_EQ(text.size(), size);
    EXPECT_EQ(text.view(), expected) << "size " << size;
    EXPECT_EQ(text.c_str()[size], '\0') << "size " << size;
    EXPECT_EQ(text.empty(), size == 0);
  }
}

TEST(NarrowText, Shortens) {
  struct Case {
    std::size_t size, keep, expected;
  } const cases[] = {
      {10, 4, 4}, {10, 0, 0}, {10, 10, 10}, {10, 99, 10}, {600, 300, 300}, {600, 700, 600},
  };
  for (const Case& c : cases) {
    NarrowText text;
    text.Assign(Pattern(c.size));
    text.Shorten(c.keep);
    EXPECT_EQ(text.view(), Pattern(c.expected)) << c.size << " to " << c.keep;
    EXPECT_EQ(text.c_str()[text.size()], '\0') << c.size << " to " << c.keep;
  }
}

// Narrows ASCII without allocating, as the system's code page does.
class AsciiCodePage final : public CodePage {
 public:
  void ToNarrow(std::u16string_view text, NarrowText& out) override {
    char* room = out.Allocate(text.size());
    for (char16_t c : text) *room++ = static_cast<char>(c);
  }
  std::u16string ToWide(std::string_view text) override { return std::u16string(text.begin(), text.end()); }
  CodePageLayout Layout() override { return {}; }
  std::size_t SystemWidenedLength(std::string_view text) override { return text.size(); }
};

// Each logging call acquires and releases its event source afresh; with short texts it does
// so without touching the heap, where the allocator would cost more than the report itself.
TEST(EventWriter, ShortTextsNeedNoHeap) {
  const std::u16string longMessage(NarrowText::kInlineCapacity + 1, u'x');
  struct Case {
    const char* what;
    const char16_t* computer;
    const char16_t* message;
    int allocations;
  } const cases[] = {
      {"local computer", nullptr, u"bench", 0},
      {"named computer", u"SRV7", u"a message of some length, still well within the inline room", 0},
      {"message beyond the inline room", nullptr, longMessage.c_str(), 1},
  };
  for (const Case& c : cases) {
    testing::FakePlatform fake;
    CountingEventLog eventLog;
    AsciiCodePage codePage;
    Platform platform{fake.registry, fake.sockets, eventLog, codePage, fake.debugOutput};
    Logger logger(platform);
    logger.SetEventLogComputer(c.computer);
    eventLog.reported.reserve(1);  // the fake's own records count for nothing
    eventLog.released.reserve(1);
    countAllocations = true;
    allocations = 0;
    logger.LogToEventLog(c.message);
    countAllocations = false;
    EXPECT_EQ(allocations, c.allocations) << c.what;
    EXPECT_EQ(eventLog.reported, Handles({101})) << c.what;
    EXPECT_EQ(eventLog.released, Handles({101})) << c.what;
  }
}

// Sockets that record only counts, so that the fake itself never allocates.
class CountingSockets final : public Sockets {
 public:
  int starts = 0, cleanups = 0, opened = 0, closed = 0, sends = 0;
  std::size_t lastDatagramSize = 0;

  SocketsStartup Start(std::uint16_t version) override {
    ++starts;
    return SocketsStartup(*this, version);
  }
  UdpSocket OpenUdpSocket() override { return UdpSocket(*this, static_cast<std::uintptr_t>(++opened)); }
  std::optional<std::uint16_t> ServicePort(const char*, const char*) override { return std::nullopt; }
  std::uint32_t ParseDottedAddress(const char*) override { return 0x0100007F; }
  std::optional<std::uint32_t> LookUpHost(const char*) override { return std::nullopt; }
  Udp6Socket OpenUdp6Socket() override { return Udp6Socket(*this, static_cast<std::uintptr_t>(++opened)); }
  std::optional<Ipv6Address> ParseIpv6Address(const char*) override { return std::nullopt; }
  std::optional<Ipv6Address> LookUpIpv6Host(const char*) override { return std::nullopt; }

 protected:
  bool Bind(std::uintptr_t) override { return true; }
  bool Bind6(std::uintptr_t) override { return true; }
  bool Send6(std::uintptr_t, std::string_view, const Ipv6Address&, std::uint16_t) override { return true; }
  bool Send(std::uintptr_t, std::string_view datagram, std::uint32_t, std::uint16_t) override {
    ++sends;
    lastDatagramSize = datagram.size();
    return true;
  }
  void Release(StartupKind, std::uintptr_t) noexcept override { ++cleanups; }
  void Release(SocketKind, std::uintptr_t) noexcept override { ++closed; }
};

TEST(SyslogSender, ShortTextsNeedNoHeap) {
  const std::u16string longMessage(NarrowText::kInlineCapacity + 1, u'x');
  struct Case {
    const char* what;
    const char16_t* message;
    std::size_t datagramSize;
    int allocations;
  } const cases[] = {
      {"short message", u"bench", 10, 0},
      {"absent message", nullptr, 5, 0},
      // The narrowed message and the datagram built from it.
      {"message beyond the inline room", longMessage.c_str(), NarrowText::kInlineCapacity + 6, 2},
  };
  for (const Case& c : cases) {
    testing::FakePlatform fake;
    CountingSockets sockets;
    AsciiCodePage codePage;
    Platform platform{fake.registry, sockets, fake.eventLog, codePage, fake.debugOutput};
    Logger logger(platform);
    logger.SetSyslogServer(u"127.0.0.1");
    countAllocations = true;
    allocations = 0;
    logger.LogToSyslog(c.message);
    countAllocations = false;
    EXPECT_EQ(allocations, c.allocations) << c.what;
    EXPECT_EQ(sockets.sends, 1) << c.what;
    EXPECT_EQ(sockets.lastDatagramSize, c.datagramSize) << c.what;
    EXPECT_EQ(sockets.starts, sockets.cleanups) << c.what;
    EXPECT_EQ(sockets.opened, sockets.closed) << c.what;
  }
}

}  // namespace
}  // namespace pendrake
