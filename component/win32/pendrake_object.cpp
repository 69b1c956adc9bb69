#include "pendrake_object.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "pendrake/owners.h"
#include "module.h"
#include "system_platform.h"

namespace pendrake::com {

using owners::ComPtr;
namespace {

// The enumerations travel as 32-bit integers; values outside their constants (an event type
// of 3, say) are legal settings, so they are copied bit for bit rather than cast.
static_assert(sizeof(enum tagSYSLOGPRIORITY) == sizeof(std::int32_t));
static_assert(sizeof(enum tagSYSLOGFACILITY) == sizeof(std::int32_t));
static_assert(sizeof(enum tagEVENTLOGTYPE) == sizeof(std::int32_t));

template <typename Enum>
std::int32_t FromEnum(Enum value) {
  std::int32_t number;
  std::memcpy(&number, &value, sizeof number);
  return number;
}

template <typename Enum>
void ToEnum(std::int32_t number, Enum* out) {
  std::memcpy(out, &number, sizeof number);
}

const char16_t* AsText(BSTR text) { return reinterpret_cast<const char16_t*>(text); }

}  // namespace

HRESULT PendrakeObject::Create(IUnknown* outer, REFIID iid, void** out) {
  // Nothing in the constructor throws (the logger's is noexcept, the adapters hold no state):
  // a failed allocation is the only way to get no object.
  PendrakeObject* object = new (std::nothrow) PendrakeObject(outer);
  if (!object) return E_OUTOFMEMORY;
  object->inner_.AddRef();
  const HRESULT hr = object->inner_.QueryInterface(iid, out);
  object->inner_.Release();  // destroys the object when the query failed
  return hr;
}

PendrakeObject::PendrakeObject(IUnknown* outer) noexcept
    : inner_(*this),
      controlling_(outer ? outer : &inner_),
      aggregated_(outer != nullptr),
      logger_(pendrake::win32::SystemPlatform()) {
  AddObject();
}

PendrakeObject::~PendrakeObject() { RemoveObject(); }

// ---- IUnknown -------------------------------------------------------------------------------

STDMETHODIMP PendrakeObject::Inner::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown)) {
    // Unaggregated, IUnknown is the same pointer as IPendrake and IDispatch; aggregated, the
    // outer object needs this non-delegating unknown.
    *out = owner_.aggregated_ ? static_cast<IUnknown*>(this) : static_cast<IUnknown*>(static_cast<IPendrake*>(&owner_));
  } else {
    static const IID* const kInterfaces[] = {&IID_IPendrake, &IID_IDispatch};
    for (const IID* known : kInterfaces) {
      if (IsEqualIID(iid, *known)) *out = static_cast<IPendrake*>(&owner_);
    }
  }
  if (!*out) return E_NOINTERFACE;
  static_cast<IUnknown*>(*out)->AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) PendrakeObject::Inner::AddRef() { return ++owner_.refs_; }

STDMETHODIMP_(ULONG) PendrakeObject::Inner::Release() {
  const ULONG left = --owner_.refs_;
  if (left == 0) delete &owner_;
  return left;
}

STDMETHODIMP PendrakeObject::QueryInterface(REFIID iid, void** out) { return controlling_->QueryInterface(iid, out); }
STDMETHODIMP_(ULONG) PendrakeObject::AddRef() { return controlling_->AddRef(); }
STDMETHODIMP_(ULONG) PendrakeObject::Release() { return controlling_->Release(); }

// ---- IDispatch ------------------------------------------------------------------------------

STDMETHODIMP PendrakeObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

STDMETHODIMP PendrakeObject::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return PendrakeTypeInfo(lcid, info);
}

STDMETHODIMP PendrakeObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  ComPtr<ITypeInfo> info;
  const HRESULT hr = PendrakeTypeInfo(lcid, info.put());
  if (FAILED(hr)) return hr;
  return info->GetIDsOfNames(names, count, ids);
}

STDMETHODIMP PendrakeObject::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                    VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  ComPtr<ITypeInfo> info;
  const HRESULT hr = PendrakeTypeInfo(lcid, info.put());
  if (FAILED(hr)) return hr;
  return info->Invoke(static_cast<IPendrake*>(this), id, flags, params, result, exception, argumentError);
}

