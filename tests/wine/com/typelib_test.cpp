// The type library inside Pendrake.dll, read back attribute by attribute with the platform's
// own loader: what scripts and early-bound clients will see.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "Pendrake_h.h"
#include "pendrake/owners.h"
#include "com_test_support.h"

namespace {

using pendrake::owners::ComPtr;
using pendrake::owners::UniqueBstr;
using pendrake::comtest::HexHresult;
using pendrake::comtest::Narrow;

#ifdef _WIN64
constexpr SYSKIND kSysKind = SYS_WIN64;
constexpr unsigned kPointerSize = 8;
#else
constexpr SYSKIND kSysKind = SYS_WIN32;
constexpr unsigned kPointerSize = 4;
#endif

std::string Str(BSTR text) { return text ? Narrow(text) : std::string("(null)"); }

class TypeLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    const HRESULT hr = LoadTypeLibEx(pendrake::comtest::DllPath().c_str(), REGKIND_NONE, library_.put());
    ASSERT_EQ(S_OK, hr) << "LoadTypeLibEx " << Narrow(pendrake::comtest::DllPath().c_str()) << " " << HexHresult(hr);
  }

  ComPtr<ITypeInfo> Info(UINT index) {
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(S_OK, library_->GetTypeInfo(index, info.put())) << index;
    return info;
  }

  // The table-of-functions side of the dual interface.
  ComPtr<ITypeInfo> VtableSide() {
    ComPtr<ITypeInfo> dispatch = Info(1);
    HREFTYPE ref = 0;
    EXPECT_EQ(S_OK, dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref));
    ComPtr<ITypeInfo> table;
    EXPECT_EQ(S_OK, dispatch->GetRefTypeInfo(ref, table.put()));
    return table;
  }

  ComPtr<ITypeLib> library_;
};

// Reads TYPEATTR and hands it back on scope exit.
class Attributes {
 public:
  explicit Attributes(ITypeInfo* info) : info_(info) { ok_ = SUCCEEDED(info_->GetTypeAttr(&attr_)); }
  ~Attributes() {
    if (ok_) info_->ReleaseTypeAttr(attr_);
  }
  const TYPEATTR* operator->() const { return attr_; }
  bool ok() const { return ok_; }

 private:
  ITypeInfo* info_;
  TYPEATTR* attr_ = nullptr;
  bool ok_ = false;
};

class Function {
 public:
  Function(ITypeInfo* info, UINT index) : info_(info) { ok_ = SUCCEEDED(info_->GetFuncDesc(index, &desc_)); }
  ~Function() {
    if (ok_) info_->ReleaseFuncDesc(desc_);
  }
  const FUNCDESC* operator->() const { return desc_; }
  bool ok() const { return ok_; }

 private:
  ITypeInfo* info_;
  FUNCDESC* desc_ = nullptr;
  bool ok_ = false;
};

TEST_F(TypeLibrary, LibraryAttributes) {
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(S_OK, library_->GetLibAttr(&attr));
  EXPECT_TRUE(IsEqualGUID(LIBID_PENDRAKELib, attr->guid));
  EXPECT_EQ(0x409u, attr->lcid);
  EXPECT_EQ(kSysKind, attr->syskind);
  EXPECT_EQ(1, attr->wMajorVerNum);
  EXPECT_EQ(0, attr->wMinorVerNum);
  // The loader adds "has a disk image" to anything read from a file; the library itself
  // carries no flags.
  EXPECT_EQ(0, attr->wLibFlags & ~LIBFLAG_FHASDISKIMAGE) << attr->wLibFlags;
  library_->ReleaseTLibAttr(attr);

  UniqueBstr name, doc, helpFile;
  DWORD context = 1;
  ASSERT_EQ(S_OK, library_->GetDocumentation(-1, name.put(), doc.put(), &context, helpFile.put()));
  EXPECT_EQ("PENDRAKELib", Str(name.get()));
  EXPECT_EQ("Pendrake 1.0 Type Library", Str(doc.get()));
  EXPECT_EQ(0u, context);
  EXPECT_EQ(nullptr, helpFile.get());
}

