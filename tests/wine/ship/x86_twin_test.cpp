// The x86 component beside the x64 one, read by this 64-bit program without running any x86
// code: what a host that cannot start 32-bit programs can still prove about the x86 file. Its
// type library must describe the same interface for Win32, and its registration script and
// version information must be the x64 file's.
//
//   x86_twin_tests <x64 Pendrake.dll> <x86 Pendrake.dll>
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Pendrake_h.h"
#include "pendrake/owners.h"
#include "com_test_support.h"

namespace {

using pendrake::owners::ComPtr;
using pendrake::owners::UniqueBstr;
using pendrake::comtest::HexHresult;
using pendrake::comtest::Narrow;

std::wstring g_x64Path;
std::wstring g_x86Path;

std::string Str(BSTR text) { return text ? Narrow(text) : std::string("(null)"); }

ComPtr<ITypeLib> LoadLibraryOf(const std::wstring& path) {
  ComPtr<ITypeLib> library;
  const HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put());
  EXPECT_EQ(S_OK, hr) << "LoadTypeLibEx " << Narrow(path.c_str()) << " " << HexHresult(hr);
  return library;
}

// One line for every name, kind, flag, identifier and type of a type description: everything
// the two bitnesses must share. Sizes that follow the pointer size are left to their own test.
void DescribeInfo(ITypeInfo* info, std::vector<std::string>& lines) {
  TYPEATTR* attr = nullptr;
  if (FAILED(info->GetTypeAttr(&attr))) {
    lines.push_back("(no type attributes)");
    return;
  }
  UniqueBstr name;
  info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr);
  char head[160];
  std::snprintf(head, sizeof head, "type %s kind %d flags 0x%x funcs %u vars %u impls %u", Str(name.get()).c_str(),
                attr->typekind, attr->wTypeFlags, attr->cFuncs, attr->cVars, attr->cImplTypes);
  lines.push_back(head);
  for (UINT f = 0; f < attr->cFuncs; ++f) {
    FUNCDESC* func = nullptr;
    if (FAILED(info->GetFuncDesc(f, &func))) continue;
    BSTR names[16] = {};
    UINT count = 0;
    info->GetNames(func->memid, names, 16, &count);
    std::string line = "  func id " + std::to_string(func->memid) + " invoke " + std::to_string(func->invkind) +
                       " kind " + std::to_string(func->funckind) + " returns " +
                       std::to_string(func->elemdescFunc.tdesc.vt) + " names";
    for (UINT n = 0; n < count; ++n) {
      line += " " + Str(names[n]);
      SysFreeString(names[n]);
    }
    for (SHORT p = 0; p < func->cParams; ++p) {
      const ELEMDESC& param = func->lprgelemdescParam[p];
      line += " param " + std::to_string(param.tdesc.vt) + "/" + std::to_string(param.paramdesc.wParamFlags);
    }
    lines.push_back(line);
    info->ReleaseFuncDesc(func);
  }
  for (UINT v = 0; v < attr->cVars; ++v) {
    VARDESC* var = nullptr;
    if (FAILED(info->GetVarDesc(v, &var))) continue;
    UniqueBstr varName;
    info->GetDocumentation(var->memid, varName.put(), nullptr, nullptr, nullptr);
    std::string line = "  var " + Str(varName.get()) + " id " + std::to_string(var->memid);
    if (var->varkind == VAR_CONST && var->lpvarValue) line += " = " + std::to_string(var->lpvarValue->lVal);
    lines.push_back(line);
    info->ReleaseVarDesc(var);
  }
  info->ReleaseTypeAttr(attr);
}

std::vector<std::string> Describe(ITypeLib* library) {
  std::vector<std::string> lines;
  for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
    ComPtr<ITypeInfo> info;
    if (FAILED(library->GetTypeInfo(i, info.put()))) continue;
    DescribeInfo(info.get(), lines);
    // A dual interface has a table-of-functions side of its own.
    HREFTYPE ref = 0;
    ComPtr<ITypeInfo> table;
    if (SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref)) &&
        SUCCEEDED(info->GetRefTypeInfo(ref, table.put()))) {
      lines.push_back(" its table of functions:");
      DescribeInfo(table.get(), lines);
    }
  }
  return lines;
}

struct LibraryIdentity {
  SYSKIND syskind = SYS_WIN16;
  GUID guid = {};
  LCID lcid = 0;
  WORD major = 0, minor = 0;
};

