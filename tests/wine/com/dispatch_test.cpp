// Pendrake.dll as its callers meet it, after registration: names and dispatch identifiers,
// argument conversion by the type information, texts through the table of functions, object
// identity and aggregation, the class object and the module lock count, objects in several
// apartments, and one message from a late-bound call to a receiver on the loopback address.
#include <gtest/gtest.h>

#include <windows.h>
#include <objsafe.h>
#include <oleauto.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Pendrake_h.h"
#include "pendrake/owners.h"
#include "com_test_support.h"
#include "loopback_receiver.h"

namespace {

using pendrake::owners::ComPtr;
using pendrake::owners::UniqueBstr;
using pendrake::comtest::HexHresult;
using pendrake::winetest::LoopbackReceiver;
using pendrake::comtest::Narrow;

// Set by --without-type-library: the class is registered, its type library is not.
bool g_withoutTypeLibrary = false;

// ---- Helpers ----------------------------------------------------------------------------

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  explicit Variant(LONG number) : Variant() {
    V_VT(&v_) = VT_I4;
    V_I4(&v_) = number;
  }
  explicit Variant(const wchar_t* text) : Variant() {
    V_VT(&v_) = VT_BSTR;
    V_BSTR(&v_) = SysAllocString(text);
  }
  ~Variant() { VariantClear(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT* get() { return &v_; }
  // The value as text, for comparisons across types.
  std::string Text() const {
    VARIANT copy;
    VariantInit(&copy);
    if (FAILED(VariantChangeType(&copy, const_cast<VARIANT*>(&v_), 0, VT_BSTR))) return "(no text)";
    std::string text = Narrow(V_BSTR(&copy));
    VariantClear(&copy);
    return text;
  }
  VARTYPE Type() const { return V_VT(&v_); }

 private:
  VARIANT v_;
};

HMODULE Module() {
  static HMODULE module = GetModuleHandleW(pendrake::comtest::DllPath().c_str());
  return module;
}

template <typename Function>
Function Export(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(Module(), name)));
}

HRESULT CanUnloadNow() { return Export<HRESULT(WINAPI*)()>("DllCanUnloadNow")(); }

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return Export<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>("DllGetClassObject")(clsid, iid, out);
}

ComPtr<IDispatch> NewByProgId() {
  CLSID clsid{};
  EXPECT_EQ(S_OK, CLSIDFromProgID(L"Orvelle.Pendrake", &clsid));
  EXPECT_TRUE(IsEqualCLSID(CLSID_Pendrake, clsid));
  ComPtr<IDispatch> object;
  const HRESULT hr =
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(object.put()));
  EXPECT_EQ(S_OK, hr) << HexHresult(hr);
  return object;
}

ComPtr<IPendrake> NewEarlyBound() {
  ComPtr<IPendrake> object;
  const HRESULT hr =
      CoCreateInstance(CLSID_Pendrake, nullptr, CLSCTX_INPROC_SERVER, IID_IPendrake, reinterpret_cast<void**>(object.put()));
  EXPECT_EQ(S_OK, hr) << HexHresult(hr);
  return object;
}

HRESULT IdOf(IDispatch* object, const wchar_t* name, DISPID* id, LCID lcid = 0) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  return object->GetIDsOfNames(IID_NULL, names, 1, lcid, id);
}

HRESULT Put(IDispatch* object, DISPID id, Variant& value) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{value.get(), &named, 1, 1};
  return object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
}

HRESULT Get(IDispatch* object, DISPID id, Variant& result) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  return object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, result.get(), nullptr, nullptr);
}

