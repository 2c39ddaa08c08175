#include "rename/run_rename_method.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "rename/rename_method.h"
#include "resources/resource_ids.h"
#include "tests/rename_test_views.h"
#include "tests/support/iat_patch.h"
#include "tests/support/temp_folder.h"

namespace {

// The largest block asked of the process heap while the object lives.
size_t g_largest;
ImportPatch* g_allocPatch;
ImportPatch* g_reallocPatch;

LPVOID WINAPI CountingHeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
  g_largest = bytes > g_largest ? bytes : g_largest;
  return reinterpret_cast<decltype(&HeapAlloc)>(g_allocPatch->Original())(heap, flags, bytes);
}

LPVOID WINAPI CountingHeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T bytes) {
  g_largest = bytes > g_largest ? bytes : g_largest;
  return reinterpret_cast<decltype(&HeapReAlloc)>(g_reallocPatch->Original())(heap, flags, block,
                                                                              bytes);
}

class LargestHeapBlock {
public:
  LargestHeapBlock()
      : alloc_("kernel32.dll", "HeapAlloc", reinterpret_cast<void*>(CountingHeapAlloc)),
        realloc_("kernel32.dll", "HeapReAlloc", reinterpret_cast<void*>(CountingHeapReAlloc)) {
    g_largest = 0;
    g_allocPatch = &alloc_;
    g_reallocPatch = &realloc_;
  }
  bool Applied() const { return alloc_.Applied() && realloc_.Applied(); }
  size_t Bytes() const { return g_largest; }

private:
  ImportPatch alloc_;
  ImportPatch realloc_;
};

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

struct Inputs {
  const wchar_t* find = L"";
  const wchar_t* replace = L"";
  bool caseSensitive = false;
  const wchar_t* filter = L"";
  const wchar_t* length = L"";
};

// The Rename dialog's own template, made modeless with a procedure that does nothing, so the runs
// read real controls; the files live in a fresh folder.
class RenameRun : public ::testing::Test {
protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    dialog_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_RENAME), nullptr,
                                 PlainDialogProc, 0);
    ASSERT_NE(dialog_, nullptr);
    list_ = GetDlgItem(dialog_, IDC_RENAME_LIST);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    SendMessageW(list_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  }
  void TearDown() override { DestroyWindow(dialog_); }

  void Set(const Inputs& inputs) {
    SetDlgItemTextW(dialog_, IDC_RENAME_FIND, inputs.find);
    SetDlgItemTextW(dialog_, IDC_RENAME_REPLACE, inputs.replace);
    CheckDlgButton(dialog_, IDC_RENAME_CASE_SENSITIVE,
                   inputs.caseSensitive ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextW(dialog_, IDC_RENAME_FILTER, inputs.filter);
    SetDlgItemTextW(dialog_, IDC_RENAME_LENGTH, inputs.length);
  }

  Names Preview(int method) {
    RunRenameMethod(dialog_, folder_.Path().c_str(), method, list_, -1);
    return Rows();
  }
  Names Rows() const { return ListRows(list_); }
  void RenameAll(int method) {
    RunRenameMethod(dialog_, folder_.Path().c_str(), method, nullptr, -1);
  }
  int RenameOne(int method, int row) {
    return RunRenameMethod(dialog_, folder_.Path().c_str(), method, nullptr, row);
  }

  Names Current() const { return NamesIn(folder_.Path()); }
  void MakeFiles(std::initializer_list<const wchar_t*> names) {
    for (const wchar_t* name : names)
      folder_.MakeFile(name);
  }

  TempFolder folder_;
  HWND dialog_ = nullptr;
  HWND list_ = nullptr;
};

TEST_F(RenameRun, PreviewShowsOneRowPerNewNameInListingOrder) {
  MakeFiles({L"abcabc.txt", L"bcbc.txt", L"plain.txt", L".bc", L"x.bc.txt"});
  Set({.find = L"bc", .replace = L"X"});
  Names rows = Preview(RenameReplace);
  Names expected;
  for (const std::wstring& name : InListingOrder(folder_.Path())) {
    if (name == L"abcabc.txt")
      expected.push_back(L"abcabc.txt -> aXaX.txt");
    if (name == L"bcbc.txt")
      expected.push_back(L"bcbc.txt -> XX.txt");
    if (name == L"x.bc.txt")
      expected.push_back(L"x.bc.txt -> x.X.txt");
  }
  EXPECT_EQ(rows, expected);
  // A preview renames nothing.
  EXPECT_EQ(Current(), (Names{L".bc", L"abcabc.txt", L"bcbc.txt", L"plain.txt", L"x.bc.txt"}));
}

