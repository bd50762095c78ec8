#pragma once
// The owner of one resource: it releases the resource (Traits::Close) on every
// path out of the scope that holds it. The owners of the system's handles are
// in win32_handles.h; a C runtime file, which portable code opens too, is here.

#include <cstdio>

template <typename Handle, typename Traits>
class UniqueResource {
 public:
  UniqueResource() = default;
  explicit UniqueResource(Handle handle) : handle_(handle) {}
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept : handle_(other.Release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~UniqueResource() { Reset(); }

  void Reset(Handle handle = Traits::Invalid()) {
    if (Traits::IsValid(handle_)) Traits::Close(handle_);
    handle_ = handle;
  }
  Handle Release() {
    Handle handle = handle_;
    handle_ = Traits::Invalid();
    return handle;
  }
  Handle get() const { return handle_; }
  // For APIs that return a handle through an out-parameter.
  Handle* Receive() {
    Reset();
    return &handle_;
  }
  explicit operator bool() const { return Traits::IsValid(handle_); }

 private:
  Handle handle_ = Traits::Invalid();
};

struct StdioFileTraits {
  static std::FILE* Invalid() { return nullptr; }
  static bool IsValid(std::FILE* file) { return file != nullptr; }
  static void Close(std::FILE* file) { std::fclose(file); }
};
using UniqueStdioFile = UniqueResource<std::FILE*, StdioFileTraits>;
