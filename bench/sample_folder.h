#pragma once
// The one-folder benchmarks' sample: N empty files named photo_000000.jpg and on. Under Wine each
// new file costs more as the folder fills (a case-blind search for the name), so a large folder
// made file by file takes most of an hour. bench/make-sample-folders makes them with the host's
// tools instead; with DATEWRIGHT_BENCH_FILES naming its folder, <that folder>\<N> is used as it is
// when it holds exactly N files, and left in place afterwards.

#include <windows.h>

#include <string>

#include "base/handles.h"

class SampleFolder {
public:
  SampleFolder(const wchar_t* tag, int files) {
    wchar_t prepared[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"DATEWRIGHT_BENCH_FILES", prepared, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
      path_ = std::wstring(prepared) + L"\\" + std::to_wstring(files);
      if (CountFiles() == files) {
        ok_ = true;
        return;
      }
    }
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    // Of this process alone, so a run that was stopped leaves nothing this one would count.
    path_ = std::wstring(temp) + L"datewright-" + tag + L"-bench-" +
            std::to_wstring(GetCurrentProcessId());
    owned_ = true;
    ok_ = CreateDirectoryW(path_.c_str(), nullptr) != 0;
    for (int i = 0; i < files && ok_; ++i)
      ok_ = static_cast<bool>(UniqueFile(
          CreateFileW(FilePath(i).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)));
  }

  ~SampleFolder() {
    if (!owned_)
      return;
    for (int i = 0; DeleteFileW(FilePath(i).c_str()); ++i) {
    }
    RemoveDirectoryW(path_.c_str());
  }

  SampleFolder(const SampleFolder&) = delete;
  SampleFolder& operator=(const SampleFolder&) = delete;

  bool ok() const { return ok_; }
  const std::wstring& path() const { return path_; }

private:
  std::wstring FilePath(int index) const {
    wchar_t name[32];
    wsprintfW(name, L"\\photo_%06d.jpg", index);
    return path_ + name;
  }

  int CountFiles() const {
    int files = 0;
    WIN32_FIND_DATAW found;
    UniqueFind find(FindFirstFileW((path_ + L"\\*").c_str(), &found));
    if (!find)
      return -1;
    do {
      files += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    } while (FindNextFileW(find.Get(), &found));
    return files;
  }

  std::wstring path_;
  bool owned_ = false;
  bool ok_ = false;
};
