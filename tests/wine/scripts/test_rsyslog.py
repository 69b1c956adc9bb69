#!/usr/bin/env python3
"""Datagrams sent through the component, by the example scripts, are read by a real syslog
daemon (rsyslog, listening on 127.0.0.1 only) as the facility, severity and text that were
sent. The daemon runs with its own configuration, work directory and pid file in the build
tree and is stopped by its pid on every path."""
import os
import shutil
import signal
import socket
import subprocess
import time

import scriptbed

# (script, facility, priority, message, expected (facility, severity, tag, msg) or None when
# the script must refuse the arguments and send nothing). rsyslog reads "tag: text"; a
# header-less single word is taken as the host name, so only the raw message shows it.
CASES = [
    ("syslog.vbs", 16, 5, "abc", (16, 5, "", "")),
    ("syslog.vbs", 0, 0, "kernel: panic now", (0, 0, "kernel:", " panic now")),
    ("syslog.vbs", 23, 7, "pendrake: debug line", (23, 7, "pendrake:", " debug line")),
    ("syslog.vbs", 4, 2, "sshd[42]: auth failure", (4, 2, "sshd[42]:", " auth failure")),
    ("syslog.vbs", 1, 6, "backup: done, 3 files", (1, 6, "backup:", " done, 3 files")),
    ("syslog.js", 3, 3, "cron: job failed", (3, 3, "cron:", " job failed")),
    ("syslog.js", 17, 4, "app: warning", (17, 4, "app:", " warning")),
    ("syslog.vbs", 24, 5, "never: sent", None),
    ("syslog.vbs", 16, 8, "never: sent", None),
    ("syslog.js", -1, 5, "never: sent", None),
]

TEMPLATE = "%syslogfacility%|%syslogseverity%|%syslogtag%|%rawmsg%|%msg%\\n"


def free_udp_port() -> int:
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Rsyslog:
    def __init__(self, workdir):
        self.workdir = workdir
        self.port = free_udp_port()
        self.output = os.path.join(workdir, "messages.log")
        self.pidfile = os.path.join(workdir, "rsyslogd.pid")
        self.conf = os.path.join(workdir, "rsyslog.conf")
        with open(self.conf, "w") as f:
            f.write('global(workDirectory="%s" maxMessageSize="16k")\n' % workdir)
            f.write('module(load="imudp")\n')
            f.write('template(name="fields" type="string" string="%s")\n' % TEMPLATE)
            f.write('ruleset(name="pendrake") {\n')
            f.write('  action(type="omfile" file="%s" template="fields")\n}\n' % self.output)
            f.write('input(type="imudp" address="127.0.0.1" port="%d" ruleset="pendrake")\n' % self.port)
        self.log = open(os.path.join(workdir, "rsyslogd.out"), "w")
        self.proc = subprocess.Popen(["rsyslogd", "-n", "-f", self.conf, "-i", self.pidfile],
                                     stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT)

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.log.close()

    def lines(self):
        try:
            with open(self.output, "rb") as f:
                return f.read().decode("latin-1").splitlines()
        except FileNotFoundError:
            return []

    def mark(self, text, timeout=15.0):
        """Sends a marker from here and waits until the daemon has written it: everything the
        daemon received before the marker is then in the file."""
        wanted = "1|6|probe:|<14>probe: %s| %s" % (text, text)
        deadline = time.monotonic() + timeout
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
            while time.monotonic() < deadline:
                if self.proc.poll() is not None:
                    return False
                s.sendto(b"<14>probe: " + text.encode(), ("127.0.0.1", self.port))
                end = time.monotonic() + 0.5
                while time.monotonic() < end:
                    if wanted in self.lines():
                        return True
                    time.sleep(0.05)
        return False


def main():
    checks = scriptbed.Checks("script rsyslog")
    if not shutil.which("rsyslogd"):
        print("FAIL: rsyslogd is not installed (tools/setup.sh installs it)")
        raise SystemExit(1)
    scriptbed.register_component()
    workdir = os.path.join(str(scriptbed.BUILD_DIR), "scripts-rsyslog")
    shutil.rmtree(workdir, ignore_errors=True)
    os.makedirs(workdir)
    daemon = Rsyslog(workdir)
    try:
        if not checks.ok(daemon.mark("start"), "rsyslogd answers on 127.0.0.1:%d" % daemon.port,
                         open(os.path.join(workdir, "rsyslogd.out")).read()):
            checks.finish()
        first = len(daemon.lines())
        expected = []
        for script, facility, priority, message, want in CASES:
            context = "%s facility %d priority %d %r" % (script, facility, priority, message)
            result = scriptbed.cscript(scriptbed.EXAMPLES_DIR / script, "127.0.0.1", message,
                                       str(daemon.port), str(facility), str(priority))
            checks.script_ran(context, result, 0 if want else 1)
            if want:
                fac, sev, tag, msg = want
                expected.append("%d|%d|%s|<%d>%s|%s" % (fac, sev, tag, facility * 8 + priority, message, msg))
        checks.ok(daemon.mark("end"), "rsyslogd still answers after the cases")
        got = [line for line in daemon.lines()[first:] if "probe:" not in line]
        for i, want in enumerate(expected):
            checks.equal("rsyslog line %d (facility|severity|tag|raw|msg)" % (i + 1), want,
                         got[i] if i < len(got) else None)
        checks.equal("lines beyond those expected", [], got[len(expected):])
    finally:
        daemon.stop()
    checks.finish()


if __name__ == "__main__":
    main()
