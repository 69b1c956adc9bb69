// Module-wide state of Pendrake.dll: its handle, the lock count that answers DllCanUnloadNow,
// the critical section that guards one-time creations, and the cached type information.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace pendrake::com {

HMODULE ModuleHandle();

// Objects alive; each logger object holds one from construction to destruction.
void AddObject();
void RemoveObject();
// IClassFactory::LockServer. An unmatched unlock is ignored rather than eating into the
// objects' share of the count.
void LockServer(bool lock);
// Objects alive, outstanding server locks and references to the class object that callers hold.
long LockCount();

// Holds the module's critical section for its scope.
class ModuleLockGuard {
 public:
  ModuleLockGuard();
  ~ModuleLockGuard();
  ModuleLockGuard(const ModuleLockGuard&) = delete;
  ModuleLockGuard& operator=(const ModuleLockGuard&) = delete;
};

// The type information of IPendrake (its table-of-functions side) from the registered type
// library, loaded once and kept until the library is unloaded. The caller's locale is tried
// first, then the library's own 0x409: script engines pass locale 0, which does not find a
// library registered under 0x409. On success *info holds a reference of its own.
HRESULT PendrakeTypeInfo(LCID lcid, ITypeInfo** info);

}  // namespace pendrake::com
