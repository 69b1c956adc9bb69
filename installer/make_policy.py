#!/usr/bin/env python3
"""Writes the Group Policy administrative template of the stored defaults and checks it.

    make_policy.py <source folder> <output folder> <version a.b.c.d>
    make_policy.py --check <folder>

Writes <output>/Pendrake.admx and <output>/<culture>/Pendrake.adml for en-US, de-DE and el-GR.
The labels are the client's own (its message catalogue, client/core/Messages.cpp), the
drop-down entries are the client's lists and the editor's defaults the client's first-run
values (client/core/Settings.cpp and Settings.h), so the policy editor shows what the client's
Defaults page shows. The value names, types and ranges are those the component reads.

The check (run after writing, and by --check) covers what the ADMX schema cannot: every string
and presentation the ADMX refers to exists in each language file, every element has a control
of its kind in the presentation and every control an element, categories and supportedOn
references resolve, the language files define the same strings, and ranges and default items
fit.
"""
import re
import sys
import xml.etree.ElementTree as ET
from pathlib import Path
from xml.sax.saxutils import escape, quoteattr

NS = "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"
TARGET_NAMESPACE = "Orvelle.Policies.Pendrake"
SETTINGS_KEY = "Software\\Orvelle\\Pendrake"
CULTURES = {"en-US": 0, "de-DE": 1, "el-GR": 2}  # column of the client's message catalogue
# The ANSI text the component reads holds 1023 bytes with its terminator.
TEXT_MAX = 1022

# (element id, value name, kind, label in the catalogue, list in Settings.cpp or range)
ELEMENTS = [
    ("Server", "szSyslogServer", "text", 2, None),
    ("Port", "iSyslogPort", "decimal", 3, (0, 65535)),  # the sender uses the low 16 bits; 0 = service port
    ("Facility", "iSyslogFacility", "enum", 4, "kFacilities"),
    ("Priority", "iSyslogPriority", "enum", 5, "kPriorities"),
    ("Computer", "szEventLogComputer", "text", 9, None),
    ("Source", "szEventLogSource", "text", 10, None),
    ("EventType", "iEventLogType", "enum", 11, "kEventTypes"),
    ("EventID", "iEventLogID", "decimal", 12, (0, 4294967295)),  # passed on bit for bit
]
FRAMES = {"Server": 1, "Computer": 8}  # a heading ("Syslog", "NT Event Log") in front of these

