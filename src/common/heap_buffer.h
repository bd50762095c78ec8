#pragma once
// An owned, zero-filled heap array of runtime size. Allocation failure is an
// ordinary result (Allocate returns false), never an exception.

#include <cstddef>
#include <cstdlib>
#include <cstring>

template <typename T>
class HeapBuffer {
 public:
  HeapBuffer() = default;
  HeapBuffer(const HeapBuffer&) = delete;
  HeapBuffer& operator=(const HeapBuffer&) = delete;
  HeapBuffer(HeapBuffer&& other) noexcept : data_(other.data_), size_(other.size_) {
    other.data_ = nullptr;
    other.size_ = 0;
  }
  HeapBuffer& operator=(HeapBuffer&& other) noexcept {
    if (this != &other) {
      std::free(data_);
      data_ = other.data_;
      size_ = other.size_;
      other.data_ = nullptr;
      other.size_ = 0;
    }
    return *this;
  }
  ~HeapBuffer() { std::free(data_); }

  bool Allocate(std::size_t count) {
    std::free(data_);
    size_ = 0;
    data_ = static_cast<T*>(std::calloc(count ? count : 1, sizeof(T)));
    if (data_ != nullptr) size_ = count;
    return data_ != nullptr;
  }

  // Grows (or shrinks) to `count` elements, keeping the first ones; new ones are
  // zero. On failure the buffer stays as it was.
  bool Resize(std::size_t count) {
    if (count > static_cast<std::size_t>(-1) / sizeof(T)) return false;
    void* grown = std::realloc(data_, (count ? count : 1) * sizeof(T));
    if (grown == nullptr) return false;
    data_ = static_cast<T*>(grown);
    if (count > size_) std::memset(static_cast<void*>(data_ + size_), 0, (count - size_) * sizeof(T));
    size_ = count;
    return true;
  }

  T* data() { return data_; }
  const T* data() const { return data_; }
  std::size_t size() const { return size_; }
  T& operator[](std::size_t i) { return data_[i]; }
  const T& operator[](std::size_t i) const { return data_[i]; }

 private:
  T* data_ = nullptr;
  std::size_t size_ = 0;
};
