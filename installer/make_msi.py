#!/usr/bin/env python3
"""Builds the Windows Installer package from the release folder.

    make_msi.py <release folder> <source folder> <version a.b.c.d> <output .msi> <work folder>

The class, ProgID, type library and event source entries are not typed a second time: they are
read from what DllRegisterServer itself works from (the registration script Pendrake.rgs, the
type library definition Pendrake.idl and the event sources of registration.cpp) and written as
registry rows of the package, once per bitness. Windows Installer then writes and removes them
itself, and repairs them, which self-registration would not allow.

wixl (0.101) builds the package from Pendrake.wxs; what it cannot express is amended with
msibuild afterwards and read back with msiinfo: the file versions (wixl leaves them empty, and
without them a repair or an upgrade cannot tell which files to replace), REG_EXPAND_SZ for
EventMessageFile (wixl stores REG_SZ), the permanence of the event sources (wixl drops
Permanent), the removal of an older product after the new one is in place (so the components
both share, and with them the stored defaults, stay), and a package code derived from the
contents. wixl stamps the build time into the summary information and msitools cannot set
it; with SOURCE_DATE_EPOCH set, that time is written over, and the package is the same bytes
from the same release folder.
"""
import hashlib
import os
import re
import struct
import subprocess
import sys
import time
import uuid
from pathlib import Path
from xml.sax.saxutils import quoteattr

UPGRADE_CODE = uuid.UUID("0DA5DC4C-58FA-4B80-94E3-AF7133F6ABB3")
FILE_IDS = {"PendrakeX64": "x64/Pendrake.dll", "PendrakeX86": "x86/Pendrake.dll", "PendrakeClient": "PendrakeClient.exe"}
EVENT_LOG_KEY = "SYSTEM\\CurrentControlSet\\Services\\EventLog"
# The proxy of every dual interface that OLE Automation marshals from its type library.
AUTOMATION_PROXY = "{00020424-0000-0000-C000-000000000046}"
EVENTLOG_TYPES_SUPPORTED = 7  # error, warning and information
PER_VIEW_KEYS = ("CLSID\\", "Interface\\", "TypeLib\\")


def product_version(version):
    """Windows Installer compares only the first three fields of ProductVersion, so a release
    a.b.c.d becomes a.b.(c*1000+d): the third field rises with every release."""
    parts = [int(p) for p in version.split(".")]
    if len(parts) != 4 or not (parts[0] < 256 and parts[1] < 256 and parts[2] < 65 and parts[3] < 1000):
        raise SystemExit(f"make_msi: version {version} does not fit a.b.c.d with a, b < 256, c < 65, d < 1000")
    return f"{parts[0]}.{parts[1]}.{parts[2] * 1000 + parts[3]}"


def rgs_tokens(text):
    # A GUID in braces is a name; a brace on its own opens or closes a block.
    return re.findall(r"'(?:[^']|'')*'|\{[0-9A-Fa-f-]{36}\}|[{}=]|[^\s{}=']+", text)


def rgs_rows(text, module):
    """(root, key, value name or None, type, data) for every entry the registration script
    writes; an empty leaf key gets the row that creates it and removes it with its contents."""
    tokens = rgs_tokens(text)
    rows = []
    pos = 0

    def word():
        nonlocal pos
        token = tokens[pos]
        pos += 1
        return token[1:-1].replace("''", "'") if token.startswith("'") else token

    def value():
        kind, data = word(), word()
        if kind not in ("s", "d"):
            raise SystemExit(f"make_msi: registration script value type {kind!r} is not handled")
        return kind, data.replace("%MODULE%", module)

    def block(root, path):
        nonlocal pos
        while tokens[pos] != "}":
            name = word()
            if name == "val":
                value_name = word()
                assert word() == "="
                rows.append((root, path, value_name) + value())
                continue
            if name in ("NoRemove", "ForceRemove", "Delete"):
                name = word()
            key = f"{path}\\{name}" if path else name
            written = len(rows)
            if tokens[pos] == "=":
                pos += 1
                rows.append((root, key, None) + value())
            if tokens[pos] == "{":
                pos += 1
                block(root, key)
                pos += 1
            if len(rows) == written:
                rows.append((root, key, "*", "s", ""))

    while pos < len(tokens):
        root = {"HKCR": "HKCR", "HKEY_CLASSES_ROOT": "HKCR", "HKLM": "HKLM", "HKEY_LOCAL_MACHINE": "HKLM"}[word()]
        assert word() == "{"
        block(root, "")
        pos += 1
    return rows


