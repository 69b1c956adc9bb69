// Copies a module without its type library resource, so registration has to take the type
// library from the ".tlb" file beside it.   typelib_stripper.exe <from> <to>
// The copy's resources are rewritten from the original's, all but TYPELIB.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Resource {
  std::string type;  // "#n" for a numbered one, as the resource functions accept
  std::string name;
  WORD language;
  std::vector<char> data;
};

std::string Id(LPCSTR id) {
  if (!IS_INTRESOURCE(id)) return id;
  char text[24];
  std::snprintf(text, sizeof text, "#%llu", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(id)));
  return text;
}

struct Collector {
  HMODULE module;
  std::vector<Resource> resources;
};

BOOL CALLBACK OnLanguage(HMODULE module, LPCSTR type, LPCSTR name, WORD language, LONG_PTR context) {
  auto* collector = reinterpret_cast<Collector*>(context);
  HRSRC found = FindResourceExA(module, type, name, language);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
  collector->resources.push_back(
      {Id(type), Id(name), language, std::vector<char>(bytes, bytes + SizeofResource(module, found))});
  return TRUE;
}

BOOL CALLBACK OnName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR context) {
  return EnumResourceLanguagesA(module, type, name, OnLanguage, context);
}

BOOL CALLBACK OnType(HMODULE module, LPSTR type, LONG_PTR context) {
  return EnumResourceNamesA(module, type, OnName, context);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <from> <to>\n", argv[0]);
    return 2;
  }
  Collector collector{LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE), {}};
  if (!collector.module) return 3;
  EnumResourceTypesA(collector.module, OnType, reinterpret_cast<LONG_PTR>(&collector));
  FreeLibrary(collector.module);
  if (!CopyFileA(argv[1], argv[2], FALSE)) return 4;
  HANDLE update = BeginUpdateResourceA(argv[2], TRUE);
  if (!update) return 5;
  for (Resource& r : collector.resources) {
    if (r.type == "TYPELIB") continue;
    if (!UpdateResourceA(update, r.type.c_str(), r.name.c_str(), r.language, r.data.data(),
                         static_cast<DWORD>(r.data.size()))) {
      EndUpdateResourceA(update, TRUE);
      return 6;
    }
  }
  if (!EndUpdateResourceA(update, FALSE)) return 7;
  HMODULE check = LoadLibraryExA(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!check) return 8;
  const bool stripped = !FindResourceA(check, MAKEINTRESOURCEA(1), "TYPELIB") &&
                        FindResourceA(check, MAKEINTRESOURCEA(101), "REGISTRY");
  FreeLibrary(check);
  return stripped ? 0 : 9;
}
