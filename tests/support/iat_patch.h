#pragma once

#include <windows.h>

#include <cstring>

// While it lives, this exe's import of one function, the code under test's too, calls a
// replacement.
class ImportPatch {
public:
  template <typename Function>
  ImportPatch(const char* dllName, const char* functionName, Function* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports);
         imports != 0 && dll->Name != 0 && slot_ == nullptr; ++dll) {
      if (_stricmp(reinterpret_cast<const char*>(base + dll->Name), dllName) != 0)
        continue;
      auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
      auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
      for (; names->u1.AddressOfData != 0 && slot_ == nullptr; ++names, ++slots)
        if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) &&
            std::strcmp(
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name,
                functionName) == 0)
          slot_ = reinterpret_cast<void**>(&slots->u1.Function);
    }
    if (slot_ != nullptr)
      original_ = Write(reinterpret_cast<void*>(replacement));
  }
  ~ImportPatch() {
    if (slot_ != nullptr)
      Write(original_);
  }
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;

  bool Applied() const { return slot_ != nullptr; }
  template <typename F> F Original() const { return reinterpret_cast<F>(original_); }

private:
  void* Write(void* value) {
    DWORD protection = 0;
    VirtualProtect(slot_, sizeof(*slot_), PAGE_READWRITE, &protection);
    void* old = *slot_;
    *slot_ = value;
    VirtualProtect(slot_, sizeof(*slot_), protection, &protection);
    return old;
  }

  void** slot_ = nullptr;
  void* original_ = nullptr;
};