def idl_attributes(text, keyword):
    """The attribute block in front of `keyword name` in the interface definition."""
    match = re.search(r"\[([^\[\]]*)\]\s*" + keyword + r"\s+(\w+)", text)
    if not match:
        raise SystemExit(f"make_msi: no {keyword} in Pendrake.idl")
    attrs = match.group(1)
    field = lambda name: (re.search(name + r"\(\s*\"?([^\")]*)\"?\s*\)", attrs) or [None, None])[1]
    return {"name": match.group(2), "uuid": "{" + field("uuid").upper() + "}", "version": field("version"),
            "lcid": field("lcid"), "helpstring": field("helpstring")}


def typelib_rows(idl):
    """What RegisterTypeLib writes for the library and its dual interface, for both files. Windows
    keeps one TypeLib tree for both registry views, and the native registration has the last word
    on its shared entries (HELPDIR); each part of the package writes the whole tree, so the same
    rows land in that one tree there and in each view where the tree is kept per view."""
    lib = idl_attributes(idl, "library")
    iface = idl_attributes(idl, "interface")
    version_key = f"TypeLib\\{lib['uuid']}\\{lib['version']}"
    lcid = format(int(lib["lcid"], 0), "x")
    interface_key = f"Interface\\{iface['uuid']}"
    return [("HKCR", version_key, None, "s", lib["helpstring"]),
            ("HKCR", f"{version_key}\\{lcid}\\win32", None, "s", "[#PendrakeX86]"),
            ("HKCR", f"{version_key}\\{lcid}\\win64", None, "s", "[#PendrakeX64]"),
            ("HKCR", f"{version_key}\\FLAGS", None, "s", "0"),
            ("HKCR", f"{version_key}\\HELPDIR", None, "s", "[INSTALLDIR]"),
            ("HKCR", interface_key, None, "s", iface["name"]),
            ("HKCR", f"{interface_key}\\ProxyStubClsid", None, "s", AUTOMATION_PROXY),
            ("HKCR", f"{interface_key}\\ProxyStubClsid32", None, "s", AUTOMATION_PROXY),
            ("HKCR", f"{interface_key}\\TypeLib", None, "s", lib["uuid"]),
            ("HKCR", f"{interface_key}\\TypeLib", "Version", "s", lib["version"])]


def event_source_rows(registration_cpp, module):
    sources = re.findall(r'AddEventSource\(L"([^"]+)",\s*L"([^"]+)"\)', registration_cpp)
    if not sources:
        raise SystemExit("make_msi: no event sources found in registration.cpp")
    rows = []
    for log, source in sources:
        key = f"{EVENT_LOG_KEY}\\{log}\\{source}"
        rows += [("HKLM", key, "EventMessageFile", "s", module), ("HKLM", key, "TypesSupported", "d", str(EVENTLOG_TYPES_SUPPORTED))]
    return rows


def registry_elements(rows, key_path_first=False):
    lines = []
    for i, (root, key, name, kind, data) in enumerate(rows):
        attrs = f"Root={quoteattr(root)} Key={quoteattr(key)}"
        if name is not None:
            attrs += f" Name={quoteattr(name)}"
        attrs += f' Type="{"integer" if kind == "d" else "string"}" Value={quoteattr(data)}'
        if key_path_first and i == 0:
            attrs += ' KeyPath="yes"'
        lines.append(f"<RegistryValue {attrs}/>")
    return lines


def include(lines):
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Include>\n" + "".join(f"  {line}\n" for line in lines) + "</Include>\n"