HRESULT Call(IDispatch* object, DISPID id, Variant& argument) {
  DISPPARAMS params{argument.get(), nullptr, 1, 0};
  return object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

// ---- Names and identifiers --------------------------------------------------------------

TEST(DispatchNames, ResolveWithoutRegardToCaseForEveryLocale) {
  struct Case {
    const wchar_t* name;
    HRESULT hr;
    DISPID id;
  };
  const Case cases[] = {
      {L"SyslogServer", S_OK, 1},       {L"LogToSyslog", S_OK, 2},     {L"SyslogPriority", S_OK, 3},
      {L"SyslogFacility", S_OK, 4},     {L"SyslogPort", S_OK, 5},      {L"syslogport", S_OK, 5},
      {L"EventLogSource", S_OK, 6},     {L"EventLogComputer", S_OK, 8}, {L"MessageToLog", S_OK, 9},
      {L"EventLogID", S_OK, 10},        {L"EventLogType", S_OK, 11},   {L"LOGTOEVENTLOG", S_OK, 12},
      {L"NoSuchMember", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
      {L"SyslogPor", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
      {L"pkLOG_LOCAL0", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
  };
  ComPtr<IDispatch> object = NewByProgId();
  ASSERT_TRUE(object);
  // Script engines pass locale 0; the library is registered under 0x409 only.
  for (LCID lcid : {LCID{0}, LCID{0x409}, LCID{0x407}, LCID{0x408}}) {
    for (const Case& c : cases) {
      DISPID id = 12345;
      EXPECT_EQ(c.hr, IdOf(object.get(), c.name, &id, lcid)) << Narrow(c.name) << " lcid " << lcid;
      EXPECT_EQ(c.id, id) << Narrow(c.name) << " lcid " << lcid;
    }
  }
}

TEST(DispatchNames, TypeInformationIsThatOfIPendrake) {
  ComPtr<IDispatch> object = NewByProgId();
  ASSERT_TRUE(object);
  UINT count = 0;
  EXPECT_EQ(S_OK, object->GetTypeInfoCount(&count));
  EXPECT_EQ(1u, count);
  ComPtr<ITypeInfo> info;
  EXPECT_EQ(DISP_E_BADINDEX, object->GetTypeInfo(1, 0, info.put()));
  ASSERT_EQ(S_OK, object->GetTypeInfo(0, 0, info.put()));
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
  EXPECT_TRUE(IsEqualGUID(IID_IPendrake, attr->guid));
  info->ReleaseTypeAttr(attr);
}

TEST(DispatchInvoke, MembersThatDoNotExist) {
  struct Case {
    DISPID id;
    WORD flags;
  };
  const Case cases[] = {{7, DISPATCH_PROPERTYGET}, {7, DISPATCH_METHOD}, {7, DISPATCH_PROPERTYPUT},
                        {0, DISPATCH_PROPERTYGET}, {13, DISPATCH_METHOD}, {-1, DISPATCH_PROPERTYGET}};
  ComPtr<IDispatch> object = NewByProgId();
  ASSERT_TRUE(object);
  for (const Case& c : cases) {
    Variant argument(1);
    Variant result;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{argument.get(), c.flags == DISPATCH_PROPERTYPUT ? &named : nullptr,
                      c.flags == DISPATCH_PROPERTYGET ? 0u : 1u, c.flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
    const HRESULT hr = object->Invoke(c.id, IID_NULL, 0, c.flags, &params, result.get(), nullptr, nullptr);
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, hr) << "id " << c.id << " flags " << c.flags << " got " << HexHresult(hr);
  }
  Variant result;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
            object->Invoke(5, IID_IDispatch, 0, DISPATCH_PROPERTYGET, &none, result.get(), nullptr, nullptr));
}

// ---- Conversion by the type information -------------------------------------------------

struct PutCase {
  const char* what;
  const wchar_t* name;
  const wchar_t* before;  // put first as text, when given
  bool textArgument;
  const wchar_t* text;
  LONG number;
  HRESULT hr;
  const char* after;  // the property read back, as text
};

void PrintTo(const PutCase& c, std::ostream* os) { *os << c.what; }

class LateBoundPut : public ::testing::TestWithParam<PutCase> {};

TEST_P(LateBoundPut, ConvertsTheArgumentOrRefusesIt) {
  const PutCase& c = GetParam();
  ComPtr<IDispatch> object = NewByProgId();
  ASSERT_TRUE(object);
  DISPID id = 0;
  ASSERT_EQ(S_OK, IdOf(object.get(), c.name, &id));
  if (c.before) {
    Variant before(c.before);
    ASSERT_EQ(S_OK, Put(object.get(), id, before));
  }
  Variant argument = c.textArgument ? Variant(c.text) : Variant(c.number);
  EXPECT_EQ(c.hr, Put(object.get(), id, argument));
  Variant result;
  ASSERT_EQ(S_OK, Get(object.get(), id, result));
  EXPECT_EQ(c.after, result.Text());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LateBoundPut,
    ::testing::Values(
        PutCase{"port as text", L"SyslogPort", nullptr, true, L"514", 0, S_OK, "514"},
        PutCase{"port text that is no number", L"SyslogPort", L"1468", true, L"abc", 0, DISP_E_TYPEMISMATCH, "1468"},
        PutCase{"port beyond 16 bits is kept", L"SyslogPort", nullptr, false, nullptr, 70000, S_OK, "70000"},
        PutCase{"priority in range", L"SyslogPriority", nullptr, false, nullptr, 7, S_OK, "7"},
        PutCase{"priority as text", L"SyslogPriority", nullptr, true, L"3", 0, S_OK, "3"},
        PutCase{"priority out of range is dropped", L"SyslogPriority", L"2", false, nullptr, 8, S_OK, "2"},
        PutCase{"negative priority is dropped", L"SyslogPriority", L"2", false, nullptr, -1, S_OK, "2"},
        PutCase{"facility 23", L"SyslogFacility", nullptr, false, nullptr, 23, S_OK, "23"},
        PutCase{"facility 24 is dropped", L"SyslogFacility", L"1", false, nullptr, 24, S_OK, "1"},
        PutCase{"information event type is 4", L"EventLogType", nullptr, false, nullptr, 4, S_OK, "4"},
        PutCase{"event type 3 is kept", L"EventLogType", nullptr, false, nullptr, 3, S_OK, "3"},
        PutCase{"event id -1", L"EventLogID", nullptr, true, L"-1", 0, S_OK, "-1"},
        PutCase{"event id text that is no number", L"EventLogID", L"9", true, L"nine", 0, DISP_E_TYPEMISMATCH, "9"},
        PutCase{"server as text", L"SyslogServer", nullptr, true, L"10.0.0.5", 0, S_OK, "10.0.0.5"},
        PutCase{"number for a text property", L"EventLogComputer", nullptr, false, nullptr, 127, S_OK, "127"}));

TEST(LateBoundGet, EnumerationPropertiesComeBackAsIntegers) {
  ComPtr<IDispatch> object = NewByProgId();
  ASSERT_TRUE(object);
  Variant result;
  ASSERT_EQ(S_OK, Get(object.get(), 11, result));
  EXPECT_EQ(VT_I4, result.Type());
}

// ---- The table of functions -------------------------------------------------------------

TEST(EarlyBound, TextsKeepTheDifferenceBetweenNullAndEmpty) {
  struct Case {
    const char* what;
    const wchar_t* data;  // nullptr: a null BSTR
    UINT length;
    const wchar_t* expected;  // nullptr: a null BSTR comes back
    UINT expectedLength;
  };
  const Case cases[] = {
      {"null stays null", nullptr, 0, nullptr, 0},
      {"empty stays empty", L"", 0, L"", 0},
      {"text", L"abc", 3, L"abc", 3},
      {"cut at the first NUL", L"ab\0cd", 5, L"ab", 2},
      {"non-ASCII kept", L"\u0394\u03b5", 2, L"\u0394\u03b5", 2},
  };
  ComPtr<IPendrake> object = NewEarlyBound();
  ASSERT_TRUE(object);
  UniqueBstr initial;
  ASSERT_EQ(S_OK, object->get_MessageToLog(initial.put()));
  EXPECT_EQ(nullptr, initial.get()) << "a new object has no MessageToLog";
  for (const Case& c : cases) {
    UniqueBstr argument(c.data ? SysAllocStringLen(c.data, c.length) : nullptr);
    EXPECT_EQ(S_OK, object->put_MessageToLog(argument.get())) << c.what;
    UniqueBstr result;
    EXPECT_EQ(S_OK, object->get_MessageToLog(result.put())) << c.what;
    if (!c.expected) {
      EXPECT_EQ(nullptr, result.get()) << c.what;
      continue;
    }
    ASSERT_NE(nullptr, result.get()) << c.what;
    EXPECT_EQ(c.expectedLength, SysStringLen(result.get())) << c.what;
    EXPECT_EQ(0, std::wmemcmp(c.expected, result.get(), c.expectedLength)) << c.what;
  }
}

TEST(EarlyBound, EnumerationValuesOutsideTheConstantsArePassedThrough) {
  ComPtr<IPendrake> object = NewEarlyBound();
  ASSERT_TRUE(object);
  struct Case {
    LONG put;
    LONG expected;
  };
  for (const Case& c : {Case{3, 3}, Case{65540, 65540}, Case{-1, -1}, Case{pkEVENTLOG_INFORMATION_TYPE, 4}}) {
    EXPECT_EQ(S_OK, object->put_EventLogType(static_cast<enum tagEVENTLOGTYPE>(c.put)));
    enum tagEVENTLOGTYPE value{};
    EXPECT_EQ(S_OK, object->get_EventLogType(&value));
    EXPECT_EQ(c.expected, static_cast<LONG>(value)) << c.put;
  }
  enum tagSYSLOGPRIORITY priority{};
  EXPECT_EQ(S_OK, object->put_SyslogPriority(static_cast<enum tagSYSLOGPRIORITY>(8)));
  EXPECT_EQ(S_OK, object->get_SyslogPriority(&priority));
  EXPECT_EQ(pkLOG_NOTICE, priority);
  EXPECT_EQ(E_POINTER, object->get_SyslogPort(nullptr));
  EXPECT_EQ(E_POINTER, object->get_SyslogServer(nullptr));
}

// ---- Identity and aggregation -----------------------------------------------------------

TEST(Identity, ThreeInterfacesOnePointerAndNothingElse) {
  ComPtr<IPendrake> object = NewEarlyBound();
  ASSERT_TRUE(object);
  for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &IID_IPendrake}) {
    void* out = nullptr;
    ASSERT_EQ(S_OK, object->QueryInterface(*iid, &out));
    EXPECT_EQ(static_cast<void*>(object.get()), out);
    static_cast<IUnknown*>(out)->Release();
  }
  for (const IID* iid : {&IID_IClassFactory, &IID_IProvideClassInfo, &IID_ISupportErrorInfo, &IID_IObjectSafety,
                         &IID_IPersist, &IID_ITypeInfo}) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, object->QueryInterface(*iid, &out));
    EXPECT_EQ(nullptr, out);
  }
  EXPECT_EQ(E_POINTER, object->QueryInterface(IID_IUnknown, nullptr));
}

