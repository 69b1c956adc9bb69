#!/usr/bin/env python3
"""The installer under Wine, as an administrator would use it.

    install_cycle_test.py <Pendrake-x.y.z.w-setup.exe> <installer_pages.exe>
    install_cycle_test.py <signed setup.exe> --signed-by <certificate.pem>
(a signed setup installs, logs and uninstalls, and every binary it installs verifies)

Runs in a folder of its own beside the shared bed: a Wine prefix copied from the bed's template,
its own wineserver and its own X display (on which the interactive setup is walked), all thrown
away at the end, so that installing into Program Files and registering both bitnesses touches
nothing that other tests see. Needs PENDRAKE_WINEPREFIX (the shared bed, to find its template)
and PENDRAKE_SOURCE_DIR. Datagrams go to a receiver on 127.0.0.1 only.

On a host that cannot run 32-bit programs the setup installs the x86 file without registering
it; the checks that need 32-bit code (the x86 registration, the 32-bit registry view and script
host) are skipped there, each by name, and the rest runs as anywhere.
"""
import os
import secrets
import shutil
import signal
import socket
import subprocess
import sys
import time

from tally import Tally

sys.path.insert(0, os.path.join(os.environ["PENDRAKE_SOURCE_DIR"], "tools"))
from wine_reg import RegUnanswered, reg_answer  # noqa: E402

CLSID = "{7880953B-8A8E-4D5A-AECD-396BF77A31E5}"
LIBID = "{43C02CCE-BABB-4313-A16A-D9F40E3B8FE5}"
IID = "{DE612F0B-23C9-4F40-8DE6-19DB25AFC240}"
INSTALL_DIR = r"C:\Program Files\Pendrake"
X64_DLL = INSTALL_DIR + r"\Pendrake.dll"
X86_DLL = INSTALL_DIR + r"\x86\Pendrake.dll"
SETTINGS_KEY = r"HKLM\Software\Orvelle\Pendrake"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pendrake"
EVENT_SOURCES = [r"HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Orvelle Pendrake",
                 r"HKLM\SYSTEM\CurrentControlSet\Services\EventLog\System\Orvelle Pendrake SYSTEM-Log"]
SCRIPT_HOSTS = [("x64", r"C:\windows\system32\cscript.exe"), ("x86", r"C:\windows\syswow64\cscript.exe")]
INSTALLED_FILES = ["PendrakeClient.exe", "Pendrake.dll", r"x86\Pendrake.dll", "manual.htm", "README.md",
                   "LICENSE", "Uninstall.exe"]
SHORTCUT = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Pendrake\Pendrake Client.lnk"
EXIT_FAILED = 2

