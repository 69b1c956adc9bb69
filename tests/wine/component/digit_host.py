#!/usr/bin/env python3
"""Maps a host name that begins with a digit to 127.0.0.1 for one test run and runs the test that
sends to it. The name goes into a copy of /etc/hosts that is mounted over the real one in a mount
namespace of the test's own: the system's file is never written, so no run, not even a killed
one, leaves a line in it, and two runs never see each other's."""
import os
import shutil
import subprocess
import sys
import tempfile

NAME = "4th-floor-gw-pendrake"

# Inside the namespace: the copy over /etc/hosts (private, so the mount never leaks out), then
# the test with it.
IN_NAMESPACE = 'mount --make-rprivate / && mount --bind "$0" /etc/hosts && exec "$@"'


def main():
    tests = sys.argv[1]
    if shutil.which("unshare") is None:
        print("FAIL: unshare (util-linux) is needed to give the test a hosts file of its own")
        return 1
    with tempfile.TemporaryDirectory(prefix="pendrake-hosts-") as tmp:
        hosts = os.path.join(tmp, "hosts")
        with open("/etc/hosts") as f:
            text = f.read()
        with open(hosts, "w") as f:
            f.write(text + ("" if text.endswith("\n") else "\n") + f"127.0.0.1 {NAME}\n")
        env = dict(os.environ, PENDRAKE_DIGIT_HOST=NAME)
        runner = os.path.join(env["PENDRAKE_SOURCE_DIR"], "tools", "wine-run.sh")
        done = subprocess.run(["unshare", "--mount", "sh", "-c", IN_NAMESPACE, hosts, runner, tests,
                               "--gtest_filter=SyslogWire.DigitLedHostNameIsLookedUp"],
                              env=env, capture_output=True, text=True, timeout=240)
    print(done.stdout)
    if done.returncode != 0 or "[       OK ] SyslogWire.DigitLedHostNameIsLookedUp" not in done.stdout:
        print(done.stderr[-3000:])
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
