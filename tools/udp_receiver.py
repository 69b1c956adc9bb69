#!/usr/bin/env python3
"""Loopback syslog receiver for the demo and the end-to-end tests.

Binds a UDP socket on a loopback address, waits for a number of datagrams or until a
deadline, and prints every datagram exactly: its length, the sender's address and port,
and its bytes with everything but plain printable ASCII escaped, so that two different
datagrams never print the same.

    udp_receiver.py [--bind 127.0.0.1] [--port 0] [--count 1] [--timeout 10] [--port-file F]

Port 0 lets the system choose; the chosen port is printed on the first line
("listening 127.0.0.1 port N") and, with --port-file, written to that file once the socket
is bound (the file appears complete or not at all). --count 0 receives until the deadline.
Exit status: 0 when the expected number arrived (or --count 0), 1 on a timeout before that,
2 on bad arguments. SIGTERM and SIGINT end it at once with a summary line.

Tests import LoopbackReceiver and escape_bytes directly.
"""
import argparse
import ipaddress
import os
import signal
import socket
import sys
import time

MAX_DATAGRAM = 65535


def escape_bytes(data: bytes) -> str:
    """Printable ASCII stays; backslash and double quote get a backslash; all else is \\xHH."""
    out = []
    for b in data:
        if b == 0x5C:
            out.append("\\\\")
        elif b == 0x22:
            out.append('\\"')
        elif 0x20 <= b <= 0x7E:
            out.append(chr(b))
        else:
            out.append("\\x%02x" % b)
    return "".join(out)


def unescape_bytes(text: str) -> bytes:
    """The inverse of escape_bytes; raises ValueError on text escape_bytes cannot produce."""
    out = bytearray()
    i = 0
    while i < len(text):
        c = text[i]
        if c != "\\":
            if not 0x20 <= ord(c) <= 0x7E or c == '"':
                raise ValueError("unescaped character %r at %d" % (c, i))
            out.append(ord(c))
            i += 1
            continue
        nxt = text[i + 1:i + 2]
        if nxt in ("\\", '"'):
            out.append(ord(nxt))
            i += 2
        elif nxt == "x" and len(text) >= i + 4:
            digits = text[i + 2:i + 4]
            if any(d not in "0123456789abcdef" for d in digits):
                raise ValueError("bad escape at %d" % i)
            out.append(int(digits, 16))
            i += 4
        else:
            raise ValueError("bad escape at %d" % i)
    return bytes(out)


def format_datagram(index: int, data: bytes, sender) -> str:
    return 'datagram %d: %d bytes from %s port %d: "%s"' % (
        index, len(data), sender[0], sender[1], escape_bytes(data))


def require_loopback(address: str) -> None:
    # The receiver exists for tests on this machine; listening anywhere else is a mistake.
    if not ipaddress.ip_address(address).is_loopback:
        raise ValueError("refusing to listen on %s: only loopback addresses" % address)


class LoopbackReceiver:
    """A bound UDP socket on loopback; use as a context manager so the socket is closed."""

    def __init__(self, address: str = "127.0.0.1", port: int = 0):
        require_loopback(address)
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        try:
            self.sock.bind((address, port))
        except OSError:
            self.sock.close()
            raise
        self.address, self.port = self.sock.getsockname()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self) -> None:
        self.sock.close()

    def receive(self, count: int, timeout: float):
        """Up to `count` datagrams (all until the deadline when count is 0), as (bytes, sender)."""
        got = []
        deadline = time.monotonic() + timeout
        while count == 0 or len(got) < count:
            left = deadline - time.monotonic()
            if left <= 0:
                break
            self.sock.settimeout(left)
            try:
                data, sender = self.sock.recvfrom(MAX_DATAGRAM)
            except socket.timeout:
                break
            got.append((data, sender))
        return got

    def drain(self):
        """Whatever is already queued, without waiting."""
        return self.receive(0, 0.05)


def write_port_file(path: str, port: int) -> None:
    tmp = "%s.%d.tmp" % (path, os.getpid())
    with open(tmp, "w", encoding="ascii") as f:
        f.write("%d\n" % port)
    os.replace(tmp, path)


def main(argv=None) -> int:
    parser = argparse.ArgumentParser(description="Receive UDP datagrams on loopback and print them exactly.")
    parser.add_argument("--bind", default="127.0.0.1", help="loopback address to bind (default 127.0.0.1)")
    parser.add_argument("--port", type=int, default=0, help="port to bind, 0 = any free port")
    parser.add_argument("--count", type=int, default=1, help="datagrams to wait for, 0 = until the timeout")
    parser.add_argument("--timeout", type=float, default=10.0, help="seconds before giving up")
    parser.add_argument("--port-file", help="file that receives the bound port number")
    args = parser.parse_args(argv)
    if args.count < 0 or args.timeout < 0 or not 0 <= args.port <= 65535:
        parser.error("count, timeout and port must not be negative (port at most 65535)")
    try:
        receiver = LoopbackReceiver(args.bind, args.port)
    except (ValueError, OSError) as e:
        print("udp_receiver: %s" % e, file=sys.stderr)
        return 2

    received = 0

    def summary(reason: str) -> None:
        wanted = "%d" % args.count if args.count else "any"
        print("%s: received %d of %s datagram(s)" % (reason, received, wanted), flush=True)

    def on_signal(signum, _frame):
        summary("stopped by signal %d" % signum)
        receiver.close()
        os._exit(1)

    signal.signal(signal.SIGTERM, on_signal)
    signal.signal(signal.SIGINT, on_signal)

    with receiver:
        print("listening %s port %d" % (receiver.address, receiver.port), flush=True)
        if args.port_file:
            write_port_file(args.port_file, receiver.port)
        deadline = time.monotonic() + args.timeout
        while args.count == 0 or received < args.count:
            batch = receiver.receive(1, max(0.0, deadline - time.monotonic()))
            if not batch:
                break
            received += 1
            print(format_datagram(received, *batch[0]), flush=True)
    if args.count and received < args.count:
        summary("timeout after %g s" % args.timeout)
        return 1
    summary("done")
    return 0


if __name__ == "__main__":
    sys.exit(main())