ROOT = os.environ["PENDRAKE_SOURCE_DIR"]
SHARED_PREFIX = os.environ["PENDRAKE_WINEPREFIX"]
# The bed keeps its server's and its display's pid files beside the prefix: in a folder of its
# own, this bed's start and stop never reach the shared bed's. The package's test imports this
# harness with a folder of its own.
BED_DIR = os.environ.get("PENDRAKE_SHIP_BED") or os.path.join(os.path.dirname(SHARED_PREFIX.rstrip("/")), "ship-bed")
PREFIX = os.path.join(BED_DIR, "wineprefix")
# Every Wine call of the test ends well before CTest's TIMEOUT (900 s) would kill the test
# before its clean-up.
DEADLINE = 720
ENV = dict(os.environ,
           PENDRAKE_WINEPREFIX=PREFIX,
           PENDRAKE_BUILD_DIR=BED_DIR,
           PENDRAKE_WINE_TEMPLATE=os.path.join(os.path.dirname(SHARED_PREFIX.rstrip("/")), "..", "wine-template"),
           # Shortcuts would otherwise make menu entries on the host.
           WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=")

tally = Tally("ship install cycle")
check = tally.check
timings = {}
# Why this host runs no 32-bit code (the test bed's answer), or None where it does.
no_x86 = None


def runs_x86(what):
    """True when a check that needs 32-bit code can be made here; else it is skipped by name."""
    if no_x86 is None:
        return True
    tally.skip(what, "needs 32-bit code")
    return False


def views(what):
    """The registry views a check can look into: the 32-bit one only where 32-bit code runs."""
    return [64] + ([32] if runs_x86(what.format(view=32)) else [])


def script_hosts(what):
    """The script hosts a check can use: the 32-bit one only where 32-bit code runs."""
    return [(bitness, host) for bitness, host in SCRIPT_HOSTS
            if bitness == "x64" or runs_x86(what.format(bitness=bitness))]


def host_path(windows_path):
    """The Unix path of a C:\\ path inside the private prefix."""
    assert windows_path[:3].upper() == "C:\\"
    return os.path.join(PREFIX, "drive_c", *windows_path[3:].split("\\"))


def wine(*args, timeout=90):
    return subprocess.run([os.path.join(ROOT, "tools", "wine-run.sh"), *args], env=ENV, capture_output=True,
                          text=True, errors="replace", timeout=timeout)


def timed_wine(label, *args):
    start = time.monotonic()
    result = wine(*args)
    timings.setdefault(label, []).append(time.monotonic() - start)
    return result.returncode


# A registry view is what a program of that bitness sees: its own reg.exe, no /reg: switch.
# (Wine's /reg:32 looks only under Wow6432Node, and so misses the keys that 32-bit programs
# share with 64-bit ones, such as the ProgIDs.)
REG_EXE = {64: r"C:\windows\system32\reg.exe", 32: r"C:\windows\syswow64\reg.exe"}


def reg(view, *args):
    """reg's answer in one view: (True, output), or (False, ...) where reg says the key or value
    is not there; raises RegUnanswered where it gave none."""
    def run(*a):
        result = wine(REG_EXE[view], *a)
        return result.returncode, result.stdout + result.stderr
    return reg_answer(run, *args)


def reg_value(view, key, name=None):
    """(type, data) of a value in one registry view (32 or 64); None when key or value is absent.
    name None is the key's default value."""
    found, stdout = reg(view, "query", key, *(["/ve"] if name is None else ["/v", name]))
    if not found:
        return None
    # Lines read "    <name>    <type>    <data>"; a name may hold spaces, so it is cut off whole.
    shown = "(Default)" if name is None else name
    for line in stdout.splitlines():
        line = line.strip()
        if line.lower().startswith(shown.lower() + " "):
            rest = line[len(shown):].split(None, 1)
            return rest[0], rest[1] if len(rest) > 1 else ""
    return None


def key_exists(view, key):
    return reg(view, "query", key)[0]


class Receiver:
    def __init__(self):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.bind(("127.0.0.1", 0))
        self.port = self.sock.getsockname()[1]

    def expect(self, what, payload, timeout=10.0):
        """Waits for the datagram with these exact bytes; others that come meanwhile are reported."""
        deadline = time.monotonic() + timeout
        others = []
        while time.monotonic() < deadline:
            self.sock.settimeout(max(0.05, deadline - time.monotonic()))
            try:
                data, sender = self.sock.recvfrom(65535)
            except socket.timeout:
                break
            if data == payload and sender[0] == "127.0.0.1":
                check(True, what, payload, data)
                return
            others.append(data)
        check(False, what, payload, others or "no datagram")

    def close(self):
        self.sock.close()


def run_script(host, lines):
    """Runs a VBScript (ANSI, CR LF) with one script host; its exit code tells what happened:
    0 sent, 2 object not created, 3 the logging call failed."""
    body = ["On Error Resume Next",
            'Set o = CreateObject("Orvelle.Pendrake")',
            "If Err.Number <> 0 Then",
            '  WScript.Echo "CreateObject failed: " & Err.Number',
            "  WScript.Quit 2",
            "End If"] + lines + [
            "If Err.Number <> 0 Then",
            '  WScript.Echo "call failed: " & Err.Number',
            "  WScript.Quit 3",
            "End If",
            "WScript.Quit 0", ""]
    script = host_path(r"C:\ship\t.vbs")
    with open(script, "w", encoding="cp1252", newline="\r\n") as f:
        f.write("\n".join(body))
    result = wine(host, "//nologo", r"C:\ship\t.vbs")
    return result.returncode, result.stdout.strip()


def send_from_both_hosts(receiver, label, settings_lines, expected_pri):
    for bitness, host in script_hosts(f"{{bitness}} script host, {label}"):
        text = f"ship {label} {bitness} {secrets.token_hex(4)}"
        rc, out = run_script(host, settings_lines + [f'o.LogToSyslog "{text}"'])
        check(rc == 0, f"{bitness} script host, {label}: script result", 0, (rc, out))
        if rc == 0:
            receiver.expect(f"{bitness} script host, {label}: datagram", f"<{expected_pri}>{text}".encode())


def check_installed(stage, signed_by=None):
    for name in INSTALLED_FILES:
        path = host_path(INSTALL_DIR + "\\" + name)
        check(os.path.isfile(path), f"{stage}: {name} installed", "a file", "missing")
        if signed_by and name.endswith((".dll", ".exe")):  # the uninstaller that setup writes too
            out = subprocess.run(["osslsigncode", "verify", "-CAfile", signed_by, "-in", path], capture_output=True,
                                 text=True).stdout
            check("Signature verification: ok" in out, f"{stage}: {name} signed", "verified", out[-400:])
    examples = os.listdir(os.path.join(ROOT, "examples"))
    for name in examples:
        check(os.path.isfile(host_path(INSTALL_DIR + "\\examples\\" + name)),
              f"{stage}: examples\\{name} installed", "a file", "missing")
    check(os.path.isfile(host_path(SHORTCUT)), f"{stage}: Start menu entry", "a shortcut", "missing")

    # Each bitness registered in its own view; ProgIDs and type library are shared keys.
    rows = [  # (view, key, value name, expected (type, data))
        (64, rf"HKCR\CLSID\{CLSID}\InprocServer32", None, ("REG_SZ", X64_DLL)),
        (32, rf"HKCR\CLSID\{CLSID}\InprocServer32", None, ("REG_SZ", X86_DLL)),
        (64, rf"HKCR\CLSID\{CLSID}\InprocServer32", "ThreadingModel", ("REG_SZ", "Apartment")),
        (32, rf"HKCR\CLSID\{CLSID}\InprocServer32", "ThreadingModel", ("REG_SZ", "Apartment")),
        (64, r"HKCR\Orvelle.Pendrake\CLSID", None, ("REG_SZ", CLSID)),
        (32, r"HKCR\Orvelle.Pendrake.1\CLSID", None, ("REG_SZ", CLSID)),
        (64, rf"HKCR\TypeLib\{LIBID}\1.0\409\win64", None, ("REG_SZ", X64_DLL)),
        (64, rf"HKCR\TypeLib\{LIBID}\1.0\409\win32", None, ("REG_SZ", X86_DLL)),
        (64, UNINSTALL_KEY, "DisplayVersion", ("REG_SZ", "1.2.0.4")),
        (64, UNINSTALL_KEY, "InstallLocation", ("REG_SZ", INSTALL_DIR)),
    ] + [(64, key, "TypesSupported", ("REG_DWORD", "0x7")) for key in EVENT_SOURCES]
    for view, key, name, expected in rows:
        what = f"{stage}: {key} [{name or '(Default)'}] in the {view}-bit view"
        # The 32-bit view needs a 32-bit reg.exe; the type library's win32 entry, the x86
        # registration.
        if (view == 32 or expected[1] == X86_DLL) and not runs_x86(what):
            continue
        got = reg_value(view, key, name)
        check(got is not None and got[0] == expected[0] and got[1].lower() == expected[1].lower(),
              what, expected, got)
    if no_x86 is not None:
        key = rf"HKCR\TypeLib\{LIBID}\1.0\409\win32"
        check(not key_exists(64, key), f"{stage}: without 32-bit support the setup registers no x86 component",
              "no " + key, "present")

    # One settings key, in the 64-bit view: the x86 registration must not make a second one.
    check(key_exists(64, SETTINGS_KEY), f"{stage}: settings key in the 64-bit view", "present", "absent")
    what = f"{stage}: no settings key in the 32-bit view"
    if runs_x86(what):
        check(not key_exists(32, r"HKLM\Software\Orvelle"), what, "absent", "present")
    for key in EVENT_SOURCES:
        got = reg_value(64, key, "EventMessageFile")
        check(got is not None and got[1].lower() in (X64_DLL.lower(), X86_DLL.lower())
              and os.path.isfile(host_path(got[1])), f"{stage}: {key} names an installed component",
              "one of the two installed files", got)


def check_uninstalled(stage, expected_left):
    gone = [rf"HKCR\CLSID\{CLSID}", r"HKCR\Orvelle.Pendrake", r"HKCR\Orvelle.Pendrake.1",
            rf"HKCR\TypeLib\{LIBID}", rf"HKCR\Interface\{IID}", SETTINGS_KEY, UNINSTALL_KEY]
    for view in views(f"{stage}: nothing left in the {{view}}-bit view"):
        for key in gone:
            check(not key_exists(view, key), f"{stage}: {key} in the {view}-bit view", "absent", "present")
    for key in EVENT_SOURCES:
        check(key_exists(64, key), f"{stage}: event source {key} stays", "present", "absent")
    left = []
    folder = host_path(INSTALL_DIR)
    if os.path.isdir(folder):
        left = sorted(os.path.relpath(os.path.join(d, f), folder) for d, _, files in os.walk(folder) for f in files)
    check(left == expected_left, f"{stage}: files left in the install folder", expected_left, left)
    check(not os.path.exists(os.path.dirname(host_path(SHORTCUT))), f"{stage}: Start menu folder removed",
          "absent", "present")
    for bitness, host in script_hosts(f"{stage}: {{bitness}} script host cannot create the object"):
        rc, out = run_script(host, ['o.LogToSyslog "not registered"'])
        check(rc == 2, f"{stage}: {bitness} script host cannot create the object", 2, (rc, out))


def install(stage):
    rc = timed_wine("install", r"C:\ship\setup.exe", "/S")
    check(rc == 0, f"{stage}: silent installation exit code", 0, rc)


def uninstall_in_place(stage, folder=INSTALL_DIR, expected_rc=0):
    # In place (_?=) the uninstaller runs in this process and its exit code is the outcome. The
    # folder must reach the uninstaller unquoted and last: as separate words Wine joins them
    # with plain spaces.
    rc = timed_wine("uninstall", INSTALL_DIR + r"\Uninstall.exe", "/S", *("_?=" + folder).split(" "))
    check(rc == expected_rc, f"{stage}: silent uninstallation exit code", expected_rc, rc)


def uninstall_quietly(stage):
    """The QuietUninstallString way: the uninstaller hands over to a copy of itself and returns;
    the work is done when the Add/Remove Programs entry and the folder are gone."""
    quiet = reg_value(64, UNINSTALL_KEY, "QuietUninstallString")
    check(quiet is not None and quiet[1] == f'"{INSTALL_DIR}\\Uninstall.exe" /S',
          f"{stage}: QuietUninstallString", f'"{INSTALL_DIR}\\Uninstall.exe" /S', quiet)
    start = time.monotonic()
    rc = wine(INSTALL_DIR + r"\Uninstall.exe", "/S").returncode
    check(rc == 0, f"{stage}: quiet uninstallation started", 0, rc)
    while time.monotonic() - start < 60 and (os.path.exists(host_path(INSTALL_DIR)) or key_exists(64, UNINSTALL_KEY)):
        time.sleep(0.25)
    timings.setdefault("uninstall (handed over)", []).append(time.monotonic() - start)


def interactive(stage, walk, expected_rc):
    """Walks the setup's pages (installer_pages.exe: "finish" or "cancel") on the test's display."""
    result = subprocess.run([os.path.join(ROOT, "tools", "xvfb.sh"), "exec", os.path.join(ROOT, "tools", "wine-run.sh"),
                             sys.argv[2], r"C:\ship\setup.exe", walk], env=ENV, capture_output=True, text=True,
                            errors="replace", timeout=180)
    print(result.stdout, end="", flush=True)
    check(result.returncode == expected_rc, f"{stage}: exit code", expected_rc, result.returncode)


def stage_setup():
    """The setup program in the prefix as C:\\ship\\setup.exe, and a receiver for what is logged."""
    os.makedirs(host_path(r"C:\ship"), exist_ok=True)
    shutil.copyfile(sys.argv[1], host_path(r"C:\ship\setup.exe"))
    return Receiver()


def explicit_settings(receiver):
    return ['o.SyslogServer = "127.0.0.1"', f"o.SyslogPort = {receiver.port}"]


def scenario():
    receiver = stage_setup()
    try:
        for bitness, host in script_hosts("before installation: {bitness} script host finds no object"):
            rc, _ = run_script(host, [])
            check(rc == 2, f"before installation: {bitness} script host finds no object", 2, rc)

        install("first installation")
        check_installed("first installation")

        explicit = explicit_settings(receiver)
        send_from_both_hosts(receiver, "explicit settings", explicit, 16 * 8 + 5)

        # Defaults stored by a 64-bit program (the client is one) reach objects of both bitnesses.
        stored = [("bBootFromRegistry", "REG_DWORD", "1"), ("iSyslogPort", "REG_DWORD", str(receiver.port)),
                  ("iSyslogFacility", "REG_DWORD", "3"), ("iSyslogPriority", "REG_DWORD", "6")]
        for name, kind, data in stored + [("szSyslogServer", "REG_SZ", "127.0.0.1")]:
            rc = wine(REG_EXE[64], "add", SETTINGS_KEY, "/v", name, "/t", kind, "/d", data, "/f").returncode
            check(rc == 0, f"test setup: reg add {name}", 0, rc)
        send_from_both_hosts(receiver, "stored defaults", [], 3 * 8 + 6)

        # Installing over the installed copy keeps the administrator's stored defaults.
        install("installation over the installed copy")
        check_installed("installation over the installed copy")
        got = reg_value(64, SETTINGS_KEY, "bBootFromRegistry")
        check(got == ("REG_DWORD", "0x1"), "installation over the installed copy: stored defaults kept",
              ("REG_DWORD", "0x1"), got)
        send_from_both_hosts(receiver, "stored defaults after reinstallation", [], 3 * 8 + 6)

        # A file of the user's in the examples folder is no file of the installation.
        mine = os.path.join("examples", "mine.vbs")
        with open(host_path(INSTALL_DIR + "\\" + mine.replace("/", "\\")), "w") as f:
            f.write("WScript.Echo 1\r\n")
        uninstall_in_place("uninstallation in place", folder=INSTALL_DIR.lower())
        # In place, the running uninstaller cannot remove itself.
        check_uninstalled("uninstallation in place", expected_left=sorted(["Uninstall.exe", mine]))
        os.remove(host_path(INSTALL_DIR + "\\" + mine.replace("/", "\\")))

        install("installation after uninstallation")
        check_installed("installation after uninstallation")
        send_from_both_hosts(receiver, "explicit settings after reinstallation", explicit, 16 * 8 + 5)
        uninstall_quietly("quiet uninstallation")
        check_uninstalled("quiet uninstallation", expected_left=[])

        # /D= chooses the folder; installing again without it stays in that folder.
        other = r"C:\Other Place\Pendrake"
        rc = timed_wine("install", r"C:\ship\setup.exe", "/S", *("/D=" + other).split(" "))
        check(rc == 0, "installation into a chosen folder: exit code", 0, rc)
        install("installation again without a folder")
        dlls = {64: other + r"\Pendrake.dll", 32: other + r"\x86\Pendrake.dll"}
        for view in views("installation again without a folder: {view}-bit server stays in the chosen folder"):
            dll = dlls[view]
            got = reg_value(view, rf"HKCR\CLSID\{CLSID}\InprocServer32")
            check(got is not None and got[1].lower() == dll.lower() and os.path.isfile(host_path(dll)),
                  f"installation again without a folder: {view}-bit server stays in the chosen folder",
                  ("REG_SZ", dll), got)
        check(not os.path.exists(host_path(INSTALL_DIR)), "installation again without a folder: Program Files untouched",
              "absent", "present")
        rc = timed_wine("uninstall", other + r"\Uninstall.exe", "/S", *("_?=" + other).split(" "))
        check(rc == 0, "uninstallation from the chosen folder: exit code", 0, rc)
        for view in views("uninstallation from the chosen folder: class gone from the {view}-bit view"):
            check(not key_exists(view, rf"HKCR\CLSID\{CLSID}"),
                  f"uninstallation from the chosen folder: class gone from the {view}-bit view", "absent", "present")

        # The same setup, used through its windows.
        interactive("interactive installation", "finish", 0)
        check_installed("interactive installation")
        uninstall_in_place("uninstallation after the interactive installation")
        interactive("interactive installation cancelled on the licence page", "cancel", 1)
        check(not key_exists(64, UNINSTALL_KEY) and not key_exists(64, rf"HKCR\CLSID\{CLSID}"),
              "interactive installation cancelled: nothing installed", "absent", "present")

        # Failures must show in the exit code.
        os.makedirs(host_path(r"C:\Somewhere Else"), exist_ok=True)
        install("installation for the failure cases")
        uninstall_in_place("uninstaller pointed at a folder without Pendrake", folder=r"C:\Somewhere Else",
                           expected_rc=EXIT_FAILED)
        check(key_exists(64, rf"HKCR\CLSID\{CLSID}"), "uninstaller pointed elsewhere leaves the registration",
              "present", "absent")
        uninstall_in_place("cleaning up the failure cases")
        os.makedirs(host_path(X64_DLL))  # a folder where the component's file must go
        rc = timed_wine("install (failing)", r"C:\ship\setup.exe", "/S")
        check(rc == EXIT_FAILED, "installation that cannot write its files: exit code", EXIT_FAILED, rc)
        for view in views("installation that cannot write its files: nothing registered in the {view}-bit view"):
            check(not key_exists(view, rf"HKCR\CLSID\{CLSID}"),
                  f"installation that cannot write its files: nothing registered in the {view}-bit view",
                  "absent", "present")
        check(os.path.isfile(host_path(INSTALL_DIR + r"\Uninstall.exe")),
              "installation that cannot write its files: leaves its uninstaller", "a file", "missing")
    finally:
        receiver.close()


def ask_x86():
    """Asks the bed whether this host runs 32-bit programs; False when it could not tell."""
    global no_x86
    answer = subprocess.run([os.path.join(ROOT, "tools", "winebed.sh"), "x86"], env=ENV, capture_output=True,
                            text=True, timeout=120)
    print(answer.stdout.strip(), flush=True)
    if answer.returncode == 1 and "cannot run" in answer.stdout:
        no_x86 = answer.stdout.strip()
    elif answer.returncode != 0:
        check(False, "the test bed tells whether 32-bit programs run", "an answer", answer.stdout + answer.stderr)
        return False
    return True


def signed_scenario(certificate):
    receiver = stage_setup()
    try:
        install("signed installation")
        check_installed("signed installation", certificate)
        send_from_both_hosts(receiver, "signed components", explicit_settings(receiver), 16 * 8 + 5)
        uninstall_in_place("signed uninstaller")
        check_uninstalled("signed uninstaller", expected_left=["Uninstall.exe"])
    finally:
        receiver.close()


def bed(action):
    subprocess.run([os.path.join(ROOT, "tools", "winebed.sh"), action], env=ENV, check=(action != "stop"),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)


class OutOfTime(Exception):
    pass


def out_of_time(*_):
    raise OutOfTime()


def run_bed(scenario, what):
    """Runs `scenario` in a fresh bed of this test's folder, where the bed can tell whether
    32-bit programs run, within DEADLINE; the bed's server and display stop on every path, also
    when the run is stopped from outside, so none is left behind for the next."""
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(DEADLINE)
    try:
        bed("fresh")
        if ask_x86():
            scenario()
    except subprocess.TimeoutExpired as e:
        check(False, "a Wine call finished in time", "done", f"timed out: {e.cmd}")
    except OutOfTime:
        check(False, f"{what} finished in time", f"within {DEADLINE} s", "still running")
    except RegUnanswered as e:
        check(False, "reg answered", "an answer", str(e))
    finally:
        signal.alarm(0)
        bed("stop")
        shutil.rmtree(BED_DIR, ignore_errors=True)


def main():
    signed = len(sys.argv) == 4 and sys.argv[2] == "--signed-by"
    if not signed and len(sys.argv) != 3 or not all(os.path.isfile(a) for a in sys.argv[1:] if a != "--signed-by"):
        print(__doc__)
        return 2
    if not os.path.exists("/usr/lib/wine/wine"):
        print("FAIL: Wine's 32-bit half (wine32:i386) is not installed; run tools/setup.sh")
        return 1
    run_bed((lambda: signed_scenario(sys.argv[3])) if signed else scenario, "the install cycle")
    for label, values in timings.items():
        print(f"time of {label}: " + ", ".join(f"{v:.2f} s" for v in values))
    return tally.report()


if __name__ == "__main__":
    sys.exit(main())
