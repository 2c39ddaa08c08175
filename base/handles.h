#pragma once
// Move-only owners for the system resources the program holds, so that every way out of a
// function closes them.

#include <windows.h>

#include <utility>

template <typename Traits> class UniqueResource {
public:
  using Value = typename Traits::Value;

  UniqueResource() = default;
  explicit UniqueResource(Value value) : value_(value) {}
  UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other)
      Reset(other.Release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  ~UniqueResource() { Reset(); }

  Value Get() const { return value_; }
  explicit operator bool() const { return value_ != Traits::Invalid(); }
  Value Release() { return std::exchange(value_, Traits::Invalid()); }
  void Reset(Value value = Traits::Invalid()) {
    Value old = std::exchange(value_, value);
    if (old != Traits::Invalid())
      Traits::Close(old);
  }

private:
  Value value_ = Traits::Invalid();
};

struct FileHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Value value) { CloseHandle(value); }
};

struct FindHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Value value) { FindClose(value); }
};

struct GlobalBlockTraits {
  using Value = HGLOBAL;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { GlobalFree(value); }
};

struct LocalBlockTraits {
  using Value = HLOCAL;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { LocalFree(value); }
};

struct HeapBlockTraits {
  using Value = void*;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { HeapFree(GetProcessHeap(), 0, value); }
};

struct LibraryTraits {
  using Value = HMODULE;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { FreeLibrary(value); }
};

template <typename Interface> struct ComTraits {
  using Value = Interface*;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { value->Release(); }
};

using UniqueFile = UniqueResource<FileHandleTraits>;
using UniqueFind = UniqueResource<FindHandleTraits>;
using UniqueGlobal = UniqueResource<GlobalBlockTraits>;
using UniqueLocal = UniqueResource<LocalBlockTraits>;
using UniqueHeapBlock = UniqueResource<HeapBlockTraits>;
using UniqueLibrary = UniqueResource<LibraryTraits>;
template <typename Interface> using UniqueCom = UniqueResource<ComTraits<Interface>>;

// Zero-filled block from the process heap, typed for convenience.
template <typename T> T* HeapAllocZeroed(size_t count = 1) {
  return static_cast<T*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(T) * count));
}