TEXTS = {
    "Category": ("Pendrake", "Pendrake", "Pendrake"),
    "Supported": ("Computers with Pendrake 1.2 or later installed",
                  "Computer, auf denen Pendrake 1.2 oder neuer installiert ist",
                  "Υπολογιστές με εγκατεστημένο Pendrake 1.2 ή νεότερο"),
    "StoredDefaults": ("Pendrake stored defaults", "Gespeicherte Standardwerte von Pendrake",
                       "Αποθηκευμένες προεπιλογές του Pendrake"),
    "StoredDefaults_Help": (
        "Sets the stored defaults that every new Pendrake object on this computer starts from: the values "
        "the Pendrake Client shows on its Defaults page.\n\n"
        "Enabled: writes bBootFromRegistry = 1 and the eight values below to "
        "HKEY_LOCAL_MACHINE\\Software\\Orvelle\\Pendrake. Objects created afterwards take them; objects that "
        "exist keep their settings.\n\n"
        "Disabled: writes bBootFromRegistry = 0. New objects then start from the built-in defaults (facility "
        "local0, priority notice, the port of the syslog service, no server, event source \"Orvelle Pendrake\"), "
        "whatever else is stored.\n\n"
        "Not configured: changes nothing.\n\n"
        "Caution: the key is not under Software\\Policies. What this policy writes stays on the computer when the "
        "policy is set to Not configured or no longer applies (it \"tattoos\" the registry), and an administrator "
        "of the computer can change it, for instance with the Pendrake Client. To take the stored defaults back, "
        "set the policy to Disabled. Uninstalling Pendrake removes them.\n\n"
        "Texts are read in the computer's ANSI code page, at most 1022 bytes.",
        "Legt die gespeicherten Standardwerte fest, mit denen jedes neue Pendrake-Objekt auf diesem Computer "
        "beginnt: die Werte, die der Pendrake Client auf seiner Seite Standardwerte zeigt.\n\n"
        "Aktiviert: schreibt bBootFromRegistry = 1 und die acht Werte unten nach "
        "HKEY_LOCAL_MACHINE\\Software\\Orvelle\\Pendrake. Danach erstellte Objekte übernehmen sie; bestehende "
        "Objekte behalten ihre Einstellungen.\n\n"
        "Deaktiviert: schreibt bBootFromRegistry = 0. Neue Objekte beginnen dann mit den eingebauten "
        "Standardwerten (Facility local0, Priorität notice, der Port des Syslog-Dienstes, kein Server, "
        "Ereignisquelle \"Orvelle Pendrake\"), gleich was sonst gespeichert ist.\n\n"
        "Nicht konfiguriert: ändert nichts.\n\n"
        "Achtung: der Schlüssel liegt nicht unter Software\\Policies. Was diese Richtlinie schreibt, bleibt auf dem "
        "Computer, wenn sie auf Nicht konfiguriert gesetzt wird oder nicht mehr gilt (sie \"tätowiert\" die "
        "Registrierung), und ein Administrator des Computers kann es ändern, etwa mit dem Pendrake Client. Um die "
        "gespeicherten Standardwerte zurückzunehmen, setzen Sie die Richtlinie auf Deaktiviert. Die Deinstallation "
        "von Pendrake entfernt sie.\n\n"
        "Texte werden in der ANSI-Codepage des Computers gelesen, höchstens 1022 Bytes.",
        "Ορίζει τις αποθηκευμένες προεπιλογές από τις οποίες ξεκινά κάθε νέο αντικείμενο Pendrake σε αυτόν τον "
        "υπολογιστή: τις τιμές που δείχνει ο Pendrake Client στη σελίδα Προεπιλογές.\n\n"
        "Ενεργοποιημένη: γράφει bBootFromRegistry = 1 και τις οκτώ τιμές παρακάτω στο "
        "HKEY_LOCAL_MACHINE\\Software\\Orvelle\\Pendrake. Τα αντικείμενα που δημιουργούνται μετά τις παίρνουν· "
        "όσα υπάρχουν ήδη κρατούν τις ρυθμίσεις τους.\n\n"
        "Απενεργοποιημένη: γράφει bBootFromRegistry = 0. Τα νέα αντικείμενα ξεκινούν τότε από τις ενσωματωμένες "
        "προεπιλογές (facility local0, προτεραιότητα notice, η θύρα της υπηρεσίας syslog, χωρίς διακομιστή, "
        "πηγή συμβάντων \"Orvelle Pendrake\"), ό,τι κι αν είναι αποθηκευμένο.\n\n"
        "Δεν έχει ρυθμιστεί: δεν αλλάζει τίποτα.\n\n"
        "Προσοχή: το κλειδί δεν βρίσκεται κάτω από το Software\\Policies. Ό,τι γράφει αυτή η πολιτική μένει στον "
        "υπολογιστή όταν η πολιτική τεθεί σε Δεν έχει ρυθμιστεί ή πάψει να ισχύει (\"χαράζει\" το μητρώο), και ένας "
        "διαχειριστής του υπολογιστή μπορεί να το αλλάξει, για παράδειγμα με τον Pendrake Client. Για να "
        "αναιρέσετε τις αποθηκευμένες προεπιλογές, θέστε την πολιτική σε Απενεργοποιημένη. Η απεγκατάσταση του "
        "Pendrake τις αφαιρεί.\n\n"
        "Τα κείμενα διαβάζονται στην κωδικοσελίδα ANSI του υπολογιστή, το πολύ 1022 byte."),
}


def client_sources(source):
    core = Path(source) / "client" / "core"
    catalogue = {int(n): cols for n, *cols in re.findall(r'\{(\d+), u"([^"]*)", u"([^"]*)", u"([^"]*)"\}',
                                                         (core / "Messages.cpp").read_text(encoding="utf-8"))}
    settings = (core / "Settings.cpp").read_text(encoding="utf-8")
    lists = {}
    for name in ("kFacilities", "kPriorities", "kEventTypes"):
        block = re.search(name + r"\[\] = \{(.*?)\n\};", settings, re.S).group(1)
        lists[name] = [(label, int(value)) for label, value in re.findall(r'\{u"([^"]+)", (\d+)\}', block)]
    record = (core / "Settings.h").read_text(encoding="utf-8")
    defaults = {name: int(number) for name, number in re.findall(r"int32_t (\w+) = (-?\d+);", record)}
    defaults.update(re.findall(r'std::u16string (\w+) = u"([^"]*)";', record))
    defaults.update({name: "" for name in re.findall(r"std::u16string (\w+);", record)})
    return catalogue, lists, defaults


