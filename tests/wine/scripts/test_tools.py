#!/usr/bin/env python3
"""The receiver and the trace reader that every other script test trusts: if they misprint a
byte or misread a trace line, those tests prove nothing. Runs without Wine."""
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import time

import scriptbed
from eventlog_trace import decode_debugstr, parse_trace
from udp_receiver import escape_bytes, unescape_bytes

RECEIVER = str(scriptbed.SOURCE_DIR / "tools" / "udp_receiver.py")

ESCAPES = [
    (b"<133>abc", "<133>abc"),
    (b"", ""),
    (b'say "hi"', 'say \\"hi\\"'),
    (b"a\\b", "a\\\\b"),
    (b"\\x41", "\\\\x41"),         # a literal backslash-x must not read as an escape
    (b"\x00\r\n\t", "\\x00\\x0d\\x0a\\x09"),
    (b"\x7f\x80\xe9\xff", "\\x7f\\x80\\xe9\\xff"),
    (b" ~", " ~"),
]

DEBUGSTRS = [
    # (text after the function name, wide, value, truncated)
    ('L"abc"', True, "abc", False),
    ('L""', True, "", False),
    ('(null)', False, None, False),
    ('L"a\\"b\\\\c\\nd\\re\\tf"', True, 'a"b\\c\nd\re\tf', False),
    ('L"\\00d9\\03a9?"', True, "\u00d9\u03a9?", False),
    ('"caf\\351"', False, "caf\u00e9", False),
    ('L"xxxx"...', True, "xxxx", True),
]

TRACE = """\
0118:fixme:advapi:RegisterEventSourceA ((null),"Orvelle Pendrake"): stub
0118:fixme:advapi:RegisterEventSourceW (L"",L"Orvelle Pendrake"): stub
0118:fixme:advapi:ReportEventA (00000000CAFE4242,0x0004,0x0000,0x00000000,0000000000000000,0x0002,0x00000000,000000000021FD20,0000000000000000): stub
0118:fixme:advapi:ReportEventW (00000000CAFE4242,0x0004,0x0000,0x00000000,0000000000000000,0x0002,0x00000000,0000000000349AF0,0000000000000000): stub
0118:trace:eventlog:ReportEventW L"abc"
0118:trace:eventlog:ReportEventW L""
0118:fixme:advapi:DeregisterEventSource (00000000CAFE4242) stub
0118:fixme:advapi:RegisterEventSourceA ("","Other, source"): stub
0118:fixme:advapi:ReportEventA (00000000CAFE4242,0x0001,0x0000,0xffffffff,0000000000000000,0x0002,0x00000000,000000000021FD10,0000000000000000): stub
0118:fixme:advapi:ReportEventW (00000000CAFE4242,0x0001,0x0000,0xffffffff,0000000000000000,0x0002,0x00000000,0000000000349AF0,0000000000000000): stub
0118:err:eventlog:ReportEventW L"x\\"y"
0118:err:eventlog:ReportEventW L""
0118:fixme:advapi:DeregisterEventSource (00000000CAFE4242) stub
"""


def run_receiver(*args, timeout=10):
    return subprocess.run([sys.executable, RECEIVER] + list(args), stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=timeout, text=True)


