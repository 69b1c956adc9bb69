// The class object of the coclass Pendrake. One instance serves every apartment of the
// process, so its reference count is atomic.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <atomic>

namespace pendrake::com {

class ClassFactory final : public IClassFactory {
 public:
  ClassFactory() = default;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  STDMETHODIMP LockServer(BOOL lock) override;

  // References callers hold, beyond the module's own: while there is one, a caller can still
  // create objects through it, so the module must stay loaded.
  ULONG HandedOut() const { return refs_.load(std::memory_order_acquire) - 1; }

 private:
  ~ClassFactory() = default;
  std::atomic<ULONG> refs_{1};
};

}  // namespace pendrake::com