TEST_F(TypeLibrary, TypeDescriptionsInOrder) {
  struct Expected {
    const char* name;
    TYPEKIND kind;
    const char* help;  // nullptr: none
  };
  const Expected expected[] = {
      {"Pendrake", TKIND_COCLASS, "Pendrake Class"},
      {"IPendrake", TKIND_DISPATCH, "IPendrake Interface"},
      {"tagSYSLOGPRIORITY", TKIND_ENUM, nullptr},
      {"tagSYSLOGFACILITY", TKIND_ENUM, nullptr},
      {"tagEVENTLOGTYPE", TKIND_ENUM, nullptr},
  };
  ASSERT_EQ(std::size(expected), library_->GetTypeInfoCount());
  for (UINT i = 0; i < std::size(expected); ++i) {
    TYPEKIND kind;
    ASSERT_EQ(S_OK, library_->GetTypeInfoType(i, &kind));
    EXPECT_EQ(expected[i].kind, kind) << i;
    UniqueBstr name, doc;
    DWORD context = 1;
    ASSERT_EQ(S_OK, library_->GetDocumentation(static_cast<INT>(i), name.put(), doc.put(), &context, nullptr));
    EXPECT_EQ(expected[i].name, Str(name.get())) << i;
    EXPECT_EQ(expected[i].help ? expected[i].help : "(null)", Str(doc.get())) << i;
    EXPECT_EQ(0u, context) << i;
  }
}

TEST_F(TypeLibrary, CoclassIsCreatableWithIPendrakeAsItsDefault) {
  ComPtr<ITypeInfo> coclass = Info(0);
  Attributes attr(coclass.get());
  ASSERT_TRUE(attr.ok());
  EXPECT_TRUE(IsEqualGUID(CLSID_Pendrake, attr->guid));
  EXPECT_EQ(TYPEFLAG_FCANCREATE, attr->wTypeFlags);
  EXPECT_EQ(0, attr->wMajorVerNum);
  EXPECT_EQ(0, attr->wMinorVerNum);
  ASSERT_EQ(1, attr->cImplTypes);
  INT flags = 0;
  ASSERT_EQ(S_OK, coclass->GetImplTypeFlags(0, &flags));
  EXPECT_EQ(IMPLTYPEFLAG_FDEFAULT, flags);
  HREFTYPE ref = 0;
  ASSERT_EQ(S_OK, coclass->GetRefTypeOfImplType(0, &ref));
  ComPtr<ITypeInfo> implemented;
  ASSERT_EQ(S_OK, coclass->GetRefTypeInfo(ref, implemented.put()));
  Attributes implementedAttr(implemented.get());
  ASSERT_TRUE(implementedAttr.ok());
  EXPECT_TRUE(IsEqualGUID(IID_IPendrake, implementedAttr->guid));
}

TEST_F(TypeLibrary, InterfaceIsADualAutomationInterfaceOnIDispatch) {
  const WORD dualFlags = TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE;
  {
    ComPtr<ITypeInfo> dispatch = Info(1);
    Attributes attr(dispatch.get());
    ASSERT_TRUE(attr.ok());
    EXPECT_TRUE(IsEqualGUID(IID_IPendrake, attr->guid));
    // The loader presents the dispatch view without the automation flag, which belongs to
    // the table of functions (the stored flags are checked below).
    EXPECT_EQ(TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE, attr->wTypeFlags);
    EXPECT_EQ(0, attr->wMajorVerNum);
    EXPECT_EQ(0, attr->wMinorVerNum);
    EXPECT_EQ(7 + 20, attr->cFuncs);  // the dispatch view lists the inherited members too
  }
  ComPtr<ITypeInfo> table = VtableSide();
  Attributes attr(table.get());
  ASSERT_TRUE(attr.ok());
  EXPECT_EQ(TKIND_INTERFACE, attr->typekind);
  EXPECT_TRUE(IsEqualGUID(IID_IPendrake, attr->guid));
  EXPECT_EQ(dualFlags, attr->wTypeFlags);
  EXPECT_EQ(20, attr->cFuncs);
  EXPECT_EQ((7 + 20) * kPointerSize, attr->cbSizeVft);
  ASSERT_EQ(1, attr->cImplTypes);
  HREFTYPE ref = 0;
  ASSERT_EQ(S_OK, table->GetRefTypeOfImplType(0, &ref));
  ComPtr<ITypeInfo> base;
  ASSERT_EQ(S_OK, table->GetRefTypeInfo(ref, base.put()));
  Attributes baseAttr(base.get());
  ASSERT_TRUE(baseAttr.ok());
  EXPECT_TRUE(IsEqualGUID(IID_IDispatch, baseAttr->guid));
}

