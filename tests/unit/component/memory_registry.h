// An in-memory registry behind the registration walker's port. Names compare without regard
// to case, as the real registry's do; any operation can be made to fail, and every handle the
// walker opens is tracked so a leak shows.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "registration_script_walker.h"

namespace pendrake::registration::testing {

struct CaseInsensitiveLess {
  bool operator()(const std::u16string& a, const std::u16string& b) const;
};

struct MemoryKey {
  std::map<std::u16string, Value, CaseInsensitiveLess> values;  // "" is the default value
  std::map<std::u16string, std::unique_ptr<MemoryKey>, CaseInsensitiveLess> subkeys;
  bool writable = true;  // false: opens for reading only, refuses writes and new subkeys
};

enum class Operation { OpenKey, CreateKey, SetValue, DeleteValue, DeleteKey, DeleteTree };

class MemoryRegistry final : public RegistryPort {
 public:
  // Asked before every operation with the operation and the name it concerns (the key name,
  // or the value name for value operations; "" for a default value). A non-zero answer makes
  // the operation fail with that error and change nothing.
  std::function<Win32Error(Operation, std::u16string_view)> fault;

  // The other bitness's view of the registry, as 64-bit Windows keeps one; false: a machine
  // with one view only (32-bit Windows).
  bool hasOtherView = true;
  // The files that exist, as FileExists is asked for them (compared exactly).
  std::set<std::u16string> files;
  // A 32-bit process on 64-bit Windows: FileExists applies the file system redirection
  // (C:\Windows stands for %windir%) until SuspendFileRedirection turns it off.
  bool redirectsFiles = false;
  bool redirectionSuspended = false;

  // Builds a key path ("A\\B\\C") below a root, creating what is missing.
  MemoryKey& Ensure(Root root, std::u16string_view path);
  // The same in the other bitness's view.
  MemoryKey& EnsureInOtherView(Root root, std::u16string_view path);
  const MemoryKey* Find(Root root, std::u16string_view path) const;

  // The whole tree below a root, one sorted line per key and per value:
  //   "Key\\Sub"  and  "Key\\Sub|name=s:text"  ("|=" for the default value). UTF-8.
  std::vector<std::string> Dump(Root root) const;
  std::size_t OpenHandles() const { return handles_.size(); }

  Key RootKey(Root root) override;
  Win32Error OpenKey(Key parent, std::u16string_view name, Access access, Key& out) override;
  Win32Error CreateKey(Key parent, std::u16string_view name, Key& out) override;
  void CloseKey(Key key) override;
  Win32Error SetValue(Key key, std::u16string_view name, const Value& value) override;
  Win32Error DeleteValue(Key key, std::u16string_view name) override;
  Win32Error DeleteKey(Key parent, std::u16string_view name) override;
  Win32Error DeleteTree(Key parent, std::u16string_view name) override;
  bool HasSubkeys(Key key) override;
  Win32Error OpenInOtherView(Root root, std::u16string_view path, Key& out) override;
  Win32Error ReadText(Key key, std::u16string_view name, std::u16string& out) override;
  bool FileExists(std::u16string_view path) override;
  bool SuspendFileRedirection() override { return redirectsFiles && !std::exchange(redirectionSuspended, true); }
  void ResumeFileRedirection() override { redirectionSuspended = false; }

 private:
  struct Handle {
    MemoryKey* key;
    bool writable;
  };
  Win32Error Fault(Operation operation, std::u16string_view name) const;
  std::optional<Handle> Resolve(Key key);
  Key Issue(MemoryKey* key, bool writable);
  bool IsOpen(const MemoryKey* key) const;

  MemoryKey roots_[4];
  MemoryKey otherViewRoots_[4];
  std::map<Key, Handle> handles_;
  Key next_ = 0x1000;
};

std::string ToUtf8(std::u16string_view text);

}  // namespace pendrake::registration::testing
