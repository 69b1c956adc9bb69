// The registration script from its text to the registry and back: parsing, registering and
// unregistering over the memory registry, also with one registry operation failing.
// Invariants: the walker leaves no key handle open on any path, and a script that registers
// from an empty registry unregisters back to an empty one once its NoRemove keys (which stay
// by design) are taken as ordinary keys.
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "memory_registry.h"
#include "registration_script.h"
#include "registration_script_walker.h"

namespace pendrake::registration {
namespace {

using testing::MemoryRegistry;

// A quote and a percent sign in the path: the substitution must double the one and must not
// read the other as a variable.
constexpr char16_t kModule[] = u"C:\\O'Neil\\100%\\Pendrake.dll";
constexpr Root kRoots[] = {Root::ClassesRoot, Root::CurrentUser, Root::LocalMachine, Root::Users};

void TakeNoRemoveAsOrdinary(std::vector<Entry>& entries) {
  for (Entry& entry : entries) {
    if (entry.marker == Marker::NoRemove) entry.marker = Marker::None;
    TakeNoRemoveAsOrdinary(entry.children);
  }
}

std::string Tree(const MemoryRegistry& registry) {
  std::string lines;
  for (Root root : kRoots) {
    for (const std::string& line : registry.Dump(root)) lines += line + "\n";
  }
  return lines;
}

void CheckNoHandleOpen(const MemoryRegistry& registry, const char* walk) {
  PENDRAKE_FUZZ_CHECK(registry.OpenHandles() == 0, std::string(walk) + " left " +
                                                       std::to_string(registry.OpenHandles()) + " keys open");
}

}  // namespace
}  // namespace pendrake::registration

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pendrake::registration;
  const std::u16string text = pendrake::fuzz::WideFromBytes(data, size);

  // As shipped: the text goes through the walker's own parsing.
  {
    MemoryRegistry registry;
    const Win32Error registered = RegisterScript(registry, text, kModule);
    CheckNoHandleOpen(registry, "registration");
    (void)UnregisterScript(registry, text, kModule);
    CheckNoHandleOpen(registry, "unregistration");
    if (registered == kInvalidData) {
      PENDRAKE_FUZZ_CHECK(Tree(registry).empty(), "a malformed script wrote " + Tree(registry));
    }
  }

  const std::optional<std::u16string> expanded = ExpandVariables(text, kModule);
  if (!expanded) return 0;
  ParseOutcome outcome = ParseScript(*expanded);
  if (!outcome.script) return 0;
  Script script = std::move(*outcome.script);
  for (RootBlock& block : script.roots) TakeNoRemoveAsOrdinary(block.entries);

  {
    MemoryRegistry registry;
    if (RegisterParsed(registry, script) == kSuccess) {
      const Win32Error unregistered = UnregisterParsed(registry, script);
      CheckNoHandleOpen(registry, "unregistration");
      PENDRAKE_FUZZ_CHECK(unregistered == kSuccess, "unregistration failed with " + std::to_string(unregistered));
      PENDRAKE_FUZZ_CHECK(Tree(registry).empty(), "unregistration left\n" + Tree(registry));
    }
  }

  // One operation fails (which one follows from the input): every path still closes its keys.
  {
    MemoryRegistry registry;
    int countdown = static_cast<int>(size % 23);
    registry.fault = [&](testing::Operation, std::u16string_view) -> Win32Error {
      return --countdown == 0 ? kAccessDenied : kSuccess;
    };
    (void)RegisterParsed(registry, script);
    CheckNoHandleOpen(registry, "failing registration");
    countdown = static_cast<int>(size % 19);
    (void)UnregisterParsed(registry, script);
    CheckNoHandleOpen(registry, "failing unregistration");
  }
  return 0;
}
