// What a long run watches for growth: the process's handles and private bytes, as far as
// Wine 8 tells them.
#pragma once

#include <windows.h>
#include <psapi.h>

namespace pendrake::winetest {

// Wine 8 answers GetProcessHandleCount with 0. Its handle table hands out the lowest free
// slot, so there the slot a new handle gets stands in for the count: leaked handles push it up.
inline DWORD ProcessHandles() {
  DWORD count = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return count;
  HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  const auto slot = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(probe) / 4);
  CloseHandle(probe);
  return slot;
}

// Wine 8 leaves PrivateUsage at 0 but fills PagefileUsage, which Windows keeps equal to it.
inline SIZE_T ProcessPrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return counters.PrivateUsage > 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

}  // namespace pendrake::winetest
