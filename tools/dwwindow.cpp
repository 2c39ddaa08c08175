// dwwindow [/desktop:NAME] wait SECONDS | rect | rename FIND REPLACE | close: finds Datewright's
// main window from outside the program. "wait" prints the caption once the window is visible
// (exit 1 if it never is); "rect" prints its place on the screen as ImageMagick's WxH+X+Y;
// "rename" opens the Rename dialog, previews FIND replaced by REPLACE and prints the dialog's
// place; "close" ends an open Rename dialog and sends the main window WM_CLOSE. /desktop looks on
// a named desktop, such as a Wine virtual desktop, which may not exist yet when "wait" starts.
// Used by the run script to take screenshots and end the program.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>

#include "resources/resource_ids.h"

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

int PrintRect(HWND window) {
  RECT rect;
  if (window == nullptr || !GetWindowRect(window, &rect))
    return 1;
  std::wprintf(L"%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
               rect.top);
  return 0;
}

HWND FindRenameDialog(HWND mainWindow) {
  HWND dialog = FindWindowW(L"#32770", L"Rename");
  return dialog != nullptr && GetWindow(dialog, GW_OWNER) == mainWindow ? dialog : nullptr;
}

int Rename(const wchar_t* find, const wchar_t* replace) {
  HWND window = FindMainWindow();
  if (window == nullptr)
    return 1;
  // Posted: the dialog is modal, so a sent command would not return until it closed.
  PostMessageW(window, WM_COMMAND, IDM_RENAME_FILES, 0);
  HWND dialog = nullptr;
  for (int waited = 0; dialog == nullptr && waited < 100; ++waited) {
    Sleep(100);
    dialog = FindRenameDialog(window);
  }
  if (dialog == nullptr)
    return 1;
  SetDlgItemTextW(dialog, IDC_RENAME_FIND, find);
  SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, replace);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_RENAME_TEST, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_RENAME_TEST)));
  if (SendDlgItemMessageW(dialog, IDC_RENAME_LIST, LVM_GETITEMCOUNT, 0, 0) == 0)
    return 1;
  return PrintRect(dialog);
}

int Close() {
  HWND window = FindMainWindow();
  if (window == nullptr)
    return 1;
  if (HWND dialog = FindRenameDialog(window)) {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    for (int waited = 0; FindRenameDialog(window) != nullptr && waited < 50; ++waited)
      Sleep(100);
  }
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
  if (argc >= 2 && std::wcscmp(argv[1], L"rect") == 0)
    return PrintRect(FindMainWindow());
  if (argc >= 4 && std::wcscmp(argv[1], L"rename") == 0)
    return Rename(argv[2], argv[3]);
  if (argc >= 2 && std::wcscmp(argv[1], L"close") == 0)
    return Close();
  std::fwprintf(stderr, L"usage: dwwindow [/desktop:NAME] wait SECONDS | rect | rename FIND "
                        L"REPLACE | close\n");
  return 2;
}
