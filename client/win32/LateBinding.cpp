#include "LateBinding.h"

#include <objbase.h>
#include <oleauto.h>

#include "Global.h"

namespace pendrake::client {
namespace {

class WaitCursor {
 public:
  WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
  ~WaitCursor() { SetCursor(previous_ ? previous_ : LoadCursorW(nullptr, IDC_ARROW)); }

 private:
  HCURSOR previous_;
};

// Fills `failure` from a failed Invoke; the object's own description wins when it gave one.
void TakeInvokeFailure(HRESULT hr, EXCEPINFO& info, ComFailure& failure) {
  if (hr == DISP_E_EXCEPTION && info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
  const owners::UniqueBstr source(info.bstrSource), description(info.bstrDescription), helpFile(info.bstrHelpFile);
  failure.code = hr;
  if (hr != DISP_E_EXCEPTION) return;
  if (info.scode != 0) {
    failure.code = info.scode;
  } else if (info.wCode != 0) {
    failure.code = info.wCode;
  }
  if (description) failure.description = description.get();
}

// One argument for Invoke; a text argument lives in `text` as long as the variant is used.
struct Argument {
  explicit Argument(const std::wstring& value) : text(owners::MakeBstr(value)) {
    variant.vt = VT_BSTR;
    variant.bstrVal = text.get();
  }
  Argument(VARTYPE type, int32_t number) {
    variant.vt = type;
    if (type == VT_I2) variant.iVal = static_cast<SHORT>(number);
    else variant.lVal = number;
  }
  owners::UniqueBstr text;
  VARIANT variant{};
};

bool CallByName(IDispatch* object, const wchar_t* name, WORD flags, Argument&& argument, ComFailure& failure) {
  DISPID id = 0;
  auto* nameText = const_cast<LPOLESTR>(name);
  HRESULT hr = object->GetIDsOfNames(IID_NULL, &nameText, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) {
    failure.code = hr;
    return false;
  }
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{&argument.variant, nullptr, 1, 0};
  if (flags == DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  EXCEPINFO info{};
  UINT argError = 0;
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, nullptr, &info, &argError);
  if (FAILED(hr)) {
    TakeInvokeFailure(hr, info, failure);
    return false;
  }
  return true;
}

}  // namespace

bool PutText(IDispatch* object, const wchar_t* name, const std::wstring& text, ComFailure& failure) {
  return CallByName(object, name, DISPATCH_PROPERTYPUT, Argument(text), failure);
}

bool PutI2(IDispatch* object, const wchar_t* name, int number, ComFailure& failure) {
  return CallByName(object, name, DISPATCH_PROPERTYPUT, Argument(VT_I2, number), failure);
}

bool PutI4(IDispatch* object, const wchar_t* name, int32_t number, ComFailure& failure) {
  return CallByName(object, name, DISPATCH_PROPERTYPUT, Argument(VT_I4, number), failure);
}

bool CallWithText(IDispatch* object, const wchar_t* name, const std::wstring& text, ComFailure& failure) {
  WaitCursor hourglass;
  return CallByName(object, name, DISPATCH_METHOD, Argument(text), failure);
}

bool CreateByProgId(const wchar_t* progId, DispatchPtr& object, ComFailure& failure) {
  CLSID clsid{};
  HRESULT hr = CLSIDFromProgID(progId, &clsid);
  if (SUCCEEDED(hr)) {
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                          reinterpret_cast<void**>(object.put()));
  }
  failure.code = hr;
  return SUCCEEDED(hr);
}

void WithNewObject(HWND owner, const wchar_t* progId, const std::function<bool(IDispatch*, ComFailure&)>& steps) {
  ComFailure failure;
  bool ok = false;
  {
    DispatchPtr object;
    ok = CreateByProgId(progId, object, failure) && steps(object.get(), failure);
  }  // the object goes before any message shows
  if (!ok) ShowComFailure(owner, failure);
}

void ShowComFailure(HWND owner, const ComFailure& failure) {
  const std::wstring text = ErrorMessageText(L"Error: ", static_cast<int32_t>(failure.code), failure.description);
  MessageBoxW(owner, text.c_str(), kProgramTitle, MB_OK);
}

}  // namespace pendrake::client
