#!/usr/bin/env python3
"""Stored defaults written with `reg add` (64-bit view) reach objects created afterwards;
the key is put back exactly as it was, whatever happens."""
import tempfile
from pathlib import Path

import scriptbed

REG_KEY = r"HKEY_LOCAL_MACHINE\Software\Orvelle\Pendrake"

BUILT_IN = {"SyslogServer": "", "SyslogPort": "0", "SyslogPriority": "5", "SyslogFacility": "16",
            "EventLogSource": "Orvelle Pendrake", "EventLogType": "4", "EventLogID": "0",
            "EventLogComputer": "", "MessageToLog": ""}

# (value name, reg type, data) for a complete set; the port is filled in per run.
def full_set(port):
    return [("iSyslogFacility", "REG_DWORD", "3"), ("iSyslogPriority", "REG_DWORD", "2"),
            ("iSyslogPort", "REG_DWORD", str(port)), ("szSyslogServer", "REG_SZ", "127.0.0.1"),
            ("szEventLogComputer", "REG_SZ", "LOGHOST"), ("szEventLogSource", "REG_SZ", "Stored Source"),
            ("iEventLogID", "REG_DWORD", "4242"), ("iEventLogType", "REG_DWORD", "2")]


def applied(port):
    return {"SyslogServer": "127.0.0.1", "SyslogPort": str(port), "SyslogPriority": "2",
            "SyslogFacility": "3", "EventLogSource": "Stored Source", "EventLogType": "2",
            "EventLogID": "4242", "EventLogComputer": "LOGHOST", "MessageToLog": ""}


def replace(values, name, reg_type, data):
    return [(n, t, d) if n != name else (name, reg_type, data) for n, t, d in values]


def cases(port):
    every = full_set(port)
    return [
        # (what, values stored, expected settings of a new object, datagram from LogToSyslog "stored")
        ("switched on: all eight applied", [("bBootFromRegistry", "REG_DWORD", "1")] + every,
         applied(port), b"<26>stored"),
        ("switched off: none applied", [("bBootFromRegistry", "REG_DWORD", "0")] + every, BUILT_IN, None),
        ("no switch: none applied", every, BUILT_IN, None),
        ("priority 9 dropped, the rest applied",
         [("bBootFromRegistry", "REG_DWORD", "1")] + replace(every, "iSyslogPriority", "REG_DWORD", "9"),
         dict(applied(port), SyslogPriority="5"), b"<29>stored"),
        ("facility 23 applied",
         [("bBootFromRegistry", "REG_DWORD", "1")] + replace(every, "iSyslogFacility", "REG_DWORD", "23"),
         dict(applied(port), SyslogFacility="23"), b"<186>stored"),
        ("facility 24 dropped",
         [("bBootFromRegistry", "REG_DWORD", "1")] + replace(every, "iSyslogFacility", "REG_DWORD", "24"),
         dict(applied(port), SyslogFacility="16"), b"<130>stored"),
        ("server stored without terminator",
         [("bBootFromRegistry", "REG_DWORD", "1")] + replace(every, "szSyslogServer", "REG_BINARY",
                                                            "127.0.0.1".encode().hex()),
         applied(port), b"<26>stored"),
        ("only some values stored", [("bBootFromRegistry", "REG_DWORD", "7"), ("iEventLogID", "REG_DWORD", "99")],
         dict(BUILT_IN, EventLogID="99"), None),
    ]


def store_with_reg_add(checks, name, values):
    """One `reg add /reg:64` per value, as an administrator would type them."""
    scriptbed.reg("delete", scriptbed.SETTINGS_KEY, "/f", "/reg:64")
    for value, reg_type, data in values:
        added = scriptbed.reg("add", scriptbed.SETTINGS_KEY, "/v", value, "/t", reg_type,
                              "/d", data, "/f", "/reg:64")
        checks.equal("%s: reg add %s" % (name, value), 0, added.returncode)


def store_with_reg_import(checks, name, values):
    """The same values in one .reg file: one Wine call instead of one per value."""
    lines = ["REGEDIT4", "", "[-%s]" % REG_KEY, "", "[%s]" % REG_KEY]
    for value, reg_type, data in values:
        if reg_type == "REG_DWORD":
            lines.append('"%s"=dword:%08x' % (value, int(data) & 0xFFFFFFFF))
        elif reg_type == "REG_SZ":
            lines.append('"%s"="%s"' % (value, data))
        else:
            lines.append('"%s"=hex:%s' % (value, ",".join(data[i:i + 2] for i in range(0, len(data), 2))))
    with tempfile.TemporaryDirectory(prefix="pendrake-reg-") as tmp:
        path = Path(tmp) / "values.reg"
        path.write_bytes(("\r\n".join(lines) + "\r\n").encode("latin-1"))
        imported = scriptbed.reg("import", scriptbed.winpath(path), "/reg:64")
    checks.equal("%s: reg import" % name, 0, imported.returncode)


def main():
    checks = scriptbed.Checks("script stored defaults")
    scriptbed.register_component()
    before = scriptbed.cscript("defaults.vbs")
    # Wine's script host can exit 0 having run nothing: the settings must be there to compare.
    checks.script_ran("defaults.vbs before the test", before) and checks.ok(bool(before.values()), "settings printed")
    with scriptbed.LoopbackReceiver("127.0.0.1", 0) as receiver, scriptbed.saved_settings_key():
        first = True
        for name, values, expected, datagram in cases(receiver.port):
            store = store_with_reg_add if first else store_with_reg_import
            store(checks, name, values)
            first = False
            result = scriptbed.cscript("defaults.vbs", *(["stored"] if datagram else []))
            checks.script_ran("defaults.vbs (%s)" % name, result)
            got = result.values()
            for prop, want in expected.items():
                checks.equal("%s: %s" % (name, prop), want, got.get(prop))
            checks.equal("%s: error" % name, "0", got.get("error"))
            if datagram:
                arrived = receiver.receive(1, 10)
                checks.datagram("%s: LogToSyslog with the stored destination" % name, datagram,
                                arrived[0] if arrived else None)
    # With the key put back, a new object starts exactly as one did before the test.
    after = scriptbed.cscript("defaults.vbs")
    checks.script_ran("defaults.vbs after the key was restored", after) and checks.ok(bool(after.values()),
                                                                                        "settings printed")
    checks.equal("settings after the key was restored", before.values(), after.values())
    checks.finish()


if __name__ == "__main__":
    main()
