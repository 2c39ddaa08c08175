#include "panes/pane_display.h"

#include <commctrl.h>

#include <cwchar>
#include <initializer_list>

#include "base/bounded_text.h"
#include "base/file_ticks.h"
#include "base/settings.h"
#include "exif/read_times_and_exif.h"
#include "filetime/path_times.h"
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

// The picker's own limits where it has them, else the control's range, whose last value is the
// start of its last day: a later time of that day is refused, and the old value stays shown.
struct PickerRange {
  SYSTEMTIME earliest;
  SYSTEMTIME latest;
};

PickerRange RangeOf(HWND picker) {
  SYSTEMTIME limits[2] = {};
  LRESULT set = SendMessageW(picker, DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(limits));
  PickerRange range = {{1752, 9, 0, 14, 0, 0, 0, 0}, {9999, 12, 0, 31, 0, 0, 0, 0}};
  if ((set & GDTR_MIN) != 0)
    range.earliest = limits[0];
  if ((set & GDTR_MAX) != 0)
    range.latest = limits[1];
  return range;
}

// A calendar date and time within the picker's range.
bool PickerHolds(HWND picker, const SYSTEMTIME& time) {
  PickerRange range = RangeOf(picker);
  FILETIME value;
  FILETIME earliest;
  FILETIME latest;
  return SystemTimeToFileTime(&time, &value) && SystemTimeToFileTime(&range.earliest, &earliest) &&
         SystemTimeToFileTime(&range.latest, &latest) && Ticks(earliest) <= Ticks(value) &&
         Ticks(value) <= Ticks(latest);
}

// A stamp the picker cannot hold (a zero stamp reads as 1601) is shown as the nearest time it can
// hold, so the pickers never go on showing the previous path's time.
void ShowTime(HWND pane, int dateId, int timeId, const SYSTEMTIME& time) {
  HWND datePicker = GetDlgItem(pane, dateId);
  SYSTEMTIME shown = time;
  if (!PickerHolds(datePicker, shown)) {
    PickerRange range = RangeOf(datePicker);
    shown = time.wYear >= range.latest.wYear ? range.latest : range.earliest;
  }
  SendMessageW(datePicker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&shown));
  SendDlgItemMessageW(pane, timeId, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&shown));
}

bool Present(const SYSTEMTIME& date) {
  return date.wYear != 0;
}

// An image date the picker would refuse (month 0 or 13, hour 25) counts as absent.
void DropUnshowable(HWND picker, ExifDates* exif) {
  for (SYSTEMTIME* date : {&exif->dateTime, &exif->dateTimeOriginal, &exif->dateTimeDigitized})
    if (Present(*date) && !PickerHolds(picker, *date))
      *date = SYSTEMTIME{};
}

// An existing path whose times cannot be read is refused: the pickers would go on showing another
// path's times. A missing path is still taken (nothing read), and Apply then says why it fails.
struct PathTimes {
  SYSTEMTIME created;
  SYSTEMTIME modified;
  bool read;
};

bool TimesReadableOrMissing(const wchar_t* path, PathTimes* times) {
  if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  times->read = GetPathTimes(path, &times->created, &times->modified) != 0;
  return times->read;
}

} // namespace

void DiscardSnapshot(MainState* state) {
  if (state->modifiedSnapshot != nullptr)
    GlobalFree(state->modifiedSnapshot);
  state->modifiedSnapshot = nullptr;
  state->snapshotCount = 0;
  EnableWindow(GetDlgItem(state->mainWindow, IDC_RESTORE), FALSE);
  SetDlgItemTextW(state->mainWindow, IDC_SNAPSHOT_COUNT, L"");
  SetDlgItemTextW(state->mainWindow, IDC_FOLDER_RESULT, L"");
}

int SetPanePath(HWND pane, const wchar_t* path) {
  if (path == nullptr || std::wcslen(path) > 259)
    return 0;
  HWND mainWindow = GetParent(pane);
  MainState* state = GetMainState(mainWindow);
  wchar_t resolved[260];
  const wchar_t* shown =
      GetResolvedPathDialog(pane, path, resolved, L"Open Target?(Yes) or Shortcut?(No)");
  PathTimes times = {};
  if (shown == nullptr || !TimesReadableOrMissing(shown, &times))
    return 0;
  SetDlgItemTextW(pane, IDC_PANE_PATH, shown);
  // Shown with the path, so that a later read that fails cannot leave another path's times.
  if (times.read) {
    ShowTime(pane, IDC_PANE_CREATED_DATE, IDC_PANE_CREATED_TIME, times.created);
    ShowTime(pane, IDC_PANE_MODIFIED_DATE, IDC_PANE_MODIFIED_TIME, times.modified);
  }
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
  if (exif != nullptr)
    DropUnshowable(GetDlgItem(pane, IDC_PANE_CREATED_DATE), exif);
  if (result == 0)
    return 0;
  ShowTime(pane, IDC_PANE_CREATED_DATE, IDC_PANE_CREATED_TIME, created);
  ShowTime(pane, IDC_PANE_MODIFIED_DATE, IDC_PANE_MODIFIED_TIME, modified);
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
