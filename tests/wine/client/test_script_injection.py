#!/usr/bin/env python3
"""The test tab's syslog script, written as the client writes it and run by cscript: a message
holding look-alikes of the quotation mark (which a best-fit conversion would turn into '"'
after the quotes were doubled) is sent as data, and nothing of it runs as code. The script the
message tries to inject only echoes a marker."""
import os
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "scripts"))
import scriptbed  # noqa: E402

MARKER = "INJECTED"
# (what, the quotation mark look-alike)
LOOK_ALIKES = [
    ("fullwidth quotation mark U+FF02", 0xFF02),
    ("modifier letter double prime U+02BA", 0x02BA),
]


def message_units(quote: int):
    """x<q>:WScript.Echo <q>INJECTED<q>:y=<q>, as UTF-16 code units."""
    units = []
    for part in ["x", quote, ":WScript.Echo ", quote, MARKER, quote, ":y=", quote]:
        units += [part] if isinstance(part, int) else [ord(c) for c in part]
    return units


def main():
    checks = scriptbed.Checks("client script injection (code page %s)" % os.environ.get("PENDRAKE_EXPECT_ACP"))
    writer = os.environ["PENDRAKE_SCRIPT_WRITER"]
    scriptbed.register_component()
    with tempfile.TemporaryDirectory(prefix="pendrake-script-") as tmp:
        for what, quote in LOOK_ALIKES:
            script = Path(tmp) / "generated.vbs"
            units = message_units(quote)
            with scriptbed.LoopbackReceiver("127.0.0.1", 0) as receiver:
                written = scriptbed.wine([writer, scriptbed.winpath(script), str(receiver.port),
                                          ".".join("%x" % u for u in units)])
                if not checks.script_ran("%s: the client writes the script" % what, written):
                    continue
                text = script.read_bytes()
                checks.ok(b'"' not in text.split(b"o.LogToSyslog ", 1)[-1].strip()[1:-1],
                          "%s: no bare quotation mark inside the message literal" % what, repr(text))
                result = scriptbed.cscript(script)
                checks.script_ran("%s: cscript runs the script" % what, result)
                checks.ok(MARKER not in result.stdout, "%s: the message ran as code" % what,
                          "cscript printed %r" % result.stdout)
                expected = "".join("?" if u == quote else chr(u) for u in units).encode("ascii")
                got = receiver.receive(1, 10)
                checks.datagram("%s: the message arrives as typed, the look-alike as '?'" % what,
                                b"<133>" + expected, got[0] if got else None)
    checks.finish()


if __name__ == "__main__":
    main()
