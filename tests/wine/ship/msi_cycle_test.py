#!/usr/bin/env python3
"""The Windows Installer package and the Group Policy template under Wine, as a deployment tool
and Group Policy would use them.

    msi_cycle_test.py <Pendrake-x.y.z.w-x64.msi> <policies folder>

Uses the install cycle's harness in a prefix folder of its own (with its own display and
wineserver), made fresh from the bed's template twice: once for regsvr32's registration (the
reference), an upgrade and the policy, once for a first installation, a downgrade, a repair
and the uninstallation. Wine's msi forgets the UpgradeCodes of a product it upgraded, so the
downgrade is tried where the newer package was installed directly.
"""
import glob
import os
import re
import subprocess
import sys
import uuid
import xml.etree.ElementTree as ET

os.environ["PENDRAKE_SHIP_BED"] = os.path.join(os.path.dirname(os.environ["PENDRAKE_WINEPREFIX"].rstrip("/")),
                                               "ship-msi")
import install_cycle_test as cycle  # noqa: E402
from install_cycle_test import CLSID, LIBID, IID, INSTALL_DIR, REG_EXE, check, host_path, wine  # noqa: E402

PACKAGE, OLDER = r"C:\ship\Pendrake.msi", r"C:\ship\older.msi"
ADMX_NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
# Windows Installer's exit codes as a Unix parent sees them: modulo 256.
ERROR_INSTALL_FAILURE, ERROR_UNKNOWN_PRODUCT = 1603 % 256, 1605 % 256
OURS = re.compile("|".join(re.escape(x.lower()) for x in (CLSID, LIBID, IID, "orvelle")))
# Where the package's registry differs from regsvr32's under Wine, and why.
INTENDED = {
    r"typelib\{%s}\1.0\flags" % LIBID.lower().strip("{}"):
        "Wine's RegisterTypeLib stores the disk-image flag (8); Windows stores the library's flags (0), as the package does",
}
BUILT_IN = {"SyslogFacility": "16", "SyslogPriority": "5", "SyslogPort": "0", "SyslogServer": "",
            "EventLogSource": "Orvelle Pendrake", "EventLogComputer": "", "EventLogType": "4", "EventLogID": "0"}


def msiexec(*args):
    return wine("msiexec", *args, timeout=120).returncode


def reg_setup(*args):
    result = wine(REG_EXE[64], *args)
    check(result.returncode == 0, f"test setup: reg {' '.join(args[:2])}", 0,
          (result.returncode, result.stdout + result.stderr))


def export(*args):
    """regedit's export as reg_answer runs it: a busy Wine has ended one with exit code 1 and no
    output, so it is tried again; an earlier file, or none, is never read as the registry."""
    path = host_path(r"C:\ship\snapshot.reg")
    if os.path.exists(path):
        os.remove(path)
    done = wine("regedit", *args)
    return (done.returncode if os.path.exists(path) else done.returncode or 1), done.stdout + done.stderr


