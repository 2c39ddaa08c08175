#include "filetime/cleanup_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/handles.h"
#include "tests/support/file_times.h"
#include "tests/support/long_path_items.h"
#include "tests/support/temp_folder.h"

namespace {

// Old enough to tell from any time a deletion sets, with a sub-millisecond part that the
// round trip through local SYSTEMTIME may drop.
constexpr uint64_t kFolderTicks = 129000000000000000ull + 1234;

uint64_t Milliseconds(uint64_t ticks) {
  return ticks / kTicksPerMillisecond;
}

bool IsFolderItem(const std::wstring& relative) {
  return !relative.empty() && relative.back() == L'\\';
}

std::wstring Trimmed(const std::wstring& relative) {
  return IsFolderItem(relative) ? relative.substr(0, relative.size() - 1) : relative;
}

// Everything below root as relative paths, folders ending in a backslash, sorted.
void ListTree(const std::wstring& root, const std::wstring& relative,
              std::vector<std::wstring>* out) {
  WIN32_FIND_DATAW found;
  UniqueFind find(FindFirstFileW((root + L"\\" + relative + L"*").c_str(), &found));
  if (!find)
    return;
  do {
    std::wstring name = found.cFileName;
    if (name == L"." || name == L"..")
      continue;
    bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    out->push_back(relative + name + (folder ? L"\\" : L""));
    if (folder)
      ListTree(root, relative + name + L"\\", out);
  } while (FindNextFileW(find.Get(), &found));
}

std::vector<std::wstring> Tree(const std::wstring& root) {
  std::vector<std::wstring> items;
  ListTree(root, L"", &items);
  std::sort(items.begin(), items.end());
  return items;
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> texts) {
  std::sort(texts.begin(), texts.end());
  return texts;
}

std::vector<std::wstring> LowerSorted(std::vector<std::wstring> texts) {
  for (std::wstring& text : texts)
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return Sorted(texts);
}

std::wstring Shown(const std::vector<std::wstring>& texts) {
  std::wstring shown;
  for (const std::wstring& text : texts)
    shown += L"[" + text + L"] ";
  return shown;
}

void SetModified(const std::wstring& path, uint64_t ticks) {
  FILETIME modified = FromTicks(ticks);
  WriteRaw(path, nullptr, &modified);
}

struct TreeCase {
  const char* name;
  std::vector<std::wstring> items; // folders end in a backslash
  bool recurse;
  uint32_t deleted;
  std::vector<std::wstring> gone;
  std::vector<std::wstring> visited; // folders whose time is put back; "" is the root
};

const TreeCase kTreeCases[] = {
    {"junk only", {L"Thumbs.db", L".DS_Store"}, false, 2, {L"Thumbs.db", L".DS_Store"}, {L""}},
    {"names by the rules",
     {L"Thumbs.db", L"Thumbs_old.db", L"ThumbsUp.db", L"Thumb.db", L"._a.db", L"._photo.db",
      L"._photo.jpg", L"_.txt", L".ds_store", L"photo.jpg"},
     false,
     6,
     {L"Thumbs.db", L"Thumbs_old.db", L"ThumbsUp.db", L"._a.db", L"._photo.jpg", L".ds_store"},
     {L""}},
    {"recursion off leaves subfolders alone",
     {L"sub\\", L"sub\\Thumbs.db", L"sub\\deeper\\", L"sub\\deeper\\.DS_Store", L"photo.jpg"},
     false,
     0,
     {},
     {L""}},
    {"recursion on with junk only in a sub-subfolder",
     {L"a\\", L"a\\b\\", L"a\\b\\._x.jpg", L"a\\b\\keep.txt", L"a\\other.txt", L"c\\"},
     true,
     1,
     {L"a\\b\\._x.jpg"},
     {L"", L"a", L"a\\b", L"c"}},
    {"folders with junk names are never deleted",
     {L".DS_Store\\", L"Thumbs.db\\", L"._dir\\"},
     true,
     0,
     {},
     {L"", L".DS_Store", L"Thumbs.db", L"._dir"}},
    {"a folder with a junk name is cleaned like any other",
     {L".DS_Store\\", L".DS_Store\\Thumbs.db", L".DS_Store\\keep.db"},
     true,
     1,
     {L".DS_Store\\Thumbs.db"},
     {L"", L".DS_Store"}},
};

TEST(CleanupFolder, DeletesJunkAndPutsEveryFolderTimeBack) {
  for (const TreeCase& c : kTreeCases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    for (const std::wstring& item : c.items) {
      if (IsFolderItem(item))
        folder.MakeFolder(Trimmed(item));
      else
        folder.MakeFile(item);
    }
    // Folders last and deepest first: making their contents changed their times.
    std::vector<std::wstring> folders = {L""};
    for (const std::wstring& item : c.items)
      if (IsFolderItem(item))
        folders.push_back(Trimmed(item));
    std::sort(folders.rbegin(), folders.rend());
    for (const std::wstring& relative : folders)
      SetModified(folder.PathOf(relative), kFolderTicks);
    std::vector<std::wstring> expectedLeft;
    for (const std::wstring& item : c.items)
      if (std::find(c.gone.begin(), c.gone.end(), item) == c.gone.end())
        expectedLeft.push_back(item);

    SetFileTimeRecorder recorder;
    ASSERT_TRUE(recorder.Applied());
    EXPECT_EQ(CleanupFolder(folder.Path().c_str(), c.recurse), c.deleted);

    EXPECT_EQ(Tree(folder.Path()), Sorted(expectedLeft)) << Shown(Tree(folder.Path()));
    std::vector<std::wstring> written;
    for (const SetFileTimeCall& call : recorder.Calls()) {
      written.push_back(call.path);
      EXPECT_EQ(call.created, std::nullopt);
      EXPECT_FALSE(call.lastAccessGiven);
      ASSERT_TRUE(call.modified.has_value());
      EXPECT_EQ(Milliseconds(*call.modified), Milliseconds(kFolderTicks));
    }
    std::vector<std::wstring> expectedWritten;
    for (const std::wstring& relative : c.visited)
      expectedWritten.push_back(relative.empty() ? folder.Path() : folder.PathOf(relative));
    EXPECT_EQ(LowerSorted(written), LowerSorted(expectedWritten)) << Shown(written);
    for (const std::wstring& relative : folders)
      EXPECT_EQ(Milliseconds(Ticks(ReadRaw(folder.PathOf(relative)).modified)),
                Milliseconds(kFolderTicks))
          << testing::PrintToString(relative);
  }
}

// Each refusal is the system's own: no sharing of deletion (32), the read-only attribute (5).
TEST(CleanupFolder, JunkThatCannotBeDeletedStaysAndIsNotCounted) {
  TempFolder folder;
  std::wstring held = folder.MakeFile(L"Thumbs.db");
  std::wstring readOnly = folder.MakeFile(L".DS_Store");
  std::wstring deletable = folder.MakeFile(L"._free.jpg");
  ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  UniqueFile open(CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(open);
  SetModified(folder.Path(), kFolderTicks);

  EXPECT_EQ(CleanupFolder(folder.Path().c_str(), true), 1u);
  EXPECT_NE(GetFileAttributesW(held.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW(readOnly.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesW(deletable.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Milliseconds(Ticks(ReadRaw(folder.Path()).modified)), Milliseconds(kFolderTicks));
}

TEST(CleanupFolder, AFileGivenAsThePathKeepsItsTimeAndGivesZero) {
  TempFolder folder;
  std::wstring file = folder.MakeFile(L"Thumbs.db");
  SetModified(file, kFolderTicks);
  SetFileTimeRecorder recorder;
  EXPECT_EQ(CleanupFolder(file.c_str(), true), 0u);
  EXPECT_NE(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Milliseconds(Ticks(ReadRaw(file).modified)), Milliseconds(kFolderTicks));
  ASSERT_EQ(recorder.Calls().size(), 1u);
  EXPECT_EQ(recorder.Calls()[0].created, std::nullopt);
}

TEST(CleanupFolder, NoFolderNoWork) {
  TempFolder folder;
  std::wstring missing = folder.PathOf(L"missing");
  SetFileTimeRecorder recorder;
  EXPECT_EQ(CleanupFolder(missing.c_str(), true), 0u);
  EXPECT_EQ(CleanupFolder(L"", true), 0u);
  EXPECT_EQ(CleanupFolder(nullptr, true), 0u);
  EXPECT_TRUE(recorder.Calls().empty());
  EXPECT_EQ(GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES);
}

// A full path cut to MAX_PATH could name another file, which would then be deleted.
TEST(CleanupFolder, JunkWhosePathWouldNotFitIsLeftAlone) {
  TempFolder folder;
  LongPathItems items;
  std::wstring full = items.MakeFolderOfLength(folder.Path(), 250);
  std::wstring junk = items.MakeFile(full + L"\\Thumbs.db"); // 260 characters
  std::wstring cut = items.MakeFile(full + L"\\Thumbs.d");   // what a cut would name
  std::wstring fits = items.MakeFile(full + L"\\._a");       // 254 characters
  ASSERT_EQ(junk.size(), 260u);
  SetModified(LongPathItems::Prefixed(full), kFolderTicks);

  EXPECT_EQ(CleanupFolder(full.c_str(), false), 1u);
  EXPECT_TRUE(LongPathItems::Exists(junk));
  EXPECT_TRUE(LongPathItems::Exists(cut));
  EXPECT_FALSE(LongPathItems::Exists(fits));
  EXPECT_EQ(Milliseconds(Ticks(ReadRaw(LongPathItems::Prefixed(full)).modified)),
            Milliseconds(kFolderTicks));
}

TEST(CleanupFolder, SubfolderWhosePathWouldNotFitIsNotEntered) {
  TempFolder folder;
  LongPathItems items;
  std::wstring parent = items.MakeFolderOfLength(folder.Path(), 245);
  std::wstring deep = items.MakeFolder(parent + L"\\" + std::wstring(20, L's')); // 266
  std::wstring deepJunk = items.MakeFile(deep + L"\\._x");
  std::wstring shallow = items.MakeFolder(parent + L"\\n");
  std::wstring shallowJunk = items.MakeFile(shallow + L"\\._x");

  SetFileTimeRecorder recorder;
  EXPECT_EQ(CleanupFolder(parent.c_str(), true), 1u);
  EXPECT_TRUE(LongPathItems::Exists(deepJunk));
  EXPECT_FALSE(LongPathItems::Exists(shallowJunk));
  for (const SetFileTimeCall& call : recorder.Calls())
    EXPECT_EQ(call.path.find(std::wstring(20, L's')), std::wstring::npos)
        << "the long folder's time was written";
}

} // namespace
