#!/usr/bin/env python3
"""Runs event_log_emitter.exe under Wine with the event log channels on and checks, entry by
entry, the values Wine saw: source registration, type, category, identifier, no SID, two
insertion strings, no raw data, and a deregistration for every registration. Also checks the
debugger lines: the one for a message cut to fit the report and the one for a syslog call
without a server."""
import os
import re
import subprocess
import sys

# (computer, source, type, id, channel, first string); the order of event_log_emitter.cpp.
EXPECTED = [
    ("(null)", '"Orvelle Pendrake"', 0x0004, 0x00000000, "trace", "abc"),
    ("(null)", '"Orvelle Pendrake"', 0x0003, 0x00000000, "trace", "type three"),
    ("(null)", '"Orvelle Pendrake"', 0x0004, 0x00000000, "trace", "type 65540"),
    ("(null)", '"Orvelle Pendrake"', 0x0004, 0xFFFFFFFF, "trace", "id minus one"),
    ("(null)", '"Orvelle Pendrake"', 0x0001, 1001, "err", "error entry"),
    ("(null)", '"Orvelle Pendrake"', 0x0002, 2002, "warn", "warning entry"),
    ("(null)", '"Orvelle Pendrake"', 0x0004, 0x00000000, "trace", "empty computer"),
    ("(null)", '"Orvelle Pendrake"', 0x0004, 0x00000000, "trace", ""),
    ("(null)", "(null)", 0x0004, 0x00000000, "trace", "no source"),
    # Cut to 31839 characters (the native tests count them); Wine's trace shows the start only.
    ("(null)", '"Orvelle Pendrake"', 0x0004, 0x00000000, "trace", "l" * 31839),
]
DEBUG_LINES = [r'"Event log message cut to 31839 characters!\r\n"', r'"No SyslogServer set, message not sent!\r\n"']

REGISTER = re.compile(r"fixme:advapi:RegisterEventSourceA \((.*),(.*)\): stub")
REPORT = re.compile(r"fixme:advapi:ReportEventA \(([0-9A-F]+),0x([0-9a-f]{4}),0x([0-9a-f]{4}),0x([0-9a-f]{8}),"
                    r"([0-9A-F]+),0x([0-9a-f]{4}),0x([0-9a-f]{8}),([0-9A-F]+),([0-9A-F]+)\): stub")
# A long string is traced shortened, its closing quote followed by "...".
STRING = re.compile(r"(trace|warn|err):eventlog:ReportEventW L\"(.*)\"(\.\.\.)?$")
DEREGISTER = re.compile(r"fixme:advapi:DeregisterEventSource ")
DEBUGSTR = re.compile(r"debugstr:OutputDebugStringA (.*)$")


def strings_match(traced, expected):
    """A traced string that Wine shortened matches an expected one that starts with it."""
    if len(traced) != len(expected):
        return False
    for (channel, text, shortened), (want_channel, want) in zip(traced, expected):
        if channel != want_channel or not (want.startswith(text) if shortened else text == want):
            return False
    return True


def shortened(strings):
    return [(channel, text[:40] + ("..." if cut or len(text) > 40 else "")) for channel, text, cut in strings]


def main():
    emitter = sys.argv[1]
    env = dict(os.environ)
    env["WINEDEBUG"] = "-all,fixme+advapi,+eventlog,warn+eventlog,err+eventlog,warn+debugstr"
    runner = os.path.join(env["PENDRAKE_SOURCE_DIR"], "tools", "wine-run.sh")
    done = subprocess.run([runner, emitter], env=env, capture_output=True, text=True, timeout=240)
    lines = done.stderr.splitlines()
    failures = []
    if done.returncode != 0 or "done" not in done.stdout:
        failures.append(f"emitter exit {done.returncode}, stdout {done.stdout!r}")

    entries = []  # one dict per registration, filled as the lines come
    deregistrations = 0
    debug_lines = []
    for line in lines:
        if m := REGISTER.search(line):
            entries.append({"computer": m.group(1), "source": m.group(2), "report": None, "strings": []})
        elif m := REPORT.search(line):
            if entries:
                entries[-1]["report"] = m.groups()
        elif m := STRING.search(line):
            if entries:
                entries[-1]["strings"].append((m.group(1), m.group(2), m.group(3) is not None))
        elif DEREGISTER.search(line):
            deregistrations += 1
        elif m := DEBUGSTR.search(line):
            debug_lines.append(m.group(1))

    if len(entries) != len(EXPECTED):
        failures.append(f"expected {len(EXPECTED)} registrations, saw {len(entries)}")
    for index, (want, got) in enumerate(zip(EXPECTED, entries)):
        computer, source, etype, eid, channel, first = want
        label = f"entry {index + 1} ({first[:40]!r})"
        if (got["computer"], got["source"]) != (computer, source):
            failures.append(f"{label}: registered ({got['computer']}, {got['source']}), expected ({computer}, {source})")
        if got["report"] is None:
            failures.append(f"{label}: no ReportEventA")
            continue
        _, gtype, gcat, gid, sid, nstrings, datasize, _, rawdata = got["report"]
        checks = [("type", int(gtype, 16), etype), ("category", int(gcat, 16), 0), ("id", int(gid, 16), eid),
                  ("SID", int(sid, 16), 0), ("strings", int(nstrings, 16), 2), ("data size", int(datasize, 16), 0),
                  ("raw data", int(rawdata, 16), 0)]
        for name, value, expected in checks:
            if value != expected:
                failures.append(f"{label}: {name} {value:#x}, expected {expected:#x}")
        if not strings_match(got["strings"], [(channel, first), (channel, "")]):
            failures.append(f"{label}: strings {shortened(got['strings'])}, "
                            f"expected {[(channel, first[:40]), (channel, '')]}")
    if deregistrations != len(entries):
        failures.append(f"{len(entries)} registrations but {deregistrations} deregistrations")
    if debug_lines != DEBUG_LINES:
        failures.append(f"debugger lines {debug_lines}, expected {DEBUG_LINES}")

    for failure in failures:
        print("FAIL:", failure)
    print(f"{len(entries)} entries checked, {len(failures)} failures")
    if failures:
        print("--- Wine output ---")
        print(done.stderr[-6000:])
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
