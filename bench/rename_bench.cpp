// "Test" of the Rename dialog on a folder of N files that all get a new name, against the
// least a preview must do: list the folder with FindFirstFileW and insert the same rows into a
// list view of the same style, redrawing held off. Repetitions alternate so both see the same
// cache and machine state.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/handles.h"
#include "bench/bench_clock.h"
#include "base/main_state.h"
#include "bench/sample_folder.h"
#include "rename/rename_dialog.h"
#include "resources/resource_ids.h"

namespace {

// The preview's rows, so the baseline inserts the same texts.
std::vector<std::wstring> ListRows(HWND list) {
  std::vector<std::wstring> rows;
  int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[520] = {};
    LVITEMW item = {};
    item.pszText = text;
    item.cchTextMax = ARRAYSIZE(text);
    SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
    rows.push_back(text);
  }
  return rows;
}

constexpr double kTarget = 1.5;
constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT |
                             LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER;

// Lets both lists paint what they hold now, inside the timing.
void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

int RowCount(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

// The baseline: one listing, one insert per row at the end, the column sized once.
int ListAndInsert(HWND list, const std::wstring& folder, const std::vector<std::wstring>& rows) {
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  WIN32_FIND_DATAW found;
  UniqueFind find(FindFirstFileW((folder + L"\\*.*").c_str(), &found));
  size_t next = 0;
  if (find) {
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || next == rows.size())
        continue;
      item.pszText = const_cast<wchar_t*>(rows[next++].c_str());
      SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
      ++item.iItem;
    } while (FindNextFileW(find.Get(), &found));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
  InvalidateRect(list, nullptr, TRUE);
  Pump();
  return RowCount(list);
}

int PressTest(HWND dialog) {
  SendMessageW(dialog, WM_COMMAND, IDC_RENAME_TEST, 0);
  Pump();
  return RowCount(GetDlgItem(dialog, IDC_RENAME_LIST));
}

// Measures a folder of that many files; false when a run did not show every row.
bool Measure(HINSTANCE instance, int files, bool* met) {
  SampleFolder sample(L"rename", files);
  if (!sample.ok())
    return false;
  const std::wstring& folder = sample.path();

  // The dialog reads the folder from the Target pane's path box; a window with that box will do.
  HWND pane = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance,
                              nullptr);
  CreateWindowExW(0, L"EDIT", folder.c_str(), WS_CHILD, 0, 0, 10, 10, pane,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PANE_PATH)), instance, nullptr);
  MainState state = {};
  state.instance = instance;
  state.target.paneWindow = pane;
  HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_RENAME), nullptr,
                                   RenameDialogProc, reinterpret_cast<LPARAM>(&state));
  SetDlgItemTextW(dialog, IDC_RENAME_FIND, L"photo_");
  SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, L"IMG");
  ShowWindow(dialog, SW_SHOW);

  // The baseline's list: same style and size, in a window of the dialog's size beside it.
  RECT dialogRect;
  GetWindowRect(dialog, &dialogRect);
  HWND dialogList = GetDlgItem(dialog, IDC_RENAME_LIST);
  RECT listRect;
  GetClientRect(dialogList, &listRect);
  HWND host =
      CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED | WS_VISIBLE, dialogRect.right, 0,
                      dialogRect.right - dialogRect.left, dialogRect.bottom - dialogRect.top,
                      nullptr, nullptr, instance, nullptr);
  RECT windowListRect;
  GetWindowRect(dialogList, &windowListRect);
  HWND list = CreateWindowExW(
      0, WC_LISTVIEWW, L"", kListStyle, 0, 0, windowListRect.right - windowListRect.left,
      windowListRect.bottom - windowListRect.top, host, nullptr, instance, nullptr);
  LVCOLUMNW column = {};
  column.mask = LVCF_WIDTH;
  column.cx = listRect.right - 4;
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));

  bool ok = PressTest(dialog) == files; // warms the cache for both
  std::vector<std::wstring> rows = ListRows(dialogList);
  ok = ListAndInsert(list, folder, rows) == files && ok;
  std::vector<double> baseline;
  std::vector<double> preview;
  for (int i = 0; i < RepetitionsFor(files); ++i) {
    double start = Now();
    ok = ListAndInsert(list, folder, rows) == files && ok;
    baseline.push_back(Now() - start);
    start = Now();
    ok = PressTest(dialog) == files && ok;
    preview.push_back(Now() - start);
  }
  DestroyWindow(dialog);
  DestroyWindow(host);
  DestroyWindow(pane);
  if (ok)
    *met = Report("Rename \"Test\"", files, baseline, preview, kTarget) && *met;
  return ok;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  std::printf("rename_bench: \"Test\" on files that all match against FindFirstFileW and list-view "
              "inserts of the same rows, interleaved\n");
  return MeasureEachSize(
      argc, argv,
      [](int files, bool* met) { return Measure(GetModuleHandleW(nullptr), files, met); },
      "did not show every row");
}
