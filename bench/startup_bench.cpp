// Datewright.exe started with a folder Target, until its window is visible and the process idle,
// against the same for a minimal dialog program built beside it. Starts alternate.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/handles.h"
#include "bench/bench_clock.h"

namespace {

constexpr double kTarget = 1.2;
constexpr int kStarts = 9;

std::wstring Beside(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring self = path;
  return self.substr(0, self.rfind(L'\\') + 1) + name;
}

// Seconds from the start until the window of the class is visible; negative when it never was.
double TimeToWindow(const std::wstring& exe, const std::wstring& arguments, const wchar_t* name) {
  std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  double start = Now();
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return -1;
  UniqueFile processHandle(process.hProcess);
  UniqueFile threadHandle(process.hThread);
  WaitForInputIdle(process.hProcess, 30000);
  HWND window = nullptr;
  DWORD owner = 0;
  while (Now() - start < 30 && (owner != process.dwProcessId || !IsWindowVisible(window))) {
    window = FindWindowW(name, nullptr);
    GetWindowThreadProcessId(window, &owner);
  }
  double elapsed = Now() - start;
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0 || owner != process.dwProcessId)
    return -1;
  return elapsed;
}

} // namespace

int wmain() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"datewright-startup-bench";
  CreateDirectoryW(folder.c_str(), nullptr);
  std::vector<double> minimal;
  std::vector<double> program;
  bool ok = true;
  for (int i = 0; i < kStarts && ok; ++i) {
    double baseline = TimeToWindow(Beside(L"minimal_dialog.exe"), L"", L"DATEWRIGHT_MINIMAL");
    double datewright =
        TimeToWindow(Beside(L"Datewright.exe"), L"\"" + folder + L"\"", L"DATEWRIGHT_CLASS");
    ok = baseline > 0 && datewright > 0;
    minimal.push_back(baseline);
    program.push_back(datewright);
  }
  RemoveDirectoryW(folder.c_str());
  if (!ok) {
    std::fprintf(stderr, "a program did not show its window\n");
    return 1;
  }
  std::printf("startup_bench: start to a visible, idle window, against a minimal dialog "
              "program, %d alternating starts\n",
              kStarts);
  return Report("Startup", 1, minimal, program, kTarget) ? 0 : 2;
}
