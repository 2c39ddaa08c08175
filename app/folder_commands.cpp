#include "app/folder_commands.h"

#include "base/bounded_text.h"
#include "base/handles.h"
#include "filetime/cleanup_folder.h"
#include "filetime/match_folders.h"
#include "base/settings.h"
#include "panes/pane_display.h"
#include "panes/path_pane.h"
#include "resources/resource_ids.h"

namespace {

// Zero-filled room for 268 characters, read with a limit of 260; empty when it cannot be had.
UniqueHeapBlock ReadPathOf(HWND pane) {
  UniqueHeapBlock block(HeapAllocZeroed<wchar_t>(268));
  if (block)
    ReadPanePath(pane, static_cast<wchar_t*>(block.Get()));
  return block;
}

void ShowFolderResult(const MainState* state, uint32_t count) {
  wchar_t text[68];
  FormatBounded(text, ARRAYSIZE(text), L"%d", static_cast<int>(count));
  SetDlgItemTextW(state->mainWindow, IDC_FOLDER_RESULT, text);
}

} // namespace

void CleanupCommand(MainState* state) {
  UniqueHeapBlock path = ReadPathOf(state->target.paneWindow);
  if (!path)
    return;
  SetDlgItemTextW(state->mainWindow, IDC_FOLDER_RESULT, L"");
  bool recurse = (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
  uint32_t deleted = CleanupFolder(static_cast<const wchar_t*>(path.Get()), recurse);
  // Discarding the snapshot empties 1023 as well, so the count goes in after it.
  DiscardSnapshot(state);
  ShowFolderResult(state, deleted);
}

void MatchCommand(MainState* state) {
  uint32_t matched = 0;
  {
    UniqueHeapBlock target = ReadPathOf(state->target.paneWindow);
    UniqueHeapBlock reference = ReadPathOf(state->reference.paneWindow);
    // Read afresh at every run, and never written here.
    auto option =
        static_cast<uint32_t>(ReadSettingInt(state->iniPath, L"General", L"MatchedFoldersOption",
                                             static_cast<int>(kDefaultMatchOption)));
    matched = MatchFolders(state->mainWindow, static_cast<const wchar_t*>(reference.Get()),
                           static_cast<const wchar_t*>(target.Get()), option);
  }
  ShowFolderResult(state, matched);
}
