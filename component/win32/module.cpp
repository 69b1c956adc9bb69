// The module of Pendrake.dll: its entry point, its shared state and the four exports.
#include "module.h"

#include <atomic>

#include "Pendrake_h.h"
#include "class_factory.h"
#include "pendrake/owners.h"
#include "registration.h"

namespace pendrake::com {

using owners::ComPtr;
namespace {

HMODULE g_module = nullptr;
CRITICAL_SECTION g_section;
std::atomic<long> g_objects{0};
std::atomic<long> g_serverLocks{0};
// Published once under g_section; read without it afterwards.
std::atomic<ClassFactory*> g_classObject{nullptr};
std::atomic<ITypeInfo*> g_typeInfo{nullptr};

constexpr LCID kLibraryLcid = 0x409;

HRESULT LoadTypeInfo(LCID lcid, ITypeInfo** info) {
  ComPtr<ITypeLib> library;
  HRESULT hr = LoadRegTypeLib(LIBID_PENDRAKELib, 1, 0, lcid, library.put());
  if (FAILED(hr) && lcid != kLibraryLcid) hr = LoadRegTypeLib(LIBID_PENDRAKELib, 1, 0, kLibraryLcid, library.put());
  if (FAILED(hr)) return hr;
  ComPtr<ITypeInfo> found;
  hr = library->GetTypeInfoOfGuid(IID_IPendrake, found.put());
  if (FAILED(hr)) return hr;
  // A dual interface is found as its dispatch side; calls must go through the table of
  // functions, which the dispatch side names as its implemented type -1.
  TYPEATTR* attributes = nullptr;
  hr = found->GetTypeAttr(&attributes);
  if (FAILED(hr)) return hr;
  const bool dispatchSide = attributes->typekind == TKIND_DISPATCH;
  found->ReleaseTypeAttr(attributes);
  if (dispatchSide) {
    HREFTYPE vtableSide = 0;
    if (SUCCEEDED(found->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableSide))) {
      ComPtr<ITypeInfo> table;
      if (SUCCEEDED(found->GetRefTypeInfo(vtableSide, table.put()))) found = std::move(table);
    }
  }
  *info = found.release();
  return S_OK;
}

void OnProcessAttach(HMODULE module) {
  g_module = module;
  InitializeCriticalSection(&g_section);
  DisableThreadLibraryCalls(module);
}

void OnProcessDetach(bool processEnding) {
  if (ClassFactory* factory = g_classObject.exchange(nullptr)) factory->Release();
  // At process end other DLLs (oleaut32 among them) may already be gone: the type
  // information is only handed back on an orderly unload.
  ITypeInfo* info = g_typeInfo.exchange(nullptr);
  if (info && !processEnding) info->Release();
  DeleteCriticalSection(&g_section);
}

}  // namespace

HMODULE ModuleHandle() { return g_module; }

void AddObject() { g_objects.fetch_add(1, std::memory_order_relaxed); }
void RemoveObject() { g_objects.fetch_sub(1, std::memory_order_acq_rel); }

void LockServer(bool lock) {
  if (lock) {
    g_serverLocks.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  long current = g_serverLocks.load(std::memory_order_relaxed);
  while (current > 0 && !g_serverLocks.compare_exchange_weak(current, current - 1, std::memory_order_acq_rel)) {
  }
}

long LockCount() {
  // A caller that holds the class object without a server lock may still call CreateInstance
  // on it: unloading under it would leave it calling into unmapped code.
  const ClassFactory* factory = g_classObject.load(std::memory_order_acquire);
  const long handedOut = factory ? static_cast<long>(factory->HandedOut()) : 0;
  return g_objects.load(std::memory_order_acquire) + g_serverLocks.load(std::memory_order_acquire) + handedOut;
}

ModuleLockGuard::ModuleLockGuard() { EnterCriticalSection(&g_section); }
ModuleLockGuard::~ModuleLockGuard() { LeaveCriticalSection(&g_section); }

HRESULT PendrakeTypeInfo(LCID lcid, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  ITypeInfo* cached = g_typeInfo.load(std::memory_order_acquire);
  if (!cached) {
    ModuleLockGuard guard;
    cached = g_typeInfo.load(std::memory_order_acquire);
    if (!cached) {
      const HRESULT hr = LoadTypeInfo(lcid, &cached);
      if (FAILED(hr)) return hr;
      g_typeInfo.store(cached, std::memory_order_release);
    }
  }
  cached->AddRef();
  *info = cached;
  return S_OK;
}

namespace {

// The class object, made once and owned by the module until it is unloaded.
ClassFactory* ClassObject() {
  ClassFactory* factory = g_classObject.load(std::memory_order_acquire);
  if (factory) return factory;
  ModuleLockGuard guard;
  factory = g_classObject.load(std::memory_order_acquire);
  if (!factory) {
    factory = new (std::nothrow) ClassFactory();
    if (factory) g_classObject.store(factory, std::memory_order_release);
  }
  return factory;
}

}  // namespace
}  // namespace pendrake::com

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      pendrake::com::OnProcessAttach(instance);
      break;
    case DLL_PROCESS_DETACH:
      pendrake::com::OnProcessDetach(reserved != nullptr);
      break;
    default:
      break;
  }
  return TRUE;
}

STDAPI DllCanUnloadNow() { return pendrake::com::LockCount() == 0 ? S_OK : S_FALSE; }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_Pendrake)) return CLASS_E_CLASSNOTAVAILABLE;
  pendrake::com::ClassFactory* factory = pendrake::com::ClassObject();
  if (!factory) return E_OUTOFMEMORY;
  return factory->QueryInterface(iid, out);
}

STDAPI DllRegisterServer() { return pendrake::com::RegisterServer(); }

STDAPI DllUnregisterServer() { return pendrake::com::UnregisterServer(); }
