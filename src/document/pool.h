// A growable array of plain records that grows in place. The display list
// is parsed again after every change and can hold tens of millions of
// points: growing it by realloc lets the system move large blocks by
// remapping their pages, so that growth never copies and never holds the
// old and the new block at once. Capacity is kept from one parse to the
// next. A failed allocation throws std::bad_alloc.
//
// Fresh memory costs a page fault per page on first touch, more than the
// parse writing it. A growing pool asks the system for the pages ahead of
// its end a window at a time instead, in one call each.
#pragma once

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace vestrel {

// Gives the system `advice` on the whole pages of `page` bytes within
// [p, p + bytes). Only a way to be faster: where the system cannot take
// it, nothing changes.
inline void AdvisePages(void* p, std::size_t bytes, std::uintptr_t page, int advice) {
  const auto from = (reinterpret_cast<std::uintptr_t>(p) + page - 1) & ~(page - 1);
  const auto to = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(page - 1);
  if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, advice);
}

// Has the system back the pages of [p, p + bytes) with memory now, as
// writing them would, in one call rather than a fault per page; where it
// cannot, the pages come on first touch as usual.
inline void PopulatePages(void* p, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
  AdvisePages(p, bytes, 4096, MADV_POPULATE_WRITE);
#else
  (void)p, (void)bytes;
#endif
}

// Asks the system to back [p, p + bytes) with huge pages, for a large block
// filled at once: a fault (or a page asked for) then brings 2 MiB, not
// 4 KiB.
inline void PreferHugePages(void* p, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
  AdvisePages(p, bytes, std::uintptr_t{2} << 20, MADV_HUGEPAGE);
#else
  (void)p, (void)bytes;
#endif
}

template <class T>
class Pool {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

 public:
  Pool() = default;
  Pool(const Pool& o) { append(o.begin(), o.end()); }
  Pool(Pool&& o) noexcept { swap(o); }
  Pool& operator=(Pool o) noexcept {
    swap(o);
    return *this;
  }
  ~Pool() { std::free(data_); }

  void swap(Pool& o) noexcept {
    std::swap(data_, o.data_);
    std::swap(size_, o.size_);
    std::swap(capacity_, o.capacity_);
    std::swap(ready_, o.ready_);
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  T* begin() { return data_; }
  T* end() { return data_ + size_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }
  T& operator[](std::size_t i) { return data_[i]; }
  const T& operator[](std::size_t i) const { return data_[i]; }
  T& back() { return data_[size_ - 1]; }
  const T& back() const { return data_[size_ - 1]; }

  // A new record at the end, as T{} makes it.
  T& emplace_back() {
    if (size_ == ready_) makeReady();
    return *new (data_ + size_++) T{};
  }
  void push_back(const T& v) { emplace_back() = v; }
  void append(const T* first, const T* last) {
    const auto n = static_cast<std::size_t>(last - first);
    if (n == 0) return;
    if (size_ + n > capacity_) grow(size_ + n);
    std::memcpy(static_cast<void*>(data_ + size_), first, n * sizeof(T));
    size_ += n;
    ready_ = std::max(ready_, size_);
  }
  // Shorter, or longer by records as T{} makes them.
  void resize(std::size_t n) {
    if (n > capacity_) grow(n);
    for (std::size_t i = size_; i < n; ++i) new (data_ + i) T{};
    size_ = n;
    ready_ = std::max(ready_, size_);
  }
  void clear() { size_ = 0; }
  void reserve(std::size_t n) {
    if (n > capacity_) reallocate(n);
  }

 private:
  // Records whose pages are asked for at once.
  static constexpr std::size_t kWindow = std::max<std::size_t>(1, (std::size_t{2} << 20) / sizeof(T));

  // Room for one more record at the end, its pages and the window's after
  // it there.
  void makeReady() {
    if (size_ == capacity_) grow(size_ + 1);
    const std::size_t until = std::min(capacity_, size_ + kWindow);
    PopulatePages(data_ + size_, (until - size_) * sizeof(T));
    ready_ = until;
  }
  void grow(std::size_t atLeast) { reallocate(std::max(atLeast, capacity_ < 1024 ? 1024 : capacity_ * 2)); }
  void reallocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    void* p = std::realloc(data_, n * sizeof(T));
    if (!p) throw std::bad_alloc();
    data_ = static_cast<T*>(p);
    capacity_ = n;
    ready_ = size_;
  }

  T* data_ = nullptr;
  // ready_: the records up to which emplace_back goes on without a look
  // at the capacity (size_ <= ready_ <= capacity_).
  std::size_t size_ = 0, capacity_ = 0, ready_ = 0;
};

}  // namespace vestrel
