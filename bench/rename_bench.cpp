// "Test" of the Rename dialog on a folder of N files that all get a new name, against two
// baselines, each with repetitions interleaved so both see the same cache and machine state:
// - the walk alone: FindFirstFileW over the folder, building the same "old -> new" texts in
//   memory with the same case-blind search, the least any preview must do;
// - the walk with the same rows inserted into a list view of the dialog list's style.
// Every size is measured against the walk first and against the list view afterwards, so the
// peak working sets printed in the first part come before any list view in this process has
// held rows of its own.
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "base/handles.h"
#include "bench/bench_clock.h"
#include "base/main_state.h"
#include "bench/sample_folder.h"
#include "rename/rename_dialog.h"
#include "resources/resource_ids.h"

namespace {

constexpr double kTarget = 1.5;
constexpr double kPeakTargetMiB = 64;
constexpr const wchar_t* kFind = L"photo_";
constexpr const wchar_t* kReplace = L"IMG";
constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT |
                             LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER;

enum class Baseline { WalkAlone, ListView };

// Lets the lists paint what they hold now, inside the timing.
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

std::wstring RowText(HWND list, int row) {
  wchar_t text[520] = {};
  LVITEMW item = {};
  item.pszText = text;
  item.cchTextMax = ARRAYSIZE(text);
  SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return text;
}

// The row texts in one block with their starts, as a preview keeps them.
struct Texts {
  std::wstring text;
  std::vector<size_t> starts;
};

// Every match replaced. Case Sensitive is clear in the dialog, so the Find text is searched for
// without regard to case, with the call the program makes for it.
void AppendRow(std::wstring& text, const wchar_t* name, const wchar_t* match) {
  text.append(name).append(L" -> ");
  const wchar_t* from = name;
  for (; match != nullptr; match = StrStrIW(from, kFind)) {
    text.append(from, match - from).append(kReplace);
    from = match + wcslen(kFind);
  }
  text.append(from).push_back(L'\0');
}

Texts WalkAlone(const std::wstring& folder) {
  Texts texts;
  WIN32_FIND_DATAW found;
  UniqueFind find(FindFirstFileW((folder + L"\\*.*").c_str(), &found));
  while (find) {
    const wchar_t* match = StrStrIW(found.cFileName, kFind);
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && match != nullptr) {
      texts.starts.push_back(texts.text.size());
      AppendRow(texts.text, found.cFileName, match);
    }
    if (!FindNextFileW(find.Get(), &found))
      break;
  }
  return texts;
}

// The walk's texts are the rows the dialog shows, one for one.
bool SameRows(const Texts& texts, HWND list) {
  bool same = static_cast<int>(texts.starts.size()) == RowCount(list);
  for (size_t i = 0; same && i < texts.starts.size(); ++i)
    same = RowText(list, static_cast<int>(i)) == texts.text.c_str() + texts.starts[i];
  return same;
}

// One listing, one insert per row at the end, the column sized once.
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

// The Rename dialog over a stand-in for the Target pane: a window with its path box, which is
// all the dialog reads of the main window.
class RenameDialog {
public:
  RenameDialog(HINSTANCE instance, const std::wstring& folder) {
    pane_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance,
                            nullptr);
    CreateWindowExW(0, L"EDIT", folder.c_str(), WS_CHILD, 0, 0, 10, 10, pane_,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PANE_PATH)), instance,
                    nullptr);
    state_.instance = instance;
    state_.target.paneWindow = pane_;
    dialog_ = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_RENAME), nullptr, RenameDialogProc,
                                 reinterpret_cast<LPARAM>(&state_));
    SetDlgItemTextW(dialog_, IDC_RENAME_FIND, kFind);
    SetDlgItemTextW(dialog_, IDC_RENAME_REPLACE, kReplace);
    ShowWindow(dialog_, SW_SHOW);
  }
  ~RenameDialog() {
    DestroyWindow(dialog_);
    DestroyWindow(pane_);
  }
  RenameDialog(const RenameDialog&) = delete;
  RenameDialog& operator=(const RenameDialog&) = delete;

  HWND Window() const { return dialog_; }
  HWND List() const { return GetDlgItem(dialog_, IDC_RENAME_LIST); }
  int PressTest() const {
    SendMessageW(dialog_, WM_COMMAND, IDC_RENAME_TEST, 0);
    Pump();
    return RowCount(List());
  }

