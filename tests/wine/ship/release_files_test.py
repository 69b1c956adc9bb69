#!/usr/bin/env python3
"""The release folder as a user receives it.

    release_files_test.py <release folder> <source folder> <version>

Every file in place and nothing else; each binary of the bitness its folder promises; only
DLLs that every Windows has imported (the C++ runtime must be linked in); the component's four
entry points exported by their plain names (an x86 build easily exports _Name@12, which
regsvr32 cannot find); the installer a 64-bit program stamped with the product version; and the
manual's links within itself leading somewhere.
"""
import filecmp
import html.parser
import os
import re
import struct
import subprocess
import sys

from tally import Tally

MACHINE_X64 = 0x8664
MACHINE_X86 = 0x014C

# DLLs that ship with every Windows from 7 on; msvcrt is the system's own C runtime.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll",
    "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "uxtheme.dll",
    "version.dll", "ws2_32.dll", "rpcrt4.dll", "winmm.dll", "imm32.dll",
}

COMPONENT_EXPORTS = ["DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"]

tally = Tally("ship release files")
check = tally.check


def pe_machine(path):
    with open(path, "rb") as f:
        data = f.read(4096)
    if data[:2] != b"MZ":
        return None
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    if data[offset:offset + 4] != b"PE\0\0":
        return None
    return struct.unpack_from("<H", data, offset + 4)[0]


def fixed_versions(path):
    """File and product version from the VS_FIXEDFILEINFO of the file's version resource."""
    with open(path, "rb") as f:
        data = f.read()
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        return None
    _, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", data, at)

    def text(ms, ls):
        return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"

    return text(file_ms, file_ls), text(product_ms, product_ls)


def objdump(path):
    return subprocess.run(["x86_64-w64-mingw32-objdump", "-p", path], capture_output=True, text=True,
                          check=True).stdout


def imported_dlls(dump):
    return sorted(m.lower() for m in re.findall(r"DLL Name: (\S+)", dump))


def exported_names(dump):
    table = dump.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) < 2:
        return []
    names = []
    for line in table[1].splitlines()[1:]:
        m = re.match(r"\s+\[\s*\d+\]\s+(\S+)", line)
        if not m:
            break
        names.append(m.group(1))
    return names


class Anchors(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids, self.links = set(), []

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if "id" in attrs:
            self.ids.add(attrs["id"])
        if tag == "a" and "name" in attrs:
            self.ids.add(attrs["name"])
        if tag == "a" and attrs.get("href", "").startswith("#"):
            self.links.append(attrs["href"][1:])


def main():
    ship, source, version = sys.argv[1:4]
    installer = f"Pendrake-{version}-setup.exe"
    examples = sorted(os.path.relpath(os.path.join(d, f), source).replace(os.sep, "/")
                      for d, _, files in os.walk(os.path.join(source, "examples")) for f in files)

    policies = ["policies/Pendrake.admx"] + [f"policies/{c}/Pendrake.adml" for c in ("de-DE", "el-GR", "en-US")]
    expected_files = sorted([installer, f"Pendrake-{version}-x64.msi", "x64/Pendrake.dll", "x86/Pendrake.dll",
                             "PendrakeClient.exe", "manual.htm", "README.md", "LICENSE"] + examples + policies)
    present = sorted(os.path.relpath(os.path.join(d, f), ship).replace(os.sep, "/")
                     for d, _, files in os.walk(ship) for f in files)
    check(present == expected_files, "release folder contents", expected_files, present)

    for name, original in [("manual.htm", "docs/manual.htm"), ("README.md", "README.md"),
                           ("LICENSE", "LICENSE")] + [(e, e) for e in examples]:
        same = os.path.exists(os.path.join(ship, name)) and filecmp.cmp(
            os.path.join(ship, name), os.path.join(source, original), shallow=False)
        check(same, f"{name} is the source's {original}", "same bytes", "different or missing")

    binaries = [  # (file, machine, exports)
        ("x64/Pendrake.dll", MACHINE_X64, COMPONENT_EXPORTS),
        ("x86/Pendrake.dll", MACHINE_X86, COMPONENT_EXPORTS),
        ("PendrakeClient.exe", MACHINE_X64, None),
        # A 64-bit setup starts where 32-bit programs cannot run, and needs no redirection to
        # reach the 64-bit regsvr32.
        (installer, MACHINE_X64, None),
    ]
    for name, machine, exports in binaries:
        path = os.path.join(ship, name)
        if not os.path.exists(path):
            check(False, f"{name} exists", "a file", "nothing")
            continue
        got = pe_machine(path)
        check(got == machine, f"{name} machine", hex(machine), hex(got) if got is not None else "no PE file")
        dump = objdump(path)
        foreign = [d for d in imported_dlls(dump) if d not in SYSTEM_DLLS]
        check(not foreign, f"{name} imports only system DLLs", "none other", foreign)
        if exports is not None:
            got_exports = sorted(exported_names(dump))
            check(got_exports == exports, f"{name} exports", exports, got_exports)
        debug = re.findall(r"^\s*\d+\s+(\.debug_\w+)", subprocess.run(
            ["x86_64-w64-mingw32-objdump", "-h", path], capture_output=True, text=True).stdout, re.M)
        check(not debug, f"{name} carries no debug sections", "none", debug)

    for name in ["x64/Pendrake.dll", "x86/Pendrake.dll", installer]:
        path = os.path.join(ship, name)
        versions = fixed_versions(path) if os.path.exists(path) else None
        check(versions == (version, version), f"{name} file and product version", (version, version), versions)

    sys.path.insert(0, os.path.join(source, "installer"))
    import make_policy
    problems = make_policy.check(os.path.join(ship, "policies"))
    check(not problems, "Group Policy template: each reference resolves in every language", [], problems)

    manual = os.path.join(ship, "manual.htm")
    if os.path.exists(manual):
        parser = Anchors()
        with open(manual, encoding="utf-8") as f:
            parser.feed(f.read())
        dangling = sorted(set(link for link in parser.links if link not in parser.ids))
        check(parser.links and not dangling, "manual's links within itself resolve",
              "some links, none dangling", dangling or "no links")

    return tally.report()


if __name__ == "__main__":
    sys.exit(main())