// A minimal controlling object that counts the references the inner object hands to it.
class Outer final : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) {
      *out = this;
      AddRef();
      return S_OK;
    }
    if (inner && IsEqualIID(iid, IID_IPendrake)) return inner->QueryInterface(iid, out);
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }

  ULONG refs = 1;
  IUnknown* inner = nullptr;
};

TEST(Aggregation, AnOuterObjectGetsTheInnerUnknownAndDelegation) {
  Outer outer;
  IUnknown* inner = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_Pendrake, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                reinterpret_cast<void**>(&inner));
  ASSERT_EQ(S_OK, hr) << HexHresult(hr);
  ASSERT_NE(nullptr, inner);
  outer.inner = inner;
  EXPECT_EQ(1u, outer.refs) << "creating the inner object must not keep the outer one alive";

  IPendrake* pendrake = nullptr;
  ASSERT_EQ(S_OK, inner->QueryInterface(IID_IPendrake, reinterpret_cast<void**>(&pendrake)));
  EXPECT_EQ(2u, outer.refs) << "references on the inner interfaces belong to the outer object";
  IUnknown* identity = nullptr;
  ASSERT_EQ(S_OK, pendrake->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
  EXPECT_EQ(static_cast<IUnknown*>(&outer), identity) << "IUnknown through an inner interface is the outer one";
  identity->Release();
  LONG port = -1;
  EXPECT_EQ(S_OK, pendrake->get_SyslogPort(&port));
  pendrake->Release();
  EXPECT_EQ(1u, outer.refs);

  EXPECT_EQ(S_FALSE, CanUnloadNow());
  EXPECT_EQ(0u, inner->Release());
  EXPECT_EQ(S_OK, CanUnloadNow());
}