private:
  MainState state_ = {};
  HWND pane_;
  HWND dialog_;
};

// The baseline's list: the dialog list's style and size, in a window of the dialog's size beside
// it. Destroyed with its host.
HWND MakeBaselineList(HINSTANCE instance, const RenameDialog& dialog, HWND* host) {
  RECT dialogRect;
  GetWindowRect(dialog.Window(), &dialogRect);
  RECT listRect;
  GetWindowRect(dialog.List(), &listRect);
  *host = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED | WS_VISIBLE, dialogRect.right, 0,
                          dialogRect.right - dialogRect.left, dialogRect.bottom - dialogRect.top,
                          nullptr, nullptr, instance, nullptr);
  HWND list =
      CreateWindowExW(0, WC_LISTVIEWW, L"", kListStyle, 0, 0, listRect.right - listRect.left,
                      listRect.bottom - listRect.top, *host, nullptr, instance, nullptr);
  RECT client;
  GetClientRect(dialog.List(), &client);
  LVCOLUMNW column = {};
  column.mask = LVCF_WIDTH;
  column.cx = client.right - 4;
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  return list;
}

// Measures a folder of that many files against one baseline; false when a run did not show every
// row, or the walk's texts were not the rows shown.
bool Measure(HINSTANCE instance, int files, Baseline kind, bool* met) {
  SampleFolder sample(L"rename", files);
  if (!sample.ok())
    return false;
  const std::wstring& folder = sample.path();
  RenameDialog dialog(instance, folder);
  double peakBefore = PeakWorkingSetMiB();
  bool ok = dialog.PressTest() == files; // warms the cache for both
  double programPeak = PeakWorkingSetMiB();
  HWND host = nullptr;
  HWND list = nullptr;
  std::vector<std::wstring> rows;
  if (kind == Baseline::WalkAlone) {
    ok = SameRows(WalkAlone(folder), dialog.List()) && ok;
  } else {
    for (int i = 0; i < files; ++i)
      rows.push_back(RowText(dialog.List(), i));
    list = MakeBaselineList(instance, dialog, &host);
    ok = ListAndInsert(list, folder, rows) == files && ok;
  }
  std::vector<double> baseline;
  std::vector<double> preview;
  for (int i = 0; i < RepetitionsFor(files); ++i) {
    double start = Now();
    int shown = kind == Baseline::WalkAlone ? static_cast<int>(WalkAlone(folder).starts.size())
                                            : ListAndInsert(list, folder, rows);
    baseline.push_back(Now() - start);
    ok = shown == files && ok;
    start = Now();
    ok = dialog.PressTest() == files && ok;
    preview.push_back(Now() - start);
  }
  if (host != nullptr)
    DestroyWindow(host);
  if (!ok)
    return false;
  if (kind == Baseline::ListView) {
    *met = Report("\"Test\" / list-view inserts", files, baseline, preview, kTarget) && *met;
    return true;
  }
  *met = Report("\"Test\" / walk alone", files, baseline, preview, kTarget) && *met;
  std::printf("  %-26s N=%6d  program's peak working set %.0f MiB (target %.0f) after its first "
              "\"Test\", before any baseline at this size; %.0f MiB before that \"Test\"\n",
              "", files, programPeak, kPeakTargetMiB, peakBefore);
  *met = programPeak <= kPeakTargetMiB && *met;
  return true;
}

int MeasureAgainst(Baseline kind, int argc, wchar_t** argv) {
  return MeasureEachSize(
      argc, argv,
      [kind](int files, bool* met) { return Measure(GetModuleHandleW(nullptr), files, kind, met); },
      "did not show every row, or not the rows the walk built");
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  std::printf("rename_bench: \"Test\" on files that all match, interleaved with a FindFirstFileW "
              "walk building the same rows in memory, then with the walk inserting them into a "
              "list view (whose rows the later peaks include)\n");
  int walk = MeasureAgainst(Baseline::WalkAlone, argc, argv);
  if (walk == 1)
    return 1;
  int listView = MeasureAgainst(Baseline::ListView, argc, argv);
  return listView == 1 ? 1 : walk != 0 ? walk : listView;
}
