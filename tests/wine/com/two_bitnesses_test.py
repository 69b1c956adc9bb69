#!/usr/bin/env python3
"""The x64 and the x86 Pendrake.dll registered side by side under Wine, each with the regsvr32
of its own bitness; needs a host that runs 32-bit programs (CTest skips it elsewhere).

    two_bitnesses_test.py <x64 Pendrake.dll> <x86 Pendrake.dll>

Unregistering either bitness first removes its own class key and keeps the ProgIDs and the
settings key with its stored defaults, which the other one still uses (it can still be created
by ProgID from a script host of its bitness); unregistering the second one removes them as
unregistration always has. With the x64 file in C:\windows\system32, where a 32-bit process is
shown syswow64 instead, the x86 unregistration still finds it, and no longer finds it once it is
gone even with an x86 file of that name in syswow64; the x64 unregistration reads the x86
registration's system32 as syswow64. The prefix is left as it was found.
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
    """The InprocServer32 default value in one registry view, or None."""
    code, out = wine("reg", "query", CLASS_KEY + "\\InprocServer32", "/ve", f"/reg:{bits}")
    if code != 0:
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
    wine("reg", "add", SETTINGS, "/v", "iSyslogPort", "/t", "REG_DWORD", "/d", "1468", "/f")
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
    """The x64 file in system32, the x86 one elsewhere: the 32-bit unregistration must look at the
    real system32, not at the syswow64 file that redirection would show it."""
    windows = os.path.join(os.environ["PENDRAKE_WINEPREFIX"], "drive_c", "windows")
    placed = {64: os.path.join(windows, "system32", "Pendrake.dll"), 32: os.path.join(windows, "syswow64", "Pendrake.dll")}
    if any(os.path.exists(path) for path in placed.values()):
        check(False, "test setup: a Pendrake.dll in system32 or syswow64 is in the way")
        return
    try:
        shutil.copyfile(dlls[64], placed[64])
        check(regsvr32(64, SYSTEM32_DLL) == 0, "system32: x64 registration must succeed")
        check(regsvr32(32, dlls[32]) == 0, "system32: x86 registration must succeed")
        check(regsvr32(32, dlls[32], unregister=True) == 0, "system32: x86 unregistration must succeed")
        for key in SHARED:
            check(query(key) is not None, f"system32: the x64 file is there, so {key} must stay")

        # The x64 file goes; an x86 file of the same name lies in syswow64.
        os.remove(placed[64])
        shutil.copyfile(dlls[32], placed[32])
        check(regsvr32(32, dlls[32]) == 0, "system32 gone: x86 registration must succeed")
        check(regsvr32(32, dlls[32], unregister=True) == 0, "system32 gone: x86 unregistration must succeed")
        for key in SHARED:
            check(query(key) is None, f"system32 gone: the x64 file is not there, so {key} must go")

        # Each in its own system folder, both registered by the name system32: the x86
        # registration names the x86 file, which a 64-bit process finds in syswow64.
        shutil.copyfile(dlls[64], placed[64])
        for file_there in (True, False):
            what = "syswow64 " + ("there" if file_there else "gone")
            for bits in (32, 64):
                check(regsvr32(bits, SYSTEM32_DLL) == 0, f"{what}: {bits}-bit registration must succeed")
            if not file_there:
                os.remove(placed[32])
            check(regsvr32(64, SYSTEM32_DLL, unregister=True) == 0, f"{what}: x64 unregistration must succeed")
            for key in SHARED:
                check((query(key) is not None) == file_there,
                      f"{what}: {key} must {'stay' if file_there else 'go'} with the x86 file")
    finally:
        for path in placed.values():
            if os.path.exists(path):
                os.remove(path)


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
