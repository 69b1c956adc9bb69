#include "wow64_paths.h"

#include <array>
#include <optional>

#include "registration_script.h"

namespace pendrake::registration {
namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// What follows `folder` in `path` (empty, or from a separator on); std::nullopt when the path
// does not lie in or below the folder.
std::optional<std::u16string_view> Below(std::u16string_view path, std::u16string_view folder) {
  if (folder.empty() || path.size() < folder.size() || !EqualsIgnoringCase(path.substr(0, folder.size()), folder)) {
    return std::nullopt;
  }
  const std::u16string_view rest = path.substr(folder.size());
  if (!rest.empty() && !IsSeparator(rest.front())) return std::nullopt;  // System320 is another folder
  return rest;
}

bool IsShared(std::u16string_view rest) {
  static constexpr std::array<std::u16string_view, 6> kShared{u"catroot", u"catroot2", u"driverstore",
                                                              u"drivers\\etc", u"logfiles", u"spool"};
  for (std::u16string_view shared : kShared) {
    if (rest.size() > shared.size() && Below(rest.substr(1), shared)) return true;
  }
  return false;
}

}  // namespace

std::u16string RedirectedFor32BitProcess(std::u16string_view path, const SystemFolders& folders) {
  if (const auto rest = Below(path, folders.sysnative)) return std::u16string(folders.system32) + std::u16string(*rest);
  if (const auto rest = Below(path, folders.system32); rest && !IsShared(*rest)) {
    return std::u16string(folders.sysWow64) + std::u16string(*rest);
  }
  return std::u16string(path);
}

}  // namespace pendrake::registration
