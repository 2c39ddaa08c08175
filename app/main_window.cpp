#include "app/main_window.h"

#include <commctrl.h>
#include <ole2.h>

#include "base/handles.h"
#include "app/main_command.h"
#include "app/main_lifecycle.h"
#include "panes/drop_target.h"
#include "resources/resource_ids.h"

namespace {

// Saved by the entry before the window exists; WM_CREATE reads it.
HINSTANCE g_instance;

bool OnCreate(HWND window) {
  HANDLE heap = GetProcessHeap();
  auto* state = static_cast<MainState*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(MainState)));
  if (state == nullptr)
    return false;
  state->instance = g_instance;
  state->processHeap = heap;
  state->mainWindow = window;
  state->systemMenu = GetSystemMenu(window, FALSE);
  GetModuleFileNameW(state->instance, state->modulePath, ARRAYSIZE(state->modulePath));
  OleInitialize(nullptr);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  return true;
}

DWORD PanePathAttributes(HWND paneWindow) {
  wchar_t path[268] = {};
  GetDlgItemTextW(paneWindow, IDC_PANE_PATH, path, 260);
  return path[0] != L'\0' ? GetFileAttributesW(path) : INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The folder commands of the system menu make sense only for a Target folder; the switch shows
// its state.
void UpdateSystemMenu(MainState* state, HMENU menu) {
  bool targetFolder = IsFolder(PanePathAttributes(state->target.paneWindow));
  bool referenceFolder = IsFolder(PanePathAttributes(state->reference.paneWindow));
  EnableMenuItem(menu, IDM_RENAME_FILES, targetFolder ? MF_ENABLED : MF_GRAYED);
  EnableMenuItem(menu, IDM_MATCH_DATETIME,
                 targetFolder && referenceFolder ? MF_ENABLED : MF_GRAYED);
  CheckMenuItem(menu, IDM_EACH_DATES_DAYLIGHT_SAVING,
                state->eachDatesDaylightSaving ? MF_CHECKED : MF_UNCHECKED);
}

bool PlaceholderHolds(HWND window, int placeholderId, POINT clientPoint) {
  HWND placeholder = GetDlgItem(window, placeholderId);
  RECT rect;
  if (placeholder == nullptr || !GetWindowRect(placeholder, &rect))
    return false;
  MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
  return PtInRect(&rect, clientPoint) != FALSE;
}

// Drops come only from the program's own drop target, with the point's address in lParam.
LRESULT OnDropFiles(HWND window, MainState* state, WPARAM wParam, LPARAM lParam) {
  auto drop = reinterpret_cast<HDROP>(wParam);
  const auto* point = reinterpret_cast<const POINTL*>(lParam);
  if (point == nullptr || DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 0)
    return 0;
  PathPane* pane = PaneAtScreenPoint(window, state, POINT{point->x, point->y});
  if (pane == nullptr || pane->paneWindow == nullptr)
    return 0;
  ExifDates* exif = pane == &state->target ? &state->exifDates : nullptr;
  return HandlePaneDrop(pane->paneWindow, state, drop, exif);
}

} // namespace

bool RegisterMainWindowClass(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES |
                                                         ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProc;
  // A class that a dialog template names must leave room for the dialog manager's data.
  windowClass.cbWndExtra = DLGWINDOWEXTRA;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_DATEWRIGHT));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kMainWindowClass;
  return RegisterClassExW(&windowClass) != 0;
}

HWND CreateMainWindow(HINSTANCE instance, const wchar_t* commandLine) {
  g_instance = instance;
  UniqueHeapBlock block(HeapAllocZeroed<StartupRecord>());
  auto* startup = static_cast<StartupRecord*>(block.Get());
  if (startup == nullptr)
    return nullptr;
  GetModuleFileNameW(instance, startup->modulePath, ARRAYSIZE(startup->modulePath));
  startup->commandLine = commandLine;
  return CreateDialogParamW(instance, L"MAIN_DIALOG", nullptr,
                            reinterpret_cast<DLGPROC>(MainWindowProc),
                            reinterpret_cast<LPARAM>(startup));
}

PathPane* PaneAtScreenPoint(HWND window, MainState* state, POINT screenPoint) {
  POINT clientPoint = screenPoint;
  ScreenToClient(window, &clientPoint);
  if (PlaceholderHolds(window, IDC_TARGET_PLACEHOLDER, clientPoint))
    return &state->target;
  if (PlaceholderHolds(window, IDC_REFERENCE_PLACEHOLDER, clientPoint))
    return &state->reference;
  return nullptr;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    // Without its state the window cannot work: refuse creation.
    if (!OnCreate(window))
      return -1;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  MainState* state = GetMainState(window);
  if (state == nullptr)
    return message == WM_DESTROY ? 0 : DefWindowProcW(window, message, wParam, lParam);

  switch (message) {
  case WM_INITDIALOG:
  case WM_COPYDATA:
  case WM_DESTROY:
  case WM_ENDSESSION:
    return MainLifecycle(window, state, message, wParam, lParam);
  case WM_COMMAND:
    return MainCommand(window, state, wParam, lParam);
  case WM_SYSCOMMAND:
    if (LOWORD(wParam) == IDM_RENAME_FILES || LOWORD(wParam) == IDM_MATCH_DATETIME ||
        LOWORD(wParam) == IDM_EACH_DATES_DAYLIGHT_SAVING)
      return MainCommand(window, state, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
  case WM_DROPFILES:
    return OnDropFiles(window, state, wParam, lParam);
  case WM_INITMENU:
    UpdateSystemMenu(state, reinterpret_cast<HMENU>(wParam));
    return DefWindowProcW(window, WM_INITMENU, wParam, 0);
  default:
    return DefWindowProcW(window, message, wParam, lParam);
  }
}
