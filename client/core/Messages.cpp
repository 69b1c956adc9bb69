#include "client/core/Messages.h"

#include <algorithm>

#include "client/core/InputRules.h"

namespace pendrake::client {

std::u16string gszLanguage;

namespace {

// Rows whose Greek wording keeps the English text repeat it, so every lookup is one column.
constexpr CatalogueRow kCatalogue[] = {
    {1, u"Syslog", u"Syslog", u"Syslog"},
    {2, u"Syslog Server", u"Syslog Server", u"Διακομιστής Syslog"},
    {3, u"Syslog Port", u"Syslog Port", u"Θύρα Syslog"},
    {4, u"Facility", u"Facility", u"Facility"},
    {5, u"Priority", u"Priority", u"Προτεραιότητα"},
    {6, u"Message", u"Nachricht", u"Μήνυμα"},
    {7, u"LogToSyslog", u"LogToSyslog", u"LogToSyslog"},
    {8, u"NT Event Log", u"NT Event Log", u"NT Event Log"},
    {9, u"EventLog Computer", u"EventLog Computer", u"EventLog Computer"},
    {10, u"EventLog Source", u"EventLog Quelle", u"Πηγή EventLog"},
    {11, u"EventLog Type", u"EventLog Type", u"Τύπος EventLog"},
    {12, u"EventLog ID", u"EventLog ID", u"EventLog ID"},
    {13, u"Message", u"Nachricht", u"Μήνυμα"},
    {14, u"LogToEventLog", u"LogToEventLog", u"LogToEventLog"},
    {20, u"Enable Defaults", u"Aktiviere Standardwerte", u"Ενεργοποίηση προεπιλογών"},
    {21, u"Defaults", u"Standardwerte", u"Προεπιλογές"},
    {70, u"&Test Installation", u"&Installation testen", u"&Test εγκατάστασης"},
    {71, u"&Defaults", u"&Standardwerte", u"&Προεπιλογές"},
    {75, u"&OK", u"&OK", u"&OK"},
    {76, u"&Cancel", u"&Abbrechen", u"&Άκυρο"},
    {77, u"&Apply", u"&Speichern", u"&Εφαρμογή"},
    {78, u"Save all settings and exit Pendrake Client",
     u"Einstellungen speichern und Pendrake Client beenden.",
     u"Αποθήκευση όλων των ρυθμίσεων και έξοδος από το Pendrake Client"},
    {79, u"Exit without saving settings", u"Pendrake Client beenden, ohne die Einstellungen zu speichern.",
     u"Έξοδος χωρίς αποθήκευση των ρυθμίσεων"},
    {80, u"Save all settings", u"Alle Einstellungen speichern", u"Αποθήκευση όλων των ρυθμίσεων"},
    {100, u"&File", u"&Datei", u"&Αρχείο"},
    {101, u"&Options", u"&Optionen", u"&Επιλογές"},
    {102, u"&Help", u"&Hilfe", u"&Βοήθεια"},
    {103, u"&About", u"&Über", u"&Πληροφορίες"},
    {104, u"&Manual", u"&Handbuch", u"&Εγχειρίδιο"},
    {150, u"Error, Syslog port cannot be greater than 65535. \r\nSetting value back to 65535",
     u"Fehler, der Syslog Port darf nicht größer als 65535 sein. \r\nDer Wert wird auf 65535 zurückgesetzt",
     u"Σφάλμα, η θύρα Syslog δεν μπορεί να είναι μεγαλύτερη από 65535. \r\n"
     u"Η τιμή επαναφέρεται στο 65535"},
    {300, u"About Pendrake", u"Über Pendrake", u"Πληροφορίες για το Pendrake"},
    {301, u"Orvelle Pendrake Version: ", u"Orvelle Pendrake Version:", u"Έκδοση Orvelle Pendrake:"},
    {302, u"Client Version ", u"Client Version", u"Έκδοση Client "},
    {303, u"More Information at", u"Weitere Informationen unter", u"Περισσότερες πληροφορίες στο"},
    {310, u"Options", u"Optionen", u"Επιλογές"},
    {311, u"You can set options for the Pendrake Client", u"Optionen für den Pendrake Client einstellen.",
     u"Εδώ μπορείτε να ορίσετε τις επιλογές του Pendrake Client"},
    {314, u"Ok", u"Ok", u"Εντάξει"},
    {315, u"Cancel", u"Abbrechen", u"Άκυρο"},
    {318, u"Choose your language", u"Bevorzugte Sprache", u"Επιλέξτε τη γλώσσα σας"},
    {1000, u"Generate VB Script", u"VB Script generieren", u"Generate VB Script"},
    {1001, u"Generate VB Script", u"VB Script generieren", u"Generate VB Script"},
    {1002, u"Error during Script generation:", u"Fehler bei der Erstellung des Scripts:",
     u"Error during Script generation:"},
    {1010, u"The settings could not be saved. Error: ",
     u"Die Einstellungen konnten nicht gespeichert werden. Fehler: ",
     u"Δεν ήταν δυνατή η αποθήκευση των ρυθμίσεων. Σφάλμα: "},
    {1011, u"The settings key is not writable: changes cannot be stored. Run Pendrake Client as administrator.",
     u"Der Einstellungsschlüssel ist nicht beschreibbar: Änderungen können nicht gespeichert werden. "
     u"Pendrake Client als Administrator ausführen.",
     u"Το κλειδί ρυθμίσεων δεν είναι εγγράψιμο: οι αλλαγές δεν μπορούν να αποθηκευτούν. "
     u"Εκτελέστε το Pendrake Client ως διαχειριστής."},
    {1012, u"This 64-bit Pendrake Client needs the 64-bit component: register the x64 Pendrake.dll with the "
           u"64-bit regsvr32.",
     u"Dieser 64-Bit Pendrake Client braucht die 64-Bit Komponente: die x64 Pendrake.dll mit dem 64-Bit "
     u"regsvr32 registrieren.",
     u"Αυτό το 64-bit Pendrake Client χρειάζεται το 64-bit στοιχείο: καταχωρήστε το x64 Pendrake.dll με το "
     u"64-bit regsvr32."},
    {1013, u"This 32-bit Pendrake Client needs the 32-bit component: register the x86 Pendrake.dll with the "
           u"32-bit regsvr32.",
     u"Dieser 32-Bit Pendrake Client braucht die 32-Bit Komponente: die x86 Pendrake.dll mit dem 32-Bit "
     u"regsvr32 registrieren.",
     u"Αυτό το 32-bit Pendrake Client χρειάζεται το 32-bit στοιχείο: καταχωρήστε το x86 Pendrake.dll με το "
     u"32-bit regsvr32."},
};

}  // namespace

std::span<const CatalogueRow> Catalogue() { return kCatalogue; }

std::u16string GetMessageTextFor(const std::u16string& languageCode, int32_t number) {
  const auto* row = std::find_if(std::begin(kCatalogue), std::end(kCatalogue),
                                 [number](const CatalogueRow& r) { return r.number == number; });
  if (row == std::end(kCatalogue)) return u"***MESSAGE_MISSING***" + DecimalText(number);
  if (languageCode == u"DE") return row->german;
  if (languageCode == u"GR") return row->greek;
  return row->english;
}

std::u16string GetMessageText(int32_t number) { return GetMessageTextFor(gszLanguage, number); }

}  // namespace pendrake::client