TEST(Aggregation, AnyOtherInterfaceIsRefused) {
  Outer outer;
  for (const IID* iid : {&IID_IPendrake, &IID_IDispatch}) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, CoCreateInstance(CLSID_Pendrake, &outer, CLSCTX_INPROC_SERVER, *iid, &out));
    EXPECT_EQ(nullptr, out);
  }
  EXPECT_EQ(1u, outer.refs);
  EXPECT_EQ(S_OK, CanUnloadNow());
}

// ---- Class object and lock count --------------------------------------------------------

TEST(ClassObject, EntryPointArguments) {
  struct Case {
    const char* what;
    const CLSID* clsid;
    const IID* iid;
    bool nullOut;
    HRESULT hr;
  };
  const Case cases[] = {
      {"null out pointer", &CLSID_Pendrake, &IID_IClassFactory, true, E_POINTER},
      {"foreign class", &IID_IPendrake, &IID_IClassFactory, false, CLASS_E_CLASSNOTAVAILABLE},
      {"null class", &GUID_NULL, &IID_IUnknown, false, CLASS_E_CLASSNOTAVAILABLE},
      {"interface the class object lacks", &CLSID_Pendrake, &IID_IDispatch, false, E_NOINTERFACE},
      {"class factory", &CLSID_Pendrake, &IID_IClassFactory, false, S_OK},
      {"unknown", &CLSID_Pendrake, &IID_IUnknown, false, S_OK},
  };
  for (const Case& c : cases) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(c.hr, GetClassObject(*c.clsid, *c.iid, c.nullOut ? nullptr : &out)) << c.what;
    if (c.nullOut) continue;
    if (c.hr == S_OK) {
      EXPECT_NE(nullptr, out) << c.what;
      static_cast<IUnknown*>(out)->Release();
    } else {
      EXPECT_EQ(nullptr, out) << c.what;
    }
  }
}

