// Walks a registration script over a registry: registration writes the tree, unregistration
// removes it. The registry is reached through a small port so the walk can be proved against
// an in-memory registry that fails at any step.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ports.h"
#include "registration_script.h"

namespace pendrake::registration {

class RegistryPort {
 public:
  using Key = std::uintptr_t;  // opaque handle; 0 is never a valid one
  enum class Access { ReadWrite, ReadOnly };

  virtual ~RegistryPort() = default;
  // The predefined key of a root; it needs no closing.
  virtual Key RootKey(Root root) = 0;
  virtual Win32Error OpenKey(Key parent, std::u16string_view name, Access access, Key& out) = 0;
  virtual Win32Error CreateKey(Key parent, std::u16string_view name, Key& out) = 0;
  virtual void CloseKey(Key key) = 0;
  // How the portable owner (PortOwner) gives a key back.
  struct KeyKind {};
  void Release(KeyKind, Key key) { CloseKey(key); }
  // An empty name addresses the key's default value.
  virtual Win32Error SetValue(Key key, std::u16string_view name, const Value& value) = 0;
  virtual Win32Error DeleteValue(Key key, std::u16string_view name) = 0;
  // Deletes one key; fails when the key still has subkeys.
  virtual Win32Error DeleteKey(Key parent, std::u16string_view name) = 0;
  // Deletes a key with everything below it.
  virtual Win32Error DeleteTree(Key parent, std::u16string_view name) = 0;
  // Whether an open key has subkeys; false when that cannot be told.
  virtual bool HasSubkeys(Key key) = 0;

  // What unregistration asks about the component of the other bitness:
  // Opens a key by its path ("A\B") below a root for reading, in the other bitness's view of
  // the registry (64-bit Windows keeps a view for 32-bit programs beside the 64-bit one).
  // kFileNotFound when the key is missing, and where the machine has only one view.
  virtual Win32Error OpenInOtherView(Root root, std::u16string_view path, Key& out) = 0;
  // The text of a string value of an open key.
  virtual Win32Error ReadText(Key key, std::u16string_view name, std::u16string& out) = 0;
  // Whether the file that a process of the other bitness reaches by the path is there. A 64-bit
  // process reads a path of the 32-bit view as a 32-bit process would (RedirectedFor32BitProcess).
  virtual bool FileExists(std::u16string_view path) = 0;
  // 64-bit Windows answers a 32-bit process that names a file below %windir%\System32 with the
  // file of that name below %windir%\SysWOW64 (file system redirection). A path of the other
  // view was written for a 64-bit process, so it is looked at with the redirection turned off
  // for the calling thread: true when it was turned off and must be turned on again; false
  // where there is none to turn off (a 64-bit process, 32-bit Windows).
  virtual bool SuspendFileRedirection() = 0;
  virtual void ResumeFileRedirection() = 0;
};

// Writes the script's tree. A root whose writes fail is walked again in unregistration mode
// to take back what was written, and the first error is returned; later roots are not
// touched. The taking back keeps what the other bitness shares, as unregistration does. A malformed script (kInvalidData) or a module path longer than
// kMaxModulePathLength (kInsufficientBuffer) fails before anything is written.
Win32Error RegisterScript(RegistryPort& registry, std::u16string_view scriptText, std::u16string_view modulePath);

// Removes the script's tree, children before their parents: missing keys and values are
// skipped, NoRemove keys stay, and the first failing deletion stops the walk. A key that the
// script lists only as a path to deeper keys (no value of its own, no named values) stays
// without error while it holds keys of others: a vendor key shared with another product
// must not make unregistration fail half way.
//
// The component of the other bitness shares every key of the script but the classes' own
// (the per-view keys below HKCR, CLSID among them): while its registration of one of the
// script's classes (the InprocServer32 default value in its view) names an existing file, only
// the per-view keys are removed, and the shared ones (ProgIDs, the settings key) stay for it.
Win32Error UnregisterScript(RegistryPort& registry, std::u16string_view scriptText, std::u16string_view modulePath);

// The same walks over an already parsed script.
Win32Error RegisterParsed(RegistryPort& registry, const Script& script);
Win32Error UnregisterParsed(RegistryPort& registry, const Script& script);

}  // namespace pendrake::registration
