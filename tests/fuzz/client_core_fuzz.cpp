// The client's input rules and builders with any text: the digit filter and parser, the port
// check, the defaults page's record, and the two generated scripts.
// Invariants: the parsers agree with each other and never give a value out of range; a saved
// record holds only values the page showed as valid; every line of a generated script is
// whole VBScript: no line break inside it, every literal closed with every quote in it
// doubled, and the expression reads back as exactly the value that went in.
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "client/core/InputRules.h"
#include "client/core/Scripts.h"
#include "client/core/Settings.h"
#include "fuzz_input.h"

namespace pendrake::client {
namespace {

using fuzz::ConsumeWide;

// Reads a VBScript string expression of literals joined by "& vbCr &" / "& vbLf &" back into
// its value; false when the text is anything else or does not end with it.
bool ReadExpression(std::u16string_view text, std::u16string& value) {
  value.clear();
  std::size_t i = 0;
  for (;;) {
    if (i >= text.size() || text[i] != u'"') return false;
    ++i;
    for (;;) {
      if (i >= text.size()) return false;  // the literal runs to the end of the line
      if (text[i] == u'"') {
        if (i + 1 < text.size() && text[i + 1] == u'"') {
          value.push_back(u'"');
          i += 2;
          continue;
        }
        ++i;
        break;
      }
      value.push_back(text[i++]);
    }
    if (i == text.size()) return true;
    const std::u16string_view rest = text.substr(i);
    if (rest.starts_with(u" & vbCr & ")) {
      value.push_back(u'\r');
    } else if (rest.starts_with(u" & vbLf & ")) {
      value.push_back(u'\n');
    } else {
      return false;
    }
    i += 10;
  }
}

std::vector<std::u16string> Lines(const std::u16string& file) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = file.find(u"\r\n", start)) != std::u16string::npos; start = end + 2) {
    lines.push_back(file.substr(start, end - start));
  }
  PENDRAKE_FUZZ_CHECK(start == file.size(), "the file does not end with a line end");
  return lines;
}

// Line `index` is "<prefix><expression of value>".
void CheckLine(const std::vector<std::u16string>& lines, std::size_t index, std::u16string_view prefix,
               const std::u16string& value) {
  const std::u16string& line = lines[index];
  PENDRAKE_FUZZ_CHECK(line.starts_with(prefix), "line " + std::to_string(index));
  std::u16string read;
  PENDRAKE_FUZZ_CHECK(ReadExpression(std::u16string_view(line).substr(prefix.size()), read),
                      "line " + std::to_string(index) + " is no closed string expression");
  PENDRAKE_FUZZ_CHECK(read == value, "line " + std::to_string(index) + " reads back as another value");
}

void CheckScriptFile(const std::u16string& file, std::initializer_list<std::pair<std::u16string_view, std::u16string>> values) {
  for (std::size_t i = 0; i < file.size(); ++i) {
    if (file[i] == u'\r') PENDRAKE_FUZZ_CHECK(i + 1 < file.size() && file[i + 1] == u'\n', "a lone CR");
    if (file[i] == u'\n') PENDRAKE_FUZZ_CHECK(i > 0 && file[i - 1] == u'\r', "a lone LF");
  }
  const std::vector<std::u16string> lines = Lines(file);
  PENDRAKE_FUZZ_CHECK(lines.size() == 10 && lines[9].empty(), std::to_string(lines.size()) + " lines");
  std::size_t index = 3;
  for (const auto& [prefix, value] : values) {
    if (index == 7) ++index;  // the empty line before the call
    CheckLine(lines, index++, prefix, value);
  }
}