def admx(lists, version):
    items = {}
    out = [f'<?xml version="1.0" encoding="utf-8"?>',
           f'<policyDefinitions xmlns:xsd="http://www.w3.org/2001/XMLSchema" '
           f'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" revision="{version}" schemaVersion="1.0" '
           f'xmlns="{NS}">',
           '  <policyNamespaces>',
           f'    <target prefix="pendrake" namespace="{TARGET_NAMESPACE}"/>',
           '  </policyNamespaces>',
           f'  <resources minRequiredRevision="{version}"/>',
           '  <supportedOn>',
           '    <definitions>',
           '      <definition name="SUPPORTED_Pendrake" displayName="$(string.Supported)"/>',
           '    </definitions>',
           '  </supportedOn>',
           '  <categories>',
           '    <category name="Pendrake" displayName="$(string.Category)"/>',
           '  </categories>',
           '  <policies>',
           '    <policy name="StoredDefaults" class="Machine" displayName="$(string.StoredDefaults)" '
           'explainText="$(string.StoredDefaults_Help)" presentation="$(presentation.StoredDefaults)" '
           f'key={quoteattr(SETTINGS_KEY)} valueName="bBootFromRegistry">',
           '      <parentCategory ref="Pendrake"/>',
           '      <supportedOn ref="SUPPORTED_Pendrake"/>',
           '      <enabledValue><decimal value="1"/></enabledValue>',
           '      <disabledValue><decimal value="0"/></disabledValue>',
           '      <elements>']
    for element_id, value_name, kind, _, extra in ELEMENTS:
        if kind == "text":
            out.append(f'        <text id="{element_id}" valueName="{value_name}" maxLength="{TEXT_MAX}"/>')
        elif kind == "decimal":
            out.append(f'        <decimal id="{element_id}" valueName="{value_name}" minValue="{extra[0]}" '
                       f'maxValue="{extra[1]}" required="true"/>')
        else:
            out.append(f'        <enum id="{element_id}" valueName="{value_name}" required="true">')
            for label, value in lists[extra]:
                string_id = f"{element_id}_{value}"
                items[string_id] = label
                out.append(f'          <item displayName="$(string.{string_id})"><value><decimal value="{value}"/>'
                           '</value></item>')
            out.append('        </enum>')
    out += ['      </elements>', '    </policy>', '  </policies>', '</policyDefinitions>', '']
    return "\n".join(out), items


def adml(culture, column, catalogue, lists, defaults, items, version):
    strings = {name: texts[column] for name, texts in TEXTS.items()}
    strings.update(items)
    out = ['<?xml version="1.0" encoding="utf-8"?>',
           f'<policyDefinitionResources xmlns:xsd="http://www.w3.org/2001/XMLSchema" '
           f'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" revision="{version}" schemaVersion="1.0" '
           f'xmlns="{NS}">',
           f'  <displayName>{escape(strings["StoredDefaults"])}</displayName>',
           f'  <description>{escape(strings["StoredDefaults"])} ({culture})</description>',
           '  <resources>', '    <stringTable>']
    out += [f'      <string id="{sid}">{escape(text)}</string>' for sid, text in strings.items()]
    out += ['    </stringTable>', '    <presentationTable>', '      <presentation id="StoredDefaults">']
    for element_id, value_name, kind, label_number, extra in ELEMENTS:
        if element_id in FRAMES:
            out.append(f'        <text>{escape(catalogue[FRAMES[element_id]][column])}</text>')
        label = escape(catalogue[label_number][column])
        default = defaults[value_name]
        if kind == "text":
            default_line = f'<defaultValue>{escape(default)}</defaultValue>' if default else ""
            out.append(f'        <textBox refId="{element_id}"><label>{label}</label>{default_line}</textBox>')
        elif kind == "decimal":
            out.append(f'        <decimalTextBox refId="{element_id}" defaultValue="{default}" spin="false">'
                       f'{label}</decimalTextBox>')
        else:
            position = [value for _, value in lists[extra]].index(default)
            out.append(f'        <dropdownList refId="{element_id}" defaultItem="{position}" noSort="true">'
                       f'{label}</dropdownList>')
    out += ['      </presentation>', '    </presentationTable>', '  </resources>', '</policyDefinitionResources>', '']
    return "\n".join(out)