def example_elements(ship):
    """One component per examples folder; its GUID follows from the folder, so it stays the
    same from release to release."""
    folders = {}
    for path in sorted((ship / "examples").rglob("*")):
        if path.is_file():
            folders.setdefault(path.parent.relative_to(ship).as_posix(), []).append(path)
    dirs, refs = [], []
    for n, (folder, files) in enumerate(sorted(folders.items())):
        component = f"Examples{n}"
        guid = str(uuid.uuid5(UPGRADE_CODE, "examples " + folder)).upper()
        body = [f'<Component Id="{component}" Guid="{guid}" Win64="yes">']
        for i, path in enumerate(files):
            keypath = ' KeyPath="yes"' if i == 0 else ""
            body.append(f'  <File Id="{component}_{i}" Name={quoteattr(path.name)} '
                        f'Source={quoteattr(path.relative_to(ship).as_posix())}{keypath}/>')
        body.append("</Component>")
        # Folders of the same name under one parent are one folder on disk.
        parts = folder.split("/")
        for depth in reversed(range(len(parts))):
            body = [f'<Directory Id="Examples{n}Dir{depth}" Name={quoteattr(parts[depth])}>'] + ["  " + b for b in body] + ["</Directory>"]
        dirs += body
        refs.append(f'<ComponentRef Id="{component}"/>')
    return dirs, refs


def pe_version(path):
    """The file version of a PE file's VS_FIXEDFILEINFO, as Windows Installer compares it."""
    data = path.read_bytes()
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        raise SystemExit(f"make_msi: {path} carries no version information")
    ms, ls = struct.unpack_from("<II", data, at + 8)
    return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"


def run(*args, cwd=None):
    result = subprocess.run(args, cwd=cwd, capture_output=True, text=True)
    noise = [l for l in result.stderr.splitlines() if l.strip() and "g_object_set_is_valid_property" not in l]
    if result.returncode != 0:
        raise SystemExit(f"make_msi: {' '.join(args)} failed:\n" + "\n".join(noise))
    return result.stdout


def table(msi, name):
    """The rows of one table as msiinfo exports it: a list of column lists."""
    return [line.split("\t") for line in run("msiinfo", "export", str(msi), name).splitlines()[3:]]


def amend(msi, version, inputs_digest):
    queries = []
    for file_id, rel in FILE_IDS.items():
        queries.append(f"UPDATE `File` SET `Version` = '{pe_version(ship / rel)}', `Language` = '1033' "
                       f"WHERE `File` = '{file_id}'")
    queries.append("UPDATE `Registry` SET `Value` = '#%[#PendrakeX64]' WHERE `Name` = 'EventMessageFile'")
    attributes = {row[0]: int(row[3]) for row in table(msi, "Component")}
    queries.append(f"UPDATE `Component` SET `Attributes` = {attributes['EventSources'] | 16} "
                   "WHERE `Component` = 'EventSources'")
    sequence = {row[0]: int(row[2]) for row in table(msi, "InstallExecuteSequence")}
    finalize = sequence["InstallFinalize"]
    queries.append(f"INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('InstallExecute', {finalize - 2})")
    queries.append(f"UPDATE `InstallExecuteSequence` SET `Sequence` = {finalize - 1} WHERE `Action` = 'RemoveExistingProducts'")
    for query in queries:
        run("msibuild", str(msi), "-q", query)
    package_code = "{" + str(uuid.uuid5(UPGRADE_CODE, f"package {version} {inputs_digest}")).upper() + "}"
    run("msibuild", str(msi), "-s", "Pendrake", "Orvelle", "x64;1033", package_code)

    # Read back: msibuild reports success for an UPDATE that matched nothing.
    versions = {row[0]: row[4] for row in table(msi, "File")}
    expand = [row for row in table(msi, "Registry") if row[3] == "EventMessageFile"]
    sequence = {row[0]: int(row[2]) for row in table(msi, "InstallExecuteSequence")}
    problems = [f"File {f} version {versions.get(f)!r}" for f in FILE_IDS if not versions.get(f)]
    problems += [f"Registry {row[0]} value {row[4]!r}" for row in expand if not row[4].startswith("#%")]
    if not expand:
        problems.append("no EventMessageFile rows")
    if not sequence["InstallExecute"] < sequence["RemoveExistingProducts"] < sequence["InstallFinalize"]:
        problems.append("RemoveExistingProducts is not between InstallExecute and InstallFinalize")
    if not int({r[0]: r[3] for r in table(msi, "Component")}["EventSources"]) & 16:
        problems.append("EventSources is not permanent")
    if problems:
        raise SystemExit("make_msi: the package was not amended as intended: " + "; ".join(problems))


