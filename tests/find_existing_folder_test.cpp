#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "panes/path_pane.h"
#include "tests/support/temp_folder.h"

namespace {

struct Found {
  int result;
  std::wstring folder;
};

Found Find(const std::wstring& path) {
  wchar_t out[260] = L"untouched";
  int result = FindExistingFolder(out, path.c_str());
  return {result, out};
}

TEST(FindExistingFolder, WalksUpToTheNearestExistingFolder) {
  TempFolder temp;
  temp.MakeFolder(L"Photos");
  std::wstring year = temp.MakeFolder(L"Photos\\2019");
  std::wstring photos = temp.PathOf(L"Photos");
  std::wstring base = temp.Path();
  struct Case {
    std::wstring path;
    int result;
    std::wstring folder;
  };
  const Case cases[] = {
      {year + L"\\a.jpg", 1, year + L"\\"},
      {year, 1, photos + L"\\"}, // a folder without its trailing backslash gives its parent
      {year + L"\\", 1, year + L"\\"},
      {year + L"\\gone\\deeper\\x.jpg", 1, year + L"\\"},
      {base + L"\\missing\\x.jpg", 1, base + L"\\"},
  };
  for (const Case& c : cases) {
    Found found = Find(c.path);
    EXPECT_EQ(found.result, c.result) << c.path;
    EXPECT_EQ(found.folder, c.folder) << c.path;
  }
}

TEST(FindExistingFolder, NeverYieldsADriveRootOrAPathWithoutFolder) {
  for (const wchar_t* path :
       {L"C:\\a.jpg", L"C:\\", L"C:a.jpg", L"a.jpg", L"", L"C:\\missing\\x"}) {
    Found found = Find(path);
    EXPECT_EQ(found.result, 0) << path;
    EXPECT_EQ(found.folder, L"untouched") << path;
  }
}

TEST(FindExistingFolder, EndsOnForwardSlashesAndShareRoots) {
  TempFolder temp;
  std::wstring year = temp.MakeFolder(L"2019");
  std::wstring forward = year;
  for (wchar_t& c : forward)
    if (c == L'\\')
      c = L'/';
  Found found = Find(forward + L"/a.jpg");
  EXPECT_EQ(found.result, 1);
  EXPECT_EQ(found.folder, forward + L"/");
  EXPECT_EQ(Find(L"C:/nowhere/at/all/x.jpg").result, 0);
  // A share that is not there: the walk climbs to the share root and stops.
  EXPECT_EQ(Find(L"\\\\nosuchserver\\share\\folder\\x.jpg").result, 0);
}

TEST(FindExistingFolder, TreatsAnOverlongPathAsItsFirst260Characters) {
  TempFolder temp;
  std::wstring path = temp.Path() + L"\\" + std::wstring(400, L'x');
  Found found = Find(path);
  EXPECT_EQ(found.result, 1);
  EXPECT_EQ(found.folder, temp.Path() + L"\\");
}

} // namespace
