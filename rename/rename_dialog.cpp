#include "rename/rename_dialog.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "base/bounded_text.h"
#include "base/main_state.h"
#include "base/settings.h"
#include "filetime/path_times.h"
#include "filetime/rename_follower.h"
#include "rename/preview_rows.h"
#include "rename/rename_method.h"
#include "rename/rename_settings.h"
#include "rename/run_rename_method.h"
#include "resources/resource_ids.h"

namespace {

// One dialog at a time (it is modal), so its state is kept here.
struct RenameDialogState {
  MainState* mainState;
  RECT initialClient;
  HWND listView;
  RECT listRect; // the list's rectangle at the start, in client pixels
  int selectedRow;
  int shownMethod; // the method whose controls are shown
};

RenameDialogState g_state;

// Which controls each method shows: methods 0-3, 4 ("Length"), 5 ("Remove"); every one is hidden
// for a number above 5. In the order they are shown or hidden.
struct MethodControl {
  int id;
  bool replaceMethods;
  bool lengthMethod;
  bool removeMethod;
};

constexpr MethodControl kMethodControls[] = {
    {IDC_RENAME_CASE_SENSITIVE, true, false, true}, {IDC_RENAME_FIND, true, false, true},
    {IDC_RENAME_REPLACE, true, false, false},       {IDC_RENAME_FIND_LABEL, true, false, true},
    {IDC_RENAME_REPLACE_LABEL, true, false, false}, {IDC_RENAME_LENGTH, false, true, true},
    {IDC_RENAME_LENGTH_LABEL, false, true, true},
};

// Which inputs "Execute" remembers after renaming, by method.
struct Remembered {
  bool findAndCase;
  bool replace;
  bool length; // in the settings file only
};

constexpr Remembered kRemembered[] = {
    {true, true, false}, {true, true, false},  {true, true, false},
    {true, true, false}, {false, false, true}, {true, false, true},
};

constexpr const wchar_t* kMethodNames[] = {
    L"Replace", L"Replace (First One)", L"Replace (Match Begin)", L"Replace (Match End)", L"Length",
    L"Remove",
};

// The edits are limited to what is read back, so no input is ever cut on the way to a run.
struct EditLimit {
  int id;
  int characters;
};

constexpr EditLimit kEditLimits[] = {
    {IDC_RENAME_FILTER, ARRAYSIZE(RenameInputs{}.filter) - 1},
    {IDC_RENAME_FIND, ARRAYSIZE(RenameInputs{}.find) - 1},
    {IDC_RENAME_REPLACE, ARRAYSIZE(RenameInputs{}.replace) - 1},
    {IDC_RENAME_LENGTH, ARRAYSIZE(RenameInputs{}.lengthText) - 1},
};

int SelectedMethod(HWND dialog) {
  return static_cast<int>(SendDlgItemMessageW(dialog, IDC_RENAME_METHOD, CB_GETCURSEL, 0, 0));
}

void ReadTargetPath(wchar_t* path) {
  path[0] = L'\0';
  GetDlgItemTextW(g_state.mainState->target.paneWindow, IDC_PANE_PATH, path, kPathCapacity);
}

void SetRenameItEnabled(HWND dialog, int row) {
  g_state.selectedRow = row;
  EnableWindow(GetDlgItem(dialog, IDC_RENAME_ONE), row >= 0);
}

// Rows made from other inputs than those shown would let Execute or Rename It act on what the
// user never saw: any change of an input empties the list until the next Test.
void ForgetPreview(HWND dialog) {
  ClearPreviewRows(g_state.listView);
  SetRenameItEnabled(dialog, -1);
}

// The notification by which each input that a preview reads says it changed.
struct PreviewInput {
  int id;
  WORD changed;
};

constexpr PreviewInput kPreviewInputs[] = {
    {IDC_RENAME_FIND, EN_CHANGE},
    {IDC_RENAME_REPLACE, EN_CHANGE},
    {IDC_RENAME_FILTER, EN_CHANGE},
    {IDC_RENAME_LENGTH, EN_CHANGE},
    {IDC_RENAME_CASE_SENSITIVE, BN_CLICKED},
};

bool ChangesPreviewInput(WPARAM wParam) {
  for (const PreviewInput& input : kPreviewInputs)
    if (LOWORD(wParam) == input.id && HIWORD(wParam) == input.changed)
      return true;
  return false;
}

// Renaming a folder's files changes its Modified time; its stamp is read before and put back
// after, as it was. A drive root keeps what the renames give it.
struct FolderTime {
  FILETIME modified;
  bool saved;
};

FolderTime SaveFolderTime(const wchar_t* path) {
  FolderTime time = {};
  time.saved = !PathIsRootW(path) && QueryPathUtcTimes(path, nullptr, &time.modified, nullptr) != 0;
  return time;
}

void RestoreFolderTime(const wchar_t* path, const FolderTime& time) {
  if (time.saved)
    SetPathUtcTimes(path, nullptr, &time.modified, nullptr);
}

void FollowInSnapshot(const wchar_t* oldName, const wchar_t* newName, void* context) {
  static_cast<RenameFollower*>(context)->Renamed(oldName, newName);
}

// Renames move the snapshot's records along with their files, so that Restore gives each file its
// own time back. The snapshot is of the Target folder, the one renamed here.
int RenameFollowingSnapshot(HWND dialog, const wchar_t* path, int method, int row) {
  MainState* state = g_state.mainState;
  auto* records = static_cast<FolderEntry*>(
      state->modifiedSnapshot != nullptr ? GlobalLock(state->modifiedSnapshot) : nullptr);
  int renamed;
  {
    RenameFollower follower(records, records != nullptr ? state->snapshotCount : 0);
    RenameObserver observer = {FollowInSnapshot, &follower};
    renamed = RunRenameMethod(dialog, path, method, nullptr, row, &observer);
  }
  if (records != nullptr)
    GlobalUnlock(state->modifiedSnapshot);
  return renamed;
}

INT_PTR OnInitDialog(HWND dialog, LPARAM lParam) {
  const RenameSettings& settings = g_renameSettings;
  g_state.mainState = reinterpret_cast<MainState*>(lParam);
  GetClientRect(dialog, &g_state.initialClient);
  g_state.listView = GetDlgItem(dialog, IDC_RENAME_LIST);
  if (g_state.listView != nullptr) {
    GetWindowRect(g_state.listView, &g_state.listRect);
    POINT origin = {g_state.listRect.left, g_state.listRect.top};
    ScreenToClient(dialog, &origin);
    OffsetRect(&g_state.listRect, origin.x - g_state.listRect.left,
               origin.y - g_state.listRect.top);
  }
  LVCOLUMNW column = {};
  column.mask = LVCF_WIDTH;
  column.cx = g_state.listRect.right - g_state.listRect.left - 4;
  SendMessageW(g_state.listView, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  g_state.selectedRow = -1;
  for (const EditLimit& limit : kEditLimits)
    SendDlgItemMessageW(dialog, limit.id, EM_LIMITTEXT, limit.characters, 0);
  SetDlgItemTextW(dialog, IDC_RENAME_FILTER, settings.filter);
  HWND methods = GetDlgItem(dialog, IDC_RENAME_METHOD);
  SendMessageW(methods, CB_RESETCONTENT, 0, 0);
  for (const wchar_t* name : kMethodNames)
    SendMessageW(methods, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  SendMessageW(methods, CB_SETCURSEL, settings.method, 0);
  g_state.shownMethod = settings.method;
  ShowMethodControls(dialog, settings.method);
  CheckDlgButton(dialog, IDC_RENAME_CASE_SENSITIVE, settings.caseSensitive != 0);
  SetDlgItemTextW(dialog, IDC_RENAME_FIND, settings.find);
  SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, settings.replace);
  wchar_t length[kPathCapacity];
  FormatBounded(length, ARRAYSIZE(length), L"%d", settings.length);
  SetDlgItemTextW(dialog, IDC_RENAME_LENGTH, length);
  return TRUE;
}

// The list keeps its distances to the right and bottom edges; nothing else moves.
INT_PTR OnSize(LPARAM lParam) {
  if (g_state.listView == nullptr)
    return TRUE;
  const RECT& list = g_state.listRect;
  int width = LOWORD(lParam);
  int height = HIWORD(lParam);
  MoveWindow(g_state.listView, list.left, list.top,
             list.right + (width - g_state.initialClient.right) - list.left,
             list.bottom + (height - g_state.initialClient.bottom) - list.top, TRUE);
  SendMessageW(g_state.listView, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
  return TRUE;
}

// Never smaller than it opened. The calls before WM_INITDIALOG find no state yet.
INT_PTR OnGetMinMaxInfo(LPARAM lParam) {
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  if (info == nullptr || g_state.mainState == nullptr)
    return FALSE;
  int frame = GetSystemMetrics(SM_CXPADDEDBORDER) + GetSystemMetrics(SM_CXFRAME);
  info->ptMinTrackSize.x = g_state.initialClient.right + 2 * frame;
  info->ptMinTrackSize.y =
      g_state.initialClient.bottom + 2 * frame + GetSystemMetrics(SM_CYCAPTION);
  return TRUE;
}

// The list's requests for rows are answered from the preview's store. Of its item changes only a
// row that became selected and focused counts; a click on empty space leaves "Rename It" on the
// row last selected.
INT_PTR OnNotify(HWND dialog, LPARAM lParam) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (header->idFrom != static_cast<UINT_PTR>(IDC_RENAME_LIST))
    return FALSE;
  LRESULT answer;
  if (AnswerPreviewList(header, &answer)) {
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, answer);
    return TRUE;
  }
  if (header->code != LVN_ITEMCHANGED)
    return FALSE;
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
  if (change->iItem != -1 && change->uNewState == (LVIS_SELECTED | LVIS_FOCUSED))
    SetRenameItEnabled(dialog, change->iItem);
  return FALSE;
}

void RememberInputs(HWND dialog, int method) {
  RenameSettings& settings = g_renameSettings;
  const wchar_t* iniPath = g_state.mainState->iniPath;
  const Remembered& remembered = kRemembered[method];
  if (remembered.findAndCase) {
    GetDlgItemTextW(dialog, IDC_RENAME_FIND, settings.find, ARRAYSIZE(settings.find));
    settings.caseSensitive =
        IsDlgButtonChecked(dialog, IDC_RENAME_CASE_SENSITIVE) == BST_CHECKED ? 1 : 0;
    WriteSettingInt(iniPath, L"Replace", L"CaseSensitive", settings.caseSensitive);
    WriteSettingText(iniPath, L"Replace", L"Find", settings.find);
  }
  if (remembered.replace) {
    GetDlgItemTextW(dialog, IDC_RENAME_REPLACE, settings.replace, ARRAYSIZE(settings.replace));
    WriteSettingText(iniPath, L"Replace", L"Replace", settings.replace);
  }
  // Stored as typed; the Length shown at the next opening stays the one loaded at start.
  if (remembered.length) {
    wchar_t length[kPathCapacity];
    GetDlgItemTextW(dialog, IDC_RENAME_LENGTH, length, ARRAYSIZE(length));
    WriteSettingRaw(iniPath, L"Rename", L"Length", length);
  }
}

INT_PTR OnExecute(HWND dialog, WPARAM wParam) {
  int method = SelectedMethod(dialog);
  if (method == CB_ERR)
    return TRUE;
  RenameSettings& settings = g_renameSettings;
  settings.method = method;
  wchar_t path[kPathCapacity];
  ReadTargetPath(path);
  if (path[0] != L'\0') {
    FolderTime folderTime = SaveFolderTime(path);
    GetDlgItemTextW(dialog, IDC_RENAME_FILTER, settings.filter, ARRAYSIZE(settings.filter));
    if (settings.filter[0] == L'\0')
      FormatBounded(settings.filter, ARRAYSIZE(settings.filter), L"%s", L"*.*");
    const wchar_t* iniPath = g_state.mainState->iniPath;
    WriteSettingInt(iniPath, L"Rename", L"Method", method);
    WriteSettingText(iniPath, L"Rename", L"Filter", settings.filter);
    RenameFollowingSnapshot(dialog, path, method, -1);
    RememberInputs(dialog, method);
    RestoreFolderTime(path, folderTime);
  }
  EndDialog(dialog, wParam);
  return TRUE;
}

INT_PTR OnTest(HWND dialog) {
  int method = SelectedMethod(dialog);
  if (method == CB_ERR)
    return TRUE;
  wchar_t path[kPathCapacity];
  ReadTargetPath(path);
  if (path[0] != L'\0')
    RunRenameMethod(dialog, path, method, g_state.listView, -1);
  SetRenameItEnabled(dialog, -1);
  return TRUE;
}

INT_PTR OnRenameIt(HWND dialog) {
  int method = SelectedMethod(dialog);
  if (method == CB_ERR)
    return TRUE;
  wchar_t path[kPathCapacity];
  ReadTargetPath(path);
  // With no row, the run would rename every file: the button is disabled then, and a command
  // that arrives all the same does nothing.
  if (path[0] == L'\0' || g_state.selectedRow < 0)
    return TRUE;
  FolderTime folderTime = SaveFolderTime(path);
  int renamed = RenameFollowingSnapshot(dialog, path, method, g_state.selectedRow);
  RestoreFolderTime(path, folderTime);
  // A row leaves the list only when its file now carries the new name; else it stays selected.
  if (renamed == 0)
    return TRUE;
  RemovePreviewRow(g_state.listView, g_state.selectedRow);
  SetRenameItEnabled(dialog, -1);
  return TRUE;
}

INT_PTR OnMethodChange(HWND dialog, WPARAM wParam) {
  if (HIWORD(wParam) != CBN_SELENDOK)
    return TRUE;
  int method = SelectedMethod(dialog);
  if (method == CB_ERR || method == g_state.shownMethod)
    return TRUE;
  g_state.shownMethod = method;
  ShowMethodControls(dialog, method);
  ForgetPreview(dialog);
  return TRUE;
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
  if (ChangesPreviewInput(wParam)) {
    ForgetPreview(dialog);
    return TRUE;
  }
  switch (LOWORD(wParam)) {
  case IDOK:
    return OnExecute(dialog, wParam);
  case IDCANCEL:
    EndDialog(dialog, wParam);
    return TRUE;
  case IDC_RENAME_TEST:
    return OnTest(dialog);
  case IDC_RENAME_METHOD:
    return OnMethodChange(dialog, wParam);
  case IDC_RENAME_ONE:
    return OnRenameIt(dialog);
  default:
    return TRUE;
  }
}

} // namespace

void ShowMethodControls(HWND dialog, int method) {
  for (const MethodControl& control : kMethodControls) {
    bool shown = method < RenameLength    ? control.replaceMethods
                 : method == RenameLength ? control.lengthMethod
                 : method == RenameRemove ? control.removeMethod
                                          : false;
    ShowWindow(GetDlgItem(dialog, control.id), shown ? SW_SHOW : SW_HIDE);
  }
}

INT_PTR CALLBACK RenameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_INITDIALOG:
    return OnInitDialog(dialog, lParam);
  case WM_SIZE:
    return OnSize(lParam);
  case WM_GETMINMAXINFO:
    return OnGetMinMaxInfo(lParam);
  case WM_NOTIFY:
    return OnNotify(dialog, lParam);
  case WM_COMMAND:
    return OnCommand(dialog, wParam);
  case WM_DESTROY:
    // The list outlives this message by a little; emptied first, it asks for no row once the rows
    // are freed. The next opening starts from nothing, as the first did.
    ClearPreviewRows(g_state.listView);
    g_state = {};
    return TRUE;
  default:
    return FALSE;
  }
}
