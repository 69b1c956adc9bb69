// Self-registration of Pendrake.dll: the class entries and the settings key from the
// registration script, the type library, and the two event sources.
#pragma once

#include <windows.h>

namespace pendrake::com {

HRESULT RegisterServer();
HRESULT UnregisterServer();

}  // namespace pendrake::com
