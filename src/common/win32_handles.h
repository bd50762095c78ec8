#pragma once
// Small owners for the system's handles: each closes its handle on every path
// out of the scope that holds it.

#include <windows.h>

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

struct RegistryKeyTraits {
  static HKEY Invalid() { return nullptr; }
  static bool IsValid(HKEY key) { return key != nullptr; }
  static void Close(HKEY key) { RegCloseKey(key); }
};
using UniqueHKey = UniqueResource<HKEY, RegistryKeyTraits>;

// Kernel handles: both null and INVALID_HANDLE_VALUE mean "no handle".
struct KernelHandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static bool IsValid(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
  }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};
using UniqueHandle = UniqueResource<HANDLE, KernelHandleTraits>;

struct ModuleTraits {
  static HMODULE Invalid() { return nullptr; }
  static bool IsValid(HMODULE module) { return module != nullptr; }
  static void Close(HMODULE module) { FreeLibrary(module); }
};
using UniqueModule = UniqueResource<HMODULE, ModuleTraits>;

struct FindHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE handle) { return handle != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE handle) { FindClose(handle); }
};
using UniqueFindHandle = UniqueResource<HANDLE, FindHandleTraits>;

struct StdioFileTraits {
  static FILE* Invalid() { return nullptr; }
  static bool IsValid(FILE* file) { return file != nullptr; }
  static void Close(FILE* file) { fclose(file); }
};
using UniqueStdioFile = UniqueResource<FILE*, StdioFileTraits>;

struct GdiObjectTraits {
  static HGDIOBJ Invalid() { return nullptr; }
  static bool IsValid(HGDIOBJ object) { return object != nullptr; }
  static void Close(HGDIOBJ object) { DeleteObject(object); }
};
using UniqueGdiObject = UniqueResource<HGDIOBJ, GdiObjectTraits>;
