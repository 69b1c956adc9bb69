// The bytes of the syslog datagram.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "datagram.h"

namespace pendrake {
namespace {

std::string BuildDatagram(std::int32_t facility, std::int32_t priority, std::string_view message) {
  NarrowText datagram;
  pendrake::BuildDatagram(facility, priority, message, datagram);
  return std::string(datagram.view());
}

TEST(Datagram, PriIsFacilityTimesEightPlusPriority) {
  struct Case {
    std::int32_t facility, priority;
    const char* message;
    const char* expected;
  } const cases[] = {
      {16, 5, "abc", "<133>abc"}, {0, 0, "", "<0>"},      {23, 7, "", "<191>"},
      {16, 5, "", "<133>"},       {1, 0, "x", "<8>x"},    {0, 7, "a b", "<7>a b"},
      {2, 3, "<13>", "<19><13>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BuildDatagram(c.facility, c.priority, c.message), c.expected)
        << "facility " << c.facility << ", priority " << c.priority;
  }
}

TEST(Datagram, NeverLongerThanItsBufferLessOne) {
  struct Case {
    std::int32_t facility, priority;
    std::size_t messageSize;
    std::size_t expectedSize;
  } const cases[] = {
      {16, 5, 10234, 10239},   // sent whole
      {16, 5, 10235, 10239},   // loses its last byte
      {16, 5, 10233, 10238},
      {0, 0, 10236, 10239},    // "<0>" leaves room for one byte more
      {0, 0, 10237, 10239},
      {16, 5, 1 << 20, 10239},
  };
  for (const Case& c : cases) {
    std::string message(c.messageSize, 'm');
    message.back() = 'z';  // shows whether the last byte survived
    const std::string datagram = BuildDatagram(c.facility, c.priority, message);
    EXPECT_EQ(datagram.size(), c.expectedSize) << "message of " << c.messageSize << " bytes";
    const bool whole = datagram.size() - datagram.find('>') - 1 == c.messageSize;
    EXPECT_EQ(datagram.back() == 'z', whole) << "message of " << c.messageSize << " bytes";
  }
}

TEST(Datagram, CarriesMessageBytesUnchangedIncludingHighBytes) {
  const std::string message("\xe9\x01\xff", 3);
  EXPECT_EQ(BuildDatagram(16, 5, message), std::string("<133>\xe9\x01\xff", 8));
}

}  // namespace
}  // namespace pendrake