LibraryIdentity IdentityOf(ITypeLib* library) {
  LibraryIdentity identity;
  TLIBATTR* attr = nullptr;
  if (SUCCEEDED(library->GetLibAttr(&attr))) {
    identity = {attr->syskind, attr->guid, attr->lcid, attr->wMajorVerNum, attr->wMinorVerNum};
    library->ReleaseTLibAttr(attr);
  }
  return identity;
}

TEST(X86Twin, TypeLibraryIsForWin32WithTheSameMembersDispatchIdentifiersAndEnumerations) {
  ComPtr<ITypeLib> x64 = LoadLibraryOf(g_x64Path);
  ComPtr<ITypeLib> x86 = LoadLibraryOf(g_x86Path);
  ASSERT_TRUE(x64 && x86);

  const LibraryIdentity wide = IdentityOf(x64.get());
  const LibraryIdentity narrow = IdentityOf(x86.get());
  EXPECT_EQ(SYS_WIN64, wide.syskind);
  EXPECT_EQ(SYS_WIN32, narrow.syskind);
  EXPECT_TRUE(IsEqualGUID(wide.guid, narrow.guid));
  EXPECT_EQ(wide.lcid, narrow.lcid);
  EXPECT_EQ(wide.major, narrow.major);
  EXPECT_EQ(wide.minor, narrow.minor);

  const std::vector<std::string> x64Lines = Describe(x64.get());
  const std::vector<std::string> x86Lines = Describe(x86.get());
  // Enough of the interface to know the description is real: the coclass, both sides of the
  // dual interface with their members, and three enumerations.
  ASSERT_GT(x64Lines.size(), 70u);
  EXPECT_EQ(x64Lines, x86Lines);
}

TEST(X86Twin, TableOfFunctionsHoldsFourBytePointers) {
  ComPtr<ITypeLib> x86 = LoadLibraryOf(g_x86Path);
  ASSERT_TRUE(x86);
  ComPtr<ITypeInfo> dispatch;
  ASSERT_EQ(S_OK, x86->GetTypeInfoOfGuid(IID_IPendrake, dispatch.put()));
  HREFTYPE ref = 0;
  ASSERT_EQ(S_OK, dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref));
  ComPtr<ITypeInfo> table;
  ASSERT_EQ(S_OK, dispatch->GetRefTypeInfo(ref, table.put()));
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(S_OK, table->GetTypeAttr(&attr));
  // IDispatch's seven entries and the interface's twenty.
  EXPECT_EQ((7 + 20) * 4, attr->cbSizeVft);
  table->ReleaseTypeAttr(attr);
}

// The bytes of one resource of a file loaded as data: no code of the file runs.
std::string ResourceBytes(const std::wstring& path, LPCWSTR type, LPCWSTR name) {
  HMODULE file = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  EXPECT_NE(nullptr, file) << Narrow(path.c_str()) << " error " << GetLastError();
  if (!file) return {};
  std::string bytes;
  if (HRSRC found = FindResourceW(file, name, type)) {
    bytes.assign(static_cast<const char*>(LockResource(LoadResource(file, found))), SizeofResource(file, found));
  }
  FreeLibrary(file);
  return bytes;
}

TEST(X86Twin, RegistrationScriptAndVersionInformationAreTheX64Ones) {
  const struct {
    const char* what;
    LPCWSTR type;
    LPCWSTR name;
  } resources[] = {
      {"registration script", L"REGISTRY", MAKEINTRESOURCEW(101)},
      {"version information", MAKEINTRESOURCEW(16) /* RT_VERSION */, MAKEINTRESOURCEW(1)},
  };
  for (const auto& resource : resources) {
    const std::string wide = ResourceBytes(g_x64Path, resource.type, resource.name);
    const std::string narrow = ResourceBytes(g_x86Path, resource.type, resource.name);
    EXPECT_FALSE(wide.empty()) << resource.what << " of the x64 file";
    EXPECT_EQ(wide, narrow) << resource.what;
  }
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <x64 Pendrake.dll> <x86 Pendrake.dll>\n", argv[0]);
    return 2;
  }
  pendrake::comtest::SetDllPathFromArgument(argv[1]);
  g_x64Path = pendrake::comtest::DllPath();
  pendrake::comtest::SetDllPathFromArgument(argv[2]);
  g_x86Path = pendrake::comtest::DllPath();
  return RUN_ALL_TESTS();
}