void CheckNumberRules(const std::u16string& text) {
  const std::u16string digits = DigitsOnly(text);
  for (char16_t c : digits) PENDRAKE_FUZZ_CHECK(c >= u'0' && c <= u'9', "DigitsOnly kept a non-digit");
  for (std::int32_t max : {0, 9, 65535, std::numeric_limits<std::int32_t>::max()}) {
    const std::optional<std::int32_t> value = ParseDigits(text, max);
    if (!value) continue;
    PENDRAKE_FUZZ_CHECK(*value >= 0 && *value <= max, "ParseDigits out of range");
    PENDRAKE_FUZZ_CHECK(digits == text, "ParseDigits read a non-digit");
    // Leading zeros aside, the text is the number's decimal text.
    const std::size_t first = text.find_first_not_of(u'0');
    const std::u16string significant = first == std::u16string::npos ? u"0" : text.substr(first);
    PENDRAKE_FUZZ_CHECK(DecimalText(*value) == significant, "ParseDigits and DecimalText disagree");
  }
  switch (CheckPortText(text)) {
    case PortCheck::Accept:
      PENDRAKE_FUZZ_CHECK(text.empty() || ParseDigits(text, 65535), "accepted a port out of range");
      break;
    case PortCheck::TooLarge:
      PENDRAKE_FUZZ_CHECK(digits == text && !ParseDigits(text, 65535), "too large, but no large number");
      PENDRAKE_FUZZ_CHECK(CheckPortText(kMaxPortText) == PortCheck::Accept, "65535 refused");
      break;
    case PortCheck::NotDigits:
      PENDRAKE_FUZZ_CHECK(digits != text, "no non-digit, yet NotDigits");
      // The replacement runs the check again: it must settle, not come back as NotDigits.
      PENDRAKE_FUZZ_CHECK(CheckPortText(digits) != PortCheck::NotDigits, "the replacement is refused again");
      break;
  }
}

}  // namespace
}  // namespace pendrake::client

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pendrake::client;
  FuzzedDataProvider input(data, size);

  const std::uint32_t key = input.ConsumeIntegral<std::uint32_t>() % 0x11000;
  const KeyFilterResult filtered = DigitsOnlyKeyFilter(key);
  const bool passes = key <= 31 || (key >= u'0' && key <= u'9');
  PENDRAKE_FUZZ_CHECK(filtered.code == (passes ? key : 0) && filtered.beep == !passes, std::to_string(key));

  const std::u16string number = ConsumeWide(input, 40);
  CheckNumberRules(number);

  // The defaults page: whatever the controls hold, the record keeps only valid values.
  DefaultsPageState page;
  page.enableDefaultsChecked = input.ConsumeBool();
  page.facilityPosition = input.ConsumeIntegralInRange<std::int32_t>(-2, 30);
  page.priorityPosition = input.ConsumeIntegralInRange<std::int32_t>(-2, 10);
  page.portText = ConsumeWide(input, 12);
  page.server = ConsumeWide(input, 40);
  page.computer = ConsumeWide(input, 40);
  page.source = ConsumeWide(input, 40);
  page.eventIdText = ConsumeWide(input, 14);
  page.eventTypeItemData = input.ConsumeIntegralInRange<std::int32_t>(-2, 9);
  SettingsRecord record;
  const SettingsRecord before = record;
  TakeDefaultsFromPage(page, record);
  if (!page.enableDefaultsChecked) {
    SettingsRecord expected = before;
    expected.bBootFromRegistry = 0;
    PENDRAKE_FUZZ_CHECK(record == expected, "an unchecked page changed more than the flag");
  } else {
    PENDRAKE_FUZZ_CHECK(record.bBootFromRegistry == 1, "checked, not switched on");
    PENDRAKE_FUZZ_CHECK(record.iSyslogFacility >= 0 && record.iSyslogFacility <= 23, "facility");
    PENDRAKE_FUZZ_CHECK(record.iSyslogPriority >= 0 && record.iSyslogPriority <= 7, "priority");
    PENDRAKE_FUZZ_CHECK(record.iSyslogPort >= 0 && record.iSyslogPort <= 65535, "port");
    PENDRAKE_FUZZ_CHECK(record.iEventLogID >= 0, "event ID");
    const std::int32_t type = record.iEventLogType;
    PENDRAKE_FUZZ_CHECK(type == 0 || type == 1 || type == 2 || type == 4, "event type");
    PENDRAKE_FUZZ_CHECK(record.szSyslogServer == page.server && record.szEventLogComputer == page.computer &&
                            record.szEventLogSource == page.source,
                        "texts not taken");
  }

  SyslogScriptValues syslog;
  syslog.server = ConsumeWide(input, 80);
  syslog.portText = ConsumeWide(input, 12);
  syslog.facility = input.ConsumeIntegral<std::int32_t>();
  syslog.priority = input.ConsumeIntegral<std::int32_t>();
  syslog.message = ConsumeWide(input, 400);
  CheckScriptFile(SyslogScriptFileText(syslog), {{u"o.SyslogServer = ", syslog.server},
                                                 {u"o.SyslogPort = ", syslog.portText},
                                                 {u"o.SyslogFacility = ", DecimalText(syslog.facility)},
                                                 {u"o.SyslogPriority = ", DecimalText(syslog.priority)},
                                                 {u"o.LogToSyslog ", syslog.message}});
  EventLogScriptValues event;
  event.computer = ConsumeWide(input, 80);
  event.source = ConsumeWide(input, 80);
  event.eventIdText = ConsumeWide(input, 14);
  event.eventType = input.ConsumeIntegral<std::int32_t>();
  event.message = ConsumeWide(input, 400);
  CheckScriptFile(EventLogScriptFileText(event), {{u"o.EventLogComputer = ", event.computer},
                                                  {u"o.EventLogSource = ", event.source},
                                                  {u"o.EventLogID = ", event.eventIdText},
                                                  {u"o.EventLogType = ", DecimalText(event.eventType)},
                                                  {u"o.LogToEventLog ", event.message}});
  return 0;
}