// ---- IPendrake ------------------------------------------------------------------------------
// Every member answers S_OK: trouble inside a logging call shows only on the debugger output,
// and an exception must never cross the interface.

HRESULT PendrakeObject::GetText(const Text& text, BSTR* value) {
  if (!value) return E_POINTER;
  // An absent text stays a null BSTR; a failed copy is an absent text too.
  *value = text ? SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text->data()), static_cast<UINT>(text->size()))
                : nullptr;
  return S_OK;
}

HRESULT PendrakeObject::PutText(TextSetter setter, BSTR value) {
  (logger_.*setter)(AsText(value));  // a copy that cannot be made leaves the text absent
  return S_OK;
}

STDMETHODIMP PendrakeObject::get_SyslogServer(BSTR* value) { return GetText(logger_.SyslogServer(), value); }
STDMETHODIMP PendrakeObject::put_SyslogServer(BSTR value) { return PutText(&Logger::SetSyslogServer, value); }

STDMETHODIMP PendrakeObject::LogToSyslog(BSTR message) {
  logger_.LogToSyslog(AsText(message));
  return S_OK;
}

STDMETHODIMP PendrakeObject::get_SyslogPriority(enum tagSYSLOGPRIORITY* value) {
  if (!value) return E_POINTER;
  ToEnum(logger_.SyslogPriority(), value);
  return S_OK;
}
STDMETHODIMP PendrakeObject::put_SyslogPriority(enum tagSYSLOGPRIORITY value) {
  logger_.SetSyslogPriority(FromEnum(value));
  return S_OK;
}

STDMETHODIMP PendrakeObject::get_SyslogFacility(enum tagSYSLOGFACILITY* value) {
  if (!value) return E_POINTER;
  ToEnum(logger_.SyslogFacility(), value);
  return S_OK;
}
STDMETHODIMP PendrakeObject::put_SyslogFacility(enum tagSYSLOGFACILITY value) {
  logger_.SetSyslogFacility(FromEnum(value));
  return S_OK;
}

STDMETHODIMP PendrakeObject::get_SyslogPort(LONG* value) {
  if (!value) return E_POINTER;
  *value = logger_.SyslogPort();
  return S_OK;
}
STDMETHODIMP PendrakeObject::put_SyslogPort(LONG value) {
  logger_.SetSyslogPort(value);
  return S_OK;
}

STDMETHODIMP PendrakeObject::get_EventLogSource(BSTR* value) { return GetText(logger_.EventLogSource(), value); }
STDMETHODIMP PendrakeObject::put_EventLogSource(BSTR value) { return PutText(&Logger::SetEventLogSource, value); }

STDMETHODIMP PendrakeObject::get_EventLogComputer(BSTR* value) { return GetText(logger_.EventLogComputer(), value); }
STDMETHODIMP PendrakeObject::put_EventLogComputer(BSTR value) { return PutText(&Logger::SetEventLogComputer, value); }

STDMETHODIMP PendrakeObject::get_MessageToLog(BSTR* value) { return GetText(logger_.MessageToLog(), value); }
STDMETHODIMP PendrakeObject::put_MessageToLog(BSTR value) { return PutText(&Logger::SetMessageToLog, value); }

STDMETHODIMP PendrakeObject::get_EventLogID(LONG* value) {
  if (!value) return E_POINTER;
  *value = logger_.EventLogID();
  return S_OK;
}
STDMETHODIMP PendrakeObject::put_EventLogID(LONG value) {
  logger_.SetEventLogID(value);
  return S_OK;
}

STDMETHODIMP PendrakeObject::get_EventLogType(enum tagEVENTLOGTYPE* value) {
  if (!value) return E_POINTER;
  ToEnum(logger_.EventLogType(), value);
  return S_OK;
}
STDMETHODIMP PendrakeObject::put_EventLogType(enum tagEVENTLOGTYPE value) {
  logger_.SetEventLogType(FromEnum(value));
  return S_OK;
}

STDMETHODIMP PendrakeObject::LogToEventLog(BSTR message) {
  logger_.LogToEventLog(AsText(message));
  return S_OK;
}

}  // namespace pendrake::com