def main():
    checks = scriptbed.Checks("script tools")

    for data, text in ESCAPES:
        checks.equal("escape_bytes(%r)" % data, text, escape_bytes(data))
        checks.equal("unescape_bytes(%r)" % text, data, unescape_bytes(text))
    every_byte = bytes(range(256))
    checks.equal("all 256 bytes survive escape and unescape", every_byte, unescape_bytes(escape_bytes(every_byte)))

    for text, wide, value, truncated in DEBUGSTRS:
        got = decode_debugstr(text, wide)
        checks.equal("decode_debugstr(%r)" % text, (value, truncated), (got[0], got[2]))

    trace = parse_trace(TRACE)
    got = [(e["computer"], e["source"], e["type"], e["category"], e["id"], e["string_count"], e["strings"])
           for e in trace.events]
    checks.equal("parse_trace entries", [
        (None, "Orvelle Pendrake", 4, 0, 0, 2, ["abc", ""]),
        ("", "Other, source", 1, 0, 0xFFFFFFFF, 2, ['x"y', ""]),
    ], got)
    checks.equal("parse_trace releases", 2, trace.deregistrations)

    # The command: chosen port announced, datagrams printed exactly, ends by itself.
    with tempfile.TemporaryDirectory() as tmp:
        port_file = os.path.join(tmp, "port")
        proc = subprocess.Popen([sys.executable, RECEIVER, "--count", "2", "--timeout", "10",
                                 "--port-file", port_file], stdout=subprocess.PIPE, text=True)
        try:
            for _ in range(200):
                if os.path.exists(port_file):
                    break
                time.sleep(0.02)
            port = int(open(port_file).read())
            with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
                s.bind(("127.0.0.1", 0))
                sender = s.getsockname()[1]
                s.sendto(b"<133>abc", ("127.0.0.1", port))
                s.sendto(b'\x00"\\', ("127.0.0.1", port))
            out, _ = proc.communicate(timeout=10)
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.wait()
        checks.equal("receiver output for two datagrams", [
            "listening 127.0.0.1 port %d" % port,
            'datagram 1: 8 bytes from 127.0.0.1 port %d: "<133>abc"' % sender,
            'datagram 2: 3 bytes from 127.0.0.1 port %d: "\\x00\\"\\\\"' % sender,
            "done: received 2 of 2 datagram(s)",
        ], out.splitlines())
        checks.equal("receiver exit code when all arrived", 0, proc.returncode)

    for args, code, last in [
        (["--timeout", "0.3"], 1, "timeout after 0.3 s: received 0 of 1 datagram(s)"),
        (["--count", "0", "--timeout", "0.3"], 0, "done: received 0 of any datagram(s)"),
    ]:
        result = run_receiver(*args)
        checks.equal("receiver %s: exit code" % " ".join(args), code, result.returncode)
        checks.equal("receiver %s: last line" % " ".join(args), last, result.stdout.splitlines()[-1])
    for address in ["0.0.0.0", "192.0.2.1", "::"]:
        result = run_receiver("--bind", address, "--timeout", "0.1")
        checks.equal("receiver refuses to bind %s" % address, 2, result.returncode)

    # Killable by pid: SIGTERM ends it at once, with a summary.
    proc = subprocess.Popen([sys.executable, RECEIVER, "--timeout", "60"], stdout=subprocess.PIPE, text=True)
    try:
        first = proc.stdout.readline()
        proc.send_signal(signal.SIGTERM)
        out, _ = proc.communicate(timeout=5)
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    checks.ok(first.startswith("listening 127.0.0.1 port "), "receiver announces its port", first)
    checks.equal("receiver stopped by SIGTERM", "stopped by signal 15: received 0 of 1 datagram(s)", out.strip())

    # VBScript cannot import the type library's constants (and Wine's script host runs no .wsf
    # with <reference>), so the examples declare their own: they must be the interface's.
    idl = (scriptbed.SOURCE_DIR / "component" / "win32" / "Pendrake.idl").read_text()
    interface = {name: int(value) for name, value in re.findall(r"\b(pk\w+)\s*=\s*(\d+)", idl)}
    checks.ok(len(interface) == 8 + 24 + 4, "constants found in Pendrake.idl", "%d" % len(interface))
    for example in sorted(scriptbed.EXAMPLES_DIR.glob("*.vbs")):
        for name, value in re.findall(r"(?im)^\s*Const\s+(pk\w+)\s*=\s*(-?\d+)", example.read_text("latin-1")):
            checks.equal("%s: Const %s" % (example.name, name), interface.get(name), int(value))
    checks.finish()


if __name__ == "__main__":
    main()
