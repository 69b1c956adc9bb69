// Late binding to a COM object through IDispatch, the way a script reaches the component:
// create by ProgID, put a property by name, call a method by name. Each step reports its
// failure as the error number and the platform's (or the object's) description.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <functional>
#include <string>

#include "pendrake/owners.h"

namespace pendrake::client {

struct ComFailure {
  HRESULT code = S_OK;
  std::wstring description;
};

using DispatchPtr = owners::ComPtr<IDispatch>;

bool CreateByProgId(const wchar_t* progId, DispatchPtr& object, ComFailure& failure);

bool PutText(IDispatch* object, const wchar_t* name, const std::wstring& text, ComFailure& failure);
bool PutI2(IDispatch* object, const wchar_t* name, int number, ComFailure& failure);
bool PutI4(IDispatch* object, const wchar_t* name, int32_t number, ComFailure& failure);

// Calls a method with one text argument, under the wait cursor.
bool CallWithText(IDispatch* object, const wchar_t* name, const std::wstring& text, ComFailure& failure);

// A fresh object of `progId` for `steps`; it goes before any message shows. A failure of the
// creation or of a step shows with ShowComFailure.
void WithNewObject(HWND owner, const wchar_t* progId, const std::function<bool(IDispatch*, ComFailure&)>& steps);

// "Error: " + the number + CR LF + the description, in a message box over `owner`.
void ShowComFailure(HWND owner, const ComFailure& failure);

}  // namespace pendrake::client
