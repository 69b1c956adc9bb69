"""Shared pieces of the script tests: running cscript under the project's Wine bed,
registering the component, reading the registry, and reporting checks the way Wine's own
tests do (what was expected, what came, in which case).

Every network receiver here binds 127.0.0.1; nothing is ever sent anywhere else.
"""
import contextlib
import os
import subprocess
import sys
import tempfile
from pathlib import Path

SOURCE_DIR = Path(os.environ.get("PENDRAKE_SOURCE_DIR") or Path(__file__).resolve().parents[3])
BUILD_DIR = Path(os.environ.get("PENDRAKE_BUILD_DIR") or SOURCE_DIR / "build" / "mingw64")
SCRIPTS_DIR = Path(__file__).resolve().parent
EXAMPLES_DIR = SOURCE_DIR / "examples"
sys.path.insert(0, str(SOURCE_DIR / "tools"))

from eventlog_trace import parse_trace  # noqa: E402
from udp_receiver import LoopbackReceiver, escape_bytes  # noqa: E402
from wine_reg import reg_answer  # noqa: E402

WINE_RUN = SOURCE_DIR / "tools" / "wine-run.sh"
EVENTLOG_DEBUG = "-all,fixme+advapi,trace+eventlog,warn+eventlog,err+eventlog"
SETTINGS_KEY = r"HKLM\Software\Orvelle\Pendrake"
# Wine takes the ANSI code page from LC_ALL when no glibc locale of that name is installed.
GREEK = {"LANG": "el_GR.UTF-8", "LC_ALL": "el_GR.UTF-8"}


def dll_path() -> Path:
    return Path(os.environ.get("PENDRAKE_DLL") or BUILD_DIR / "component" / "win32" / "Pendrake.dll")


class Result:
    def __init__(self, returncode, stdout: bytes, stderr: bytes):
        self.returncode = returncode
        self.raw_stdout = stdout
        self.stdout = stdout.decode("latin-1").replace("\r\n", "\n")
        self.stderr = stderr.decode("utf-8", errors="replace")

    @property
    def lines(self):
        return [line for line in self.stdout.split("\n") if line]

    def values(self):
        """The "name=value" lines a test script echoes, as a dict (the last one of a name wins)."""
        out = {}
        for line in self.lines:
            name, sep, value = line.partition("=")
            if sep:
                out[name] = value
        return out


def wine(args, env=None, timeout=60) -> Result:
    full_env = dict(os.environ)
    full_env.update(env or {})
    proc = subprocess.run([str(WINE_RUN)] + [str(a) for a in args], env=full_env,
                          stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          timeout=timeout)
    return Result(proc.returncode, proc.stdout, proc.stderr)


def winpath(path) -> str:
    """The Windows form of an absolute Unix path: every prefix maps drive Z: to the root."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def register_component() -> None:
    """regsvr32 /s is idempotent, so every test registers and none depends on the order."""
    dll = dll_path()
    if not dll.is_file():
        raise SystemExit("FAIL: the component %s was not built" % dll)
    result = wine(["regsvr32", "/s", winpath(dll)])
    if result.returncode != 0:
        raise SystemExit("FAIL: regsvr32 /s %s exited with %d" % (dll, result.returncode))


def cscript(script, *args, env=None, debug=None, timeout=60) -> Result:
    script = Path(script)
    if not script.is_absolute():
        script = SCRIPTS_DIR / script
    extra = dict(env or {})
    if debug:
        extra["WINEDEBUG"] = debug
    return wine(["cscript", "//nologo", winpath(script)] + list(args), env=extra, timeout=timeout)


def reg(*args) -> Result:
    return wine(["reg"] + list(args))


@contextlib.contextmanager
def saved_settings_key():
    """Restores the component settings key exactly as it was, whatever the test wrote. A key
    that cannot be saved or put back fails the test: later tests would start from its ruins."""
    with tempfile.TemporaryDirectory(prefix="pendrake-key-") as tmp:
        saved = Path(tmp) / "settings.reg"
        existed = reg_answer(lambda *a: _answer(reg(*a)), "query", SETTINGS_KEY, "/reg:64")[0]
        if existed:
            exported = reg("export", SETTINGS_KEY, winpath(saved), "/y", "/reg:64")
            if exported.returncode != 0:
                raise SystemExit("FAIL: could not save %s: %s%s" % (SETTINGS_KEY, exported.stdout, exported.stderr))
        try:
            yield
        finally:
            reg("delete", SETTINGS_KEY, "/f", "/reg:64")
            if existed:
                restored = reg("import", winpath(saved), "/reg:64")
                if restored.returncode != 0:
                    raise SystemExit("FAIL: could not restore %s: %s%s" % (SETTINGS_KEY, restored.stdout,
                                                                         restored.stderr))


def _answer(result: Result):
    return result.returncode, result.stdout + result.stderr


@contextlib.contextmanager
def services_syslog_port(port: int):
    """Points the prefix's services entry syslog/udp at `port` for the length of the block."""
    prefix = Path(os.environ.get("PENDRAKE_WINEPREFIX") or BUILD_DIR / "wineprefix")
    services = prefix / "drive_c" / "windows" / "system32" / "drivers" / "etc" / "services"
    backup = services.with_name("services.pendrake-saved")
    # A run that was killed before it could put the file back left this copy behind.
    if backup.exists():
        services.write_bytes(backup.read_bytes())
    original = services.read_bytes()
    backup.write_bytes(original)
    lines = original.decode("latin-1").split("\n")
    changed = []
    for line in lines:
        fields = line.split()
        if len(fields) >= 2 and fields[0] == "syslog" and fields[1].endswith("/udp"):
            line = line.replace(fields[1], "%d/udp" % port, 1)
        changed.append(line)
    if changed == lines:
        raise SystemExit("FAIL: no syslog/udp entry in %s" % services)
    services.write_bytes("\n".join(changed).encode("latin-1"))
    try:
        yield
    finally:
        services.write_bytes(original)
        backup.unlink()


def ephemeral_range():
    try:
        low, high = open("/proc/sys/net/ipv4/ip_local_port_range").read().split()
        return int(low), int(high)
    except OSError:
        return 1024, 65535


class Checks:
    """Collects failures; each says what was checked, what was expected and what came."""

    def __init__(self, name: str):
        self.name = name
        self.count = 0
        self.failures = 0

    def ok(self, condition: bool, context: str, detail: str = "") -> bool:
        self.count += 1
        if not condition:
            self.failures += 1
            print("FAIL: %s%s" % (context, (": " + detail) if detail else ""))
        return condition

    def equal(self, context: str, expected, got) -> bool:
        return self.ok(expected == got, context, "expected %r, got %r" % (expected, got))

    def script_ran(self, context: str, result: Result, code: int = 0) -> bool:
        return self.ok(result.returncode == code, context,
                       "exit code %d (expected %d); output:\n%s%s" % (
                           result.returncode, code, result.stdout, result.stderr[-2000:]))

    def datagram(self, context: str, expected: bytes, got) -> bool:
        if got is None:
            return self.ok(False, context, 'expected "%s", nothing arrived' % escape_bytes(expected))
        data = got[0]
        return self.ok(data == expected, context, 'expected %d bytes "%s", got %d bytes "%s"' % (
            len(expected), escape_bytes(expected)[:200], len(data), escape_bytes(data)[:200]))

    def finish(self) -> None:
        print("%s: %d checks, %d failed" % (self.name, self.count, self.failures))
        sys.exit(1 if self.failures else 0)