def snapshot():
    """{key: {value: data}} of every key of ours in both views, as regedit exports them."""
    keys, current = {}, None
    for root in (r"HKEY_LOCAL_MACHINE\Software", r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\EventLog"):
        cycle.reg_answer(export, "/E", r"C:\ship\snapshot.reg", root)
        text = open(host_path(r"C:\ship\snapshot.reg"), encoding="utf-16").read().replace("\\\n  ", "")
        for line in text.splitlines():
            if line.startswith("["):
                name = line[1:-1].lower()
                current = keys.setdefault(name, {}) if OURS.search(name) else None
            elif current is not None and "=" in line:
                value, data = re.match(r'(@|"(?:[^"\\]|\\.)*")=(.*)', line).groups()
                current[value] = data
    return keys


def compare_with_regsvr32(reference, package):
    skip32 = cycle.no_x86 is not None
    if skip32:
        cycle.tally.skip("the 32-bit view against regsvr32's", "needs 32-bit code")
    for key in sorted(set(reference) | set(package)):
        if skip32 and ("wow6432node" in key or key.endswith("\\win32")):
            continue
        ref, got = reference.get(key, {}), package.get(key, {})
        for value in sorted(set(ref) | set(got)):
            why = INTENDED.get(key.split("classes\\")[-1].replace("wow6432node\\", ""))
            if ref.get(value) != got.get(value):
                print(f"{'intended' if why else 'DIFFERENT'}: {key} {value}: regsvr32 {ref.get(value)}, "
                      f"package {got.get(value)}{' - ' + why if why else ''}")
            check(why or ref.get(value) == got.get(value), f"registry as regsvr32 writes it: {key} {value}",
                  ref.get(value), got.get(value))


def apply_policy(admx_path, enabled, port):
    """Writes what Group Policy writes for the template's policy, Enabled with the last item of
    each list, the given port and test texts, or Disabled (the switch, and the element values
    deleted). Gives the properties a new object must show."""
    node = ET.parse(admx_path).getroot().find(".//p:policy", ADMX_NS)
    key, switch = "HKLM\\" + node.get("key"), node.get("valueName")
    state = node.find(f"p:{'enabled' if enabled else 'disabled'}Value/p:decimal", ADMX_NS).get("value")
    reg_setup("add", key, "/v", switch, "/t", "REG_DWORD", "/d", state, "/f")
    texts = {"Server": "127.0.0.1", "Source": "Pendrake policy", "Computer": "loghost"}
    shown = {}
    for element in node.find("p:elements", ADMX_NS):
        element_id, name = element.get("id"), element.get("valueName")
        if not enabled:
            reg_setup("delete", key, "/v", name, "/f")
            continue
        kind = element.tag.split("}")[1]
        if kind == "text":
            data, reg_type = texts[element_id], "REG_SZ"
        elif kind == "enum":
            data, reg_type = element.findall("p:item/p:value/p:decimal", ADMX_NS)[-1].get("value"), "REG_DWORD"
        else:
            low, high = int(element.get("minValue")), int(element.get("maxValue"))
            data, reg_type = str(port if element_id == "Port" else high), "REG_DWORD"
            check(low <= int(data) <= high, f"policy value {element_id} in its range", (low, high), data)
        reg_setup("add", key, "/v", name, "/t", reg_type, "/d", data, "/f")
        # The property drops the type prefix of the value name, and shows a number as a signed one.
        shown[name[2:] if kind == "text" else name[1:]] = \
            data if kind == "text" else str((int(data) + 2**31) % 2**32 - 2**31)
    return shown if enabled else BUILT_IN


def check_policy(receiver, admx_path, stage):
    for enabled in (True, False):
        shown = apply_policy(admx_path, enabled, receiver.port)
        label = f"{stage}, policy {'Enabled' if enabled else 'Disabled'}"
        for bitness, host in cycle.script_hosts(f"{{bitness}} script host, {label}"):
            text = f"{label} {bitness} {uuid.uuid4().hex[:8]}"
            lines = [f'WScript.Echo "{p}=" & o.{p}' for p in BUILT_IN]
            lines += [] if enabled else ['o.SyslogServer = "127.0.0.1"', f"o.SyslogPort = {receiver.port}"]
            rc, out = cycle.run_script(host, lines + [f'o.LogToSyslog "{text}"'])
            got = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
            check(rc == 0 and got == shown, f"{bitness} script host, {label}: a new object's settings", shown, (rc, got))
            pri = int(shown["SyslogFacility"]) * 8 + int(shown["SyslogPriority"])
            receiver.expect(f"{bitness} script host, {label}: datagram", f"<{pri}>{text}".encode())


def installed_files():
    names = [n for n in cycle.INSTALLED_FILES if n != "Uninstall.exe"] + \
        ["examples\\" + n for n in os.listdir(os.path.join(cycle.ROOT, "examples"))]
    return [host_path(INSTALL_DIR + "\\" + n) for n in names]


def shortcut_present():
    # Wine's msi takes the user's Start menu for ProgramMenuFolder whatever ALLUSERS says;
    # Windows takes the all-users one for a per-machine package.
    menus = [host_path(r"C:\ProgramData")] + glob.glob(os.path.join(host_path(r"C:\users"), "*", "AppData", "Roaming"))
    return any(os.path.isfile(os.path.join(m, "Microsoft", "Windows", "Start Menu", "Programs", "Pendrake",
                                           "Pendrake Client.lnk")) for m in menus)


def msi_property(package, name):
    properties = subprocess.run(["msiinfo", "export", package, "Property"], capture_output=True, text=True).stdout
    return re.search(rf"^{name}\t(\S+)", properties, re.M).group(1)


def make_older(package, older):
    """The same package as an older release: a lower ProductVersion, its own product and package codes."""
    subprocess.run(["cp", package, older], check=True)
    newer = msi_property(package, "ProductVersion")
    lower = re.sub(r"\d+$", lambda m: str(int(m.group()) - 1), newer)
    for query in (f"UPDATE `Property` SET `Value` = '{lower}' WHERE `Property` = 'ProductVersion'",
                  f"UPDATE `Property` SET `Value` = '{{{str(uuid.uuid4()).upper()}}}' WHERE `Property` = 'ProductCode'"):
        subprocess.run(["msibuild", older, "-q", query], check=True)
    # Its Upgrade table tells older from newer by its own version, as a release built then would.
    upgrade = subprocess.run(["msiinfo", "export", package, "Upgrade"], capture_output=True, text=True).stdout
    idt = os.path.join(os.path.dirname(older), "Upgrade.idt")
    with open(idt, "w", newline="") as f:
        f.write(upgrade.replace(f"\t{newer}\t", f"\t{lower}\t"))
    subprocess.run(["msibuild", older, "-i", idt], check=True)
    subprocess.run(["msibuild", older, "-s", "Pendrake", "Orvelle", "x64;1033", "{%s}" % str(uuid.uuid4()).upper()],
                   check=True)


def fresh_prefix():
    cycle.bed("fresh")
    os.makedirs(host_path(r"C:\ship"), exist_ok=True)
    subprocess.run(["cp", sys.argv[1], host_path(PACKAGE)], check=True)
    make_older(sys.argv[1], host_path(OLDER))


def scenario():
    admx = os.path.join(sys.argv[2], "Pendrake.admx")
    receiver = cycle.Receiver()
    try:
        # The reference: what regsvr32 writes for both components at the package's paths.
        fresh_prefix()
        for view, rel in ((32, r"x86\Pendrake.dll"), (64, "Pendrake.dll")):
            os.makedirs(os.path.dirname(host_path(INSTALL_DIR + "\\" + rel)), exist_ok=True)
            subprocess.run(["cp", os.path.join(os.path.dirname(sys.argv[1]), "x64" if view == 64 else "x86", "Pendrake.dll"),
                            host_path(INSTALL_DIR + "\\" + rel)], check=True)
            if view == 64 or cycle.runs_x86("regsvr32 of the x86 component"):
                host = r"C:\windows\syswow64\regsvr32.exe" if view == 32 else "regsvr32"
                check(wine(host, "/s", INSTALL_DIR + "\\" + rel).returncode == 0, f"regsvr32 {rel}", 0, "failed")
        reference = snapshot()
        # The upgrade keeps the stored defaults: the policy's values still reach new objects.
        fresh_prefix()
        check(msiexec("/i", OLDER, "/qn") == 0, "older package: installation exit code", 0, "failed")
        apply_policy(admx, True, receiver.port)
        before = snapshot()[r"hkey_local_machine\software\orvelle\pendrake"]
        check(msiexec("/i", PACKAGE, "/qn") == 0, "upgrade: exit code", 0, "failed")
        after = snapshot().get(r"hkey_local_machine\software\orvelle\pendrake")
        check(after == before, "upgrade: stored defaults kept", before, after)
        check_policy(receiver, admx, "after the upgrade")

        fresh_prefix()
        setup_key = cycle.UNINSTALL_KEY
        reg_setup("add", setup_key, "/v", "UninstallString", "/d", "Uninstall.exe", "/f")
        rc = msiexec("/i", PACKAGE, "/qn")
        check(rc == ERROR_INSTALL_FAILURE, "over the setup program's copy: refused", ERROR_INSTALL_FAILURE, rc)
        reg_setup("delete", setup_key, "/f")
        rc = msiexec("/i", PACKAGE, "/qn", "/l*v", r"C:\ship\install.log")
        check(rc == 0 and os.path.getsize(host_path(r"C:\ship\install.log")) > 0, "installation with a log: exit code",
              0, rc)
        compare_with_regsvr32(reference, snapshot())
        check(all(map(os.path.isfile, installed_files())) and shortcut_present(), "installation: files and Start menu",
              "present", [f for f in installed_files() if not os.path.isfile(f)])
        explicit = ['o.SyslogServer = "127.0.0.1"', f"o.SyslogPort = {receiver.port}"]
        cycle.send_from_both_hosts(receiver, "installed package", explicit, 16 * 8 + 5)
        rc = msiexec("/i", OLDER, "/qn")
        check(rc == ERROR_INSTALL_FAILURE, "older package over a newer one: refused", ERROR_INSTALL_FAILURE, rc)
        lost = [host_path(X) for X in (INSTALL_DIR + r"\x86\Pendrake.dll", INSTALL_DIR + r"\PendrakeClient.exe")]
        for path in lost:
            os.remove(path)
        rc = msiexec("/i", PACKAGE, "REINSTALL=ALL", "REINSTALLMODE=amus", "/qn")
        check(rc == 0 and all(map(os.path.isfile, lost)), "repair: exit code and deleted files back", 0,
              (rc, [p for p in lost if not os.path.isfile(p)]))
        cycle.send_from_both_hosts(receiver, "repaired package", explicit, 16 * 8 + 5)

        check(msiexec("/x", PACKAGE, "/qn") == 0, "uninstallation: exit code", 0, "failed")
        left = sorted(k for k in snapshot() if "\\eventlog\\" not in k)
        check(left == [], "uninstallation: no key of ours left but the event sources", [], left)
        check(not os.path.exists(host_path(INSTALL_DIR)) and not shortcut_present(),
              "uninstallation: folder and Start menu entry gone", "absent", "present")
        for key in cycle.EVENT_SOURCES:
            got = cycle.reg_value(64, key, "EventMessageFile")
            check(got is not None and got[0] == "REG_EXPAND_SZ", f"event source stays: {key}", "REG_EXPAND_SZ", got)
        # By product code: Wine's msiexec /x <package> of a product that is not installed gives 0.
        rc = msiexec("/x", msi_property(sys.argv[1], "ProductCode"), "/qn")
        check(rc == ERROR_UNKNOWN_PRODUCT, "uninstalling what is not installed", ERROR_UNKNOWN_PRODUCT, rc)
    finally:
        receiver.close()


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    cycle.tally.title = "ship package cycle"
    cycle.run_bed(scenario, "the package cycle")
    return cycle.tally.report()


if __name__ == "__main__":
    sys.exit(main())
