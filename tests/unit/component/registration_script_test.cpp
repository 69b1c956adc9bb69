// The registration script walker against an in-memory registry: the tree it writes, what
// ForceRemove / NoRemove / val do, how a failing root is taken back, what unregistration
// removes and where it stops, and that malformed scripts change nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "memory_registry.h"
#include "registration_script.h"
#include "registration_script_walker.h"
#include "wow64_paths.h"

namespace pendrake::registration {
namespace {

using testing::MemoryKey;
using testing::MemoryRegistry;
using testing::Operation;
using testing::ToUtf8;
using Lines = std::vector<std::string>;
using namespace std::string_view_literals;

constexpr char16_t kModule[] = u"C:\\Program Files\\Orvelle\\Pendrake.dll";
constexpr char kClsid[] = "{7880953B-8A8E-4D5A-AECD-396BF77A31E5}";
constexpr char kLibid[] = "{43C02CCE-BABB-4313-A16A-D9F40E3B8FE5}";

std::u16string Widen(std::string_view text) { return std::u16string(text.begin(), text.end()); }

// The script that ships in Pendrake.dll.
std::u16string ShippedScript() {
  std::ifstream file(PENDRAKE_REGISTRATION_SCRIPT, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return Widen(text.str());
}

std::string Clsid(const std::string& rest = "") { return std::string("CLSID\\") + kClsid + rest; }

Lines RegisteredClassesRoot(const std::string& modulePath) {
  return {
      "CLSID",
      Clsid(),
      Clsid("\\InprocServer32"),
      Clsid("\\InprocServer32|=s:") + modulePath,
      Clsid("\\InprocServer32|ThreadingModel=s:Apartment"),
      Clsid("\\ProgID"),
      Clsid("\\ProgID|=s:Orvelle.Pendrake.1"),
      Clsid("\\Programmable"),
      Clsid("\\TypeLib"),
      Clsid("\\TypeLib|=s:") + kLibid,
      Clsid("\\VersionIndependentProgID"),
      Clsid("\\VersionIndependentProgID|=s:Orvelle.Pendrake"),
      Clsid("|=s:Pendrake Class"),
      "Orvelle.Pendrake",
      "Orvelle.Pendrake.1",
      "Orvelle.Pendrake.1\\CLSID",
      std::string("Orvelle.Pendrake.1\\CLSID|=s:") + kClsid,
      "Orvelle.Pendrake.1|=s:Pendrake Class",
      "Orvelle.Pendrake\\CLSID",
      std::string("Orvelle.Pendrake\\CLSID|=s:") + kClsid,
      "Orvelle.Pendrake\\CurVer",
      "Orvelle.Pendrake\\CurVer|=s:Orvelle.Pendrake.1",
      "Orvelle.Pendrake|=s:Pendrake Class",
  };
}

const Lines kRegisteredLocalMachine = {"Software", "Software\\Orvelle", "Software\\Orvelle\\Pendrake"};

// ---- The shipped script -----------------------------------------------------------------

struct ModulePathCase {
  const char* what;
  std::u16string path;
  std::string stored;  // as the InprocServer32 default value must read
};

inline void PrintTo(const ModulePathCase& c, std::ostream* os) { *os << c.what; }

class ShippedScriptRegistration : public ::testing::TestWithParam<ModulePathCase> {};

TEST_P(ShippedScriptRegistration, WritesTheClassTreeAndTheSettingsKey) {
  const ModulePathCase& c = GetParam();
  MemoryRegistry registry;
  ASSERT_EQ(kSuccess, RegisterScript(registry, ShippedScript(), c.path)) << c.what;
  EXPECT_EQ(RegisteredClassesRoot(c.stored), registry.Dump(Root::ClassesRoot)) << c.what;
  EXPECT_EQ(kRegisteredLocalMachine, registry.Dump(Root::LocalMachine)) << c.what;
  EXPECT_EQ(0u, registry.OpenHandles()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ShippedScriptRegistration,
    ::testing::Values(
        ModulePathCase{"plain", kModule, "C:\\Program Files\\Orvelle\\Pendrake.dll"},
        ModulePathCase{"single quote doubled in the script, single in the registry", u"C:\\Bob's Tools\\Pendrake.dll",
                       "C:\\Bob's Tools\\Pendrake.dll"},
        ModulePathCase{"two quotes in a row", u"C:\\a''b\\Pendrake.dll", "C:\\a''b\\Pendrake.dll"},
        ModulePathCase{"percent signs are not expanded again", u"C:\\100%MODULE%\\Pendrake.dll",
                       "C:\\100%MODULE%\\Pendrake.dll"},
        ModulePathCase{"braces and equals signs", u"C:\\x={y}\\Pendrake.dll", "C:\\x={y}\\Pendrake.dll"},
        ModulePathCase{"outside the ANSI code page", u"C:\\\u0394\u03b5\u03bb\u03c4\u03af\u03bf\\Pendrake.dll",
                       "C:\\\u0394\u03b5\u03bb\u03c4\u03af\u03bf\\Pendrake.dll"}));

TEST(ShippedScript, SecondRegistrationRewritesTheClassTreeAndKeepsForeignKeys) {
  MemoryRegistry registry;
  ASSERT_EQ(kSuccess, RegisterScript(registry, ShippedScript(), kModule));
  // Leftovers: a stray subkey in the ForceRemove tree, a stale value, neighbours under
  // NoRemove keys, and stored defaults in the settings key.
  registry.Ensure(Root::ClassesRoot, Widen(Clsid("\\Stray\\Deeper")));
  registry.Ensure(Root::ClassesRoot, Widen(Clsid("\\InprocServer32"))).values[u"Stale"] = Value{};
  registry.Ensure(Root::ClassesRoot, u"CLSID\\{00000000-0000-0000-0000-000000000001}");
  registry.Ensure(Root::LocalMachine, u"Software\\Orvelle\\Pendrake").values[u"iSyslogPort"] =
      Value{Value::Type::Dword, u"", 1468};

  ASSERT_EQ(kSuccess, RegisterScript(registry, ShippedScript(), u"D:\\new\\Pendrake.dll"));

  Lines expected = RegisteredClassesRoot("D:\\new\\Pendrake.dll");
  expected.push_back("CLSID\\{00000000-0000-0000-0000-000000000001}");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, registry.Dump(Root::ClassesRoot));
  const Lines keptDefaults = {"Software", "Software\\Orvelle", "Software\\Orvelle\\Pendrake",
                              "Software\\Orvelle\\Pendrake|iSyslogPort=d:1468"};
  EXPECT_EQ(keptDefaults, registry.Dump(Root::LocalMachine));
}

TEST(ShippedScript, UnregistrationLeavesOnlyTheSharedKeys) {
  MemoryRegistry registry;
  ASSERT_EQ(kSuccess, RegisterScript(registry, ShippedScript(), kModule));
  registry.Ensure(Root::LocalMachine, u"Software\\Orvelle\\Pendrake").values[u"szSyslogServer"] =
      Value{Value::Type::String, u"10.0.0.5", 0};
  registry.Ensure(Root::LocalMachine, u"Software\\Other");

  ASSERT_EQ(kSuccess, UnregisterScript(registry, ShippedScript(), kModule));

  EXPECT_EQ(Lines{"CLSID"}, registry.Dump(Root::ClassesRoot));
  EXPECT_EQ((Lines{"Software", "Software\\Other"}), registry.Dump(Root::LocalMachine));
  EXPECT_EQ(0u, registry.OpenHandles());
}

TEST(ShippedScript, UnregistrationLeavesTheVendorKeyToAnotherProduct) {
  MemoryRegistry registry;
  ASSERT_EQ(kSuccess, RegisterScript(registry, ShippedScript(), kModule));
  registry.Ensure(Root::LocalMachine, u"Software\\Orvelle\\OtherProduct").values[u"x"] = Value{};

  ASSERT_EQ(kSuccess, UnregisterScript(registry, ShippedScript(), kModule));

  EXPECT_EQ(Lines{"CLSID"}, registry.Dump(Root::ClassesRoot));
  EXPECT_EQ((Lines{"Software", "Software\\Orvelle", "Software\\Orvelle\\OtherProduct",
                   "Software\\Orvelle\\OtherProduct|x=s:"}),
            registry.Dump(Root::LocalMachine));
}

TEST(ShippedScript, UnregistrationWithNothingRegisteredSucceedsAndCreatesNothing) {
  MemoryRegistry registry;
  EXPECT_EQ(kSuccess, UnregisterScript(registry, ShippedScript(), kModule));
  EXPECT_TRUE(registry.Dump(Root::ClassesRoot).empty());
  EXPECT_TRUE(registry.Dump(Root::LocalMachine).empty());
}

TEST(ShippedScript, UnregistrationStopsAtAKeyWithUnlistedSubkeys) {
  MemoryRegistry registry;
  ASSERT_EQ(kSuccess, RegisterScript(registry, ShippedScript(), kModule));
  registry.Ensure(Root::ClassesRoot, u"Orvelle.Pendrake\\Unlisted");

  EXPECT_EQ(kAccessDenied, UnregisterScript(registry, ShippedScript(), kModule));

  // Orvelle.Pendrake.1 went before the failure; the walk did not go on past it.
  EXPECT_EQ(nullptr, registry.Find(Root::ClassesRoot, u"Orvelle.Pendrake.1"));
  EXPECT_NE(nullptr, registry.Find(Root::ClassesRoot, u"Orvelle.Pendrake\\Unlisted"));
  EXPECT_NE(nullptr, registry.Find(Root::ClassesRoot, Widen(Clsid())));
  EXPECT_EQ(kRegisteredLocalMachine, registry.Dump(Root::LocalMachine));
  EXPECT_EQ(0u, registry.OpenHandles());
}

// ---- Two bitnesses side by side ----------------------------------------------------------

// The x86 and the x64 component share the ProgIDs and the settings key; each has its class key
// in its own view. Unregistering one keeps the shared keys while the other's registration names
// a file that is there.
TEST(TwoBitnesses, SharedKeysStayWhileTheOtherBitnessIsRegistered) {
  constexpr char16_t kOtherFile[] = u"C:\\Program Files\\Orvelle\\x86\\Pendrake.dll";
  // A 32-bit process on 64-bit Windows that names %windir%\System32 is answered for SysWOW64
  // (WOW64 file system redirection) unless it turns that off: the other view names the x64 file.
  constexpr char16_t kSystem32File[] = u"C:\\Windows\\System32\\Pendrake.dll";
  const Value inSystem32{Value::Type::String, kSystem32File, 0};
  const std::u16string otherServer = Widen(Clsid("\\InprocServer32"));
  const std::u16string anotherServer = u"CLSID\\{00000000-0000-0000-0000-000000000001}\\InprocServer32";
  const Value otherFile{Value::Type::String, kOtherFile, 0};
  struct Case {
    const char* what;
    std::u16string serverKey;  // in the other view; empty: nothing there
    std::optional<Value> serverValue;
    bool fileThere;
    bool oneViewOnly;
    bool sharedStay;
    bool thirtyTwoBit = false;
  } const cases[] = {
      {"registered, file there", otherServer, otherFile, true, false, true},
      {"registered as an expandable text, file there", otherServer,
       Value{Value::Type::ExpandString, kOtherFile, 0}, true, false, true},
      {"registered, file gone", otherServer, otherFile, false, false, false},
      {"class key without a server value", otherServer, std::nullopt, true, false, false},
      {"empty server value", otherServer, Value{Value::Type::String, u"", 0}, true, false, false},
      {"another class registered there", anotherServer, otherFile, true, false, false},
      {"nothing there, this view's file there", u"", std::nullopt, true, false, false},
      {"a machine with one view", otherServer, otherFile, true, true, false},
      {"32-bit process, x64 file in System32", otherServer, inSystem32, true, false, true, true},
      {"32-bit process, x64 file gone, an x86 one in SysWOW64", otherServer, inSystem32, false, false, false, true},
  };
  const Value storedPort{Value::Type::Dword, u"", 1468};
  for (const Case& c : cases) {
    MemoryRegistry registry;
    ASSERT_EQ(kSuccess, RegisterScript(registry, ShippedScript(), kModule)) << c.what;
    registry.Ensure(Root::LocalMachine, u"Software\\Orvelle\\Pendrake").values[u"iSyslogPort"] = storedPort;
    if (!c.serverKey.empty()) {
      MemoryKey& server = registry.EnsureInOtherView(Root::ClassesRoot, c.serverKey);
      if (c.serverValue) server.values[u""] = *c.serverValue;
    }
    registry.files = c.fileThere ? std::set<std::u16string>{kOtherFile, kModule, u"", kSystem32File}
                                 : std::set<std::u16string>{u"C:\\Windows\\SysWOW64\\Pendrake.dll"};
    registry.hasOtherView = !c.oneViewOnly;
    registry.redirectsFiles = c.thirtyTwoBit;

    ASSERT_EQ(kSuccess, UnregisterScript(registry, ShippedScript(), kModule)) << c.what;

    // This bitness's class key goes in every case.
    EXPECT_EQ(nullptr, registry.Find(Root::ClassesRoot, Widen(Clsid()))) << c.what;
    Lines sharedClasses;
    for (const std::string& line : RegisteredClassesRoot("C:\\Program Files\\Orvelle\\Pendrake.dll")) {
      if (line.rfind("Orvelle.Pendrake", 0) == 0) sharedClasses.push_back(line);
    }
    Lines classesLeft = registry.Dump(Root::ClassesRoot);
    classesLeft.erase(std::remove_if(classesLeft.begin(), classesLeft.end(),
                                     [](const std::string& line) { return line.rfind("Orvelle.", 0) != 0; }),
                      classesLeft.end());
    EXPECT_EQ(c.sharedStay ? sharedClasses : Lines{}, classesLeft) << c.what << ": the ProgIDs";
    const Lines settingsKept = {"Software", "Software\\Orvelle", "Software\\Orvelle\\Pendrake",
                                "Software\\Orvelle\\Pendrake|iSyslogPort=d:1468"};
    EXPECT_EQ(c.sharedStay ? settingsKept : Lines{"Software"}, registry.Dump(Root::LocalMachine))
        << c.what << ": the settings key with the stored defaults";
    EXPECT_EQ(0u, registry.OpenHandles()) << c.what;
    EXPECT_FALSE(registry.redirectionSuspended) << c.what << ": redirection must be on again";
  }
}

TEST(TwoBitnesses, TheLastUnregistrationRemovesTheSharedKeys) {
  constexpr char16_t kOtherFile[] = u"D:\\x86\\Pendrake.dll";
  MemoryRegistry registry;
  ASSERT_EQ(kSuccess, RegisterScript(registry, ShippedScript(), kModule));
  registry.EnsureInOtherView(Root::ClassesRoot, Widen(Clsid("\\InprocServer32"))).values[u""] =
      Value{Value::Type::String, kOtherFile, 0};
  registry.files.insert(kOtherFile);
  ASSERT_EQ(kSuccess, UnregisterScript(registry, ShippedScript(), kModule));
  ASSERT_NE(nullptr, registry.Find(Root::ClassesRoot, u"Orvelle.Pendrake"));

  // The other bitness goes too; unregistering this one again (or the other one, whose view
  // no longer holds this one's class) leaves only what unregistration always leaves.
  registry.files.clear();
  ASSERT_EQ(kSuccess, UnregisterScript(registry, ShippedScript(), kModule));
  EXPECT_EQ(Lines{"CLSID"}, registry.Dump(Root::ClassesRoot));
  EXPECT_EQ(Lines{"Software"}, registry.Dump(Root::LocalMachine));
}

// The WOW64 file system redirector, as documented: a 32-bit process's %windir%\System32 is
// %windir%\SysWOW64, apart from the subfolders both bitnesses share; its Sysnative is System32.
TEST(Wow64Paths, System32IsSysWOW64ForA32BitProcessApartFromSharedSubfolders) {
  const SystemFolders folders{u"C:\\Windows\\System32", u"C:\\Windows\\SysWOW64", u"C:\\Windows\\Sysnative"};
  const std::pair<std::u16string_view, std::u16string_view> cases[] = {
      {u"c:\\WINDOWS\\system32\\x.dll", u"C:\\Windows\\SysWOW64\\x.dll"},
      {u"C:\\Windows\\System32\\drivers\\etc\\x", u"C:\\Windows\\System32\\drivers\\etc\\x"},
      {u"C:\\Windows\\System32\\spool\\x.dll", u"C:\\Windows\\System32\\spool\\x.dll"},
      {u"C:\\Windows\\System32\\spooler.dll", u"C:\\Windows\\SysWOW64\\spooler.dll"},
      {u"C:\\Windows\\Sysnative\\x.dll", u"C:\\Windows\\System32\\x.dll"},
      {u"C:\\Windows\\System320\\x.dll", u"C:\\Windows\\System320\\x.dll"},
  };
  for (const auto& [path, expected] : cases) {
    EXPECT_EQ(ToUtf8(RedirectedFor32BitProcess(path, folders)), ToUtf8(expected)) << ToUtf8(path);
  }
}

// ---- Markers ----------------------------------------------------------------------------

struct ForceRemoveCase {
  const char16_t* name;
  bool protectedName;
};

inline void PrintTo(const ForceRemoveCase& c, std::ostream* os) { *os << ToUtf8(c.name); }

class ForceRemoveMarker : public ::testing::TestWithParam<ForceRemoveCase> {};

TEST_P(ForceRemoveMarker, DeletesTheOldTreeUnlessTheKeyIsShared) {
  const ForceRemoveCase& c = GetParam();
  const std::u16string name = c.name;
  MemoryRegistry registry;
  registry.Ensure(Root::ClassesRoot, name + u"\\Old\\Deeper");
  const std::u16string script = u"HKCR { ForceRemove '" + name + u"' { New } }";

  ASSERT_EQ(kSuccess, RegisterScript(registry, script, kModule));

  EXPECT_NE(nullptr, registry.Find(Root::ClassesRoot, name + u"\\New")) << ToUtf8(name);
  EXPECT_EQ(c.protectedName, registry.Find(Root::ClassesRoot, name + u"\\Old\\Deeper") != nullptr) << ToUtf8(name);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ForceRemoveMarker,
    ::testing::Values(ForceRemoveCase{u"AppID", true}, ForceRemoveCase{u"CLSID", true},
                      ForceRemoveCase{u"Component Categories", true}, ForceRemoveCase{u"FileType", true},
                      ForceRemoveCase{u"Interface", true}, ForceRemoveCase{u"Hardware", true},
                      ForceRemoveCase{u"Mime", true}, ForceRemoveCase{u"SAM", true},
                      ForceRemoveCase{u"SECURITY", true}, ForceRemoveCase{u"SYSTEM", true},
                      ForceRemoveCase{u"Software", true}, ForceRemoveCase{u"TypeLib", true},
                      ForceRemoveCase{u"clsid", true}, ForceRemoveCase{u"sOFTWARE", true},
                      ForceRemoveCase{u"typelib", true}, ForceRemoveCase{u"CLSIDs", false},
                      ForceRemoveCase{u"Soft", false}, ForceRemoveCase{u"Programmable", false},
                      ForceRemoveCase{u"{7880953B-8A8E-4D5A-AECD-396BF77A31E5}", false}));

struct WalkCase {
  const char* what;
  const char16_t* script;
  std::vector<const char16_t*> before;  // keys present before the walk
  Lines afterRegistration;
  Lines afterUnregistration;
};

inline void PrintTo(const WalkCase& c, std::ostream* os) { *os << c.what; }

class MarkerWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(MarkerWalk, RegistersThenUnregisters) {
  const WalkCase& c = GetParam();
  MemoryRegistry registry;
  for (const char16_t* key : c.before) registry.Ensure(Root::ClassesRoot, key);
  ASSERT_EQ(kSuccess, RegisterScript(registry, c.script, kModule)) << c.what;
  EXPECT_EQ(c.afterRegistration, registry.Dump(Root::ClassesRoot)) << c.what;
  ASSERT_EQ(kSuccess, UnregisterScript(registry, c.script, kModule)) << c.what;
  EXPECT_EQ(c.afterUnregistration, registry.Dump(Root::ClassesRoot)) << c.what;
  EXPECT_EQ(0u, registry.OpenHandles()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, MarkerWalk,
    ::testing::Values(
        WalkCase{"NoRemove keeps the key and its foreign subkeys",
                 u"HKCR { NoRemove A { B = s 'b' } }",
                 {u"A\\Foreign"},
                 {"A", "A\\B", "A\\B|=s:b", "A\\Foreign"},
                 {"A", "A\\Foreign"}},
        WalkCase{"NoRemove key that was missing is created and then left",
                 u"HKCR { NoRemove A { B } }", {}, {"A", "A\\B"}, {"A"}},
        WalkCase{"val writes a named value and unregistration deletes only it",
                 u"HKCR { NoRemove A { val Name = s 'text' val Count = d '0x10' } }",
                 {},
                 {"A", "A|Count=d:16", "A|Name=s:text"},
                 {"A"}},
        WalkCase{"val of the same name as a key is a value",
                 u"HKCR { K = s 'default' { val K = e '%%SystemRoot%%' } }",
                 {},
                 {"K", "K|=s:default", "K|K=e:%SystemRoot%"},
                 {}},
        WalkCase{"keywords and roots are matched without regard to case",
                 u"hkey_classes_root { noremove A { VAL v = S 'x' forceremove B } }",
                 {u"A\\B\\Old"},
                 {"A", "A\\B", "A|v=s:x"},
                 {"A"}},
        WalkCase{"quoted names keep blanks and may look like keywords",
                 u"HKCR { 'val' { 'two words' = s 'it''s' } 'NoRemove' }",
                 {},
                 {"NoRemove", "val", "val\\two words", "val\\two words|=s:it's"},
                 {}},
        WalkCase{"ForceRemove clears an unshared key below a NoRemove one",
                 u"HKCR { NoRemove Top { ForceRemove Owned { X } } }",
                 {u"Top\\Owned\\Leftover"},
                 {"Top", "Top\\Owned", "Top\\Owned\\X"},
                 {"Top"}},
        // Found by the registration fuzz target: the first listing's deletion failed on the
        // subkey that the second listing had written.
        WalkCase{"a key listed twice goes once the subkeys of both listings are gone",
                 u"HKCR { X = s 'v' x { A } }",
                 {},
                 {"X", "X\\A", "X|=s:v"},
                 {}},
        WalkCase{"a key below two listings of its parent goes with the subkeys of both",
                 u"HKCR { P { N = d '4' } p { N = d '6' { B } } }",
                 {},
                 {"P", "P\\N", "P\\N\\B", "P\\N|=d:6"},
                 {}},
        WalkCase{"a key in two blocks of one root goes with the subkeys of both",
                 u"HKCR { N } HKEY_CLASSES_ROOT { N { v } }",
                 {},
                 {"N", "N\\v"},
                 {}},
        WalkCase{"a key listed twice stays when either listing says NoRemove",
                 u"HKCR { X { A } NoRemove X { B } }",
                 {},
                 {"X", "X\\A", "X\\B"},
                 {"X"}}));

TEST(PathOnlyKeys, StayWithoutErrorOnlyWhileTheyHoldKeysOfOthers) {
  struct Case {
    const char* what;
    const char16_t* script;
    Win32Error expected;
    bool keyStays;
  };
  const Case cases[] = {
      {"path-only key holding a foreign key stays", u"HKCR { A { B } }", kSuccess, true},
      {"a key with a value is the script's own", u"HKCR { A = s 'a' { B } }", kAccessDenied, true},
      {"a key with a named value is the script's own", u"HKCR { A { val v = s 'x' B } }", kAccessDenied, true},
      {"a leaf key is the script's own", u"HKCR { A }", kAccessDenied, true},
  };
  for (const Case& c : cases) {
    MemoryRegistry registry;
    ASSERT_EQ(kSuccess, RegisterScript(registry, c.script, kModule)) << c.what;
    registry.Ensure(Root::ClassesRoot, u"A\\Foreign");
    EXPECT_EQ(c.expected, UnregisterScript(registry, c.script, kModule)) << c.what;
    EXPECT_EQ(c.keyStays, registry.Find(Root::ClassesRoot, u"A") != nullptr) << c.what;
    EXPECT_EQ(nullptr, registry.Find(Root::ClassesRoot, u"A\\B")) << c.what;
    EXPECT_EQ(0u, registry.OpenHandles()) << c.what;
  }
  MemoryRegistry empty;
  ASSERT_EQ(kSuccess, RegisterScript(empty, u"HKCR { A { B } }", kModule));
  EXPECT_EQ(kSuccess, UnregisterScript(empty, u"HKCR { A { B } }", kModule));
  EXPECT_TRUE(empty.Dump(Root::ClassesRoot).empty()) << "an emptied path-only key goes";
}

// ---- Failures while writing: the root is taken back ---------------------------------------

struct RollbackCase {
  const char* what;
  Operation operation;
  const char16_t* name;
  Win32Error error;
};

inline void PrintTo(const RollbackCase& c, std::ostream* os) { *os << c.what; }

class RegistrationRollback : public ::testing::TestWithParam<RollbackCase> {};

TEST_P(RegistrationRollback, RemovesWhatTheFailingRootWroteAndReturnsTheFirstError) {
  const RollbackCase& c = GetParam();
  MemoryRegistry registry;
  bool failed = false;
  registry.fault = [&](Operation operation, std::u16string_view name) -> Win32Error {
    if (!failed && operation == c.operation && name == c.name) {
      failed = true;
      return c.error;
    }
    return kSuccess;
  };

  EXPECT_EQ(c.error, RegisterScript(registry, ShippedScript(), kModule)) << c.what;
  EXPECT_TRUE(failed) << c.what << ": the fault was never reached";
  // The HKCR root is empty again apart from the shared CLSID key; HKLM was never reached.
  const Lines onlyShared = {"CLSID"};
  const Lines nothing;
  const Lines& expected = registry.Find(Root::ClassesRoot, u"CLSID") ? onlyShared : nothing;
  EXPECT_EQ(expected, registry.Dump(Root::ClassesRoot)) << c.what;
  EXPECT_TRUE(registry.Dump(Root::LocalMachine).empty()) << c.what;
  EXPECT_EQ(0u, registry.OpenHandles()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RegistrationRollback,
    ::testing::Values(RollbackCase{"first key cannot be created", Operation::CreateKey, u"Orvelle.Pendrake.1", 5},
                      RollbackCase{"default value of the first key", Operation::SetValue, u"", 1021},
                      RollbackCase{"class key cannot be created", Operation::CreateKey,
                                   u"{7880953B-8A8E-4D5A-AECD-396BF77A31E5}", 1018},
                      RollbackCase{"named value in the class tree", Operation::SetValue, u"ThreadingModel", 5},
                      RollbackCase{"last key of the root", Operation::CreateKey, u"TypeLib", 8}));

TEST(RegistrationRollbackByRoot, AFailureUnderTheSecondRootKeepsTheFirstRootWritten) {
  MemoryRegistry registry;
  registry.fault = [](Operation operation, std::u16string_view name) -> Win32Error {
    return operation == Operation::CreateKey && name == u"Pendrake" ? 5 : kSuccess;
  };
  EXPECT_EQ(5u, RegisterScript(registry, ShippedScript(), kModule));
  EXPECT_EQ(RegisteredClassesRoot("C:\\Program Files\\Orvelle\\Pendrake.dll"), registry.Dump(Root::ClassesRoot));
  // Software is NoRemove; Orvelle, written before the failure, is taken back.
  EXPECT_EQ(Lines{"Software"}, registry.Dump(Root::LocalMachine));
}

// The ProgIDs and the settings key, as the other bitness keeps them.
Lines SharedKeysLeft(const MemoryRegistry& registry) {
  Lines left = registry.Dump(Root::ClassesRoot);
  left.erase(std::remove_if(left.begin(), left.end(), [](const std::string& line) { return line.rfind("Orvelle.", 0) != 0; }),
             left.end());
  if (registry.Find(Root::LocalMachine, u"Software\\Orvelle\\Pendrake")) left.push_back("settings key");
  return left;
}

// A registration refused halfway through the class tree, while the other bitness is
// registered: taking it back removes this view's class key and keeps what the other one shares.
TEST(RegistrationRollbackByRoot, TakingBackKeepsWhatTheOtherBitnessShares) {
  constexpr char16_t kOtherFile[] = u"D:\\x86\\Pendrake.dll";
  for (const char16_t* refused : {u"InprocServer32", u"TypeLib"}) {
    MemoryRegistry registry;
    ASSERT_EQ(kSuccess, RegisterScript(registry, ShippedScript(), kModule));
    const Lines shared = SharedKeysLeft(registry);
    registry.EnsureInOtherView(Root::ClassesRoot, Widen(Clsid("\\InprocServer32"))).values[u""] =
        Value{Value::Type::String, kOtherFile, 0};
    registry.files = {kOtherFile};
    registry.fault = [&](Operation operation, std::u16string_view name) -> Win32Error {
      return operation == Operation::CreateKey && name == refused ? 5 : kSuccess;
    };
    EXPECT_EQ(5u, RegisterScript(registry, ShippedScript(), kModule)) << ToUtf8(refused);
    EXPECT_EQ(nullptr, registry.Find(Root::ClassesRoot, Widen(Clsid()))) << ToUtf8(refused);
    EXPECT_EQ(shared, SharedKeysLeft(registry)) << ToUtf8(refused);
    EXPECT_EQ(0u, registry.OpenHandles()) << ToUtf8(refused);
  }
}

TEST(RegistrationRollbackByRoot, AKeyThatOpensOnlyForReadingFailsItsValueWrite) {
  MemoryRegistry registry;
  registry.Ensure(Root::ClassesRoot, u"Orvelle.Pendrake.1").writable = false;
  EXPECT_EQ(kAccessDenied, RegisterScript(registry, ShippedScript(), kModule));
  // The read-only key cannot be deleted either: it stays, and nothing else does.
  EXPECT_EQ(Lines{"Orvelle.Pendrake.1"}, registry.Dump(Root::ClassesRoot));
  EXPECT_EQ(0u, registry.OpenHandles());
}

// ---- Failures while removing ------------------------------------------------------------

struct UnregistrationFaultCase {
  const char* what;
  Operation operation;
  const char16_t* name;
  Win32Error error;           // injected
  Win32Error expected;        // returned
  bool typeLibKeyStillThere;  // whether the walk stopped before the CLSID tree
};

inline void PrintTo(const UnregistrationFaultCase& c, std::ostream* os) { *os << c.what; }

class UnregistrationFaults : public ::testing::TestWithParam<UnregistrationFaultCase> {};

TEST_P(UnregistrationFaults, MissingThingsAreSkippedAndOtherFailuresStopTheWalk) {
  const UnregistrationFaultCase& c = GetParam();
  MemoryRegistry registry;
  ASSERT_EQ(kSuccess, RegisterScript(registry, ShippedScript(), kModule));
  registry.fault = [&](Operation operation, std::u16string_view name) -> Win32Error {
    return operation == c.operation && name == c.name ? c.error : kSuccess;
  };
  EXPECT_EQ(c.expected, UnregisterScript(registry, ShippedScript(), kModule)) << c.what;
  EXPECT_EQ(c.typeLibKeyStillThere, registry.Find(Root::ClassesRoot, Widen(Clsid("\\TypeLib"))) != nullptr) << c.what;
  EXPECT_EQ(0u, registry.OpenHandles()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, UnregistrationFaults,
    ::testing::Values(
        UnregistrationFaultCase{"a failing key deletion stops", Operation::DeleteKey, u"ProgID", 5, 5, true},
        UnregistrationFaultCase{"a failing value deletion stops", Operation::DeleteValue, u"ThreadingModel", 5, 5,
                                true},
        UnregistrationFaultCase{"a value already gone is no error", Operation::DeleteValue, u"ThreadingModel",
                                kFileNotFound, kSuccess, false},
        UnregistrationFaultCase{"a key that cannot be opened stops", Operation::OpenKey, u"CLSID", 5, 5, true},
        UnregistrationFaultCase{"a key reported missing is skipped with its subtree", Operation::OpenKey,
                                u"{7880953B-8A8E-4D5A-AECD-396BF77A31E5}", kFileNotFound, kSuccess, true},
        UnregistrationFaultCase{"a failure under the second root comes after the first", Operation::DeleteKey,
                                u"Pendrake", 5, 5, false}));

// ---- Scripts that cannot be trusted: refused before anything is written ------------------

struct MalformedCase {
  const char* what;
  std::u16string_view script;  // a view, so that a case can hold a NUL
};

inline void PrintTo(const MalformedCase& c, std::ostream* os) { *os << c.what; }

class MalformedScript : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedScript, FailsCleanlyInBothModesAndWritesNothing) {
  const MalformedCase& c = GetParam();
  MemoryRegistry registry;
  registry.Ensure(Root::ClassesRoot, u"A\\Keep");
  const Lines before = registry.Dump(Root::ClassesRoot);
  EXPECT_EQ(kInvalidData, RegisterScript(registry, c.script, kModule)) << c.what;
  EXPECT_EQ(kInvalidData, UnregisterScript(registry, c.script, kModule)) << c.what;
  EXPECT_EQ(before, registry.Dump(Root::ClassesRoot)) << c.what;
  EXPECT_TRUE(registry.Dump(Root::LocalMachine).empty()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, MalformedScript,
    ::testing::Values(
        MalformedCase{"unterminated quote", u"HKCR { A = s 'abc }"},
        MalformedCase{"missing closing brace", u"HKCR { A { B }"},
        MalformedCase{"closing brace without block", u"HKCR { A } }"},
        MalformedCase{"unknown root", u"HKEY_NOWHERE { A }"},
        MalformedCase{"root without block", u"HKCR A"},
        MalformedCase{"val without value", u"HKCR { A { val X } }"},
        MalformedCase{"val with subkeys", u"HKCR { A { val X = s 'x' { B } } }"},
        MalformedCase{"unknown value type", u"HKCR { A = q 'x' }"},
        MalformedCase{"value without type", u"HKCR { A = 'x' }"},
        MalformedCase{"equals sign at the end", u"HKCR { A = }"},
        MalformedCase{"unquoted value", u"HKCR { A = s x }"},
        MalformedCase{"number that is no number", u"HKCR { A = d 'twelve' }"},
        MalformedCase{"number beyond 32 bits", u"HKCR { A = d '4294967296' }"},
        MalformedCase{"empty key name", u"HKCR { '' { B } }"},
        MalformedCase{"empty named value", u"HKCR { A { val '' = s 'x' } }"},
        MalformedCase{"key name reaching deeper", u"HKCR { ForceRemove 'A\\Keep' }"},
        // Through a terminated-string API this name would reach the registry as "CLSID".
        MalformedCase{"NUL in a key name", u"HKCR { ForceRemove CLSID\0x { B } }"sv},
        MalformedCase{"NUL in a quoted key name", u"HKCR { 'A\0' }"sv},
        MalformedCase{"NUL in a value name", u"HKCR { A { val v\0w = s 'x' } }"sv},
        MalformedCase{"tab in a quoted key name", u"HKCR { 'A\tB' }"},
        MalformedCase{"line break in a value name", u"HKCR { A { val 'v\r\n' = s 'x' } }"},
        MalformedCase{"DEL in a key name", u"HKCR { A\x7f }"},
        MalformedCase{"C1 control in a key name", u"HKCR { 'A\x85' }"},
        MalformedCase{"unknown marker", u"HKCR { Maybe A }"},
        MalformedCase{"unknown variable", u"HKCR { A = s '%WINDIR%' }"},
        MalformedCase{"lone percent sign", u"HKCR { A = s '50%' }"}));

TEST(NestingLimit, DeepScriptsAreRefusedInsteadOfExhaustingTheStack) {
  for (const std::size_t depth : {std::size_t{31}, std::size_t{33}, std::size_t{100000}}) {
    std::u16string script = u"HKCR";
    for (std::size_t i = 0; i < depth; ++i) script += u" { a";
    for (std::size_t i = 0; i < depth; ++i) script += u" }";
    MemoryRegistry registry;
    EXPECT_EQ(depth <= 32 ? kSuccess : kInvalidData, RegisterScript(registry, script, kModule)) << depth;
  }
}

TEST(ModulePathLimit, ALongPathFailsBeforeAnythingIsWritten) {
  struct Case {
    std::size_t length;
    Win32Error expected;
  };
  for (const Case& c : {Case{259, kSuccess}, Case{260, kInsufficientBuffer}, Case{1000, kInsufficientBuffer}}) {
    std::u16string path = u"C:\\";
    path.append(c.length - path.size() - 13, u'x');
    path += u"\\Pendrake.dll";
    ASSERT_EQ(c.length, path.size());
    MemoryRegistry registry;
    EXPECT_EQ(c.expected, RegisterScript(registry, ShippedScript(), path)) << c.length;
    EXPECT_EQ(c.expected == kSuccess, !registry.Dump(Root::ClassesRoot).empty()) << c.length;
    EXPECT_EQ(c.expected, UnregisterScript(registry, ShippedScript(), path)) << c.length;
  }
}

// ---- Variables --------------------------------------------------------------------------

TEST(ExpandVariables, ReplacesTheModuleAndPercentPairsOnly) {
  struct Case {
    const char16_t* text;
    const char16_t* module;
    std::optional<std::u16string> expected;
  };
  const Case cases[] = {
      {u"'%MODULE%'", u"C:\\a'b.dll", u"'C:\\a''b.dll'"},
      {u"%module% and %MODULE%", u"m", u"m and m"},
      {u"100%%", u"m", u"100%"},
      {u"%MODULE%", u"%MODULE%", u"%MODULE%"},
      {u"no variables", u"m", u"no variables"},
      {u"%OTHER%", u"m", std::nullopt},
      {u"50% off", u"m", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, ExpandVariables(c.text, c.module)) << ToUtf8(c.text);
  }
}

}  // namespace
}  // namespace pendrake::registration
