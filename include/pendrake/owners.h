// One family of owners for everything the Windows code acquires: registry keys, BSTRs,
// VARIANTs, COM interface pointers, GDI objects and their selection into a device context,
// kernel handles and loaded modules. Each owner releases what it holds exactly once, on every
// path, and hands out its slot with put() for the out-parameters the API fills.
//
// Header-only on purpose: the component, the client and the Wine tests all use it, and the
// client links against no other deliverable.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>
#include <type_traits>
#include <utility>

namespace pendrake::owners {

// The owner of one value described by Traits:
//   type            what is held (a handle, a pointer, or a small struct such as VARIANT)
//   invalid()       the value that means "nothing held"
//   is_valid(v)     whether v needs closing
//   close(v)        gives v back, once
template <typename Traits>
class UniqueAny {
 public:
  using pointer = typename Traits::type;

  UniqueAny() noexcept = default;
  explicit UniqueAny(pointer value) noexcept : value_(value) {}
  UniqueAny(UniqueAny&& other) noexcept : value_(std::exchange(other.value_, Traits::invalid())) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) reset(std::exchange(other.value_, Traits::invalid()));
    return *this;
  }
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;
  ~UniqueAny() { reset(); }

  const pointer& get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return Traits::is_valid(value_); }
  pointer operator->() const noexcept
    requires std::is_pointer_v<pointer>
  {
    return value_;
  }

  // For out-parameters: gives back what is held and hands out the empty slot.
  pointer* put() noexcept {
    reset();
    return &value_;
  }
  // Lets go without closing; the caller owns the value from now on.
  pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }
  void reset(pointer value = Traits::invalid()) noexcept {
    pointer old = std::exchange(value_, value);
    if (Traits::is_valid(old)) Traits::close(old);
  }

 private:
  pointer value_ = Traits::invalid();
};

// Traits of a handle-like value closed by one function, with `kNone` as "nothing held".
template <typename Handle, auto Close, Handle kNone = Handle{}>
struct HandleTraits {
  using type = Handle;
  static constexpr Handle invalid() noexcept { return kNone; }
  static constexpr bool is_valid(Handle value) noexcept { return value != kNone; }
  static void close(Handle value) noexcept { static_cast<void>(Close(value)); }
};

template <typename Handle, auto Close, Handle kNone = Handle{}>
using UniqueHandleOf = UniqueAny<HandleTraits<Handle, Close, kNone>>;

// ---- Kernel, registry, modules --------------------------------------------------------------
using UniqueHkey = UniqueHandleOf<HKEY, &::RegCloseKey>;
using UniqueHandle = UniqueHandleOf<HANDLE, &::CloseHandle>;
using UniqueHmodule = UniqueHandleOf<HMODULE, &::FreeLibrary>;
using UniqueHlocal = UniqueHandleOf<HLOCAL, &::LocalFree>;

// ---- COM --------------------------------------------------------------------------------------
template <typename Interface>
struct ComTraits {
  using type = Interface*;
  static constexpr type invalid() noexcept { return nullptr; }
  static constexpr bool is_valid(type value) noexcept { return value != nullptr; }
  static void close(type value) noexcept { value->Release(); }
};
template <typename Interface>
using ComPtr = UniqueAny<ComTraits<Interface>>;

using UniqueBstr = UniqueHandleOf<BSTR, &::SysFreeString>;

// A BSTR copy of `text` (embedded NULs kept); empty when the allocation fails.
inline UniqueBstr MakeBstr(std::wstring_view text) {
  return UniqueBstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}

struct VariantTraits {
  using type = VARIANT;
  static type invalid() noexcept {
    VARIANT empty;
    VariantInit(&empty);
    return empty;
  }
  static bool is_valid(const type& value) noexcept { return value.vt != VT_EMPTY; }
  static void close(type value) noexcept { VariantClear(&value); }
};
using UniqueVariant = UniqueAny<VariantTraits>;

// ---- GDI --------------------------------------------------------------------------------------
template <typename Object>
using UniqueGdiObject = UniqueHandleOf<Object, &::DeleteObject>;
using UniqueHfont = UniqueGdiObject<HFONT>;
using UniqueHbrush = UniqueGdiObject<HBRUSH>;
using UniqueHpen = UniqueGdiObject<HPEN>;

// An object selected into a device context; the one it replaced goes back when the owner goes.
struct SelectedObject {
  HDC dc = nullptr;
  HGDIOBJ previous = nullptr;
};
struct SelectTraits {
  using type = SelectedObject;
  static constexpr type invalid() noexcept { return {}; }
  static constexpr bool is_valid(const type& value) noexcept { return value.previous != nullptr; }
  static void close(const type& value) noexcept { SelectObject(value.dc, value.previous); }
};
using UniqueSelectObject = UniqueAny<SelectTraits>;

inline UniqueSelectObject SelectInto(HDC dc, HGDIOBJ object) {
  return UniqueSelectObject(SelectedObject{dc, SelectObject(dc, object)});
}

// A device context of a window (GetDC), released to that window.
struct WindowDcTraits {
  struct type {
    HWND window = nullptr;
    HDC dc = nullptr;
  };
  static constexpr type invalid() noexcept { return {}; }
  static constexpr bool is_valid(const type& value) noexcept { return value.dc != nullptr; }
  static void close(const type& value) noexcept { ReleaseDC(value.window, value.dc); }
};
using UniqueWindowDc = UniqueAny<WindowDcTraits>;

inline UniqueWindowDc GetWindowDc(HWND window) { return UniqueWindowDc({window, GetDC(window)}); }

}  // namespace pendrake::owners
