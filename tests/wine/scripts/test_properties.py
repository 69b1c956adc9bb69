#!/usr/bin/env python3
"""Late-bound properties from VBScript: defaults, conversions, ranges, case-blind names."""
import scriptbed

# name echoed by properties.vbs -> "error|value" (texts: "error|TypeName|Len|value").
EXPECTED = [
    ("default.SyslogPriority", "0|5"),
    ("default.SyslogFacility", "0|16"),
    ("default.SyslogPort", "0|0"),
    ("default.EventLogType", "0|4"),
    ("default.EventLogID", "0|0"),
    ("default.EventLogSource", "0|String|16|Orvelle Pendrake"),
    # An absent text reaches a script as an empty string.
    ("default.SyslogServer", "0|String|0|"),
    ("default.EventLogComputer", "0|String|0|"),
    ("default.MessageToLog", "0|String|0|"),
    ("port.text514", "0|514"),
    ("port.textabc", "13|514"),
    ("port.70000", "0|70000"),
    ("port.minus1", "0|-1"),
    ("priority.8", "0|3"),
    ("priority.minus1", "0|3"),
    ("priority.0", "0|0"),
    ("priority.7", "0|7"),
    ("priority.text6", "0|6"),
    ("facility.24", "0|2"),
    ("facility.minus1", "0|2"),
    ("facility.23", "0|23"),
    ("facility.0", "0|0"),
    ("type.3", "0|3"),
    ("type.65540", "0|65540"),
    ("id.minus1", "0|-1"),
    ("case.syslogserver", "0|String|9|127.0.0.1"),
    ("case.SYSLOGPORT", "0|1468"),
    ("case.eventlogsource", "0|String|11|Case Source"),
    ("text.embedded_nul", "0|String|2|ab"),
    ("text.empty", "0|String|0|"),
    ("text.long", "0|String|300|" + "c" * 300),
    ("text.specials", '0|String|17|quote" back\\slash'),
    ("member.unknown", "438|"),
    ("method.missing_argument", "450|"),
    ("progid.versioned", "0|16"),
    ("end", "0"),
]


def main():
    checks = scriptbed.Checks("script properties")
    scriptbed.register_component()
    result = scriptbed.cscript("properties.vbs")
    checks.script_ran("properties.vbs", result)
    got = result.values()
    for name, expected in EXPECTED:
        checks.equal("properties.vbs %s" % name, expected, got.get(name))
    checks.finish()


if __name__ == "__main__":
    main()