def stamp_build_time(msi, epoch):
    """Sets the summary information's creation and last-saved times, which libmsi takes from the
    clock, to SOURCE_DATE_EPOCH: they are the only bytes in which two builds of the same release
    differ. They are the FILETIME properties (VT_FILETIME, 0x40) holding a time of today."""
    data = bytearray(msi.read_bytes())
    to_filetime = lambda seconds: (int(seconds) + 11644473600) * 10**7
    now = to_filetime(time.time())
    found = 0
    for at in [m.start() for m in re.finditer(re.escape(b"\x40\x00\x00\x00"), data)]:
        value = int.from_bytes(data[at + 4:at + 12], "little")
        if abs(value - now) < 2 * 86400 * 10**7:
            data[at + 4:at + 12] = to_filetime(epoch).to_bytes(8, "little")
            found += 1
    if found != 2:
        raise SystemExit(f"make_msi: found {found} build times in the summary information, not 2")
    msi.write_bytes(bytes(data))


def main():
    global ship
    if len(sys.argv) != 6:
        print(__doc__)
        return 2
    ship, source, version, output, work = Path(sys.argv[1]).resolve(), Path(sys.argv[2]), sys.argv[3], \
        Path(sys.argv[4]).resolve(), Path(sys.argv[5]).resolve()
    work.mkdir(parents=True, exist_ok=True)
    win32 = source / "component" / "win32"
    rgs = (win32 / "Pendrake.rgs").read_text()
    idl = (win32 / "Pendrake.idl").read_text()
    registration = (win32 / "registration.cpp").read_text()

    per_bitness = {}
    for bitness, file_id in ((64, "PendrakeX64"), (32, "PendrakeX86")):
        module = f"[#{file_id}]"
        # The 32-bit part writes only the keys that 64-bit Windows keeps per view. The others are
        # shared by both views: the ProgIDs (since Windows 7), and the settings key, which the
        # component opens in the 64-bit view from either bitness. They are rows of the 64-bit
        # part alone, so no copy lands where 32-bit programs would not look.
        rows = [r for r in rgs_rows(rgs, module) if bitness == 64 or r[1].startswith(PER_VIEW_KEYS)]
        per_bitness[bitness] = rows + typelib_rows(idl)
    files = {
        "registration-x64.wxi": include(registry_elements(per_bitness[64])),
        "registration-x86.wxi": include(registry_elements(per_bitness[32])),
        "event-sources.wxi": include(registry_elements(event_source_rows(registration, "[#PendrakeX64]"), key_path_first=True)),
    }
    dirs, refs = example_elements(ship)
    files["examples.wxi"] = include(dirs)
    files["example-refs.wxi"] = include(refs)
    wxs = (source / "installer" / "Pendrake.wxs").read_text()
    digest = hashlib.sha256(wxs.encode())
    for name, text in sorted(files.items()):
        (work / name).write_text(text)
        digest.update(text.encode())
    for source_path in sorted(set(re.findall(r'Source="([^"]+)"', wxs + "".join(files.values())))):
        digest.update(source_path.encode() + (ship / source_path).read_bytes())

    product = product_version(version)
    product_code = "{" + str(uuid.uuid5(UPGRADE_CODE, f"product {product}")).upper() + "}"
    defines = {"Version": version, "ProductVersion": product, "ProductCode": product_code,
               "UpgradeCode": "{" + str(UPGRADE_CODE).upper() + "}"}
    partial = output.with_suffix(".partial")
    # wixl wants Source paths relative to where it runs: the release folder.
    run("wixl", "-a", "x64", "-I", str(work), *[a for k, v in defines.items() for a in ("-D", f"{k}={v}")],
        "-o", str(partial), str((source / "installer" / "Pendrake.wxs").resolve()), cwd=ship)
    amend(partial, version, digest.hexdigest())
    if os.environ.get("SOURCE_DATE_EPOCH"):
        stamp_build_time(partial, int(os.environ["SOURCE_DATE_EPOCH"]))
    os.replace(partial, output)
    print(f"make_msi: {output.name} (ProductVersion {product}, ProductCode {product_code}), {output.stat().st_size} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
