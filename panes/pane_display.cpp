#include "panes/pane_display.h"

#include <commctrl.h>

#include <cwchar>
#include <initializer_list>

#include "app/bounded_text.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "app/snapshot.h"
#include "exif/read_times_and_exif.h"
#include "panes/path_pane.h"
#include "panes/shortcut_resolution.h"
#include "resources/resource_ids.h"

namespace {

// The last component of a path: its file name with extension.
const wchar_t* FileNameOf(const wchar_t* path) {
  const wchar_t* name = path;
  for (const wchar_t* p = path; *p != L'\0'; ++p)
    if (*p == L'\\' || *p == L'/' || (*p == L':' && p == path + 1))
      name = p + 1;
  return name;
}

void EnableFolderButtons(HWND mainWindow, BOOL enable) {
  for (int id : {IDC_GET_ALL_MODIFIED, IDC_CLEANUP, IDM_RENAME_FILES})
    EnableWindow(GetDlgItem(mainWindow, id), enable);
}

// The main window follows a new Target: title, folder buttons, snapshot.
void FollowTarget(MainState* state, const wchar_t* shown) {
  HWND mainWindow = state->mainWindow;
  EnableMenuItem(state->systemMenu, IDM_RENAME_FILES, MF_GRAYED);
  DWORD attributes = GetFileAttributesW(shown);
  wchar_t title[328];
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    SetWindowTextW(mainWindow, state->baseTitle);
  } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    FormatBounded(title, ARRAYSIZE(title), L"%s - %s", shown, state->baseTitle);
    SetWindowTextW(mainWindow, title);
    EnableFolderButtons(mainWindow, TRUE);
    if (ReadSettingInt(state->iniPath, L"General", L"GetAllModifiedDateTime", 0) != 0)
      PostMessageW(mainWindow, WM_COMMAND, IDC_GET_ALL_MODIFIED, 0);
  } else {
    FormatBounded(title, ARRAYSIZE(title), L"%s - %s", FileNameOf(shown), state->baseTitle);
    SetWindowTextW(mainWindow, title);
    EnableFolderButtons(mainWindow, FALSE);
  }
  DiscardSnapshot(state);
}

void ReplacePathTooltip(const MainState* state, PathPane* pane, const wchar_t* shown) {
  if (pane->pathTooltip != nullptr)
    DestroyWindow(pane->pathTooltip);
  pane->pathTooltip = AttachTooltip(state->instance, pane->paneWindow, IDC_PANE_PATH, shown);
}

void ShowTime(HWND pane, int dateId, int timeId, SYSTEMTIME* time) {
  SendDlgItemMessageW(pane, dateId, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(time));
  SendDlgItemMessageW(pane, timeId, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(time));
}

bool Present(const SYSTEMTIME& date) {
  return date.wYear != 0;
}

} // namespace

int SetPanePath(HWND pane, const wchar_t* path) {
  if (path == nullptr || std::wcslen(path) > 259)
    return 0;
  HWND mainWindow = GetParent(pane);
  MainState* state = GetMainState(mainWindow);
  wchar_t resolved[260];
  const wchar_t* shown =
      GetResolvedPathDialog(pane, path, resolved, L"Open Target?(Yes) or Shortcut?(No)");
  if (shown == nullptr)
    return 0;
  SetDlgItemTextW(pane, IDC_PANE_PATH, shown);
  if (state == nullptr)
    return 1;
  if (pane == state->target.paneWindow) {
    FollowTarget(state, shown);
    ReplacePathTooltip(state, &state->target, shown);
  } else if (pane == state->reference.paneWindow) {
    ReplacePathTooltip(state, &state->reference, shown);
  }
  return 1;
}

int ShowPaneTimes(HWND pane, ExifDates* exif) {
  wchar_t path[268] = {};
  ReadPanePath(pane, path);
  if (path[0] == L'\0')
    return 0;
  SYSTEMTIME created = {};
  SYSTEMTIME modified = {};
  TimesRequest request = {};
  request.created = &created;
  request.modified = &modified;
  HWND mainWindow = GetParent(pane);
  if (exif != nullptr) {
    *exif = ExifDates{};
    request.exifDateTime = &exif->dateTime;
    request.exifOriginal = &exif->dateTimeOriginal;
    request.exifDigitized = &exif->dateTimeDigitized;
    EnableWindow(GetDlgItem(mainWindow, IDC_EXIF_TO_CREATED), FALSE);
    EnableWindow(GetDlgItem(mainWindow, IDC_EXIF_TO_MODIFIED), FALSE);
  }
  int result = ReadTimesAndExif(path, &request);
  if (result == 0)
    return 0;
  ShowTime(pane, IDC_PANE_CREATED_DATE, IDC_PANE_CREATED_TIME, &created);
  ShowTime(pane, IDC_PANE_MODIFIED_DATE, IDC_PANE_MODIFIED_TIME, &modified);
  if (exif != nullptr) {
    bool toCreated = Present(exif->dateTime) || Present(exif->dateTimeOriginal);
    bool toModified = Present(exif->dateTime) || Present(exif->dateTimeDigitized);
    if (toCreated)
      EnableWindow(GetDlgItem(mainWindow, IDC_EXIF_TO_CREATED), TRUE);
    if (toModified)
      EnableWindow(GetDlgItem(mainWindow, IDC_EXIF_TO_MODIFIED), TRUE);
  }
  return result;
}
