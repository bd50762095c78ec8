#pragma once
// An owned, zero-filled heap array of runtime size. Allocation failure is an
// ordinary result (Allocate returns false), never an exception.

#include <cstddef>
#include <cstdlib>

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
  ~HeapBuffer() { std::free(data_); }

  bool Allocate(std::size_t count) {
    std::free(data_);
    size_ = 0;
    data_ = static_cast<T*>(std::calloc(count ? count : 1, sizeof(T)));
    if (data_ != nullptr) size_ = count;
    return data_ != nullptr;
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