// The type library resource as stored, for what the loader does not show as it is.
struct StoredLibrary {
  std::vector<unsigned char> bytes;
  DWORD Read32(DWORD offset) const {
    DWORD value = 0;
    if (offset + 4 <= bytes.size()) std::memcpy(&value, bytes.data() + offset, 4);
    return value;
  }
  // The MSFT record of type description `index`.
  DWORD TypeRecord(DWORD index) const {
    const DWORD count = Read32(32);
    const DWORD offsets = 0x54 + ((Read32(20) & 0x100) ? 4 : 0);  // a file name offset follows when flagged
    const DWORD typeInfoSegment = Read32(offsets + count * 4);
    return typeInfoSegment + Read32(offsets + index * 4);
  }
};

StoredLibrary LoadStoredLibrary() {
  StoredLibrary stored;
  HMODULE file = LoadLibraryExW(pendrake::comtest::DllPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!file) return stored;
  if (HRSRC found =
          FindResourceExW(file, L"TYPELIB", MAKEINTRESOURCEW(1), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US))) {
    const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(file, found)));
    if (bytes) stored.bytes.assign(bytes, bytes + SizeofResource(file, found));
  }
  FreeLibrary(file);
  return stored;
}

// The loader adjusts the flags it reports for the two views of a dual interface; these are
// the flags as stored.
TEST(TypeLibraryResource, StoredInEnglishWithTheFlagsOfEachTypeDescription) {
  const StoredLibrary stored = LoadStoredLibrary();
  ASSERT_GE(stored.bytes.size(), 0x54u) << "TYPELIB 1 in language 1033";
  ASSERT_EQ(0, std::memcmp(stored.bytes.data(), "MSFT", 4));
  EXPECT_EQ(0x409u, stored.Read32(12)) << "lcid";
  ASSERT_EQ(5u, stored.Read32(32));
  struct Stored {
    DWORD kind;
    DWORD flags;
  };
  const Stored expected[] = {{TKIND_COCLASS, TYPEFLAG_FCANCREATE},
                             {TKIND_DISPATCH, TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE},
                             {TKIND_ENUM, 0},
                             {TKIND_ENUM, 0},
                             {TKIND_ENUM, 0}};
  for (DWORD i = 0; i < std::size(expected); ++i) {
    const DWORD record = stored.TypeRecord(i);
    EXPECT_EQ(expected[i].kind, stored.Read32(record) & 0xF) << i;
    EXPECT_EQ(expected[i].flags, stored.Read32(record + 0x30)) << i;
  }
}

// ---- Members ----------------------------------------------------------------------------

enum class Param { Bstr, BstrOut, I4, I4Out, Enum, EnumOut };

struct Member {
  const char* name;
  MEMBERID id;
  INVOKEKIND kind;
  Param type;
  const char* enumName;    // for Enum / EnumOut
  const char* paramName;   // nullptr: unnamed
  USHORT paramFlags;
  const char* help;
};

constexpr USHORT kOutRetval = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;

