// A text in an 8-bit code page, built where it is used.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace pendrake {

// An 8-bit text, always NUL-terminated. Short texts (names, most messages) live inside the
// object, so converting one costs no heap allocation; a longer one goes to the heap.
class NarrowText {
 public:
  static constexpr std::size_t kInlineCapacity = 255;

  NarrowText() noexcept { inline_[0] = '\0'; }
  NarrowText(const NarrowText&) = delete;
  NarrowText& operator=(const NarrowText&) = delete;

  // Room for `size` bytes and the terminator, written from data(); what was held is lost.
  // Throws std::bad_alloc when a long text finds no memory.
  char* Allocate(std::size_t size) {
    // Empty first, so that a failed allocation leaves nothing pointing at released memory.
    data_ = inline_;
    size_ = 0;
    inline_[0] = '\0';
    char* room = inline_;
    if (size > kInlineCapacity) {
      if (size > heapCapacity_) {
        heap_.reset();
        heapCapacity_ = 0;
        heap_ = std::make_unique<char[]>(size + 1);
        heapCapacity_ = size;
      }
      room = heap_.get();
    }
    data_ = room;
    size_ = size;
    data_[size_] = '\0';
    return data_;
  }
  // Keeps the first `size` bytes (at most what is held).
  void Shorten(std::size_t size) noexcept {
    if (size < size_) size_ = size;
    data_[size_] = '\0';
  }
  void Assign(std::string_view text) {
    char* room = Allocate(text.size());
    if (!text.empty()) std::memcpy(room, text.data(), text.size());
  }
  void Clear() noexcept { Shorten(0); }

  char* data() noexcept { return data_; }
  const char* c_str() const noexcept { return data_; }
  std::size_t size() const noexcept { return size_; }
  bool empty() const noexcept { return size_ == 0; }
  std::string_view view() const noexcept { return {data_, size_}; }

 private:
  char inline_[kInlineCapacity + 1];
  std::unique_ptr<char[]> heap_;
  std::size_t heapCapacity_ = 0;
  char* data_ = inline_;
  std::size_t size_ = 0;
};

}  // namespace pendrake
