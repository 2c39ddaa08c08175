#include "tests/support/long_path_items.h"

#include <gtest/gtest.h>

#include "base/handles.h"

LongPathItems::~LongPathItems() {
  for (auto item = made_.rbegin(); item != made_.rend(); ++item) {
    std::wstring path = Prefixed(item->path);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (item->folder)
      RemoveDirectoryW(path.c_str());
    else
      DeleteFileW(path.c_str());
  }
}

std::wstring LongPathItems::MakeFolderOfLength(const std::wstring& base, size_t length) {
  EXPECT_GT(length, base.size() + 1);
  return MakeFolder(base + L"\\" + std::wstring(length - base.size() - 1, L'L'));
}

std::wstring LongPathItems::MakeFolder(const std::wstring& path) {
  EXPECT_TRUE(CreateDirectoryW(Prefixed(path).c_str(), nullptr)) << "error " << GetLastError();
  made_.push_back({path, true});
  return path;
}

std::wstring LongPathItems::MakeFile(const std::wstring& path) {
  UniqueFile file(CreateFileW(Prefixed(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(file) << "error " << GetLastError();
  made_.push_back({path, false});
  return path;
}

bool LongPathItems::Exists(const std::wstring& path) {
  return GetFileAttributesW(Prefixed(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}
