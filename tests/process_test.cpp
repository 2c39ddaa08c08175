#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/handles.h"
#include "tests/support/built_program.h"
#include "tests/support/window_pump.h"

namespace {

struct WindowSearch {
  DWORD processId;
  HWND found;
};

HWND FindProgramWindow(DWORD processId) {
  WindowSearch search = {processId, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* search = reinterpret_cast<WindowSearch*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t className[64] = {};
        GetClassNameW(window, className, ARRAYSIZE(className));
        if (owner != search->processId || lstrcmpW(className, L"DATEWRIGHT_CLASS") != 0 ||
            !IsWindowVisible(window))
          return TRUE;
        search->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TEST(Program, StartsShowsItsWindowAndExitsCleanlyOnClose) {
  std::wstring exe = BuiltProgramPath();
  std::wstring commandLine = L"\"" + exe + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process))
      << GetLastError();
  UniqueFile processHandle(process.hProcess);
  UniqueFile threadHandle(process.hThread);

  HWND window = nullptr;
  ASSERT_TRUE(PumpUntil(
      [&] { return (window = FindProgramWindow(process.dwProcessId)) != nullptr; }, 30000))
      << "no visible DATEWRIGHT_CLASS window";
  wchar_t caption[260] = {};
  GetWindowTextW(window, caption, ARRAYSIZE(caption));
  EXPECT_STREQ(caption, L"Datewright 2.10.1.32");
  RECT client = {};
  GetClientRect(window, &client);
  EXPECT_GT(client.right, 200);
  EXPECT_GT(client.bottom, 150);

  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  ASSERT_TRUE(GetExitCodeProcess(process.hProcess, &exitCode));
  EXPECT_EQ(exitCode, 0u);
}

} // namespace
