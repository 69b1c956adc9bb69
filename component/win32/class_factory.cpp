#include "class_factory.h"

#include "module.h"
#include "pendrake_object.h"

namespace pendrake::com {

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  static const IID* const kInterfaces[] = {&IID_IUnknown, &IID_IClassFactory};
  for (const IID* known : kInterfaces) {
    if (IsEqualIID(iid, *known)) {
      *out = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
  }
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ClassFactory::AddRef() { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }

STDMETHODIMP_(ULONG) ClassFactory::Release() {
  const ULONG left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  // An aggregating outer object must take the inner object's own IUnknown first.
  if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
  return PendrakeObject::Create(outer, iid, out);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
  pendrake::com::LockServer(lock != FALSE);
  return S_OK;
}

}  // namespace pendrake::com
