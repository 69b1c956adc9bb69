// Reads the product version from a file's version information.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "client/core/About.h"

namespace pendrake::client {

// The product version of the file at `path` (GetFileVersionInfoSizeA, GetFileVersionInfoA,
// VerQueryValueA on "\"), or nullopt when the file has no readable version information.
std::optional<ProductVersion> ReadProductVersion(const std::wstring& path);

// The product version of the running program's own file (the client's VERSIONINFO).
std::optional<ProductVersion> ReadOwnProductVersion();

}  // namespace pendrake::client
