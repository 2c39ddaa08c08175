#pragma once

#include <windows.h>

// Points this executable's import of one function at a replacement while the object lives. The
// code under test is linked into the test exe, so its calls go through the exe's import table.
class ImportPatch {
public:
  ImportPatch(const char* dllName, const char* functionName, void* replacement);
  ~ImportPatch();
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;

  bool Applied() const { return slot_ != nullptr; }
  void* Original() const { return original_; }

private:
  void** slot_ = nullptr;
  void* original_ = nullptr;
};
