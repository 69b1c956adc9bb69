#include "memory_registry.h"

#include <algorithm>

#include "wow64_paths.h"

namespace pendrake::registration::testing {
namespace {

constexpr RegistryPort::Key kRootBase = 1;  // root handles are 1..4

char16_t Fold(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

void DumpKey(const MemoryKey& key, const std::string& path, std::vector<std::string>& lines) {
  for (const auto& [name, value] : key.values) {
    std::string line = path + "|" + ToUtf8(name) + "=";
    switch (value.type) {
      case Value::Type::String:
        line += "s:" + ToUtf8(value.text);
        break;
      case Value::Type::ExpandString:
        line += "e:" + ToUtf8(value.text);
        break;
      case Value::Type::Dword:
        line += "d:" + std::to_string(value.number);
        break;
    }
    lines.push_back(line);
  }
  for (const auto& [name, sub] : key.subkeys) {
    const std::string subPath = path.empty() ? ToUtf8(name) : path + "\\" + ToUtf8(name);
    lines.push_back(subPath);
    DumpKey(*sub, subPath, lines);
  }
}

MemoryKey& EnsureBelow(MemoryKey* key, std::u16string_view path) {
  while (!path.empty()) {
    const std::size_t slash = path.find(u'\\');
    const std::u16string name(path.substr(0, slash));
    auto& sub = key->subkeys[name];
    if (!sub) sub = std::make_unique<MemoryKey>();
    key = sub.get();
    path = slash == std::u16string_view::npos ? std::u16string_view() : path.substr(slash + 1);
  }
  return *key;
}

// For a const and a mutable tree alike.
template <typename Key>
Key* FindBelow(Key* key, std::u16string_view path) {
  while (key != nullptr && !path.empty()) {
    const std::size_t slash = path.find(u'\\');
    const auto found = key->subkeys.find(std::u16string(path.substr(0, slash)));
    key = found == key->subkeys.end() ? nullptr : found->second.get();
    path = slash == std::u16string_view::npos ? std::u16string_view() : path.substr(slash + 1);
  }
  return key;
}

bool HoldsOpen(const MemoryKey* key, const MemoryKey* candidate) {
  if (key == candidate) return true;
  for (const auto& entry : candidate->subkeys) {
    if (HoldsOpen(key, entry.second.get())) return true;
  }
  return false;
}

}  // namespace

bool CaseInsensitiveLess::operator()(const std::u16string& a, const std::u16string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char16_t x, char16_t y) { return Fold(x) < Fold(y); });
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

MemoryKey& MemoryRegistry::Ensure(Root root, std::u16string_view path) {
  return EnsureBelow(&roots_[static_cast<int>(root)], path);
}

MemoryKey& MemoryRegistry::EnsureInOtherView(Root root, std::u16string_view path) {
  return EnsureBelow(&otherViewRoots_[static_cast<int>(root)], path);
}

const MemoryKey* MemoryRegistry::Find(Root root, std::u16string_view path) const {
  return FindBelow(&roots_[static_cast<int>(root)], path);
}

std::vector<std::string> MemoryRegistry::Dump(Root root) const {
  std::vector<std::string> lines;
  DumpKey(roots_[static_cast<int>(root)], "", lines);
  std::sort(lines.begin(), lines.end());
  return lines;
}

Win32Error MemoryRegistry::Fault(Operation operation, std::u16string_view name) const {
  return fault ? fault(operation, name) : kSuccess;
}

std::optional<MemoryRegistry::Handle> MemoryRegistry::Resolve(Key key) {
  if (key >= kRootBase && key < kRootBase + 4) return Handle{&roots_[key - kRootBase], true};
  const auto found = handles_.find(key);
  if (found == handles_.end()) return std::nullopt;
  return found->second;
}

MemoryRegistry::Key MemoryRegistry::Issue(MemoryKey* key, bool writable) {
  const Key handle = next_++;
  handles_[handle] = {key, writable};
  return handle;
}

bool MemoryRegistry::IsOpen(const MemoryKey* key) const {
  return std::any_of(handles_.begin(), handles_.end(), [&](const auto& entry) { return HoldsOpen(entry.second.key, key); });
}

MemoryRegistry::Key MemoryRegistry::RootKey(Root root) { return kRootBase + static_cast<Key>(root); }

Win32Error MemoryRegistry::OpenKey(Key parent, std::u16string_view name, Access access, Key& out) {
  if (Win32Error error = Fault(Operation::OpenKey, name)) return error;
  const std::optional<Handle> handle = Resolve(parent);
  if (!handle) return 6;  // ERROR_INVALID_HANDLE
  const auto found = handle->key->subkeys.find(std::u16string(name));
  if (found == handle->key->subkeys.end()) return kFileNotFound;
  if (access == Access::ReadWrite && !found->second->writable) return kAccessDenied;
  out = Issue(found->second.get(), access == Access::ReadWrite);
  return kSuccess;
}

Win32Error MemoryRegistry::CreateKey(Key parent, std::u16string_view name, Key& out) {
  if (Win32Error error = Fault(Operation::CreateKey, name)) return error;
  const std::optional<Handle> handle = Resolve(parent);
  if (!handle) return 6;
  auto& sub = handle->key->subkeys[std::u16string(name)];
  if (!sub) {
    if (!handle->writable) {
      handle->key->subkeys.erase(std::u16string(name));
      return kAccessDenied;
    }
    sub = std::make_unique<MemoryKey>();
  }
  out = Issue(sub.get(), sub->writable);
  return kSuccess;
}

void MemoryRegistry::CloseKey(Key key) { handles_.erase(key); }

Win32Error MemoryRegistry::SetValue(Key key, std::u16string_view name, const Value& value) {
  if (Win32Error error = Fault(Operation::SetValue, name)) return error;
  const std::optional<Handle> handle = Resolve(key);
  if (!handle) return 6;
  if (!handle->writable) return kAccessDenied;
  handle->key->values[std::u16string(name)] = value;
  return kSuccess;
}

Win32Error MemoryRegistry::DeleteValue(Key key, std::u16string_view name) {
  if (Win32Error error = Fault(Operation::DeleteValue, name)) return error;
  const std::optional<Handle> handle = Resolve(key);
  if (!handle) return 6;
  if (!handle->writable) return kAccessDenied;
  return handle->key->values.erase(std::u16string(name)) ? kSuccess : kFileNotFound;
}

Win32Error MemoryRegistry::DeleteKey(Key parent, std::u16string_view name) {
  if (Win32Error error = Fault(Operation::DeleteKey, name)) return error;
  const std::optional<Handle> handle = Resolve(parent);
  if (!handle) return 6;
  const auto found = handle->key->subkeys.find(std::u16string(name));
  if (found == handle->key->subkeys.end()) return kFileNotFound;
  // As the real registry: a key with subkeys is not deleted by the single-key call.
  if (!found->second->subkeys.empty() || !found->second->writable) return kAccessDenied;
  if (IsOpen(found->second.get())) return 1;  // the walker must close a key before deleting it
  handle->key->subkeys.erase(found);
  return kSuccess;
}

Win32Error MemoryRegistry::DeleteTree(Key parent, std::u16string_view name) {
  if (Win32Error error = Fault(Operation::DeleteTree, name)) return error;
  const std::optional<Handle> handle = Resolve(parent);
  if (!handle) return 6;
  const auto found = handle->key->subkeys.find(std::u16string(name));
  if (found == handle->key->subkeys.end()) return kFileNotFound;
  if (IsOpen(found->second.get())) return 1;
  handle->key->subkeys.erase(found);
  return kSuccess;
}

Win32Error MemoryRegistry::OpenInOtherView(Root root, std::u16string_view path, Key& out) {
  if (!hasOtherView) return kFileNotFound;
  // The walker only reads there: the key is handed out for reading.
  MemoryKey* key = FindBelow(&otherViewRoots_[static_cast<int>(root)], path);
  if (key == nullptr) return kFileNotFound;
  out = Issue(key, false);
  return kSuccess;
}

Win32Error MemoryRegistry::ReadText(Key key, std::u16string_view name, std::u16string& out) {
  const std::optional<Handle> handle = Resolve(key);
  if (!handle) return 6;
  const auto found = handle->key->values.find(std::u16string(name));
  if (found == handle->key->values.end()) return kFileNotFound;
  if (found->second.type == Value::Type::Dword) return 13;  // ERROR_INVALID_DATA: no text
  out = found->second.text;
  return kSuccess;
}

bool MemoryRegistry::FileExists(std::u16string_view path) {
  static constexpr SystemFolders kFolders{u"C:\\Windows\\System32", u"C:\\Windows\\SysWOW64", u"C:\\Windows\\Sysnative"};
  return files.count(redirectsFiles && !redirectionSuspended ? RedirectedFor32BitProcess(path, kFolders)
                                                              : std::u16string(path)) != 0;
}

bool MemoryRegistry::HasSubkeys(Key key) {
  const std::optional<Handle> handle = Resolve(key);
  return handle && !handle->key->subkeys.empty();
}

}  // namespace pendrake::registration::testing
