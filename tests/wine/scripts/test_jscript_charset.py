#!/usr/bin/env python3
"""A JScript client on the same road, and the conversion of its text to the ANSI code page
of the thread: 1252 by default, 1253 under a Greek locale. A character the code page lacks
becomes "?" (never a look-alike letter)."""
import scriptbed

# (what, UTF-16 code units, bytes under 1252, bytes under 1253)
CASES = [
    ("ASCII", [0x61, 0x62, 0x63], b"abc", b"abc"),
    ("empty text", [], b"", b""),
    ("e acute", [0xE9], b"\xe9", b"?"),
    ("u umlaut", [0xFC], b"\xfc", b"?"),
    ("capital omega", [0x3A9], b"?", b"\xd9"),
    ("capital alpha, a look-alike of A", [0x391], b"?", b"\xc1"),
    ("Greek word", [0x3BA, 0x3B1, 0x3BB, 0x3B7, 0x3BC, 0x3AD, 0x3C1, 0x3B1], b"????????",
     b"\xea\xe1\xeb\xe7\xec\xdd\xf1\xe1"),
    ("euro sign", [0x20AC], b"\x80", b"\x80"),
    ("CJK ideograph", [0x4E2D], b"?", b"?"),
    ("text ends at NUL", [0x61, 0x0, 0x62], b"a", b"a"),
    ("mixed", [0x41, 0x3A9, 0xE9, 0x42], b"A?\xe9B", b"A\xd9?B"),
]


def run(checks, label, env, column):
    with scriptbed.LoopbackReceiver("127.0.0.1", 0) as receiver:
        cases = [".".join("%x" % u for u in units) for _, units, _, _ in CASES]
        result = scriptbed.cscript("charset.js", str(receiver.port), *cases, env=env)
        checks.script_ran("charset.js (%s)" % label, result)
        values = result.values()
        checks.equal("%s: SyslogPort read back" % label, "%d|number" % receiver.port, values.get("port"))
        checks.equal("%s: SyslogServer read back" % label, "127.0.0.1", values.get("server"))
        checks.equal("%s: calls made" % label, str(len(CASES)), values.get("sent"))
        got = receiver.receive(len(CASES), 10)
        for i, case in enumerate(CASES):
            checks.datagram("%s: %s" % (label, case[0]), b"<133>" + case[column],
                            got[i] if i < len(got) else None)


def main():
    checks = scriptbed.Checks("script JScript charset")
    scriptbed.register_component()
    run(checks, "code page 1252", {}, 2)
    run(checks, "code page 1253", scriptbed.GREEK, 3)
    checks.finish()


if __name__ == "__main__":
    main()
