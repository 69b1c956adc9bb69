"""Checks of the shipping tests: each failure and each skip is printed as it happens, the count
at the end."""


class Tally:
    def __init__(self, title):
        self.title = title
        self.passed = 0
        self.failed = []
        self.skipped = []

    def check(self, ok, what, expected, got):
        if ok:
            self.passed += 1
        else:
            self.failed.append(what)
            print(f"FAIL {what}: expected {expected!r}, got {got!r}", flush=True)

    def skip(self, what, why):
        """A check this host cannot make, named so that nobody takes it for a pass."""
        self.skipped.append(what)
        print(f"SKIP {what}: {why}", flush=True)

    def report(self):
        """Prints the count and gives the process exit code."""
        skipped = f", {len(self.skipped)} skipped" if self.skipped else ""
        print(f"{self.title}: {self.passed} passed, {len(self.failed)} failed{skipped}")
        return 1 if self.failed else 0
