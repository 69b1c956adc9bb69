"""`reg` under Wine for tests that must tell "not there" from "no answer".

    found, output = reg_answer(run, "query", key, ...)
    python3 wine_reg.py KEY [SWITCHES...]   (for shell scripts) exit 0: the key or value is
                                            there, 1: reg said it is not, 2: no answer

run(*args) runs Wine's reg.exe (or another program standing for it) with args and returns
(exit code, everything it printed). found is True when reg answered with the key or value, and
False only when reg itself said it is not there; a run that ends any other way (a busy Wine has
ended one with no output at all) is tried again a few times and then raises RegUnanswered with
what it printed. So a check that something is absent can fail, and never passes on a broken tool.
"""

# What Wine's reg prints for a key or value that is not there, and nothing else does.
NOT_FOUND = "Unable to find the specified registry"
TRIES = 3


class RegUnanswered(Exception):
    pass


def reg_answer(run, *args):
    attempts = []
    for _ in range(TRIES):
        code, output = run(*args)
        if code == 0:
            return True, output
        if NOT_FOUND in output:
            return False, output
        attempts.append(f"exit code {code}, output {output.strip()!r}")
    raise RegUnanswered(f"reg {' '.join(args)} gave no answer in {TRIES} tries: " + "; ".join(attempts))


def main(args):
    import os
    import subprocess
    import sys
    runner = os.path.join(os.path.dirname(os.path.abspath(__file__)), "wine-run.sh")

    def run(*a):
        done = subprocess.run([runner, "reg", *a], capture_output=True, text=True, errors="replace", timeout=120)
        return done.returncode, done.stdout + done.stderr
    try:
        return 0 if reg_answer(run, "query", *args)[0] else 1
    except RegUnanswered as e:
        print(e, file=sys.stderr)
        return 2


if __name__ == "__main__":
    import sys
    sys.exit(main(sys.argv[1:]))
