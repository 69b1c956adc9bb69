#!/usr/bin/env python3
"""What LogToEventLog hands the event log, read from Wine's event log trace: type, category,
identifier, source, computer and the two insertion strings."""
import scriptbed

SOURCE = "Orvelle Pendrake"
# The empty computer name means this computer; passing it on as "" or as no name both say so.
LOCAL = "local: empty or no name"

# (what, eventlog_cases.vbs case, expected (computer, source, type, id, strings))
CASES = [
    ("defaults and abc", "-|-|-|-|abc", (None, SOURCE, 4, 0, ["abc", ""])),
    ("type 3 passed as 3", "3|-|-|-|abc", (None, SOURCE, 3, 0, ["abc", ""])),
    ("type 65540 narrowed to 4", "65540|-|-|-|abc", (None, SOURCE, 4, 0, ["abc", ""])),
    ("id -1 as 4294967295", "-|-1|-|-|abc", (None, SOURCE, 4, 4294967295, ["abc", ""])),
    ("error entry", "1|1000|-|-|disk full", (None, SOURCE, 1, 1000, ["disk full", ""])),
    ("warning entry", "2|7|-|-|low space", (None, SOURCE, 2, 7, ["low space", ""])),
    ("success entry", "0|65536|-|-|done", (None, SOURCE, 0, 65536, ["done", ""])),
    ("empty message", "-|-|-|-|", (None, SOURCE, 4, 0, ["", ""])),
    ("own source", "-|-|Backup Job|-|x", (None, "Backup Job", 4, 0, ["x", ""])),
    ("empty computer is the local one", "-|-|-||x", (LOCAL, SOURCE, 4, 0, ["x", ""])),
    ("named computer passed on", "-|-|-|LOGHOST|x", ("LOGHOST", SOURCE, 4, 0, ["x", ""])),
    ("message ends at NUL", "-|-|-|-|ab{00}cd", (None, SOURCE, 4, 0, ["ab", ""])),
    ("quotes, backslash, line break", '-|-|-|-|a"b\\c{0d}{0a}d', (None, SOURCE, 4, 0, ['a"b\\c\r\nd', ""])),
    ("cp1252 letter", "-|-|-|-|caf{e9}", (None, SOURCE, 4, 0, ["caf\u00e9", ""])),
]

# Under a Greek locale the 8-bit text is cp1253: Chr(&HD9) is omega there.
GREEK_CASES = [
    ("cp1253 letter", "-|-|-|-|{d9}mega", (None, SOURCE, 4, 0, ["\u03a9mega", ""])),
]


def run(checks, label, cases, env=None):
    env = dict(env or {})
    result = scriptbed.cscript("eventlog_cases.vbs", *[c for _, c, _ in cases], env=env,
                               debug=scriptbed.EVENTLOG_DEBUG)
    checks.script_ran("eventlog_cases.vbs (%s)" % label, result)
    checks.equal("%s: calls made" % label, "reported=%d" % len(cases),
                 result.lines[-1] if result.lines else None)
    trace = scriptbed.parse_trace(result.stderr)
    checks.equal("%s: entries reported" % label, len(cases), len(trace.events))
    checks.equal("%s: every source released" % label, len(trace.registrations), trace.deregistrations)
    for (name, _, want), event in zip(cases, trace.events):
        computer, source, kind, ident, strings = want
        got_computer = event["computer"]
        if computer == LOCAL and got_computer in ("", None):
            got_computer = LOCAL
        got = (got_computer, event["source"], event["type"], event["id"], event["strings"])
        checks.equal("%s: %s (computer, source, type, id, strings)" % (label, name), want, got)
        checks.equal("%s: %s: category" % (label, name), 0, event["category"])
        checks.equal("%s: %s: string count" % (label, name), 2, event["string_count"])
        checks.equal("%s: %s: raw data size" % (label, name), 0, event["data_size"])


def main():
    checks = scriptbed.Checks("script event log")
    scriptbed.register_component()
    run(checks, "code page 1252", CASES)
    run(checks, "code page 1253", GREEK_CASES, scriptbed.GREEK)

    # The example script writes the same entry a user would.
    result = scriptbed.cscript(scriptbed.EXAMPLES_DIR / "eventlog.vbs", "backup finished", "2", "42",
                               debug=scriptbed.EVENTLOG_DEBUG)
    checks.script_ran("examples/eventlog.vbs", result)
    trace = scriptbed.parse_trace(result.stderr)
    got = [(e["source"], e["type"], e["id"], e["strings"]) for e in trace.events]
    checks.equal("examples/eventlog.vbs entry", [(SOURCE, 2, 42, ["backup finished", ""])], got)
    result = scriptbed.cscript(scriptbed.EXAMPLES_DIR / "eventlog.vbs", "x", "3",
                               debug=scriptbed.EVENTLOG_DEBUG)
    checks.script_ran("examples/eventlog.vbs refuses type 3", result, 1)
    checks.equal("examples/eventlog.vbs type 3: nothing reported", 0,
                 len(scriptbed.parse_trace(result.stderr).events))
    checks.finish()


if __name__ == "__main__":
    main()
