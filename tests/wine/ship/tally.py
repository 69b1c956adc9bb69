"""Checks of the shipping tests: each failure is printed as it happens, the count at the end."""


class Tally:
    def __init__(self, title):
        self.title = title
        self.passed = 0
        self.failed = []

    def check(self, ok, what, expected, got):
        if ok:
            self.passed += 1
        else:
            self.failed.append(what)
            print(f"FAIL {what}: expected {expected!r}, got {got!r}", flush=True)

    def report(self):
        """Prints the count and gives the process exit code."""
        print(f"{self.title}: {self.passed} passed, {len(self.failed)} failed")
        return 1 if self.failed else 0
