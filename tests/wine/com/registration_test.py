#!/usr/bin/env python3
"""Self-registration of Pendrake.dll under Wine, read back with `reg query`.

    registration_test.py <Pendrake.dll> <Pendrake.tlb> <typelib_stripper.exe>

Proves the registry entries (every key and value, types included), that a second
registration leaves one clean class tree, that unregistration removes the class entries,
the type library and the settings key but keeps the event sources, that unregistering
twice (or with nothing registered) succeeds, and that a folder whose name holds a single
quote, a renamed copy, a path of 260 characters and a copy without its embedded type library
(which falls back to the ".tlb" beside it) are handled, and that a class registration of the
other bitness (in the 32-bit view) naming a file that is there keeps the keys both bitnesses
share. The prefix is left as it was found: keys that existed before are exported first and
imported again at the end.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile

CLSID = "{7880953B-8A8E-4D5A-AECD-396BF77A31E5}"
LIBID = "{43C02CCE-BABB-4313-A16A-D9F40E3B8FE5}"
IID = "{DE612F0B-23C9-4F40-8DE6-19DB25AFC240}"
APP_SOURCE = r"HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Orvelle Pendrake"
SYS_SOURCE = r"HKLM\SYSTEM\CurrentControlSet\Services\EventLog\System\Orvelle Pendrake SYSTEM-Log"
SETTINGS = r"HKLM\Software\Orvelle\Pendrake"
CLASS_KEY = "HKCR\\CLSID\\" + CLSID
ROOTS = {"HKEY_CLASSES_ROOT": "HKCR", "HKEY_LOCAL_MACHINE": "HKLM"}

# Keys this test may change; saved before it starts and put back after it.
TOUCHED = ["HKCR\\Orvelle.Pendrake", "HKCR\\Orvelle.Pendrake.1", CLASS_KEY, "HKCR\\TypeLib\\" + LIBID,
           "HKCR\\Interface\\" + IID, r"HKLM\Software\Orvelle", APP_SOURCE, SYS_SOURCE]

SOURCE_DIR = os.environ.get("PENDRAKE_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", "..", ".."))
WINE_RUN = os.path.join(SOURCE_DIR, "tools", "wine-run.sh")
sys.path.insert(0, os.path.join(SOURCE_DIR, "tools"))
from wine_reg import RegUnanswered, reg_answer  # noqa: E402

failures = []
# A Wine call may take up to 120 s: the scenarios stop after this many seconds, so that putting
# the keys back still ends before CTest's TIMEOUT (300 s) kills the test, and the prefix with it.
DEADLINE = 200


class OutOfTime(Exception):
    pass


def out_of_time(*_):
    raise OutOfTime(f"the scenarios were still running after {DEADLINE} s")


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL: " + message)
    return condition


def wine(*args):
    return wine_full(*args)[:2]


def wine_full(*args):
    done = subprocess.run([WINE_RUN, *args], capture_output=True, timeout=120)
    return done.returncode, done.stdout.decode("utf-8", "replace"), done.stderr.decode("utf-8", "replace")


def reg(*args):
    """(True, output) when reg answered, (False, output) when it said the key is not there;
    raises RegUnanswered when it gave no answer."""
    last = {}

    def run(*a):
        code, out, err = wine_full("reg", *a)
        last["out"] = out
        return code, out + err
    return reg_answer(run, *args)[0], last["out"]


def setup(*args):
    """A Wine call that prepares a scenario: when it fails, the scenario proves nothing."""
    code, out = wine(*args)
    check(code == 0, f"test setup: {' '.join(args)} exited {code}: {out.strip()!r}")


def win_path(unix_path):
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


def regsvr32(dll, unregister=False):
    args = ["regsvr32", "/s"] + (["/u"] if unregister else []) + [win_path(dll)]
    return wine(*args)[0]


def parse_query(top, out):
    """Parses the output of `reg query top` into {key in lower case: (values, subkeys)};
    values maps a value name ("(Default)" for the default value) to (type, data). A key
    without values prints no heading of its own, so the queried key is entered whatever the
    output holds."""
    keys, names, current = {top.lower(): ({}, [])}, [top], None
    for line in out.splitlines():
        if not line.strip():
            continue
        if not line.startswith(" "):
            root, _, rest = line.partition("\\")
            name = ROOTS.get(root, root) + ("\\" + rest if rest else "")
            current = name.lower()
            if current not in keys:
                keys[current] = ({}, [])
                names.append(name)
            continue
        parts = line.strip().split("    ")
        if len(parts) == 2:
            parts.append("")
        if len(parts) == 3 and current:
            keys[current][0][parts[0]] = (parts[1], parts[2])
    # Every key listed right below another is one of its subkeys.
    for name in names:
        parent, _, leaf = name.rpartition("\\")
        if parent.lower() in keys and leaf not in keys[parent.lower()][1]:
            keys[parent.lower()][1].append(leaf)
    for values, subkeys in keys.values():
        subkeys.sort(key=str.lower)
    return keys


class Snapshot:
    """The registry below a few keys, read with one `reg query /s` each."""

    def __init__(self, tops):
        self.keys = {}
        self.missing = []
        for top in tops:
            found, out = reg("query", top, "/s")
            if not found:
                self.missing.append(top.lower())
                continue
            self.keys.update(parse_query(top, out))

    def __call__(self, key):
        return self.keys.get(key.lower())


def query(key):
    """(values, subkeys) of one key, or None when reg says it is missing."""
    found, out = reg("query", key)
    return parse_query(key, out)[key.lower()] if found else None


def expected_class_entries(path):
    """Key -> (values, subkeys) exactly as registration must leave them."""
    sz = lambda text: ("REG_SZ", text)
    return {
        "HKCR\\Orvelle.Pendrake.1": ({"(Default)": sz("Pendrake Class")}, ["CLSID"]),
        "HKCR\\Orvelle.Pendrake.1\\CLSID": ({"(Default)": sz(CLSID)}, []),
        "HKCR\\Orvelle.Pendrake": ({"(Default)": sz("Pendrake Class")}, ["CLSID", "CurVer"]),
        "HKCR\\Orvelle.Pendrake\\CLSID": ({"(Default)": sz(CLSID)}, []),
        "HKCR\\Orvelle.Pendrake\\CurVer": ({"(Default)": sz("Orvelle.Pendrake.1")}, []),
        CLASS_KEY: ({"(Default)": sz("Pendrake Class")},
                    ["InprocServer32", "ProgID", "Programmable", "TypeLib", "VersionIndependentProgID"]),
        CLASS_KEY + "\\ProgID": ({"(Default)": sz("Orvelle.Pendrake.1")}, []),
        CLASS_KEY + "\\VersionIndependentProgID": ({"(Default)": sz("Orvelle.Pendrake")}, []),
        CLASS_KEY + "\\Programmable": ({}, []),
        CLASS_KEY + "\\InprocServer32": ({"(Default)": sz(path), "ThreadingModel": sz("Apartment")}, []),
        CLASS_KEY + "\\TypeLib": ({"(Default)": sz(LIBID)}, []),
    }


def expected_event_source(path):
    return {"EventMessageFile": ("REG_EXPAND_SZ", path), "TypesSupported": ("REG_DWORD", "0x7")}


def check_registered(dll, what, settings_values=None):
    path = win_path(dll)
    query = Snapshot(TOUCHED)
    for key, (values, subkeys) in expected_class_entries(path).items():
        found = query(key)
        if not check(found is not None, f"{what}: {key} missing"):
            continue
        check(found[0] == values, f"{what}: {key} values {found[0]}, expected {values}")
        check(found[1] == subkeys, f"{what}: {key} subkeys {found[1]}, expected {subkeys}")
    settings = query(SETTINGS)
    if check(settings is not None, f"{what}: settings key missing"):
        check(settings[0] == (settings_values or {}), f"{what}: settings values {settings[0]}")
    for source in (APP_SOURCE, SYS_SOURCE):
        found = query(source)
        if check(found is not None, f"{what}: {source} missing"):
            check(found[0] == expected_event_source(path), f"{what}: {source} values {found[0]}")
    # The type library registration made by the platform.
    version = "HKCR\\TypeLib\\" + LIBID + "\\1.0"
    found = query(version)
    if check(found is not None, f"{what}: type library not registered"):
        check(found[0].get("(Default)") == ("REG_SZ", "Pendrake 1.0 Type Library"), f"{what}: {version} {found[0]}")
    found = query(version + "\\409\\win64")
    check(found is not None and found[0].get("(Default)") == ("REG_SZ", path),
          f"{what}: type library file {found and found[0]}, expected {path}")
    found = query(version + "\\HELPDIR")
    folder = path[: path.rindex("\\") + 1]
    check(found is not None and found[0].get("(Default)") == ("REG_SZ", folder),
          f"{what}: help directory {found and found[0]}, expected {folder}")
    found = query("HKCR\\Interface\\" + IID + "\\TypeLib")
    check(found is not None and found[0].get("(Default)") == ("REG_SZ", LIBID), f"{what}: interface entry {found}")


def check_unregistered(what):
    snapshot = Snapshot(TOUCHED)
    for key in ["HKCR\\Orvelle.Pendrake", "HKCR\\Orvelle.Pendrake.1", CLASS_KEY, "HKCR\\TypeLib\\" + LIBID,
                "HKCR\\Interface\\" + IID, SETTINGS, r"HKLM\Software\Orvelle"]:
        check(snapshot(key) is None, f"{what}: {key} still present")
    check(query("HKCR\\CLSID") is not None, f"{what}: HKCR\\CLSID must stay")
    check(query(r"HKLM\Software") is not None, f"{what}: HKLM\\Software must stay")


def register_and_unregister(dll, what):
    """A whole cycle for a copy of the component placed where its path is awkward."""
    check(regsvr32(dll) == 0, f"registration of the {what} must succeed")
    check_registered(dll, what)
    check(regsvr32(dll, unregister=True) == 0, f"unregistration of the {what} must succeed")
    check_unregistered(f"{what} unregistered")


def scenarios(dll, scratch):
    # Nothing registered: the walk skips every missing key, and so does the type library.
    check(regsvr32(dll, unregister=True) == 0, "unregistering with nothing registered must succeed")
    check_unregistered("nothing registered")

    check(regsvr32(dll) == 0, "first registration must succeed")
    check_registered(dll, "first registration")

    # Leftovers below the ForceRemove class key go; stored defaults stay.
    setup("reg", "add", CLASS_KEY + "\\Stray\\Deeper", "/ve", "/d", "x", "/f")
    setup("reg", "add", CLASS_KEY + "\\InprocServer32", "/v", "Stale", "/d", "x", "/f")
    setup("reg", "add", SETTINGS, "/v", "iSyslogPort", "/t", "REG_DWORD", "/d", "1468", "/f")
    check(regsvr32(dll) == 0, "second registration must succeed")
    check_registered(dll, "second registration", {"iSyslogPort": ("REG_DWORD", "0x5bc")})

    check(regsvr32(dll, unregister=True) == 0, "unregistration must succeed")
    check_unregistered("after unregistration")
    for source in (APP_SOURCE, SYS_SOURCE):
        found = query(source)
        check(found is not None and found[0] == expected_event_source(win_path(dll)),
              f"after unregistration the event source {source} must stay: {found}")
    check(regsvr32(dll, unregister=True) == 0, "unregistering twice must succeed")

    # Another product of the vendor keeps the vendor key, and unregistration still succeeds.
    check(regsvr32(dll) == 0, "registration beside another product must succeed")
    setup("reg", "add", r"HKLM\Software\Orvelle\OtherProduct", "/v", "Version", "/d", "2", "/f")
    check(regsvr32(dll, unregister=True) == 0, "unregistration beside another product must succeed")
    check(query(SETTINGS) is None, "beside another product: the settings key must go")
    other = query(r"HKLM\Software\Orvelle\OtherProduct")
    check(other is not None and other[0] == {"Version": ("REG_SZ", "2")}, f"the other product's key must stay: {other}")
    check(query("HKCR\\TypeLib\\" + LIBID) is None, "beside another product: the type library must be unregistered")
    setup("reg", "delete", r"HKLM\Software\Orvelle", "/f")

    # A folder name with a single quote: doubled in the script, single in the registry.
    quoted_dir = os.path.join(scratch, "Bob's Pendrake")
    os.makedirs(quoted_dir)
    quoted = os.path.join(quoted_dir, "Pendrake.dll")
    shutil.copy2(dll, quoted)
    register_and_unregister(quoted, "quoted folder")

    # A renamed copy names itself everywhere: its own module handle gives the path, not a
    # look-up of a module called "Pendrake.dll" (which in regsvr32 finds none and would
    # name regsvr32.exe instead).
    renamed = os.path.join(scratch, "Renamed Logger.dll")
    shutil.copy2(dll, renamed)
    register_and_unregister(renamed, "renamed copy")

    # 260 characters are one too many for the script walk: nothing of the class is written,
    # the type library is skipped, and the event sources still name the full path.
    long_dir = scratch
    while len(win_path(os.path.join(long_dir, "Pendrake.dll"))) < 260:
        missing = 260 - len(win_path(os.path.join(long_dir, "Pendrake.dll")))
        long_dir = os.path.join(long_dir, "p" * min(100, max(1, missing - 1)))
    os.makedirs(long_dir, exist_ok=True)
    too_long = os.path.join(long_dir, "Pendrake.dll")
    check(len(win_path(too_long)) == 260, f"test setup: path length {len(win_path(too_long))}")
    shutil.copy2(dll, too_long)
    check(regsvr32(too_long) != 0, "registration from a 260-character path must fail")
    check_unregistered("260-character path")
    found = query(APP_SOURCE)
    check(found is not None and found[0] == expected_event_source(win_path(too_long)),
          f"260-character path: event source {found}")


def other_bitness_scenario(dll, scratch):
    """The x86 component's class registration in the 32-bit view, as its regsvr32 writes it. No
    32-bit code runs: the x64 unregistration only asks whether that registration names a file
    that is there, so a copy of any file stands in for the x86 one."""
    other = os.path.join(scratch, "x86", "Pendrake.dll")
    os.makedirs(os.path.dirname(other))
    shutil.copy2(dll, other)
    check(regsvr32(dll) == 0, "registration beside the other bitness must succeed")
    setup("reg", "add", SETTINGS, "/v", "iSyslogPort", "/t", "REG_DWORD", "/d", "1468", "/f")
    setup("reg", "add", CLASS_KEY + "\\InprocServer32", "/ve", "/d", win_path(other), "/reg:32", "/f")

    check(regsvr32(dll, unregister=True) == 0, "unregistration beside the other bitness must succeed")
    check(query(CLASS_KEY) is None, "beside the other bitness: this bitness's class key must go")
    for key in ("HKCR\\Orvelle.Pendrake", "HKCR\\Orvelle.Pendrake.1"):
        found = query(key)
        check(found is not None and found[0] == {"(Default)": ("REG_SZ", "Pendrake Class")},
              f"beside the other bitness the shared {key} must stay: {found}")
    settings = query(SETTINGS)
    check(settings is not None and settings[0] == {"iSyslogPort": ("REG_DWORD", "0x5bc")},
          f"beside the other bitness the settings key must stay with its stored defaults: {settings}")

    # A registration that names a file no longer there counts for nothing.
    os.remove(other)
    check(regsvr32(dll) == 0, "registration beside a stale registration must succeed")
    check(regsvr32(dll, unregister=True) == 0, "unregistration beside a stale registration must succeed")
    check_unregistered("beside a stale registration of the other bitness")


def fallback_scenarios(dll, tlb, stripper, scratch):
    folder = os.path.join(scratch, "fallback")
    os.makedirs(folder)
    stripped = os.path.join(folder, "Stripped.dll")
    code = wine(stripper, win_path(dll), win_path(stripped))[0]
    if not check(code == 0, f"test setup: copying without the type library failed with {code}"):
        return
    # No type library in the module and none beside it: the class entries are written all
    # the same, and the loader's error is the result.
    check(regsvr32(stripped) != 0, "registration without any type library must fail")
    found = query(CLASS_KEY + "\\InprocServer32")
    check(found is not None and found[0].get("(Default)") == ("REG_SZ", win_path(stripped)),
          f"without a type library the class entries are still written: {found}")
    check(query("HKCR\\TypeLib\\" + LIBID) is None, "without a type library none may be registered")
    check(regsvr32(stripped, unregister=True) != 0, "unregistration without any type library must fail")

    # The ".tlb" of the same name beside the module stands in for the embedded library.
    library = os.path.join(folder, "Stripped.tlb")
    shutil.copy2(tlb, library)
    check(regsvr32(stripped) == 0, "registration with the .tlb beside the module must succeed")
    version = "HKCR\\TypeLib\\" + LIBID + "\\1.0"
    found = query(version + "\\409\\win64")
    check(found is not None and found[0].get("(Default)") == ("REG_SZ", win_path(library)),
          f".tlb fallback: registered file {found}, expected {win_path(library)}")
    found = query(version + "\\HELPDIR")
    check(found is not None and found[0].get("(Default)") == ("REG_SZ", win_path(folder) + "\\"),
          f".tlb fallback: help directory {found}")
    check(regsvr32(stripped, unregister=True) == 0, "unregistration with the .tlb beside the module must succeed")
    check_unregistered(".tlb fallback unregistered")


def with_prefix_restored(body):
    """Runs body(scratch folder) from a clean slate of the keys in TOUCHED and puts them back as
    they were found, whatever happens; the class key in the 32-bit view, which only the body
    writes, goes again. Returns the exit code of the whole test."""
    scratch = tempfile.mkdtemp(prefix="pendrake-registration-")
    saved = {}
    try:
        if reg("query", CLASS_KEY, "/reg:32")[0]:
            print("FAIL: test setup: a class registration in the 32-bit view is in the way")
            return 1
        for key in TOUCHED:
            if query(key) is not None:
                saved[key] = os.path.join(scratch, f"saved{len(saved)}.reg")
                code, out = wine("reg", "export", key, win_path(saved[key]), "/y")
                if code != 0:
                    print(f"FAIL: test setup: reg export {key} exited {code}: {out.strip()!r}; nothing changed")
                    return 1
    except RegUnanswered as e:
        shutil.rmtree(scratch, ignore_errors=True)
        print(f"FAIL: test setup: {e}")
        return 1
    signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(DEADLINE)
    try:
        # Start from a clean slate whatever the prefix held.
        for key in TOUCHED:
            wine("reg", "delete", key, "/f")
        body(scratch)
    except (RegUnanswered, OutOfTime) as e:
        check(False, str(e))
    finally:
        signal.alarm(0)
        wine("reg", "delete", CLASS_KEY, "/reg:32", "/f")
        for key in TOUCHED:
            wine("reg", "delete", key, "/f")
        for key, file in saved.items():
            code, out = wine("reg", "import", win_path(file))
            check(code == 0, f"putting {key} back: reg import exited {code}: {out.strip()!r}")
        shutil.rmtree(scratch, ignore_errors=True)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


def main():
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    dll, tlb, stripper = (os.path.abspath(arg) for arg in sys.argv[1:])

    def body(scratch):
        scenarios(dll, os.path.join(scratch, "work"))
        other_bitness_scenario(dll, os.path.join(scratch, "other"))
        fallback_scenarios(dll, tlb, stripper, scratch)

    return with_prefix_restored(body)


if __name__ == "__main__":
    sys.exit(main())