TEST(ClassObject, IsMadeOnceAndCreatesObjects) {
  ComPtr<IClassFactory> first, second;
  ASSERT_EQ(S_OK, GetClassObject(CLSID_Pendrake, IID_IClassFactory, reinterpret_cast<void**>(first.put())));
  ASSERT_EQ(S_OK, GetClassObject(CLSID_Pendrake, IID_IClassFactory, reinterpret_cast<void**>(second.put())));
  EXPECT_EQ(first.get(), second.get());

  EXPECT_EQ(E_POINTER, first->CreateInstance(nullptr, IID_IPendrake, nullptr));
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_NOINTERFACE, first->CreateInstance(nullptr, IID_IClassFactory, &out));
  EXPECT_EQ(nullptr, out);
  first.reset();
  second.reset();
  EXPECT_EQ(S_OK, CanUnloadNow()) << "the object whose query failed must be gone";
}

ComPtr<IClassFactory> ClassFactory() {
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(S_OK, GetClassObject(CLSID_Pendrake, IID_IClassFactory, reinterpret_cast<void**>(factory.put())));
  return factory;
}

TEST(LockCount, AnswersWhetherTheLibraryMayBeUnloaded) {
  ComPtr<IClassFactory> factory = ClassFactory();
  ASSERT_TRUE(factory);
  // A caller may hold the class object without a lock and create objects later: unloading
  // under it would leave it calling into code that is gone.
  EXPECT_EQ(S_FALSE, CanUnloadNow()) << "a class object a caller holds";
  factory.reset();
  EXPECT_EQ(S_OK, CanUnloadNow()) << "class object released";

  ComPtr<IPendrake> object;
  factory = ClassFactory();
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IPendrake, reinterpret_cast<void**>(object.put())));
  factory.reset();
  EXPECT_EQ(S_FALSE, CanUnloadNow()) << "one object alive";
  object.reset();
  EXPECT_EQ(S_OK, CanUnloadNow()) << "object released";

  // Each lock taken through a class object that is released right after, as callers do.
  auto lock = [](BOOL on) { return ClassFactory()->LockServer(on); };
  EXPECT_EQ(S_OK, lock(TRUE));
  EXPECT_EQ(S_FALSE, CanUnloadNow()) << "one server lock";
  EXPECT_EQ(S_OK, lock(TRUE));
  EXPECT_EQ(S_OK, lock(FALSE));
  EXPECT_EQ(S_FALSE, CanUnloadNow()) << "one of two locks left";
  EXPECT_EQ(S_OK, lock(FALSE));
  EXPECT_EQ(S_OK, CanUnloadNow()) << "locks released";

  // An unmatched unlock must not hide a living object.
  EXPECT_EQ(S_OK, lock(FALSE));
  factory = ClassFactory();
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IPendrake, reinterpret_cast<void**>(object.put())));
  factory.reset();
  EXPECT_EQ(S_FALSE, CanUnloadNow()) << "object alive after an unmatched unlock";
  object.reset();
  EXPECT_EQ(S_OK, CanUnloadNow());
}

