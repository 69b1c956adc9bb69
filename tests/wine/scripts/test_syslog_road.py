#!/usr/bin/env python3
"""The road of one message: script -> COM -> component -> one UDP datagram on 127.0.0.1."""
import scriptbed

ABC = b"<133>abc"

# (what it shows, send.vbs case, datagram expected). One object sends them in order, so
# facility and priority carry over from one case to the next where a case leaves them "-".
DATAGRAMS = [
    ("defaults and abc", "-,-,text,abc", ABC),
    ("lowest PRI", "0,0,text,x", b"<0>x"),
    ("highest PRI", "23,7,text,x", b"<191>x"),
    ("empty message", "16,5,text,", b"<133>"),
    ("user.info, bytes kept as given", '1,6,text,say "hi" \\ {09}tab', b'<14>say "hi" \\ \ttab'),
    ("out of range facility and priority keep the old ones", "24,8,text,kept", b"<14>kept"),
    ("cp1252 letter", "16,5,text,caf{e9}", b"<133>caf\xe9"),
    ("text ends at NUL", "-,-,text,ab{00}cd", b"<133>ab"),
    ("CR LF is sent as is", "-,-,text,a{0d}{0a}b", b"<133>a\r\nb"),
    ("10239 bytes whole", "-,-,repeat,10234", b"<133>" + b"x" * 10234),
    ("cut to 10239 bytes", "-,-,repeat,10235", b"<133>" + b"x" * 10234),
    ("far longer message cut", "-,-,repeat,20000", b"<133>" + b"x" * 10234),
]


def send(checks, context, server, port, cases, expected, receiver, env=None):
    result = scriptbed.cscript("send.vbs", server, str(port), *cases, env=env)
    checks.script_ran(context, result)
    checks.equal(context + ": calls made", "sent=%d" % len(cases), result.lines[-1] if result.lines else None)
    got = receiver.receive(len(expected), 10)
    for i, want in enumerate(expected):
        checks.datagram("%s, datagram %d" % (context, i + 1), want, got[i] if i < len(got) else None)
    extra = receiver.drain()
    checks.equal(context + ": datagrams beyond those expected", [], [d for d, _ in extra])
    return got


def main():
    checks = scriptbed.Checks("script syslog road")
    scriptbed.register_component()
    low, high = scriptbed.ephemeral_range()
    with scriptbed.LoopbackReceiver("127.0.0.1", 0) as receiver:
        port = receiver.port
        # The table, through one object.
        got = send(checks, "send.vbs table", "127.0.0.1", port, [c for _, c, _ in DATAGRAMS],
                   [d for _, _, d in DATAGRAMS], receiver)
        for (name, _, _), (_, sender) in zip(DATAGRAMS, got):
            checks.equal("%s: sender address" % name, "127.0.0.1", sender[0])
            checks.ok(low <= sender[1] <= high and sender[1] != port, "%s: sender port" % name,
                      "%d is not an ephemeral port (%d-%d)" % (sender[1], low, high))

        # Destinations: port numbers above 65535 use their low 16 bits; a host name is looked up.
        for context, server, target in [
            ("port + 65536", "127.0.0.1", port + 65536),
            ("host name localhost", "localhost", port),
        ]:
            send(checks, context, server, target, ["-,-,text,abc"], [ABC], receiver)

        # Port 0: the service database's syslog/udp entry, asked on every call.
        with scriptbed.services_syslog_port(port):
            send(checks, "port 0 via the services entry", "127.0.0.1", 0, ["-,-,text,abc"], [ABC], receiver)

        # The demo script a user runs first: one datagram and one event log entry.
        result = scriptbed.cscript(scriptbed.EXAMPLES_DIR / "demo.vbs", "127.0.0.1", str(port),
                                   debug=scriptbed.EVENTLOG_DEBUG)
        checks.script_ran("examples/demo.vbs", result)
        got = receiver.receive(1, 10)
        checks.datagram("examples/demo.vbs datagram", b"<142>Pendrake demo: hello, syslog", got[0] if got else None)
        events = [(e["source"], e["type"], e["id"], e["strings"])
                  for e in scriptbed.parse_trace(result.stderr).events]
        checks.equal("examples/demo.vbs event log entry",
                     [("Orvelle Pendrake", 4, 1000, ["Pendrake demo: hello, event log", ""])], events)
    checks.finish()


if __name__ == "__main__":
    main()
