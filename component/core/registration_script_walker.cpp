#include "registration_script_walker.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace pendrake::registration {
namespace {

// Closes a key of the port when the walk leaves its scope, on every path: the same portable
// owner the logger's ports hand out.
class OpenedKey : public PortOwner<RegistryPort, RegistryPort::KeyKind> {
 public:
  OpenedKey(RegistryPort& registry, RegistryPort::Key key)
      : PortOwner(key != 0 ? PortOwner(registry, key) : PortOwner()) {}
  RegistryPort::Key get() const { return handle_; }
};

Win32Error UnregisterEntries(RegistryPort& registry, RegistryPort::Key parent, const std::vector<Entry>& entries);

// The keys below HKCR that 64-bit Windows keeps once for each bitness; all else there, and
// everything below the other roots, the two bitnesses share.
bool IsPerViewKey(Root root, const Entry& topLevel) {
  static constexpr std::array<std::u16string_view, 5> kPerView{u"CLSID", u"DirectShow", u"Interface", u"Media Type",
                                                               u"MediaFoundation"};
  if (root != Root::ClassesRoot || topLevel.namedValue) return false;
  return std::any_of(kPerView.begin(), kPerView.end(),
                     [&](std::u16string_view name) { return EqualsIgnoringCase(topLevel.name, name); });
}

// Whether the other bitness's registration of this class names a file that is there.
bool OtherViewServerExists(RegistryPort& registry, std::u16string_view clsid) {
  const std::u16string path = u"CLSID\\" + std::u16string(clsid) + u"\\InprocServer32";
  RegistryPort::Key raw = 0;
  if (registry.OpenInOtherView(Root::ClassesRoot, path, raw) != kSuccess) return false;
  const OpenedKey server(registry, raw);
  std::u16string file;
  if (registry.ReadText(server.get(), u"", file) != kSuccess || file.empty()) return false;
  // Redirection is per thread and reaches every file the thread opens, so it is off for the one
  // question only, and back on before anything else runs.
  const bool suspended = registry.SuspendFileRedirection();
  const bool exists = registry.FileExists(file);
  if (suspended) registry.ResumeFileRedirection();
  return exists;
}

// Whether the component of the other bitness is still registered for one of the script's
// classes (the keys below HKCR\CLSID).
bool OtherBitnessRegistered(RegistryPort& registry, const Script& script) {
  for (const RootBlock& block : script.roots) {
    if (block.root != Root::ClassesRoot) continue;
    for (const Entry& top : block.entries) {
      if (top.namedValue || !EqualsIgnoringCase(top.name, u"CLSID")) continue;
      for (const Entry& entry : top.children) {
        if (!entry.namedValue && OtherViewServerExists(registry, entry.name)) return true;
      }
    }
  }
  return false;
}

// A key the script names only on the way to deeper keys: no value, no named values.
bool IsPathOnly(const Entry& entry) {
  if (entry.value || entry.children.empty()) return false;
  for (const Entry& child : entry.children) {
    if (child.namedValue) return false;
  }
  return true;
}

Win32Error RegisterEntries(RegistryPort& registry, RegistryPort::Key parent, const std::vector<Entry>& entries) {
  for (const Entry& entry : entries) {
    if (entry.namedValue) {
      if (Win32Error error = registry.SetValue(parent, entry.name, *entry.value)) return error;
      continue;
    }
    if (entry.marker == Marker::ForceRemove && !IsProtectedKeyName(entry.name)) {
      // Whatever an earlier registration or anyone else left below the key goes; a key that
      // is not there yet is the normal case, and a failed deletion shows in the writes below.
      (void)registry.DeleteTree(parent, entry.name);
    }
    RegistryPort::Key raw = 0;
    Win32Error error = registry.OpenKey(parent, entry.name, RegistryPort::Access::ReadWrite, raw);
    if (error) error = registry.OpenKey(parent, entry.name, RegistryPort::Access::ReadOnly, raw);
    if (error) error = registry.CreateKey(parent, entry.name, raw);
    if (error) return error;
    OpenedKey key(registry, raw);
    if (entry.value) {
      if (Win32Error valueError = registry.SetValue(key.get(), u"", *entry.value)) return valueError;
    }
    if (Win32Error childError = RegisterEntries(registry, key.get(), entry.children)) return childError;
  }
  return kSuccess;
}

// A script may list one key more than once, at one level or below two listings of its parent;
// registration writes them all into the one key. Unregistration walks that key once, at its
// first listing, with the children of every listing: otherwise the first listing's deletion
// fails on the subkeys a later one wrote. The key stays when any listing says NoRemove, and
// has a value of its own when any listing gives it one.
std::vector<Entry> MergedListings(const std::vector<Entry>& entries) {
  std::vector<Entry> merged;
  for (const Entry& entry : entries) {
    auto same = entry.namedValue ? merged.end() : std::find_if(merged.begin(), merged.end(), [&](const Entry& earlier) {
      return !earlier.namedValue && EqualsIgnoringCase(earlier.name, entry.name);
    });
    if (same == merged.end()) {
      merged.push_back(entry);
      continue;
    }
    if (entry.marker == Marker::NoRemove) same->marker = Marker::NoRemove;
    if (entry.value && !same->value) same->value = entry.value;
    same->children.insert(same->children.end(), entry.children.begin(), entry.children.end());
  }
  return merged;
}

Win32Error UnregisterEntries(RegistryPort& registry, RegistryPort::Key parent, const std::vector<Entry>& listed) {
  for (const Entry& entry : MergedListings(listed)) {
    if (entry.namedValue) {
      const Win32Error error = registry.DeleteValue(parent, entry.name);
      if (error && error != kFileNotFound) return error;
      continue;
    }
    RegistryPort::Key raw = 0;
    Win32Error error = registry.OpenKey(parent, entry.name, RegistryPort::Access::ReadWrite, raw);
    if (error == kFileNotFound) continue;  // nothing of it is there: skip the whole branch
    if (error) return error;
    bool stays = entry.marker == Marker::NoRemove;
    {
      OpenedKey key(registry, raw);
      if (Win32Error childError = UnregisterEntries(registry, key.get(), entry.children)) return childError;
      // A path-only key that still holds keys of others is theirs too.
      if (!stays && IsPathOnly(entry)) stays = registry.HasSubkeys(key.get());
    }
    if (stays) continue;
    error = registry.DeleteKey(parent, entry.name);
    if (error && error != kFileNotFound) return error;
  }
  return kSuccess;
}

// Both walks refuse before touching the registry when the script cannot be trusted.
Win32Error Prepare(std::u16string_view scriptText, std::u16string_view modulePath, Script& script) {
  if (modulePath.size() > kMaxModulePathLength) return kInsufficientBuffer;
  std::optional<std::u16string> expanded = ExpandVariables(scriptText, modulePath);
  if (!expanded) return kInvalidData;
  ParseOutcome outcome = ParseScript(*expanded);
  if (!outcome.script) return kInvalidData;
  script = std::move(*outcome.script);
  return kSuccess;
}

// The entries of one root block that unregistration may remove: all of them, or only the
// per-view keys while the other bitness relies on the shared ones.
std::vector<Entry> RemovableEntries(const RootBlock& block, bool keepShared) {
  std::vector<Entry> removable;
  std::copy_if(block.entries.begin(), block.entries.end(), std::back_inserter(removable),
               [&](const Entry& entry) { return !keepShared || IsPerViewKey(block.root, entry); });
  return removable;
}

}  // namespace