// ---- Event sources ----------------------------------------------------------------------

TEST(EventSources, NameThisLibraryAsMessageFileWithTheTerminatorCounted) {
  const wchar_t* const keys[] = {
      L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Orvelle Pendrake",
      L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\System\\Orvelle Pendrake SYSTEM-Log"};
  const std::wstring& path = pendrake::comtest::DllPath();
  for (const wchar_t* key : keys) {
    wchar_t data[1024] = {};
    DWORD type = 0;
    DWORD size = sizeof data;
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_LOCAL_MACHINE, key, L"EventMessageFile", RRF_RT_ANY | RRF_NOEXPAND,
                                          &type, data, &size))
        << Narrow(key);
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type) << Narrow(key);
    EXPECT_EQ((path.size() + 1) * sizeof(wchar_t), size) << Narrow(key);
    EXPECT_EQ(path, std::wstring(data)) << Narrow(key);
    DWORD types = 0;
    size = sizeof types;
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_LOCAL_MACHINE, key, L"TypesSupported", RRF_RT_REG_DWORD, &type,
                                          &types, &size))
        << Narrow(key);
    EXPECT_EQ(7u, types) << Narrow(key);
  }
}

// ---- Apartments -------------------------------------------------------------------------

TEST(Apartments, ObjectsOfSeveralThreadsLeaveTheLockCountAtZero) {
  LoopbackReceiver receiver;
  ASSERT_TRUE(receiver.ok());
  constexpr int kThreads = 4;
  constexpr int kObjectsPerThread = 3;
  std::vector<HRESULT> results(kThreads, E_FAIL);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
      if (FAILED(hr)) {
        results[t] = hr;
        return;
      }
      for (int i = 0; i < kObjectsPerThread && SUCCEEDED(hr); ++i) {
        IPendrake* object = nullptr;
        hr = CoCreateInstance(CLSID_Pendrake, nullptr, CLSCTX_INPROC_SERVER, IID_IPendrake,
                              reinterpret_cast<void**>(&object));
        if (FAILED(hr)) break;
        UniqueBstr server(SysAllocString(L"127.0.0.1"));
        const std::wstring text = L"thread " + std::to_wstring(t);
        UniqueBstr message(SysAllocString(text.c_str()));
        object->put_SyslogServer(server.get());
        object->put_SyslogPort(receiver.port());
        hr = object->LogToSyslog(message.get());
        object->Release();
      }
      results[t] = hr;
      CoUninitialize();
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(S_OK, results[t]) << "thread " << t;
  EXPECT_EQ(S_OK, CanUnloadNow());

  int received = 0;
  while (auto datagram = receiver.ReceiveDatagram(1000)) {
    EXPECT_EQ(0u, datagram->bytes.rfind("<133>thread ", 0)) << datagram->bytes;
    ++received;
  }
  EXPECT_EQ(kThreads * kObjectsPerThread, received);
}

