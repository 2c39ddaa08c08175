#include "app/snapshot.h"

#include <algorithm>

#include "base/bounded_text.h"
#include "filetime/enumerate_folder.h"
#include "filetime/path_times.h"
#include "panes/path_pane.h"
#include "resources/resource_ids.h"

namespace {

void ShowCount(HWND window, int id, uint32_t count) {
  wchar_t text[68];
  FormatBounded(text, ARRAYSIZE(text), L"%d", static_cast<int>(count));
  SetDlgItemTextW(window, id, text);
}

void FreeSnapshot(MainState* state) {
  if (state->modifiedSnapshot != nullptr)
    GlobalFree(state->modifiedSnapshot);
  state->modifiedSnapshot = nullptr;
  state->snapshotCount = 0;
}

} // namespace

void TakeSnapshot(MainState* state) {
  wchar_t path[268] = {};
  ReadPanePath(state->target.paneWindow, path);
  FreeSnapshot(state);
  uint32_t count = EnumerateFolder(nullptr, path, 0, nullptr);
  uint32_t filled = 0;
  HGLOBAL block = count != 0
                      ? GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, count * sizeof(FolderEntry))
                      : nullptr;
  if (auto* entries = static_cast<FolderEntry*>(block != nullptr ? GlobalLock(block) : nullptr)) {
    // The folder may have changed since the count, or its listing may break off: store no more
    // than the block holds, and count only the records filled.
    EnumerateOptions options = {};
    options.maxEntries = count;
    filled = std::min(count, EnumerateFolder(entries, path, 0, &options));
    GlobalUnlock(block);
  }
  if (filled != 0) {
    state->modifiedSnapshot = block;
    state->snapshotCount = count;
    ShowCount(state->mainWindow, IDC_SNAPSHOT_COUNT, filled);
  } else {
    if (block != nullptr)
      GlobalFree(block);
    // No count of an earlier snapshot is left standing for one that was not taken.
    SetDlgItemTextW(state->mainWindow, IDC_SNAPSHOT_COUNT, L"");
  }
  EnableWindow(GetDlgItem(state->mainWindow, IDC_RESTORE), state->snapshotCount > 0);
  SetDlgItemTextW(state->mainWindow, IDC_FOLDER_RESULT, L"");
}

void RestoreSnapshot(MainState* state) {
  if (state->modifiedSnapshot == nullptr)
    return;
  SetDlgItemTextW(state->mainWindow, IDC_FOLDER_RESULT, L"");
  uint32_t restored = 0;
  auto* entries = static_cast<const FolderEntry*>(GlobalLock(state->modifiedSnapshot));
  if (entries != nullptr) {
    for (uint32_t i = 0; i < state->snapshotCount; ++i) {
      // Records left unfilled (files gone between count and fill) have no path.
      if (entries[i].fullPath[0] != L'\0' &&
          SetPathUtcTimes(entries[i].fullPath, nullptr, &entries[i].modifiedUtc, nullptr))
        ++restored;
    }
    GlobalUnlock(state->modifiedSnapshot);
  }
  ShowCount(state->mainWindow, IDC_FOLDER_RESULT, restored);
}