const Member kMembers[] = {
    {"SyslogServer", 1, INVOKE_PROPERTYGET, Param::BstrOut, nullptr, "pVal", kOutRetval, "property SyslogServer"},
    {"SyslogServer", 1, INVOKE_PROPERTYPUT, Param::Bstr, nullptr, nullptr, PARAMFLAG_FIN, "property SyslogServer"},
    {"LogToSyslog", 2, INVOKE_FUNC, Param::Bstr, nullptr, "bstrMsg", PARAMFLAG_NONE, "method LogToSyslog"},
    {"SyslogPriority", 3, INVOKE_PROPERTYGET, Param::EnumOut, "tagSYSLOGPRIORITY", "pVal", kOutRetval,
     "property SyslogPriority"},
    {"SyslogPriority", 3, INVOKE_PROPERTYPUT, Param::Enum, "tagSYSLOGPRIORITY", nullptr, PARAMFLAG_FIN,
     "property SyslogPriority"},
    {"SyslogFacility", 4, INVOKE_PROPERTYGET, Param::EnumOut, "tagSYSLOGFACILITY", "pVal", kOutRetval,
     "property SyslogFacility"},
    {"SyslogFacility", 4, INVOKE_PROPERTYPUT, Param::Enum, "tagSYSLOGFACILITY", nullptr, PARAMFLAG_FIN,
     "property SyslogFacility"},
    {"SyslogPort", 5, INVOKE_PROPERTYGET, Param::I4Out, nullptr, "pVal", kOutRetval, "property SyslogPort"},
    {"SyslogPort", 5, INVOKE_PROPERTYPUT, Param::I4, nullptr, nullptr, PARAMFLAG_FIN, "property SyslogPort"},
    {"EventLogSource", 6, INVOKE_PROPERTYGET, Param::BstrOut, nullptr, "pVal", kOutRetval, "property EventLogSource"},
    {"EventLogSource", 6, INVOKE_PROPERTYPUT, Param::Bstr, nullptr, nullptr, PARAMFLAG_FIN, "property EventLogSource"},
    {"EventLogComputer", 8, INVOKE_PROPERTYGET, Param::BstrOut, nullptr, "pVal", kOutRetval,
     "property EventLogComputer"},
    {"EventLogComputer", 8, INVOKE_PROPERTYPUT, Param::Bstr, nullptr, nullptr, PARAMFLAG_FIN,
     "property EventLogComputer"},
    {"MessageToLog", 9, INVOKE_PROPERTYGET, Param::BstrOut, nullptr, "pVal", kOutRetval, "property MessageToLog"},
    {"MessageToLog", 9, INVOKE_PROPERTYPUT, Param::Bstr, nullptr, nullptr, PARAMFLAG_FIN, "property MessageToLog"},
    {"EventLogID", 10, INVOKE_PROPERTYGET, Param::I4Out, nullptr, "pVal", kOutRetval, "property EventLogID"},
    {"EventLogID", 10, INVOKE_PROPERTYPUT, Param::I4, nullptr, nullptr, PARAMFLAG_FIN, "property EventLogID"},
    {"EventLogType", 11, INVOKE_PROPERTYGET, Param::EnumOut, "tagEVENTLOGTYPE", "pVal", kOutRetval,
     "property EventLogType"},
    {"EventLogType", 11, INVOKE_PROPERTYPUT, Param::Enum, "tagEVENTLOGTYPE", nullptr, PARAMFLAG_FIN,
     "property EventLogType"},
    {"LogToEventLog", 12, INVOKE_FUNC, Param::Bstr, nullptr, "bstrMsg", PARAMFLAG_NONE, "method LogToEventLog"},
};

// GetNames finds a put's names through its get, so whether a put's parameter has a name is
// read from the stored function records: each ends with its parameters (type, name offset,
// flags), and a name offset of -1 is no name.
TEST(TypeLibraryResource, PutParametersAreStoredWithoutAName) {
  const StoredLibrary stored = LoadStoredLibrary();
  ASSERT_GE(stored.bytes.size(), 0x54u);
  const DWORD record = stored.TypeRecord(1);
  ASSERT_EQ(std::size(kMembers), stored.Read32(record + 0x18) & 0xFFFF) << "functions stored";
  DWORD function = stored.Read32(record + 0x04) + 4;  // past the total size of the records
  for (const Member& m : kMembers) {
    const DWORD size = stored.Read32(function) & 0xFFFF;
    ASSERT_GE(size, 24u + 12u) << m.name;
    ASSERT_EQ(1u, stored.Read32(function + 20) & 0xFFFF) << m.name << ": one parameter";
    const auto nameOffset = static_cast<LONG>(stored.Read32(function + size - 12 + 4));
    EXPECT_EQ(m.kind == INVOKE_PROPERTYPUT, nameOffset == -1)
        << m.name << " kind " << m.kind << " name offset " << nameOffset;
    EXPECT_EQ(m.paramFlags, stored.Read32(function + size - 12 + 8)) << m.name;
    function += size;
  }
}

std::string UserTypeName(ITypeInfo* owner, HREFTYPE ref) {
  ComPtr<ITypeInfo> referenced;
  if (FAILED(owner->GetRefTypeInfo(ref, referenced.put()))) return "(unresolved)";
  UniqueBstr name;
  referenced->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr);
  return Str(name.get());
}

