#!/usr/bin/env python3
"""Maps a host name that begins with a digit to 127.0.0.1 in /etc/hosts for the length of one
test run, runs the test that sends to it, and takes exactly that line out again on every path."""
import os
import subprocess
import sys

NAME = "4th-floor-gw-pendrake"
LINE = f"127.0.0.1 {NAME}\n"
HOSTS = "/etc/hosts"


def remove_line():
    with open(HOSTS) as f:
        lines = f.readlines()
    kept = [line for line in lines if line != LINE]
    if kept != lines:
        with open(HOSTS, "w") as f:
            f.writelines(kept)


def main():
    tests = sys.argv[1]
    with open(HOSTS) as f:
        if LINE in f.readlines():
            print(f"{NAME} already mapped; another run may be using it")
            return 1
    try:
        with open(HOSTS, "a") as f:
            f.write(LINE)
        env = dict(os.environ, PENDRAKE_DIGIT_HOST=NAME)
        runner = os.path.join(env["PENDRAKE_SOURCE_DIR"], "tools", "wine-run.sh")
        done = subprocess.run([runner, tests, "--gtest_filter=SyslogWire.DigitLedHostNameIsLookedUp"],
                              env=env, capture_output=True, text=True, timeout=240)
    finally:
        remove_line()
    print(done.stdout)
    if done.returncode != 0 or "[       OK ] SyslogWire.DigitLedHostNameIsLookedUp" not in done.stdout:
        print(done.stderr[-3000:])
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