// ---- One message, end to end ------------------------------------------------------------

TEST(RoadOfAMessage, LateBoundLogToSyslogReachesALoopbackReceiver) {
  LoopbackReceiver receiver;
  ASSERT_TRUE(receiver.ok());
  ComPtr<IDispatch> object = NewByProgId();
  ASSERT_TRUE(object);
  DISPID server = 0, port = 0, log = 0;
  ASSERT_EQ(S_OK, IdOf(object.get(), L"SyslogServer", &server));
  ASSERT_EQ(S_OK, IdOf(object.get(), L"SyslogPort", &port));
  ASSERT_EQ(S_OK, IdOf(object.get(), L"LogToSyslog", &log));
  EXPECT_EQ(1, server);

  Variant address(L"127.0.0.1");
  ASSERT_EQ(S_OK, Put(object.get(), server, address));
  // Scripts pass every value as text.
  Variant portText(std::to_wstring(receiver.port()).c_str());
  ASSERT_EQ(S_OK, Put(object.get(), port, portText));
  Variant message(L"abc");
  ASSERT_EQ(S_OK, Call(object.get(), log, message));

  const auto datagram = receiver.ReceiveDatagram();
  ASSERT_TRUE(datagram) << "nothing arrived on 127.0.0.1:" << receiver.port();
  EXPECT_EQ("<133>abc", datagram->bytes);
  EXPECT_EQ("127.0.0.1", datagram->fromAddress);
  EXPECT_NE(receiver.port(), datagram->fromPort);
  EXPECT_GE(datagram->fromPort, 1024) << "sent from an ephemeral port";
}

// ---- Late binding needs the registered type library -------------------------------------

TEST(WithoutTypeLibrary, LateBoundCallsFailWithTheLoaderErrorAndEarlyBoundCallsWork) {
  if (!g_withoutTypeLibrary) GTEST_SKIP() << "runs in its own process with --without-type-library";
  ComPtr<ITypeLib> library;
  const HRESULT loaderError = LoadRegTypeLib(LIBID_PENDRAKELib, 1, 0, 0x409, library.put());
  ASSERT_TRUE(FAILED(loaderError)) << "the type library is still registered";

  ComPtr<IDispatch> object = NewByProgId();
  ASSERT_TRUE(object);
  DISPID id = 0;
  EXPECT_EQ(loaderError, IdOf(object.get(), L"SyslogPort", &id));
  Variant result;
  EXPECT_EQ(loaderError, Get(object.get(), 5, result));
  ComPtr<ITypeInfo> info;
  EXPECT_EQ(loaderError, object->GetTypeInfo(0, 0, info.put()));
  EXPECT_FALSE(info);

  ComPtr<IPendrake> early;
  ASSERT_EQ(S_OK, object->QueryInterface(IID_IPendrake, reinterpret_cast<void**>(early.put())));
  EXPECT_EQ(S_OK, early->put_SyslogPort(514));
  LONG port = 0;
  EXPECT_EQ(S_OK, early->get_SyslogPort(&port));
  EXPECT_EQ(514, port);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (!pendrake::comtest::TakeDllPathArgument(argc, argv)) return 2;
  g_withoutTypeLibrary = argc > 2 && std::string(argv[2]) == "--without-type-library";
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
  int status;
  {
    pendrake::comtest::RegistrationScope registration;
    if (registration.result() != S_OK) {
      std::fprintf(stderr, "DllRegisterServer of %s failed: %s\n", argv[1], HexHresult(registration.result()).c_str());
      return 4;
    }
#ifdef _WIN64
    constexpr SYSKIND kSysKind = SYS_WIN64;
#else
    constexpr SYSKIND kSysKind = SYS_WIN32;
#endif
    if (g_withoutTypeLibrary && FAILED(UnRegisterTypeLib(LIBID_PENDRAKELib, 1, 0, 0x409, kSysKind))) return 5;
    status = RUN_ALL_TESTS();
  }
  CoUninitialize();
  return status;
}
