#!/usr/bin/env python3
"""Many processes logging at once: 8 cscript processes, each with its own mark, send 500
syslog messages to one loopback receiver, then 8 write 500 event log entries each, read back
from Wine's event log trace. Every message must arrive once, with its exact bytes, and every
process must report that its script ran to the end without an error.

Each process runs its own copy of the script: Wine's script host opens the script file
without sharing, so a process that opens it while another holds it open gets nothing to run,
prints nothing and still exits with 0. That is how a round once lost one process's 500
messages; the "done" line every process must print catches such a process.

    test_many_processes.py [rounds] [--shared-script]

--shared-script runs every process on the one script file instead, as that round did: over
some rounds the checks then report the processes that ran nothing.
"""
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

import scriptbed

PROCESSES = 8
MESSAGES = 500
PRI = b"<133>"  # the built-in facility 16 and priority 5


class DrainingReceiver:
    """Reads the shared loopback receiver on its own thread, with a large buffer, so that no
    datagram is lost for want of room while eight senders are busy."""

    def __init__(self):
        self.receiver = scriptbed.LoopbackReceiver("127.0.0.1", 0)
        for option in (getattr(socket, "SO_RCVBUFFORCE", 33), socket.SO_RCVBUF):
            try:
                self.receiver.sock.setsockopt(socket.SOL_SOCKET, option, 32 * 1024 * 1024)
                break
            except OSError:
                continue
        self.port = self.receiver.port
        self.datagrams = []
        self.arrived = threading.Condition()
        self.stopping = False
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()

    def _run(self):
        while not self.stopping:
            try:
                batch = [data for data, _sender in self.receiver.receive(0, 0.1)]
            except OSError:
                return
            if batch:
                with self.arrived:
                    self.datagrams += batch
                    self.arrived.notify_all()

    def collect(self, expected: int, quiet: float = 3.0):
        """Waits until `expected` have arrived or nothing more came for `quiet` seconds."""
        with self.arrived:
            while len(self.datagrams) < expected:
                before = len(self.datagrams)
                if not self.arrived.wait_for(lambda: len(self.datagrams) != before, quiet):
                    break
        self.stopping = True
        self.thread.join()
        self.receiver.close()
        return list(self.datagrams)


SHARED_SCRIPT = False


def run_processes(folder: Path, mode: str, extra, debug=None):
    """Starts all processes at once, each on its own copy of the script; returns their results."""
    procs = []
    for p in range(PROCESSES):
        script = folder / ("sender%d.vbs" % (0 if SHARED_SCRIPT else p))
        if not script.exists():
            shutil.copyfile(scriptbed.SCRIPTS_DIR / "stress_sender.vbs", script)
        env = dict(scriptbed.os.environ)
        if debug:
            env["WINEDEBUG"] = debug
        args = [str(scriptbed.WINE_RUN), "cscript", "//nologo", scriptbed.winpath(script), mode, "p%d" % p,
                str(MESSAGES)] + [str(a) for a in extra]
        # Output goes to files: a pipe left unread while another process is waited for would
        # stop its writer half way (the event log trace is long).
        out = open(folder / ("sender%d.out" % p), "w+b")
        err = open(folder / ("sender%d.err" % p), "w+b")
        procs.append((subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=err), out, err))
    results = []
    deadline = time.monotonic() + 300
    for proc, out, err in procs:
        try:
            proc.wait(timeout=max(1, deadline - time.monotonic()))
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
        out.seek(0)
        err.seek(0)
        results.append(scriptbed.Result(proc.returncode, out.read(), err.read()))
        out.close()
        err.close()
    return results


def check_processes(checks, label, results):
    for p, result in enumerate(results):
        checks.script_ran("%s: process p%d" % (label, p), result)
        checks.equal("%s: process p%d ran its script to the end" % (label, p),
                     "done p%d calls=%d errors=0" % (p, MESSAGES), result.lines[-1] if result.lines else None)


def expected_messages():
    return {"p%d %d" % (p, n) for p in range(PROCESSES) for n in range(1, MESSAGES + 1)}


def syslog_round(checks, folder: Path, label: str):
    receiver = DrainingReceiver()
    started = time.monotonic()
    results = run_processes(folder, "syslog", ["127.0.0.1", receiver.port])
    got = receiver.collect(PROCESSES * MESSAGES)
    elapsed = time.monotonic() - started
    check_processes(checks, label, results)
    want = {PRI + m.encode("ascii") for m in expected_messages()}
    counts = {}
    for datagram in got:
        counts[datagram] = counts.get(datagram, 0) + 1
    missing = want - set(counts)
    per_process = {}
    for datagram in missing:
        mark = datagram[len(PRI):].split(b" ")[0].decode()
        per_process[mark] = per_process.get(mark, 0) + 1
    checks.equal("%s: datagrams missing, by process" % label, {}, per_process)
    checks.equal("%s: datagrams with other bytes" % label, [],
                 sorted(d for d in counts if d not in want)[:5])
    checks.equal("%s: datagrams that arrived twice" % label, 0, sum(1 for d in want if counts.get(d, 0) > 1))
    print("%s: %d processes x %d messages: %d sent, %d received, %d missing, in %.1f s" % (
        label, PROCESSES, MESSAGES, PROCESSES * MESSAGES, len(got), len(missing), elapsed))


def eventlog_round(checks, folder: Path, label: str):
    started = time.monotonic()
    results = run_processes(folder, "eventlog", [], debug=scriptbed.EVENTLOG_DEBUG)
    elapsed = time.monotonic() - started
    check_processes(checks, label, results)
    want = expected_messages()
    got = []
    for p, result in enumerate(results):
        trace = scriptbed.parse_trace(result.stderr)
        strings = [e["strings"][0] for e in trace.events if e["strings"]]
        checks.equal("%s: process p%d entries in the trace" % (label, p),
                     ["p%d %d" % (p, n) for n in range(1, MESSAGES + 1)], strings)
        got += strings
    print("%s: %d processes x %d entries: %d written, %d in the trace, %d missing, in %.1f s" % (
        label, PROCESSES, MESSAGES, PROCESSES * MESSAGES, len(got), len(want - set(got)), elapsed))


def main():
    global SHARED_SCRIPT
    SHARED_SCRIPT = "--shared-script" in sys.argv
    numbers = [a for a in sys.argv[1:] if a.isdigit()]
    rounds = int(numbers[0]) if numbers else 1
    checks = scriptbed.Checks("many processes")
    scriptbed.register_component()
    with tempfile.TemporaryDirectory(prefix="pendrake-many-") as tmp:
        folder = Path(tmp)
        for r in range(1, rounds + 1):
            syslog_round(checks, folder, "syslog round %d" % r)
        eventlog_round(checks, folder, "event log round")
    checks.finish()


if __name__ == "__main__":
    main()