// The parameter type as text, e.g. "PTR(USERDEFINED tagEVENTLOGTYPE)".
std::string Describe(ITypeInfo* owner, const TYPEDESC& type) {
  switch (type.vt) {
    case VT_PTR:
      return "PTR(" + Describe(owner, *type.lptdesc) + ")";
    case VT_USERDEFINED:
      return "USERDEFINED " + UserTypeName(owner, type.hreftype);
    case VT_BSTR:
      return "BSTR";
    case VT_I4:
      return "I4";
    case VT_INT:
      return "INT";
    case VT_HRESULT:
      return "HRESULT";
    default:
      return "VT " + std::to_string(type.vt);
  }
}

std::string Expected(const Member& member) {
  const std::string enumType = std::string("USERDEFINED ") + (member.enumName ? member.enumName : "");
  switch (member.type) {
    case Param::Bstr:
      return "BSTR";
    case Param::BstrOut:
      return "PTR(BSTR)";
    case Param::I4:
      return "I4";
    case Param::I4Out:
      return "PTR(I4)";
    case Param::Enum:
      return enumType;
    case Param::EnumOut:
      return "PTR(" + enumType + ")";
  }
  return "?";
}

TEST_F(TypeLibrary, MembersInTableOrderWithTheirDispatchIdentifiersAndParameters) {
  ComPtr<ITypeInfo> table = VtableSide();
  ComPtr<ITypeInfo> dispatch = Info(1);
  for (UINT i = 0; i < std::size(kMembers); ++i) {
    const Member& m = kMembers[i];
    SCOPED_TRACE(std::string(m.name) + " #" + std::to_string(i));
    Function f(table.get(), i);
    ASSERT_TRUE(f.ok());
    EXPECT_EQ(m.id, f->memid);
    EXPECT_EQ(m.kind, f->invkind);
    EXPECT_EQ(FUNC_PUREVIRTUAL, f->funckind);
    EXPECT_EQ(CC_STDCALL, f->callconv);
    EXPECT_EQ(static_cast<SHORT>((7 + i) * kPointerSize), f->oVft);
    EXPECT_EQ(1, f->cParams);
    EXPECT_EQ(0, f->cParamsOpt);
    EXPECT_EQ(0, f->wFuncFlags);
    EXPECT_EQ("HRESULT", Describe(table.get(), f->elemdescFunc.tdesc));
    EXPECT_EQ(Expected(m), Describe(table.get(), f->lprgelemdescParam[0].tdesc));
    EXPECT_EQ(m.paramFlags, f->lprgelemdescParam[0].paramdesc.wParamFlags);

    BSTR names[3] = {};
    UINT count = 0;
    ASSERT_EQ(S_OK, table->GetNames(f->memid, names, 3, &count));
    // GetNames finds the first function with the identifier; a put shares it with its get.
    if (m.kind != INVOKE_PROPERTYPUT) {
      EXPECT_EQ(m.paramName ? 2u : 1u, count);
      EXPECT_EQ(m.name, Str(names[0]));
      if (m.paramName && count > 1) {
        EXPECT_EQ(m.paramName, Str(names[1]));
      }
    }
    for (BSTR& name : names) SysFreeString(name);

    UniqueBstr name, help;
    DWORD context = 1;
    ASSERT_EQ(S_OK, table->GetDocumentation(f->memid, name.put(), help.put(), &context, nullptr));
    EXPECT_EQ(m.name, Str(name.get()));
    EXPECT_EQ(m.help, Str(help.get()));
    EXPECT_EQ(0u, context);

    // The dispatch view lists the same member after the seven inherited ones.
    Function d(dispatch.get(), 7 + i);
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(m.id, d->memid);
    EXPECT_EQ(m.kind, d->invkind);
  }
}

TEST_F(TypeLibrary, NoMemberHasDispatchIdentifierSeven) {
  ComPtr<ITypeInfo> table = VtableSide();
  UINT index = 0;
  ComPtr<ITypeInfo2> info2;
  ASSERT_EQ(S_OK, table->QueryInterface(IID_ITypeInfo2, reinterpret_cast<void**>(info2.put())));
  for (INVOKEKIND kind : {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF}) {
    EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, info2->GetFuncIndexOfMemId(7, kind, &index)) << kind;
  }
}

