// The catalogue against the texts the windows must show, and the lookup's column choice.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <string>

#include "client/core/Messages.h"

namespace pendrake::client {
namespace {

std::string Utf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Restores the global language after each test.
class MessagesTest : public ::testing::Test {
 protected:
  void TearDown() override { gszLanguage.clear(); }
};

struct Expected {
  int32_t number;
  const char16_t* english;
  const char16_t* german;
  const char16_t* greek;  // nullptr: the English text itself
};

// Every entry of the catalogue, with trailing blanks, access keys and line breaks, in all three
// languages: the window tests take their texts from the catalogue, so only this table can catch a
// wrong one.
constexpr Expected kExpected[] = {
    {1, u"Syslog", u"Syslog", nullptr},
    {2, u"Syslog Server", u"Syslog Server", u"Διακομιστής Syslog"},
    {3, u"Syslog Port", u"Syslog Port", u"Θύρα Syslog"},
    {4, u"Facility", u"Facility", nullptr},
    {5, u"Priority", u"Priority", u"Προτεραιότητα"},
    {6, u"Message", u"Nachricht", u"Μήνυμα"},
    {7, u"LogToSyslog", u"LogToSyslog", nullptr},
    {8, u"NT Event Log", u"NT Event Log", nullptr},
    {9, u"EventLog Computer", u"EventLog Computer", nullptr},
    {10, u"EventLog Source", u"EventLog Quelle", u"Πηγή EventLog"},
    {11, u"EventLog Type", u"EventLog Type", u"Τύπος EventLog"},
    {12, u"EventLog ID", u"EventLog ID", nullptr},
    {13, u"Message", u"Nachricht", u"Μήνυμα"},
    {14, u"LogToEventLog", u"LogToEventLog", nullptr},
    {20, u"Enable Defaults", u"Aktiviere Standardwerte", u"Ενεργοποίηση προεπιλογών"},
    {21, u"Defaults", u"Standardwerte", u"Προεπιλογές"},
    {70, u"&Test Installation", u"&Installation testen", u"&Test εγκατάστασης"},
    {71, u"&Defaults", u"&Standardwerte", u"&Προεπιλογές"},
    {75, u"&OK", u"&OK", nullptr},
    {76, u"&Cancel", u"&Abbrechen", u"&Άκυρο"},
    {77, u"&Apply", u"&Speichern", u"&Εφαρμογή"},
    {78, u"Save all settings and exit Pendrake Client", u"Einstellungen speichern und Pendrake Client beenden.",
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
    {1000, u"Generate VB Script", u"VB Script generieren", nullptr},
    {1001, u"Generate VB Script", u"VB Script generieren", nullptr},
    {1002, u"Error during Script generation:", u"Fehler bei der Erstellung des Scripts:", nullptr},
    {1010, u"The settings could not be saved. Error: ", u"Die Einstellungen konnten nicht gespeichert werden. Fehler: ",
     u"Δεν ήταν δυνατή η αποθήκευση των ρυθμίσεων. Σφάλμα: "},
    {1011, u"The settings key is not writable: changes cannot be stored. Run Pendrake Client as administrator.",
     u"Der Einstellungsschlüssel ist nicht beschreibbar: Änderungen können nicht gespeichert werden. "
     u"Pendrake Client als Administrator ausführen.",
     u"Το κλειδί ρυθμίσεων δεν είναι εγγράψιμο: οι αλλαγές δεν μπορούν να αποθηκευτούν. "
     u"Εκτελέστε το Pendrake Client ως διαχειριστής."},
    {1012,
     u"This 64-bit Pendrake Client needs the 64-bit component: register the x64 Pendrake.dll with the 64-bit regsvr32.",
     u"Dieser 64-Bit Pendrake Client braucht die 64-Bit Komponente: die x64 Pendrake.dll mit dem 64-Bit regsvr32 "
     u"registrieren.",
     u"Αυτό το 64-bit Pendrake Client χρειάζεται το 64-bit στοιχείο: καταχωρήστε το x64 Pendrake.dll με το "
     u"64-bit regsvr32."},
    {1013,
     u"This 32-bit Pendrake Client needs the 32-bit component: register the x86 Pendrake.dll with the 32-bit regsvr32.",
     u"Dieser 32-Bit Pendrake Client braucht die 32-Bit Komponente: die x86 Pendrake.dll mit dem 32-Bit regsvr32 "
     u"registrieren.",
     u"Αυτό το 32-bit Pendrake Client χρειάζεται το 32-bit στοιχείο: καταχωρήστε το x86 Pendrake.dll με το "
     u"32-bit regsvr32."},
};

TEST_F(MessagesTest, EveryEntryReadsAsQuotedInEveryLanguage) {
  for (const Expected& e : kExpected) {
    SCOPED_TRACE("message " + std::to_string(e.number));
    EXPECT_EQ(Utf8(e.english), Utf8(GetMessageTextFor(u"EN", e.number)));
    EXPECT_EQ(Utf8(e.german), Utf8(GetMessageTextFor(u"DE", e.number)));
    EXPECT_EQ(Utf8(e.greek ? e.greek : e.english), Utf8(GetMessageTextFor(u"GR", e.number)));
  }
}

TEST_F(MessagesTest, CatalogueHoldsExactlyTheListedNumbers) {
  std::set<int32_t> expected;
  for (const Expected& e : kExpected) expected.insert(e.number);
  std::set<int32_t> actual;
  for (const CatalogueRow& row : Catalogue()) EXPECT_TRUE(actual.insert(row.number).second) << row.number;
  EXPECT_EQ(expected, actual);
}

bool IsGreekLetter(char16_t c) { return c >= 0x0386 && c <= 0x03CE; }

// Greek wording keeps the shape of the English row.
TEST_F(MessagesTest, GreekRowsKeepTheFormOfTheEnglishRow) {
  const char16_t* kLatinWords[] = {u"Syslog", u"EventLog", u"Test", u"Client", u"Pendrake", u"Orvelle", u"65535"};
  for (const Expected& e : kExpected) {
    if (!e.greek) continue;
    SCOPED_TRACE("message " + std::to_string(e.number));
    const std::u16string english = e.english;
    const std::u16string greek = GetMessageTextFor(u"GR", e.number);
    EXPECT_NE(english, greek) << "a Greek row must be worded in Greek";
    bool hasGreek = false;
    for (char16_t c : greek) {
      hasGreek = hasGreek || IsGreekLetter(c);
      // Monotonic Greek and ASCII only: every character exists in the Greek ANSI code page.
      EXPECT_TRUE(c < 0x80 || IsGreekLetter(c)) << "unexpected character U+" << std::hex << int(c);
    }
    EXPECT_TRUE(hasGreek) << Utf8(greek);
    EXPECT_EQ(english.starts_with(u'&'), greek.starts_with(u'&')) << Utf8(greek);
    EXPECT_EQ(std::count(english.begin(), english.end(), u'&'), std::count(greek.begin(), greek.end(), u'&'));
    for (const char16_t* word : kLatinWords) {
      if (english.find(word) != std::u16string::npos) {
        EXPECT_NE(std::u16string::npos, greek.find(word)) << Utf8(word) << " missing in " << Utf8(greek);
      }
    }
    EXPECT_EQ(std::count(english.begin(), english.end(), u'\n'), std::count(greek.begin(), greek.end(), u'\n'));
  }
}

TEST_F(MessagesTest, GreekPortErrorHasTheTwoLineShape) {
  const std::u16string text = GetMessageTextFor(u"GR", 150);
  const size_t lineBreak = text.find(u"\r\n");
  ASSERT_NE(std::u16string::npos, lineBreak);
  EXPECT_EQ(u". ", text.substr(lineBreak - 2, 2)) << "first sentence ends with a full stop and a blank";
  EXPECT_NE(std::u16string::npos, text.substr(0, lineBreak).find(u"65535"));
  EXPECT_TRUE(text.ends_with(u"65535")) << "second sentence without a closing full stop";
  EXPECT_EQ(std::u16string::npos, text.find(u"\r\n", lineBreak + 2));
}

// The error number follows the save failure prefix after a blank; the other new texts are one
// line each, since a status bar and the last line of a message box show no line break.
TEST_F(MessagesTest, NewErrorTextsHaveTheShapeTheirPlacesNeed) {
  for (const char16_t* code : {u"EN", u"DE", u"GR"}) {
    SCOPED_TRACE(Utf8(code));
    EXPECT_TRUE(GetMessageTextFor(code, msg::kSaveFailed).ends_with(u": "));
    for (int32_t number : {msg::kSettingsReadOnly, msg::kNeeds64BitComponent, msg::kNeeds32BitComponent}) {
      EXPECT_EQ(std::u16string::npos, GetMessageTextFor(code, number).find_first_of(u"\r\n")) << number;
    }
    EXPECT_NE(std::u16string::npos, GetMessageTextFor(code, msg::kNeeds64BitComponent).find(u"x64"));
    EXPECT_NE(std::u16string::npos, GetMessageTextFor(code, msg::kNeeds32BitComponent).find(u"x86"));
  }
}

TEST_F(MessagesTest, GreekVersionCaptionsEndLikeTheirRows) {
  EXPECT_TRUE(GetMessageTextFor(u"GR", 301).ends_with(u':'));
  EXPECT_TRUE(GetMessageTextFor(u"GR", 302).ends_with(u' ')) << "the client version follows after a blank";
}

TEST_F(MessagesTest, ColumnChoiceIsExactAndCaseSensitive) {
  struct Case {
    const char16_t* code;
    const char16_t* expected70;
  };
  const Case kCases[] = {
      {u"DE", u"&Installation testen"}, {u"GR", u"&Test εγκατάστασης"}, {u"EN", u"&Test Installation"},
      {u"de", u"&Test Installation"},   {u"gr", u"&Test Installation"}, {u"JP", u"&Test Installation"},
      {u"", u"&Test Installation"},     {u"DE ", u"&Test Installation"}, {u"DEU", u"&Test Installation"},
  };
  for (const Case& c : kCases) {
    gszLanguage = c.code;
    EXPECT_EQ(Utf8(c.expected70), Utf8(GetMessageText(70))) << "code \"" << Utf8(c.code) << "\"";
  }
}

TEST_F(MessagesTest, GapsGiveTheMissingMessageTextInEveryLanguage) {
  struct Case {
    int32_t number;
    const char16_t* expected;
  };
  const Case kCases[] = {
      {999, u"***MESSAGE_MISSING***999"},
      {-5, u"***MESSAGE_MISSING***-5"},
      {0, u"***MESSAGE_MISSING***0"},
      {15, u"***MESSAGE_MISSING***15"},
      {312, u"***MESSAGE_MISSING***312"},
      {1003, u"***MESSAGE_MISSING***1003"},
      {INT32_MIN, u"***MESSAGE_MISSING***-2147483648"},
      {INT32_MAX, u"***MESSAGE_MISSING***2147483647"},
  };
  for (const char16_t* code : {u"EN", u"DE", u"GR", u"JP", u""}) {
    gszLanguage = code;
    for (const Case& c : kCases) {
      EXPECT_EQ(Utf8(c.expected), Utf8(GetMessageText(c.number))) << "code \"" << Utf8(code) << "\"";
    }
  }
}

TEST_F(MessagesTest, LookupFollowsEachChangeOfTheLanguage) {
  gszLanguage = u"DE";
  EXPECT_EQ(u"&Abbrechen", GetMessageText(76));
  gszLanguage = u"GR";
  EXPECT_EQ(u"&Άκυρο", GetMessageText(76));
  gszLanguage = u"EN";
  EXPECT_EQ(u"&Cancel", GetMessageText(76));
}

}  // namespace
}  // namespace pendrake::client
