#!/usr/bin/env python3
"""Reads what a program gave Wine's event log functions, from Wine's debug output.

Wine stores no event log entries; it only prints the arguments. Run the program with
    WINEDEBUG=-all,fixme+advapi,trace+eventlog,warn+eventlog,err+eventlog
and feed the output (stderr) to this script, or import parse_trace():

    fixme:advapi:RegisterEventSourceA ((null),"Orvelle Pendrake"): stub
    fixme:advapi:ReportEventA (HANDLE,0x0004,0x0000,0x00000000,SID,0x0002,0x00000000,...): stub
    trace:eventlog:ReportEventW L"abc"        (err: for error entries, warn: for warnings)
    trace:eventlog:ReportEventW L""
    fixme:advapi:DeregisterEventSource (HANDLE) stub

    eventlog_trace.py [FILE]    prints one line per reported entry; exit 1 when there is none.
"""
import re
import sys

EVENT_TYPES = {0: "success", 1: "error", 2: "warning", 4: "information", 8: "audit success",
               16: "audit failure"}

_PREFIX = r"^(?:[0-9a-f]{4}:)?"
_REGISTER_A = re.compile(_PREFIX + r"fixme:advapi:RegisterEventSourceA \((.*)\): stub$")
_REPORT = re.compile(_PREFIX + r"fixme:advapi:ReportEvent([AW]) \(([^,]*),0x([0-9a-f]{4}),0x([0-9a-f]{4}),"
                     r"0x([0-9a-f]{8}),([^,]*),0x([0-9a-f]{4}),0x([0-9a-f]{8}),")
_STRING = re.compile(_PREFIX + r"(?:trace|err|warn):eventlog:ReportEventW (L\".*)$")
_DEREGISTER = re.compile(_PREFIX + r"fixme:advapi:DeregisterEventSource \(([^)]*)\)")

_SIMPLE_ESCAPES = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "\\": "\\"}


def decode_debugstr(text: str, wide: bool):
    """Decodes one quoted debug string at the start of `text`.

    Returns (value, rest, truncated); value is None for "(null)". Wine writes \\n \\r \\t \\" \\\\,
    other characters outside printable ASCII as four hex digits (wide) or three octal digits
    (narrow), and cuts long strings with a trailing "...".
    """
    if text.startswith("(null)"):
        return None, text[6:], False
    quote = 'L"' if wide else '"'
    if not text.startswith(quote):
        raise ValueError("not a debug string: %r" % text[:20])
    i = len(quote)
    out = []
    while i < len(text):
        c = text[i]
        if c == '"':
            rest = text[i + 1:]
            truncated = rest.startswith("...")
            return "".join(out), rest[3:] if truncated else rest, truncated
        if c != "\\":
            out.append(c)
            i += 1
            continue
        nxt = text[i + 1:i + 2]
        if nxt in _SIMPLE_ESCAPES:
            out.append(_SIMPLE_ESCAPES[nxt])
            i += 2
        elif wide and re.fullmatch(r"[0-9a-f]{4}", text[i + 1:i + 5]):
            out.append(chr(int(text[i + 1:i + 5], 16)))
            i += 5
        elif not wide and re.fullmatch(r"[0-7]{3}", text[i + 1:i + 4]):
            out.append(chr(int(text[i + 1:i + 4], 8)))
            i += 4
        else:
            raise ValueError("bad escape in %r" % text)
    raise ValueError("unterminated debug string: %r" % text)


class Trace:
    def __init__(self):
        self.registrations = []  # (computer, source): None = a null pointer was passed
        self.events = []         # dicts, in the order reported
        self.deregistrations = 0

    def __repr__(self):
        return "Trace(registrations=%r, events=%r, deregistrations=%d)" % (
            self.registrations, self.events, self.deregistrations)


def parse_trace(text: str) -> Trace:
    trace = Trace()
    for line in text.splitlines():
        m = _REGISTER_A.match(line)
        if m:
            computer, rest, _ = decode_debugstr(m.group(1), wide=False)
            source, rest, _ = decode_debugstr(rest[1:], wide=False)
            trace.registrations.append((computer, source))
            continue
        m = _REPORT.match(line)
        if m:
            kind = m.group(1)
            last = trace.events[-1] if trace.events else None
            # ReportEventA announces itself and then calls ReportEventW with the same values.
            if kind == "W" and last is not None and last["via"] == "A" and not last["wide_seen"]:
                last["wide_seen"] = True
                continue
            trace.events.append({
                "via": kind, "wide_seen": kind == "W",
                "type": int(m.group(3), 16), "category": int(m.group(4), 16),
                "id": int(m.group(5), 16), "sid": m.group(6),
                "string_count": int(m.group(7), 16), "data_size": int(m.group(8), 16),
                "strings": [], "truncated": False,
                "source": trace.registrations[-1][1] if trace.registrations else None,
                "computer": trace.registrations[-1][0] if trace.registrations else None,
            })
            continue
        m = _STRING.match(line)
        if m and trace.events:
            value, _, truncated = decode_debugstr(m.group(1), wide=True)
            trace.events[-1]["strings"].append(value)
            trace.events[-1]["truncated"] |= truncated
            continue
        if _DEREGISTER.match(line):
            trace.deregistrations += 1
    return trace


def quote(value) -> str:
    if value is None:
        return "(null)"
    return '"%s"' % "".join(c if 0x20 <= ord(c) < 0x7F and c not in '"\\' else
                            ("\\" + c if c in '"\\' else "\\u%04x" % ord(c)) for c in value)


def describe(event: dict) -> str:
    computer = event["computer"]
    where = "the local computer" if not computer else "computer %s" % quote(computer)
    return ("source %s on %s: type %d (%s), category %d, id %d, %d string(s) [%s], data %d byte(s)"
            % (quote(event["source"]), where, event["type"], EVENT_TYPES.get(event["type"], "not a known type"),
               event["category"], event["id"], event["string_count"],
               ", ".join(quote(s) for s in event["strings"]), event["data_size"]))


def main(argv) -> int:
    text = open(argv[1], encoding="utf-8", errors="replace").read() if len(argv) > 1 else sys.stdin.read()
    trace = parse_trace(text)
    for n, event in enumerate(trace.events, 1):
        print("entry %d: %s" % (n, describe(event)))
    print("sources registered %d time(s), released %d time(s)" % (len(trace.registrations), trace.deregistrations))
    return 0 if trace.events else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