TEST_F(RenameRun, PreviewReplacesEarlierRowsEvenWhenTheRunEndsEarly) {
  MakeFiles({L"abc.txt"});
  Set({.find = L"b", .replace = L"B", .caseSensitive = true});
  EXPECT_EQ(Preview(RenameReplace), (Names{L"abc.txt -> aBc.txt"}));
  Set({.find = L""});
  EXPECT_EQ(Preview(RenameReplace), Names{});
  Set({.length = L"2"});
  EXPECT_EQ(Preview(RenameLength), (Names{L"abc.txt -> ab.txt"}));
  Set({.filter = L"*.none", .length = L"2"});
  EXPECT_EQ(Preview(RenameLength), Names{});
}

TEST_F(RenameRun, PreviewFillsTheColumnToTheListWidth) {
  for (int i = 0; i < 60; ++i)
    folder_.MakeFile(L"file" + std::to_wstring(i) + L".txt");
  Set({.find = L"file", .replace = L"f"});
  EXPECT_EQ(Preview(RenameReplace).size(), 60u);
  RECT client;
  GetClientRect(list_, &client);
  // With 60 rows the list scrolls; the column takes what the scroll bar leaves.
  EXPECT_EQ(SendMessageW(list_, LVM_GETCOLUMNWIDTH, 0, 0), client.right);
  EXPECT_TRUE(GetWindowLongW(list_, GWL_STYLE) & WS_VSCROLL);
}

// A folder that grew since the last run, or a smaller one after a large one, is listed whole.
TEST_F(RenameRun, FoldersOfAnySizeAfterOneAnotherAreListedWhole) {
  Set({.find = L"f", .replace = L"g", .caseSensitive = true});
  TempFolder small;
  small.MakeFile(L"f1.txt");
  RunRenameMethod(dialog_, small.Path().c_str(), RenameReplace, list_, -1);
  EXPECT_EQ(Rows().size(), 1u);
  for (int i = 0; i < 3; ++i)
    folder_.MakeFile(L"f" + std::to_wstring(i) + L".txt");
  EXPECT_EQ(Preview(RenameReplace).size(), 3u);
  for (int i = 3; i < 300; ++i)
    folder_.MakeFile(L"f" + std::to_wstring(i) + L".txt");
  EXPECT_EQ(Preview(RenameReplace).size(), 300u);
  RenameAll(RenameReplace);
  Names renamed = Current();
  EXPECT_EQ(renamed.size(), 300u);
  EXPECT_EQ(std::count_if(renamed.begin(), renamed.end(),
                          [](const std::wstring& name) { return name[0] == L'g'; }),
            300);
  // What a small folder costs does not depend on the folders listed before it.
  {
    LargestHeapBlock largest;
    ASSERT_TRUE(largest.Applied());
    RunRenameMethod(dialog_, small.Path().c_str(), RenameReplace, list_, -1);
    EXPECT_LT(largest.Bytes(), 16384u);
  }
  EXPECT_EQ(Rows(), Names{L"f1.txt -> g1.txt"});
}

TEST_F(RenameRun, RenameAllRenamesEveryFileThatGetsANewName) {
  MakeFiles({L"abcabc.txt", L"bcbc.txt", L"plain.txt", L".bc", L"abc.bc"});
  Set({.find = L"bc", .replace = L"X"});
  RenameAll(RenameReplace);
  EXPECT_EQ(Current(), (Names{L".bc", L"XX.txt", L"aX.bc", L"aXaX.txt", L"plain.txt"}));
}

