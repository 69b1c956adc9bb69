#!/usr/bin/env python3
"""The x64 and the x86 Pendrake.dll registered side by side under Wine, each with the regsvr32
of its own bitness; needs a host that runs 32-bit programs (CTest skips it elsewhere).

    two_bitnesses_test.py <x64 Pendrake.dll> <x86 Pendrake.dll>

Unregistering either bitness first removes its own class key and keeps the ProgIDs and the
settings key with its stored defaults, which the other one still uses (it can still be created
by ProgID from a script host of its bitness); unregistering the second one removes them as
unregistration always has. A file named in system32 is looked at as its own bitness sees it
(a 32-bit process is shown syswow64 there). The prefix is left as it was found.
"""
import os
import shutil
import subprocess
import sys

import registration_test as reg
from registration_test import CLASS_KEY, SETTINGS, check, query, wine, win_path

REGSVR32 = {64: r"C:\windows\system32\regsvr32.exe", 32: r"C:\windows\syswow64\regsvr32.exe"}
CSCRIPT = {64: r"C:\windows\system32\cscript.exe", 32: r"C:\windows\syswow64\cscript.exe"}
SHARED = ["HKCR\\Orvelle.Pendrake", "HKCR\\Orvelle.Pendrake.1", SETTINGS]
STORED = {"iSyslogPort": ("REG_DWORD", "0x5bc")}
SYSTEM32_DLL = r"C:\windows\system32\Pendrake.dll"


def regsvr32(bits, dll, unregister=False):
    """dll: a path of this machine, or one already in Windows form ("C:\\...")."""
    target = dll if dll[1:2] == ":" else win_path(dll)
    return wine(REGSVR32[bits], "/s", *(["/u"] if unregister else []), target)[0]


def server_in_view(bits):
    """The InprocServer32 default value in one registry view, or None when reg says it is not there."""
    found, out = reg.reg("query", CLASS_KEY + "\\InprocServer32", "/ve", f"/reg:{bits}")
    if not found:
        return None
    parsed = reg.parse_query(CLASS_KEY + "\\InprocServer32", out)
    values = parsed.get((CLASS_KEY + "\\InprocServer32").lower(), ({}, []))[0]
    return values.get("(Default)", (None, None))[1]


def creatable(bits, scratch):
    """Whether a script host of that bitness creates the component by ProgID."""
    script = os.path.join(scratch, f"create{bits}.vbs")
    with open(script, "w", newline="\r\n") as f:
        f.write('On Error Resume Next\nSet o = CreateObject("Orvelle.Pendrake")\n'
                'If Err.Number = 0 Then WScript.Echo "created" Else WScript.Echo "error " & Err.Number\n'
                "WScript.Quit 0\n")
    done = subprocess.run([reg.WINE_RUN, CSCRIPT[bits], "//nologo", win_path(script)], capture_output=True, text=True,
                          errors="replace", timeout=120)
    return "created" in done.stdout


def cycle(dlls, first, scratch):
    second = 32 if first == 64 else 64
    what = f"x{'64' if first == 64 else '86'} unregistered first"
    for bits in (64, 32):
        check(regsvr32(bits, dlls[bits]) == 0, f"{what}: registration of the {bits}-bit component must succeed")
    reg.setup("reg", "add", SETTINGS, "/v", "iSyslogPort", "/t", "REG_DWORD", "/d", "1468", "/f")
    for bits in (64, 32):
        check(server_in_view(bits) == win_path(dlls[bits]),
              f"{what}: the {bits}-bit view names {server_in_view(bits)}, expected {win_path(dlls[bits])}")

    check(regsvr32(first, dlls[first], unregister=True) == 0, f"{what}: its unregistration must succeed")
    check(server_in_view(first) is None, f"{what}: its class key must go")
    check(server_in_view(second) == win_path(dlls[second]), f"{what}: the other bitness's class key must stay")
    for key in SHARED:
        check(query(key) is not None, f"{what}: the shared {key} must stay")
    settings = query(SETTINGS)
    check(settings is not None and settings[0] == STORED, f"{what}: the stored defaults must stay: {settings}")
    check(creatable(second, scratch), f"{what}: the {second}-bit component must still be created by ProgID")

    check(regsvr32(second, dlls[second], unregister=True) == 0, f"{what}: the last unregistration must succeed")
    check(server_in_view(second) is None, f"{what}: the last class key must go")
    for key in SHARED + [r"HKLM\Software\Orvelle"]:
        check(query(key) is None, f"{what}: after the last unregistration {key} must go")


def system32_cycle(dlls):
    """Each bitness looks at the other's file as that bitness sees it, not as redirection shows
    system32 to a 32-bit process."""
    windows = os.path.join(os.environ["PENDRAKE_WINEPREFIX"], "drive_c", "windows")
    placed = {64: os.path.join(windows, "system32", "Pendrake.dll"), 32: os.path.join(windows, "syswow64", "Pendrake.dll")}
    if not check(not any(map(os.path.exists, placed.values())), "setup: a Pendrake.dll in system32 or syswow64 is in the way"):
        return

    def place(wanted):
        for bits, path in placed.items():
            if bits in wanted and not os.path.exists(path):
                shutil.copyfile(dlls[bits], path)
            elif bits not in wanted and os.path.exists(path):
                os.remove(path)

    x86, sys32 = (32, dlls[32]), SYSTEM32_DLL
    # (what, files placed at registration, and at unregistration, registrations, unregistered, shared keys stay)
    steps = [("x64 in system32, x86 elsewhere", {64}, {64}, [(64, sys32), x86], x86, True),
             ("x64 gone, an x86 file in syswow64", {32}, {32}, [x86], x86, False),
             ("each in its system folder", {64, 32}, {64, 32}, [(32, sys32), (64, sys32)], (64, sys32), True),
             ("x86 gone from syswow64", {64, 32}, {64}, [(32, sys32), (64, sys32)], (64, sys32), False)]
    try:
        for what, at_registration, at_unregistration, registrations, (bits, dll), stay in steps:
            place(at_registration)
            for reg_bits, path in registrations:
                check(regsvr32(reg_bits, path) == 0, f"{what}: {reg_bits}-bit registration must succeed")
            place(at_unregistration)
            check(regsvr32(bits, dll, unregister=True) == 0, f"{what}: {bits}-bit unregistration must succeed")
            for key in SHARED:
                check((query(key) is not None) == stay, f"{what}: {key} must {'stay' if stay else 'go'}")
    finally:
        place(set())


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    dlls = {64: os.path.abspath(sys.argv[1]), 32: os.path.abspath(sys.argv[2])}

    def body(scratch):
        for first in (32, 64):
            cycle(dlls, first, scratch)
        system32_cycle(dlls)

    return reg.with_prefix_restored(body)


if __name__ == "__main__":
    sys.exit(main())