// ---- Enumerations -----------------------------------------------------------------------

struct Enumeration {
  UINT index;
  const char* name;
  std::vector<std::pair<const char*, int>> constants;
};

const Enumeration kEnumerations[] = {
    {2,
     "tagSYSLOGPRIORITY",
     {{"pkLOG_EMERG", 0},
      {"pkLOG_ALERT", 1},
      {"pkLOG_CRIT", 2},
      {"pkLOG_ERR", 3},
      {"pkLOG_WARNING", 4},
      {"pkLOG_NOTICE", 5},
      {"pkLOG_INFO", 6},
      {"pkLOG_DEBUG", 7}}},
    {3,
     "tagSYSLOGFACILITY",
     {{"pkLOG_KERN", 0},
      {"pkLOG_USER", 1},
      {"pkLOG_MAIL", 2},
      {"pkLOG_DAEMON", 3},
      {"pkLOG_AUTH", 4},
      {"pkLOG_SYSLOG", 5},
      {"pkLOG_LPR", 6},
      {"pkLOG_NEWS", 7},
      {"pkLOG_UUCP", 8},
      {"pkLOG_CRON", 9},
      {"pkLOG_SYSTEMRESERVED10", 10},
      {"pkLOG_SYSTEMRESERVED11", 11},
      {"pkLOG_SYSTEMRESERVED12", 12},
      {"pkLOG_SYSTEMRESERVED13", 13},
      {"pkLOG_SYSTEMRESERVED14", 14},
      {"pkLOG_SYSTEMRESERVED15", 15},
      {"pkLOG_LOCAL0", 16},
      {"pkLOG_LOCAL1", 17},
      {"pkLOG_LOCAL2", 18},
      {"pkLOG_LOCAL3", 19},
      {"pkLOG_LOCAL4", 20},
      {"pkLOG_LOCAL5", 21},
      {"pkLOG_LOCAL6", 22},
      {"pkLOG_LOCAL7", 23}}},
    {4,
     "tagEVENTLOGTYPE",
     {{"pkEVENTLOG_SUCCESS", 0},
      {"pkEVENTLOG_ERROR_TYPE", 1},
      {"pkEVENTLOG_WARNING_TYPE", 2},
      {"pkEVENTLOG_INFORMATION_TYPE", 4}}},
};

TEST_F(TypeLibrary, EnumerationsWithTheirConstants) {
  for (const Enumeration& e : kEnumerations) {
    SCOPED_TRACE(e.name);
    ComPtr<ITypeInfo> info = Info(e.index);
    Attributes attr(info.get());
    ASSERT_TRUE(attr.ok());
    EXPECT_EQ(TKIND_ENUM, attr->typekind);
    EXPECT_TRUE(IsEqualGUID(GUID_NULL, attr->guid));
    EXPECT_EQ(4u, attr->cbSizeInstance);
    EXPECT_EQ(0, attr->wMajorVerNum);
    EXPECT_EQ(0, attr->wMinorVerNum);
    ASSERT_EQ(e.constants.size(), attr->cVars);
    for (UINT v = 0; v < e.constants.size(); ++v) {
      VARDESC* var = nullptr;
      ASSERT_EQ(S_OK, info->GetVarDesc(v, &var));
      EXPECT_EQ(VAR_CONST, var->varkind);
      EXPECT_EQ(VT_INT, var->elemdescVar.tdesc.vt) << e.constants[v].first;
      VARIANT value;
      VariantInit(&value);
      ASSERT_EQ(S_OK, VariantChangeType(&value, var->lpvarValue, 0, VT_I4)) << e.constants[v].first;
      EXPECT_EQ(e.constants[v].second, V_I4(&value)) << e.constants[v].first;
      UniqueBstr name, help;
      ASSERT_EQ(S_OK, info->GetDocumentation(var->memid, name.put(), help.put(), nullptr, nullptr));
      EXPECT_EQ(e.constants[v].first, Str(name.get()));
      EXPECT_EQ(nullptr, help.get()) << e.constants[v].first;
      info->ReleaseVarDesc(var);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (!pendrake::comtest::TakeDllPathArgument(argc, argv)) return 2;
  return RUN_ALL_TESTS();
}