TEST_F(RenameRun, EachMethodRenamesThroughItsRule) {
  struct MethodCase {
    int method;
    Inputs inputs;
    Names expected;
  };
  const MethodCase rows[] = {
      {RenameReplaceFirst, {.find = L"bc", .replace = L"X"}, {L"Xbc.txt", L"aXabc.txt"}},
      {RenameMatchBegin, {.find = L"bc", .replace = L"X"}, {L"Xbc.txt", L"abcabc.txt"}},
      {RenameMatchEnd, {.find = L"bc", .replace = L"X"}, {L"abcaX.txt", L"bcX.txt"}},
      {RenameLength, {.length = L"4"}, {L"abca.txt", L"bcbc.txt"}},
      {RenameRemove, {.find = L"BC", .length = L"2"}, {L"aabc.txt", L"bc.txt"}},
      {RenameRemove, {.find = L"BC", .caseSensitive = true}, {L"abcabc.txt", L"bcbc.txt"}},
  };
  for (const MethodCase& c : rows) {
    TempFolder folder;
    folder.MakeFile(L"abcabc.txt");
    folder.MakeFile(L"bcbc.txt");
    Set(c.inputs);
    RunRenameMethod(dialog_, folder.Path().c_str(), c.method, nullptr, -1);
    EXPECT_EQ(NamesIn(folder.Path()), c.expected) << "method " << c.method;
  }
}

TEST_F(RenameRun, LengthWithoutAPositiveNumberDoesNothing) {
  MakeFiles({L"abcdef.txt"});
  for (const wchar_t* length : {L"", L"0", L"x", L"-2"}) {
    Set({.length = length});
    EXPECT_EQ(Preview(RenameLength), Names{}) << "Length \"" << length << "\"";
    RenameAll(RenameLength);
    RenameOne(RenameLength, 0);
    EXPECT_EQ(Current(), Names{L"abcdef.txt"}) << "Length \"" << length << "\"";
  }
}