def check(folder):
    """The problems found in a written template; an empty list when there are none."""
    folder = Path(folder)
    q = lambda tag: f"{{{NS}}}{tag}"
    problems = []
    root = ET.parse(folder / "Pendrake.admx").getroot()
    refs = lambda kind: {m for v in (a for e in root.iter() for a in e.attrib.values())
                         for m in re.findall(r"\$\(" + kind + r"\.(\w+)\)", v)}
    categories = {c.get("name") for c in root.iter(q("category"))}
    supported = {d.get("name") for d in root.iter(q("definition"))}
    for policy in root.iter(q("policy")):
        for ref in policy.iter(q("parentCategory")):
            if ref.get("ref") not in categories:
                problems.append(f"policy {policy.get('name')}: no category {ref.get('ref')}")
        for ref in policy.findall(q("supportedOn")):
            if ref.get("ref") not in supported:
                problems.append(f"policy {policy.get('name')}: no supportedOn definition {ref.get('ref')}")
        for d in policy.iter(q("decimal")):
            if d.get("id") and not int(d.get("minValue", 0)) <= int(d.get("maxValue", 9999)) <= 4294967295:
                problems.append(f"decimal {d.get('id')}: range {d.get('minValue')}..{d.get('maxValue')}")
    revision = root.find(q("resources")).get("minRequiredRevision")
    string_sets = {}
    for culture in CULTURES:
        path = folder / culture / "Pendrake.adml"
        if not path.is_file():
            problems.append(f"{culture}: no Pendrake.adml")
            continue
        lang = ET.parse(path).getroot()
        if lang.get("revision") != revision:
            problems.append(f"{culture}: revision {lang.get('revision')}, the ADMX needs {revision}")
        strings = {s.get("id") for s in lang.iter(q("string"))}
        string_sets[culture] = strings
        presentations = {p.get("id"): p for p in lang.iter(q("presentation"))}
        problems += [f"{culture}: string {s} missing" for s in sorted(refs("string") - strings)]
        problems += [f"{culture}: string {s} defined but not used" for s in sorted(strings - refs("string"))]
        problems += [f"{culture}: presentation {p} missing" for p in sorted(refs("presentation") - set(presentations))]
        controls = {"decimal": "decimalTextBox", "text": "textBox", "enum": "dropdownList"}
        for policy in root.iter(q("policy")):
            name = re.match(r"\$\(presentation\.(\w+)\)", policy.get("presentation", "")).group(1)
            shown = {c.get("refId"): c for c in presentations.get(name, []) if c.get("refId")}
            found = policy.find(q("elements"))
            elements = {e.get("id"): e for e in (found if found is not None else [])}
            for element_id, element in elements.items():
                kind = element.tag.split("}")[1]
                control = shown.get(element_id)
                if control is None or control.tag != q(controls[kind]):
                    problems.append(f"{culture}: element {element_id} ({kind}) has no {controls[kind]}")
                elif kind == "enum" and not 0 <= int(control.get("defaultItem", 0)) < len(element):
                    problems.append(f"{culture}: {element_id} default item outside its list")
                elif kind == "decimal" and not (int(element.get("minValue", 0)) <= int(control.get("defaultValue", 1))
                                                <= int(element.get("maxValue", 9999))):
                    problems.append(f"{culture}: {element_id} default value outside its range")
            problems += [f"{culture}: control for unknown element {r}" for r in sorted(set(shown) - set(elements))]
    for culture, strings in string_sets.items():
        if strings != string_sets.get("en-US", strings):
            problems.append(f"{culture}: strings differ from en-US's")
    return problems


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--check":
        problems = check(sys.argv[2])
    elif len(sys.argv) == 4:
        source, out, version = sys.argv[1], Path(sys.argv[2]), sys.argv[3]
        catalogue, lists, defaults = client_sources(source)
        definitions, items = admx(lists, ".".join(version.split(".")[:2]))
        out.mkdir(parents=True, exist_ok=True)
        (out / "Pendrake.admx").write_text(definitions, encoding="utf-8", newline="\r\n")
        for culture, column in CULTURES.items():
            (out / culture).mkdir(exist_ok=True)
            (out / culture / "Pendrake.adml").write_text(
                adml(culture, column, catalogue, lists, defaults, items, ".".join(version.split(".")[:2])),
                encoding="utf-8", newline="\r\n")
        problems = check(out)
    else:
        print(__doc__)
        return 2
    for problem in problems:
        print("make_policy: " + problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
