// dwwindow [/desktop:NAME] wait SECONDS | close: finds Datewright's main window from outside the
// program. "wait" prints the caption once the window is visible (exit 1 if it never is); "close"
// sends it WM_CLOSE. /desktop looks on a named desktop, such as a Wine virtual desktop, which may
// not exist yet when "wait" starts. Used by the run script to take a screenshot and end the
// program.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

const wchar_t* g_desktopName;
bool g_onDesktop;

bool OnRightDesktop() {
  if (g_desktopName == nullptr || g_onDesktop)
    return true;
  HDESK desktop = OpenDesktopW(g_desktopName, 0, FALSE, GENERIC_ALL);
  g_onDesktop = desktop != nullptr && SetThreadDesktop(desktop);
  return g_onDesktop;
}

HWND FindMainWindow() {
  if (!OnRightDesktop())
    return nullptr;
  HWND window = FindWindowW(L"DATEWRIGHT_CLASS", nullptr);
  return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

int Wait(int seconds) {
  for (int waited = 0; waited < seconds * 10; ++waited) {
    if (HWND window = FindMainWindow()) {
      wchar_t caption[260] = {};
      GetWindowTextW(window, caption, ARRAYSIZE(caption));
      std::wprintf(L"%ls\n", caption);
      return 0;
    }
    Sleep(100);
  }
  std::fwprintf(stderr, L"no DATEWRIGHT_CLASS window after %d s\n", seconds);
  return 1;
}

int Close() {
  HWND window = FindMainWindow();
  if (window == nullptr)
    return 1;
  PostMessageW(window, WM_CLOSE, 0, 0);
  return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 2 && std::wcsncmp(argv[1], L"/desktop:", 9) == 0) {
    g_desktopName = argv[1] + 9;
    --argc;
    ++argv;
  }
  if (argc >= 2 && std::wcscmp(argv[1], L"wait") == 0)
    return Wait(argc >= 3 ? _wtoi(argv[2]) : 30);
  if (argc >= 2 && std::wcscmp(argv[1], L"close") == 0)
    return Close();
  std::fwprintf(stderr, L"usage: dwwindow [/desktop:NAME] wait SECONDS | close\n");
  return 2;
}