TEST_F(RenameRun, SubFoldersAreNeitherRenamedNorEnteredAndHiddenFilesAreIncluded) {
  folder_.MakeFolder(L"abc");
  folder_.MakeFile(L"abc\\abc.txt");
  std::wstring hidden = folder_.MakeFile(L"hiddenabc.txt");
  std::wstring system = folder_.MakeFile(L"systemabc.txt");
  ASSERT_TRUE(SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesW(system.c_str(), FILE_ATTRIBUTE_SYSTEM));
  Set({.find = L"abc", .replace = L"X"});
  Names rows = Preview(RenameReplace);
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(rows, (Names{L"hiddenabc.txt -> hiddenX.txt", L"systemabc.txt -> systemX.txt"}));
  RenameAll(RenameReplace);
  EXPECT_EQ(Current(), (Names{L"abc\\", L"hiddenX.txt", L"systemX.txt"}));
  EXPECT_EQ(NamesIn(folder_.PathOf(L"abc")), Names{L"abc.txt"});
  SetFileAttributesW(folder_.PathOf(L"hiddenX.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  SetFileAttributesW(folder_.PathOf(L"systemX.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(RenameRun, TheFilterNarrowsTheListing) {
  MakeFiles({L"abc.txt", L"abc.log"});
  Set({.find = L"b", .replace = L"X", .filter = L"*.log"});
  EXPECT_EQ(Preview(RenameReplace), (Names{L"abc.log -> aXc.log"}));
  RenameAll(RenameReplace);
  EXPECT_EQ(Current(), (Names{L"aXc.log", L"abc.txt"}));
}

TEST_F(RenameRun, TwoFilesWantingOneNameTheFirstListedWins) {
  MakeFiles({L"ab.txt", L"ac.txt"});
  Names order = InListingOrder(folder_.Path());
  ASSERT_EQ(order.size(), 2u);
  Set({.length = L"1"});
  EXPECT_EQ(Preview(RenameLength), (Names{order[0] + L" -> a.txt", order[1] + L" -> a.txt"}));
  RenameAll(RenameLength);
  Names expected = {L"a.txt", order[1]};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Current(), expected);
}

TEST_F(RenameRun, AnExistingFileIsNeverReplaced) {
  folder_.MakeFile(L"ab.txt", "first");
  folder_.MakeFile(L"a.txt", "kept");
  Set({.length = L"1"});
  ASSERT_EQ(Preview(RenameLength), Names{L"ab.txt -> a.txt"});
  RenameAll(RenameLength);
  RenameOne(RenameLength, 0);
  EXPECT_EQ(Current(), (Names{L"a.txt", L"ab.txt"}));
}

TEST_F(RenameRun, ASameNameReplacementIsStillARow) {
  MakeFiles({L"a.txt"});
  Set({.find = L"a", .replace = L"a", .caseSensitive = true});
  EXPECT_EQ(Preview(RenameReplace), Names{L"a.txt -> a.txt"});
  RenameAll(RenameReplace);
  EXPECT_EQ(Current(), Names{L"a.txt"});
}

// The row names the file and its new name; the current inputs must still give that name.
TEST_F(RenameRun, RenameOneRenamesTheFileItsRowNames) {
  MakeFiles({L"one_x.txt", L"two_x.txt", L"three.txt", L"four_x.txt"});
  Set({.find = L"_x", .replace = L"_y"});
  Names rows = Preview(RenameReplace);
  ASSERT_EQ(rows.size(), 3u);
  std::wstring second = rows[1].substr(0, rows[1].find(L" -> "));
  EXPECT_EQ(RenameOne(RenameReplace, 1), 1);
  Names after = Current();
  EXPECT_EQ(std::count(after.begin(), after.end(), second), 0);
  EXPECT_EQ(std::count(after.begin(), after.end(), rows[1].substr(rows[1].find(L" -> ") + 4)), 1);
  // Its file has gone now, and a row past the end names nothing.
  EXPECT_EQ(RenameOne(RenameReplace, 1), 0);
  EXPECT_EQ(RenameOne(RenameReplace, 5), 0);
  EXPECT_EQ(Current(), after);
  // Inputs that no longer give the row's new name rename nothing.
  Set({.find = L"_x", .replace = L"_z"});
  EXPECT_EQ(RenameOne(RenameReplace, 0), 0);
  Set({.find = L""});
  EXPECT_EQ(RenameOne(RenameReplace, 0), 0);
  EXPECT_EQ(Current(), after);
}

// Replace text and Filters that hold a path: nothing leaves the folder or enters a sub-folder.
TEST_F(RenameRun, NewNamesAndFiltersNeverReachAnotherFolder) {
  TempFolder outer;
  TempFolder inner(outer.Path());
  inner.MakeFile(L"abc.jpg");
  inner.MakeFolder(L"sub");
  inner.MakeFile(L"sub\\abc.jpg");
  const Names before = NamesIn(inner.Path());
  const Names subBefore = NamesIn(inner.PathOf(L"sub"));
  auto run = [&](int method, const Inputs& inputs, const std::wstring& what) {
    Set(inputs);
    RunRenameMethod(dialog_, inner.Path().c_str(), method, list_, -1);
    EXPECT_EQ(Rows(), Names{}) << what;
    RunRenameMethod(dialog_, inner.Path().c_str(), method, nullptr, -1);
    EXPECT_EQ(NamesIn(inner.Path()), before) << what;
    EXPECT_EQ(NamesIn(inner.PathOf(L"sub")), subBefore) << what;
    EXPECT_EQ(NamesIn(outer.Path()), Names{inner.Path().substr(outer.Path().size() + 1) + L"\\"})
        << what;
  };
  for (int method = RenameReplace; method <= RenameMatchEnd; ++method)
    for (const wchar_t* replace : {L"..\\x", L"sub\\x", L"../x", L"sub/x", L"x:y", L"x*", L"x?",
                                   L"x\"", L"x<", L"x>", L"x|", L"x\t"})
      run(method, {.find = L"abc", .replace = replace}, L"replace " + std::wstring(replace));
  for (const wchar_t* filter : {L"sub\\*.jpg", L"sub/*.jpg", L"..\\*"})
    run(RenameReplace, {.find = L"abc", .replace = L"x", .filter = filter},
        L"filter " + std::wstring(filter));
}

// A full path that would pass 259 characters is never formed by cutting: no row, no rename.
TEST_F(RenameRun, NamesWhosePathWouldNotFitAreLeftOut) {
  size_t room = MAX_PATH - 1 - (folder_.Path().size() + 1); // characters left for a name
  ASSERT_GT(room, 10u);
  // Replace (First One) of "aa" by "aaa" makes each name one character longer: the first then
  // ends exactly at the limit, the second one past it.
  std::wstring fits = std::wstring(room - 5, L'a') + L".txt";
  std::wstring full = L"b" + fits;
  MakeFiles({fits.c_str(), full.c_str()});
  Set({.find = L"aa", .replace = L"aaa", .caseSensitive = true});
  Names rows = Preview(RenameReplaceFirst);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].substr(0, rows[0].find(L" -> ")), fits);
  RenameAll(RenameReplaceFirst);
  Names after = Current();
  EXPECT_NE(std::find(after.begin(), after.end(), L"aaa" + fits.substr(2)), after.end());
  EXPECT_NE(std::find(after.begin(), after.end(), full), after.end());
  EXPECT_EQ(after.size(), 2u);
}

} // namespace
