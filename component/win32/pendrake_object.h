// The logger COM object: IPendrake (dual) over one pendrake::Logger. The object lives in one
// apartment and is entered only by its thread, so its reference count is a plain counter.
#pragma once

#include <windows.h>

#include "Pendrake_h.h"
#include "logger.h"

namespace pendrake::com {

class PendrakeObject final : public IPendrake {
 public:
  // Makes an object (aggregated when `outer` is given) and asks it for `iid`; a failed query
  // destroys the object again. E_OUTOFMEMORY when it cannot be made.
  static HRESULT Create(IUnknown* outer, REFIID iid, void** out);

  // IUnknown: handed to the controlling unknown (the outer object when aggregated).
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IDispatch: wholly the type information's work.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argumentError) override;

  // IPendrake
  STDMETHODIMP get_SyslogServer(BSTR* value) override;
  STDMETHODIMP put_SyslogServer(BSTR value) override;
  STDMETHODIMP LogToSyslog(BSTR message) override;
  STDMETHODIMP get_SyslogPriority(enum tagSYSLOGPRIORITY* value) override;
  STDMETHODIMP put_SyslogPriority(enum tagSYSLOGPRIORITY value) override;
  STDMETHODIMP get_SyslogFacility(enum tagSYSLOGFACILITY* value) override;
  STDMETHODIMP put_SyslogFacility(enum tagSYSLOGFACILITY value) override;
  STDMETHODIMP get_SyslogPort(LONG* value) override;
  STDMETHODIMP put_SyslogPort(LONG value) override;
  STDMETHODIMP get_EventLogSource(BSTR* value) override;
  STDMETHODIMP put_EventLogSource(BSTR value) override;
  STDMETHODIMP get_EventLogComputer(BSTR* value) override;
  STDMETHODIMP put_EventLogComputer(BSTR value) override;
  STDMETHODIMP get_MessageToLog(BSTR* value) override;
  STDMETHODIMP put_MessageToLog(BSTR value) override;
  STDMETHODIMP get_EventLogID(LONG* value) override;
  STDMETHODIMP put_EventLogID(LONG value) override;
  STDMETHODIMP get_EventLogType(enum tagEVENTLOGTYPE* value) override;
  STDMETHODIMP put_EventLogType(enum tagEVENTLOGTYPE value) override;
  STDMETHODIMP LogToEventLog(BSTR message) override;

 private:
  // The object's own IUnknown: the only one that counts references and answers queries.
  class Inner final : public IUnknown {
   public:
    explicit Inner(PendrakeObject& owner) : owner_(owner) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

   private:
    PendrakeObject& owner_;
  };

  explicit PendrakeObject(IUnknown* outer) noexcept;
  ~PendrakeObject();

  using TextSetter = void (Logger::*)(const char16_t*) noexcept;
  HRESULT PutText(TextSetter setter, BSTR value);
  static HRESULT GetText(const Text& text, BSTR* value);

  Inner inner_;
  IUnknown* controlling_;  // the outer object, or inner_ when not aggregated
  bool aggregated_;
  ULONG refs_ = 0;
  Logger logger_;
};

}  // namespace pendrake::com