Win32Error RegisterParsed(RegistryPort& registry, const Script& script) {
  for (const RootBlock& block : script.roots) {
    const RegistryPort::Key root = registry.RootKey(block.root);
    if (Win32Error error = RegisterEntries(registry, root, block.entries)) {
      // Taking back is an unregistration of this root: the ProgIDs and the settings key that the
      // other bitness uses stay, whatever this attempt rewrote of them.
      const bool keepShared = OtherBitnessRegistered(registry, script);
      (void)UnregisterEntries(registry, root, RemovableEntries(block, keepShared));  // the first error counts
      return error;
    }
  }
  return kSuccess;
}

Win32Error UnregisterParsed(RegistryPort& registry, const Script& script) {
  const bool keepShared = OtherBitnessRegistered(registry, script);
  // Blocks of one root are one tree, as registration wrote them: each root is walked once, at
  // its first block, with the entries of all of its blocks.
  std::vector<RootBlock> roots;
  for (const RootBlock& block : script.roots) {
    auto same = std::find_if(roots.begin(), roots.end(), [&](const RootBlock& earlier) { return earlier.root == block.root; });
    if (same == roots.end()) same = roots.insert(roots.end(), RootBlock{block.root, {}});
    const std::vector<Entry> removable = RemovableEntries(block, keepShared);
    same->entries.insert(same->entries.end(), removable.begin(), removable.end());
  }
  for (const RootBlock& block : roots) {
    if (Win32Error error = UnregisterEntries(registry, registry.RootKey(block.root), block.entries)) return error;
  }
  return kSuccess;
}

Win32Error RegisterScript(RegistryPort& registry, std::u16string_view scriptText, std::u16string_view modulePath) {
  Script script;
  if (Win32Error error = Prepare(scriptText, modulePath, script)) return error;
  return RegisterParsed(registry, script);
}

Win32Error UnregisterScript(RegistryPort& registry, std::u16string_view scriptText, std::u16string_view modulePath) {
  Script script;
  if (Win32Error error = Prepare(scriptText, modulePath, script)) return error;
  return UnregisterParsed(registry, script);
}

}  // namespace pendrake::registration
