// Owners of the Win32 resources the adapters acquire; each releases its resource exactly once.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <utility>

namespace pendrake::win32 {

// A move-only owner of a handle-like value with a sentinel for "none".
template <typename Handle, Handle kNone, typename Close>
class UniqueResource {
 public:
  UniqueResource() = default;
  explicit UniqueResource(Handle handle) : handle_(handle) {}
  UniqueResource(UniqueResource&& other) noexcept : handle_(std::exchange(other.handle_, kNone)) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, kNone);
    }
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  ~UniqueResource() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != kNone; }
  void reset() {
    if (handle_ != kNone) Close{}(std::exchange(handle_, kNone));
  }

 private:
  Handle handle_ = kNone;
};

struct CloseKey {
  void operator()(HKEY key) const { RegCloseKey(key); }
};

using UniqueKey = UniqueResource<HKEY, nullptr, CloseKey>;

}  // namespace pendrake::win32
