// A growable array of plain records that grows in place. The display list
// is parsed again after every change and can hold tens of millions of
// points: growing it by realloc lets the system move large blocks by
// remapping their pages, so that growth never copies and never holds the
// old and the new block at once. Capacity is kept from one parse to the
// next. A failed allocation throws std::bad_alloc.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace vestrel {

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
    if (size_ == capacity_) grow(size_ + 1);
    return *new (data_ + size_++) T{};
  }
  void push_back(const T& v) { emplace_back() = v; }
  void append(const T* first, const T* last) {
    const auto n = static_cast<std::size_t>(last - first);
    if (n == 0) return;
    if (size_ + n > capacity_) grow(size_ + n);
    std::memcpy(static_cast<void*>(data_ + size_), first, n * sizeof(T));
    size_ += n;
  }
  // Shorter, or longer by records as T{} makes them.
  void resize(std::size_t n) {
    if (n > capacity_) grow(n);
    for (std::size_t i = size_; i < n; ++i) new (data_ + i) T{};
    size_ = n;
  }
  void clear() { size_ = 0; }
  void reserve(std::size_t n) {
    if (n > capacity_) reallocate(n);
  }

 private:
  void grow(std::size_t atLeast) { reallocate(std::max(atLeast, capacity_ < 1024 ? 1024 : capacity_ * 2)); }
  void reallocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    void* p = std::realloc(data_, n * sizeof(T));
    if (!p) throw std::bad_alloc();
    data_ = static_cast<T*>(p);
    capacity_ = n;
  }

  T* data_ = nullptr;
  std::size_t size_ = 0, capacity_ = 0;
};

}  // namespace vestrel
