// Recursive Cleanup and a Match with option 0x33, each over a generated tree of N items in 100
// folders, against a plain recursive FindFirstFileW walk that does the same deletions and time
// writes. Repetitions alternate so both see the same cache and machine state.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/handles.h"
#include "bench/bench_clock.h"
#include "filetime/cleanup_folder.h"
#include "filetime/enumerate_folder.h"
#include "base/join_path.h"
#include "filetime/match_folders.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr int kTopFolders = 10;
constexpr int kSubfolders = 9; // in each top folder
constexpr int kFolders = kTopFolders + kTopFolders * kSubfolders;
constexpr int kJunkEvery = 10; // about 10% of the files
constexpr double kTarget = 1.5;
int g_filesPerFolder;

bool MakeFile(const std::wstring& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

std::vector<std::wstring> FolderPaths(const std::wstring& root) {
  std::vector<std::wstring> folders;
  for (int top = 0; top < kTopFolders; ++top) {
    std::wstring topPath = root + L"\\top" + std::to_wstring(top);
    folders.push_back(topPath);
    for (int sub = 0; sub < kSubfolders; ++sub)
      folders.push_back(topPath + L"\\sub" + std::to_wstring(sub));
  }
  return folders;
}

// Every kJunkEvery-th file of a folder is junk: one ".DS_Store", one "Thumbs.db", then "._" files.
std::wstring FileName(int index) {
  if (index % kJunkEvery != 0)
    return L"photo" + std::to_wstring(index) + L".jpg";
  if (index == 0)
    return L".DS_Store";
  if (index == kJunkEvery)
    return L"Thumbs.db";
  return L"._photo" + std::to_wstring(index) + L".jpg";
}

// Makes the tree; with junkOnly, only the junk files again. Returns the number of junk files.
int MakeTree(const std::wstring& root, bool junkOnly, bool* ok) {
  if (!junkOnly)
    *ok = CreateDirectoryW(root.c_str(), nullptr) && *ok;
  int junk = 0;
  for (const std::wstring& folder : FolderPaths(root)) {
    if (!junkOnly)
      *ok = CreateDirectoryW(folder.c_str(), nullptr) && *ok;
    for (int i = 0; i < g_filesPerFolder; ++i) {
      bool isJunk = i % kJunkEvery == 0;
      junk += isJunk ? 1 : 0;
      if (isJunk || !junkOnly)
        *ok = MakeFile(folder + L"\\" + FileName(i)) && *ok;
    }
  }
  return junk;
}

// Opened as SetPathTimes opens, so that the same writes are refused (a read-only file, say).
bool WriteTimes(const std::wstring& path, const FILETIME* created, const FILETIME* modified) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return file && SetFileTime(file.Get(), created, nullptr, modified);
}

// The baseline Cleanup: one walk deleting as it goes, then the folder's own time put back.
int PlainCleanup(const std::wstring& folder) {
  WIN32_FILE_ATTRIBUTE_DATA before;
  if (!GetFileAttributesExW(folder.c_str(), GetFileExInfoStandard, &before))
    return 0;
  int deleted = 0;
  WIN32_FIND_DATAW found;
  UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &found));
  if (find) {
    do {
      std::wstring name = found.cFileName;
      std::wstring path = folder + L"\\" + name;
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        deleted += IsJunkFile(name.c_str()) && DeleteFileW(path.c_str()) ? 1 : 0;
      else if (name != L"." && name != L"..")
        deleted += PlainCleanup(path);
    } while (FindNextFileW(find.Get(), &found));
  }
  find.Reset();
  WriteTimes(folder, nullptr, &before.ftLastWriteTime);
  return deleted;
}

// The baseline Match: every item below reference whose counterpart exists gets both times, a
// folder after its contents, with the times the listing gives.
int PlainMatch(const std::wstring& reference, const std::wstring& target) {
  int matched = 0;
  WIN32_FIND_DATAW found;
  UniqueFind find(FindFirstFileW((reference + L"\\*").c_str(), &found));
  if (!find)
    return 0;
  do {
    std::wstring name = found.cFileName;
    if (name == L"." || name == L"..")
      continue;
    std::wstring counterpart = target + L"\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      matched += PlainMatch(reference + L"\\" + name, counterpart);
    if (GetFileAttributesW(counterpart.c_str()) != INVALID_FILE_ATTRIBUTES &&
        WriteTimes(counterpart, &found.ftCreationTime, &found.ftLastWriteTime))
      ++matched;
  } while (FindNextFileW(find.Get(), &found));
  return matched;
}

// MatchFolders' walk, without its question.
int EngineMatch(const std::wstring& reference, const std::wstring& target) {
  MatchContext context = {};
  if (!JoinFolderPrefix(context.referenceFolder, reference.c_str()) ||
      !JoinFolderPrefix(context.targetFolder, target.c_str()))
    return 0;
  context.option = kMatchFolders | kMatchPlainItems | kMatchCopyCreated | kMatchCopyModified;
  EnumerateOptions options = {};
  options.flags = EnumRecurse | EnumIncludeFolders;
  options.entryCallback = MatchItem;
  options.entryContext = &context;
  EnumerateFolder(nullptr, reference.c_str(), 0, &options);
  return static_cast<int>(context.count);
}

// Measures both operations on trees of items in 100 folders; false when a run went wrong.
bool Measure(int items, bool* met) {
  g_filesPerFolder = (items - kFolders) / kFolders;
  items = kFolders + kFolders * g_filesPerFolder;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring base = std::wstring(temp) + L"datewright-folder-bench";
  TempFolder::RemoveTree(base);
  bool ok = CreateDirectoryW(base.c_str(), nullptr) != 0;
  std::wstring cleanupRoot = base + L"\\clean";
  std::wstring reference = base + L"\\reference";
  std::wstring target = base + L"\\target";
  int junk = MakeTree(cleanupRoot, false, &ok);
  MakeTree(reference, false, &ok);
  MakeTree(target, false, &ok);
  std::vector<double> plainCleanup;
  std::vector<double> engineCleanup;
  std::vector<double> plainMatch;
  std::vector<double> engineMatch;
  for (int i = 0; i < RepetitionsFor(items) && ok; ++i) {
    // Each pair in turn goes first, so neither always finds the other's after-effects.
    bool plainFirst = i % 2 == 0;
    for (int turn = 0; turn < 2; ++turn) {
      bool plain = (turn == 0) == plainFirst;
      double start = Now();
      int deleted = plain ? PlainCleanup(cleanupRoot)
                          : static_cast<int>(CleanupFolder(cleanupRoot.c_str(), true));
      (plain ? plainCleanup : engineCleanup).push_back(Now() - start);
      ok = deleted == junk && ok;
      MakeTree(cleanupRoot, true, &ok);
    }
    for (int turn = 0; turn < 2; ++turn) {
      bool plain = (turn == 0) == plainFirst;
      double start = Now();
      int matched = plain ? PlainMatch(reference, target) : EngineMatch(reference, target);
      (plain ? plainMatch : engineMatch).push_back(Now() - start);
      ok = matched == items && ok;
    }
  }
  TempFolder::RemoveTree(base);
  if (ok) {
    *met = Report("Cleanup, recursive", items, plainCleanup, engineCleanup, kTarget) && *met;
    *met = Report("Match, option 0x33", items, plainMatch, engineMatch, kTarget) && *met;
  }
  return ok;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  std::printf("folder_bench: Cleanup and Match against a FindFirstFileW walk doing the same "
              "deletions and writes, interleaved\n");
  return MeasureEachSize(argc, argv, Measure, "did not delete or match what it should");
}
