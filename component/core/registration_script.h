// The registration script: the key tree that self-registration writes and self-unregistration
// removes, in the brace notation carried as resource "REGISTRY" in Pendrake.dll.
//
//   HKCR
//   {
//     NoRemove CLSID
//     {
//       ForceRemove {guid} = s 'Pendrake Class'
//       {
//         InprocServer32 = s '%MODULE%'
//         {
//           val ThreadingModel = s 'Apartment'
//         }
//       }
//     }
//   }
//
// Portable: no <windows.h>. Texts are UTF-16 so a module path outside the ANSI code page
// survives on its way into the registry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pendrake::registration {

// Win32 error codes travel unchanged from the registry to the COM boundary, where one helper
// turns them into HRESULTs.
using Win32Error = std::uint32_t;
inline constexpr Win32Error kSuccess = 0;
inline constexpr Win32Error kFileNotFound = 2;         // ERROR_FILE_NOT_FOUND
inline constexpr Win32Error kAccessDenied = 5;         // ERROR_ACCESS_DENIED
inline constexpr Win32Error kInvalidData = 13;         // ERROR_INVALID_DATA: malformed script
inline constexpr Win32Error kInsufficientBuffer = 122; // ERROR_INSUFFICIENT_BUFFER: path too long

// A module path must fit the classic MAX_PATH buffer with its terminator.
inline constexpr std::size_t kMaxModulePathLength = 259;

enum class Root { ClassesRoot, CurrentUser, LocalMachine, Users };

enum class Marker { None, NoRemove, ForceRemove };

struct Value {
  enum class Type { String, ExpandString, Dword };
  Type type = Type::String;
  std::u16string text;        // String, ExpandString
  std::uint32_t number = 0;   // Dword
  friend bool operator==(const Value&, const Value&) = default;
};

// One line of the script: a key (with an optional default value and children) or, with the
// `val` marker, a named value of the enclosing key.
struct Entry {
  Marker marker = Marker::None;
  bool namedValue = false;
  std::u16string name;
  std::optional<Value> value;
  std::vector<Entry> children;
};

struct RootBlock {
  Root root = Root::ClassesRoot;
  std::vector<Entry> entries;
};

struct Script {
  std::vector<RootBlock> roots;
};

struct ParseOutcome {
  std::optional<Script> script;   // empty when the text is malformed
  std::size_t errorOffset = 0;    // where the parser gave up
  std::string error;              // why, for the developer
};

// Replaces %MODULE% by `modulePath` with every single quote doubled (the path lands inside a
// quoted string) and %% by one percent sign. Any other %NAME% or a lone % makes the text
// malformed: std::nullopt. The substituted path is not scanned again.
std::optional<std::u16string> ExpandVariables(std::u16string_view text, std::u16string_view modulePath);

// Parses an expanded script. Nothing is partial: either the whole tree or an error. A key or
// value name that is empty, holds a backslash or holds a control character (NUL among them)
// makes the script malformed.
ParseOutcome ParseScript(std::u16string_view text);

// The twelve shared keys that ForceRemove never deletes (compared without regard to case).
bool IsProtectedKeyName(std::u16string_view name);

// ASCII case folding as the registry compares key names written by this script.
bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace pendrake::registration
