// "Get All Modified DateTime" then "Restore" on a folder of N files, through the real main window,
// against a plain FindFirstFileW loop that opens each file as SetPathTimes does and writes its
// Modified time back. Repetitions alternate so both see the same cache and machine state.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "base/handles.h"
#include "bench/bench_clock.h"
#include "bench/sample_folder.h"
#include "resources/resource_ids.h"

namespace {

constexpr double kTarget = 1.5;

int PlainSnapshotAndRestore(const std::wstring& folder) {
  int restored = 0;
  WIN32_FIND_DATAW found;
  UniqueFind find(FindFirstFileW((folder + L"\\*.*").c_str(), &found));
  while (find) {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      UniqueFile file(CreateFileW((folder + L"\\" + found.cFileName).c_str(),
                                  GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
      restored += file && SetFileTime(file.Get(), nullptr, nullptr, &found.ftLastWriteTime);
    }
    if (!FindNextFileW(find.Get(), &found))
      break;
  }
  return restored;
}

int ProgramSnapshotAndRestore(HWND window) {
  SendMessageW(window, WM_COMMAND, IDC_GET_ALL_MODIFIED, 0);
  SendMessageW(window, WM_COMMAND, IDC_RESTORE, 0);
  wchar_t count[32] = {};
  GetDlgItemTextW(window, IDC_FOLDER_RESULT, count, 32);
  return _wtoi(count);
}

bool Measure(int files, bool* met) {
  SampleFolder sample(L"snapshot", files);
  const std::wstring& folder = sample.path();
  bool ok = sample.ok();
  std::wstring commandLine = L"Datewright.exe \"" + folder + L"\"";
  HWND window = CreateMainWindow(GetModuleHandleW(nullptr), commandLine.c_str());
  std::vector<double> plain;
  std::vector<double> program;
  for (int i = 0; i < RepetitionsFor(files) && ok && window != nullptr; ++i) {
    double start = Now();
    ok = PlainSnapshotAndRestore(folder) == files;
    plain.push_back(Now() - start);
    start = Now();
    ok = ProgramSnapshotAndRestore(window) == files && ok;
    program.push_back(Now() - start);
  }
  DestroyWindow(window);
  if (ok && window != nullptr)
    *met = Report("Snapshot and Restore", files, plain, program, kTarget) && *met;
  return ok && window != nullptr;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  if (!RegisterMainWindowClass(GetModuleHandleW(nullptr)))
    return 1;
  std::printf("snapshot_bench: \"Get All Modified DateTime\" then \"Restore\" against a "
              "FindFirstFileW loop writing each Modified time back, interleaved\n");
  return MeasureEachSize(argc, argv, Measure, "did not restore every file");
}
