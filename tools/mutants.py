#!/usr/bin/env python3
"""Breaks the program one guard at a time and checks that a test fails for each.

Each mutant replaces one exact piece of product code, builds the test program named, runs it
under the Wine session (or natively, for a program named "native:...") with a filter, and expects
it to fail; the file is put back whatever happens. Run from the repository root after the Windows
and native builds:

    tools/mutants.py            # every mutant
    tools/mutants.py drop       # those whose name contains "drop"
    tools/mutants.py --tests=Panes   # those whose test filter contains "Panes"

With --random N --seed S it makes N mechanical mutants itself instead, drawn at random with seed S
from the sites of classic operators in the product's sources (tools/random_mutants.py), and runs
each against the suites of the README test command: the native suite when the native build uses
the file, then the Windows suite in every zone (scripts/windows-suites). A mutant that does not
build is counted apart; one that fails a suite or runs past the time limit is caught. Mutants
listed in tools/equivalent_mutants.txt, each with its reason, are left out of the score. The
survivors, with file, line and the changed text, go to build/mutants-random-S.txt.

    tools/mutants.py --random 150 --seed 7
"""
import json
import os
import random
import signal
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from random_mutants import all_sites  # noqa: E402

# name, file, code as it is, code broken, test program, gtest filter. Several pieces are broken
# together when the code is a tuple: all in the one file, or each in its own when the file is a
# tuple too. A program "native:NAME" runs natively; "ctest:NAME" runs that ctest test.
MUTANTS = [
    # File times
    ("local/UTC conversion removed in SetPathTimes", "filetime/path_times.cpp",
     "LocalFileTimeToFileTime(&localFileTime, utc);", "(*utc = localFileTime, true);",
     "gui_tests", "MainCommands.*"),
    ("Created and Modified slots swapped", "filetime/path_times.cpp",
     "Writable(created), nullptr, Writable(modified)", "Writable(modified), nullptr, Writable(created)",
     "gui_tests", "MainCommands.*"),
    ("a last-access time written", "filetime/path_times.cpp",
     "Writable(created), nullptr, Writable(modified)", "Writable(created), created, Writable(modified)",
     "gui_tests", "MainCommands.*"),
    ("a stamp that is no time written", "filetime/path_times.cpp",
     "return utc != nullptr && FileTimeToSystemTime(utc, &ignored) ? utc : nullptr;",
     "return (void)ignored, utc;",
     "filetime_tests", "PathTimes.*"),
    # Each date's daylight saving: README's switch, its two special hours, and the records that
    # carry a stamp from one file to another exactly under either rule
    ("each date's switch ignored", "app/daylight_saving.cpp",
     "  UseEachDatesDaylightSaving(eachDate);", "  UseEachDatesDaylightSaving(false);",
     "gui_tests", "MainCommands.Apply*"),
    ("repeated hour taken as its second occurrence", "filetime/path_times.cpp",
     "{std::max(before, after), std::min(before, after)}",
     "{std::min(before, after), std::max(before, after)}",
     "filetime_tests", "PathTimes.*"),
    ("skipped hour taken as daylight time, as Wine converts it", "filetime/path_times.cpp",
     "uint64_t chosen = Ticks(wall) - before;", "uint64_t chosen = Ticks(wall) - after;",
     "filetime_tests", "PathTimes.*"),
    ("Restore writes back through local time", "app/snapshot.cpp",
     "SetPathUtcTimes(entries[i].fullPath, nullptr, &entries[i].modifiedUtc, nullptr)",
     "[&] {\n            SYSTEMTIME local = {};\n            UtcToLocalTime(entries[i].modifiedUtc, &local);\n"
     "            return SetPathTimes(entries[i].fullPath, nullptr, &local, nullptr);\n          }()",
     "gui_tests", "FaultSweep.*"),
    ("Match copies through local time", "filetime/match_folders.cpp",
     "      !SetPathUtcTimes(counterpart, copied[kCreatedSlot], copied[kModifiedSlot], nullptr))",
     """      ![&] {
        SYSTEMTIME local[kTimeSlots] = {};
        for (int i = 0; i < kTimeSlots; ++i)
          if (copied[i] != nullptr)
            UtcToLocalTime(*copied[i], &local[i]);
        return SetPathTimes(counterpart, copied[kCreatedSlot] ? &local[kCreatedSlot] : nullptr,
                            copied[kModifiedSlot] ? &local[kModifiedSlot] : nullptr, nullptr);
      }())""",
     "gui_tests", "FaultSweep.*"),
    ("Cleanup puts a folder's time back through local time", "filetime/cleanup_folder.cpp",
     "  SetPathUtcTimes(path, nullptr, &saved, nullptr);\n",
     "  SYSTEMTIME local = {};\n  UtcToLocalTime(saved, &local);\n  SetPathTimes(path, nullptr, &local, nullptr);\n",
     "gui_tests", "FaultSweep.*"),
    ("Rename puts the folder's time back through local time", "rename/rename_dialog.cpp",
     "  if (time.saved)\n    SetPathUtcTimes(path, nullptr, &time.modified, nullptr);",
     "  SYSTEMTIME local = {};\n  if (time.saved && UtcToLocalTime(time.modified, &local))\n"
     "    SetPathTimes(path, nullptr, &local, nullptr);",
     "gui_tests", "FaultSweep.*"),
    ("the switch does not show the panes again", "app/daylight_saving.cpp",
     "  ShowPaneTimes(state->target.paneWindow, nullptr);\n  ShowPaneTimes(state->reference.paneWindow, nullptr);\n",
     "", "gui_tests", "MainCommands.Apply*"),
    ("the switch reads the Exif dates again", "app/daylight_saving.cpp",
     "ShowPaneTimes(state->target.paneWindow, nullptr);",
     "ShowPaneTimes(state->target.paneWindow, &state->exifDates);",
     "gui_tests", "MainCommands.Apply*"),
    ("the switch's setting not kept", "app/daylight_saving.cpp",
     "  WriteSettingInt(state->iniPath, L\"General\", L\"EachDatesDaylightSaving\",\n"
     "                  state->eachDatesDaylightSaving ? 1 : 0);\n", "",
     "gui_tests", "MainCommands.Apply*"),
    ("the switch's setting not read at start", "app/main_setup.cpp",
     "  LoadDaylightSavingSetting(state);\n", "",
     "gui_tests", "MainCommands.Apply*"),
    ("the switch shown without its check mark", "app/main_window.cpp",
     "state->eachDatesDaylightSaving ? MF_CHECKED : MF_UNCHECKED", "MF_UNCHECKED",
     "gui_tests", "MainCommands.Apply*"),
    ("the switch not reached from the system menu", "app/main_window.cpp",
     " ||\n        LOWORD(wParam) == IDM_EACH_DATES_DAYLIGHT_SAVING)", ")",
     "gui_tests", "MainCommands.Apply*"),
    ("Apply shows OK for a time it could not convert", "app/time_commands.cpp",
     "if (!Converts(created, createdTime) || !Converts(modified, modifiedTime) ||",
     "if ((Converts(created, createdTime) && false) ||",
     "gui_tests", "MainCommands.Apply*"),
    ("an out-of-range time handed on", "filetime/path_times.cpp",
     "return local != nullptr && LocalTimeToUtc(*local, utc) ? utc : nullptr;",
     "return local != nullptr ? (LocalTimeToUtc(*local, utc), utc) : nullptr;",
     "filetime_tests", "PathTimes.*"),
    ("times read without sharing for writers", "filetime/path_times.cpp",
     "OpenPath(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE)",
     "OpenPath(path, GENERIC_READ, FILE_SHARE_READ)",
     "gui_tests", "Panes.TheExif*"),
    # Folder listing, cleanup, matching
    ("EnumerateFolder fills past its capacity", "filetime/enumerate_folder.cpp",
     "(options != nullptr && options->maxEntries != 0 && index >= options->maxEntries)",
     "(options != nullptr && options->maxEntries != 0 && index >= options->maxEntries && false)",
     "filetime_tests", "FolderWalks.*"),
    ("EnumerateFolder joins a cut path", "filetime/enumerate_folder.cpp",
     "if (firstLength + secondLength + thirdLength >= capacity)", "if (capacity == 0)",
     "filetime_tests", "FolderWalks.*"),
    ("Cleanup does not put a folder's time back", "filetime/cleanup_folder.cpp",
     "  SetPathUtcTimes(path, nullptr, &saved, nullptr);\n", "",
     "gui_tests", "MainCommands.*:FaultSweep.*"),
    ("Cleanup deletes a folder", "filetime/cleanup_folder.cpp",
     ("return !IsFolder(search.found) && IsJunkFile(", "deleted += DeleteFileW(paths[i].path) ? 1 : 0;"),
     ("return IsJunkFile(",
      "deleted += (DeleteFileW(paths[i].path) || RemoveDirectoryW(paths[i].path)) ? 1 : 0;"),
     "gui_tests", "FaultSweep.*"),
    ("Cleanup acts on a cut path", "base/join_path.h",
     "if (AppendBounded(out, first) == 0 && AppendBounded(out, second) == 0)",
     "if ((AppendBounded(out, first), AppendBounded(out, second), true))",
     "filetime_tests", "FolderWalks.*"),
    ("Cleanup recurses without Shift", "app/folder_commands.cpp",
     "bool recurse = (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;", "bool recurse = true;",
     "gui_tests", "FaultSweep.*"),
    ("Match goes on when the box could not be shown", "filetime/match_folders.cpp",
     "MB_YESNO) == IDYES;", "MB_YESNO) != IDNO;", "gui_tests", "FaultSweep.*"),
    ("Match goes on when answered No", "filetime/match_folders.cpp",
     "MB_YESNO) == IDYES;", "MB_YESNO) != 0;", "gui_tests", "FaultSweep.*"),
    ("Match with its time bits swapped", "filetime/match_folders.cpp",
     "{kMatchCopyCreated, kCreatedSlot},\n    {kMatchCopyModified, kModifiedSlot},",
     "{kMatchCopyCreated, kModifiedSlot},\n    {kMatchCopyModified, kCreatedSlot},",
     "gui_tests", "FaultSweep.*"),
    ("Match with its item bits swapped", "filetime/match_folders.h",
     ("kMatchPlainItems = 0x10;", "kMatchFolders = 0x20;"),
     ("kMatchPlainItems = 0x20;", "kMatchFolders = 0x10;"),
     "gui_tests", "MainCommands.*:FaultSweep.*"),
    # The main window
    ("Apply takes the time from the date picker", "panes/pane_time.cpp",
     "  time.wDay = date.wDay;\n  return time;", "  time.wDay = date.wDay;\n  return date;",
     "gui_tests", "MainCommands.*"),
    ("relative Target kept relative", "app/main_setup.cpp",
     "SetPanePath(state->target.paneWindow, full);",
     "SetPanePath(state->target.paneWindow, argv[i]);",
     "gui_tests", "MainCommands.*"),
    # Panes
    ("Yes and No swapped in the shortcut question", "panes/shortcut_resolution.cpp",
     "  case IDYES:\n    return resolved;\n  case IDNO:\n    return path;",
     "  case IDYES:\n    return path;\n  case IDNO:\n    return resolved;",
     "gui_tests", "Panes.*"),
    ("Open... moves the current directory", "panes/choose_path.cpp",
     "OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR;", "OFN_OVERWRITEPROMPT;",
     "gui_tests", "FaultSweep.*"),
    ("a drop of no files answered as a copy", "panes/drop_target.cpp",
     "    Answer(effect, false);\n    return S_OK;", "    Answer(effect, true);\n    return S_OK;",
     "gui_tests", "Panes.*"),
    ("a pane placed by its placeholder's top for its left", "app/main_setup.cpp",
     "OffsetRect(&rect, placeholderOrigin.x - parentOrigin.x,",
     "OffsetRect(&rect, placeholderOrigin.y - parentOrigin.y,", "gui_tests", "Panes.*"),
    ("the shortcut question's caption taken as a format", "panes/shortcut_resolution.cpp",
     'FormatBounded(caption, capacity, L"%s%s", name, extension);',
     "FormatBounded(caption, capacity, name, extension);", "gui_tests", "Panes.*"),
    ("the Reference pane's tooltip keeps the path before", "panes/pane_display.cpp",
     "    ReplacePathTooltip(state, &state->reference, shown);\n", "",
     "gui_tests", "Panes.*"),
    ("a path of 259 characters refused", "panes/pane_display.cpp",
     "std::wcslen(path) > 259", "std::wcslen(path) > 258", "gui_tests", "Panes.*"),
    ("a path of 260 characters taken", "panes/pane_display.cpp",
     "std::wcslen(path) > 259", "std::wcslen(path) > 260", "gui_tests", "Panes.*"),
    ("a preview row shown as a format", "rename/preview_rows.cpp",
     'L"%s", held ? g_rows.At(item.iItem) : L""', 'held ? g_rows.At(item.iItem) : L"", L""',
     "gui_tests", "Rename.Test*"),
    ("drop refused later keeps old times", "panes/drop_target.cpp",
     "  if (taken)\n    ShowPaneTimes", "  if (answer == 1 || (taken && false))\n    ShowPaneTimes",
     "gui_tests", "Panes.*"),
    ("drop tells the source to move", "panes/drop_target.cpp",
     "*effect = offersFiles ? DROPEFFECT_COPY : DROPEFFECT_NONE;", "(void)offersFiles;",
     "gui_tests", "Panes.*"),
    ("existing path with unreadable times taken", "panes/pane_display.cpp",
     "if (shown == nullptr || !TimesReadableOrMissing(shown, &times))",
     "if (shown == nullptr || (!TimesReadableOrMissing(shown, &times) && false))",
     "gui_tests", "Panes.*"),
    ("unshowable stamp leaves the old time", "panes/pane_display.cpp",
     "shown = time.wYear >= range.latest.wYear ? range.latest : range.earliest;", "(void)range;",
     "gui_tests", "Panes.*"),
    ("unshowable stamp clamped to a time the picker refuses", "panes/pane_display.cpp",
     "{9999, 12, 0, 31, 0, 0, 0, 0}", "{9999, 12, 0, 31, 23, 59, 59, 999}",
     "gui_tests", "Panes.*"),
    ("Exif read without sharing for writers", "exif/read_times_and_exif.cpp",
     "FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,", "FILE_SHARE_READ,",
     "gui_tests", "Panes.*"),
    ("unshowable Exif date counts as present", "panes/pane_display.cpp",
     "if (Present(*date) && !PickerHolds(picker, *date))",
     "if (Present(*date) && !PickerHolds(picker, *date) && false)",
     "gui_tests", "Panes.*"),
    ("Shift + Open... names a current folder when no settings file is in use", "base/settings.cpp",
     'FormatBounded(out, capacity, L"%s", defaultValue);', 'FormatBounded(out, capacity, L"%s", L"%s");',
     "gui_tests", "Panes.TheMainWindow*"),
    ("a stamp in the pickers' last year shown as their first day", "panes/pane_display.cpp",
     "shown = time.wYear >= range.latest.wYear ? range.latest : range.earliest;",
     "shown = time.wYear > range.latest.wYear ? range.latest : range.earliest;",
     "gui_tests", "Panes.TheExif*"),
    ("the system menu's line inserted one place too high", "app/main_command.cpp",
     "InsertMenuItemW(menu, 3, TRUE, &separator);", "InsertMenuItemW(menu, 2, TRUE, &separator);",
     "gui_tests", "MainCommands.*"),
    # Rename
    ("the preview column given no width", "rename/preview_rows.cpp",
     "SendMessageW(listView, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);",
     "SendMessageW(listView, LVM_SETCOLUMNWIDTH, 0, 0);", "gui_tests", "Rename.*"),
    ("a row that leaves keeps the rows after it from moving up", "rename/name_list.cpp",
     "std::memmove(Starts() + i, Starts() + i + 1,", "std::memmove(Starts() + i + 1, Starts() + i + 1,",
     "gui_tests", "FaultSweep.*"),
    ("Execute replaces existing files", "rename/run_rename_method.cpp",
     "MoveFileExW(rename.oldPath, rename.newPath, 0)",
     "MoveFileExW(rename.oldPath, rename.newPath, MOVEFILE_REPLACE_EXISTING)",
     "gui_tests", "Rename.*"),
    ("a backslash allowed in a new name", "rename/rules.cpp",
     'L"\\\\/:*?\\"<>|"', 'L"/:*?\\"<>|"', "native:rename_tests", "*"),
    ("Rename It by row number again", "rename/run_rename_method.cpp",
     "  if (listView == nullptr && row >= 0)\n    return RenameOne(dialog, folderPath, rule, row, observer);",
     """  if (listView == nullptr && row >= 0) {
    (void)RenameOne;
    Listing byNumber;
    Rename rename;
    ListFolder(folderPath, inputs.filter, &byNumber);
    for (uint32_t i = 0, count = 0; i < byNumber.names.Count(); ++i)
      if (Prepare(folderPath, byNumber.names.At(i), rule, &rename) && count++ == uint32_t(row))
        return MoveFileExW(rename.oldPath, rename.newPath, 0), 1;
    return 0;
  }""",
     "gui_tests", "Rename.*"),
    ("Rename It asks the shell onto a name another file holds", "rename/run_rename_method.cpp",
     " ||\n      !IdentityOf(rename.oldPath, &file) || !NewNameFree(rename, oldName, file))",
     " ||\n      !IdentityOf(rename.oldPath, &file) || !(NewNameFree(rename, oldName, file) || true))",
     "gui_tests", "Rename.RenameIt*"),
    ("Rename It takes a change of case for another file", "rename/run_rename_method.cpp",
     "rename.newName, -1, TRUE) == CSTR_EQUAL", "rename.newName, -1, TRUE) == CSTR_EQUAL + 9",
     "gui_tests", "Rename.RenameIt*"),
    ("Rename It trusts the shell's answer", "rename/run_rename_method.cpp",
     "  SHFileOperationW(&operation);\n", "  if (SHFileOperationW(&operation) == 0)\n    return 1;\n",
     "gui_tests", "Rename.RenameIt*"),
    ("Rename It on a memory card reports a done rename as failed", "rename/run_rename_method.cpp",
     "  if (!HoldsExactName(rename.newPath, rename.newName) || HoldsExactName(rename.oldPath, oldName))",
     "  FileIdentity now;\n  if (!HoldsExactName(rename.newPath, rename.newName) ||\n"
     "      !IdentityOf(rename.newPath, &now) || now != file)",
     "gui_tests", "FaultSweep.*"),
    ("Rename It reports a rename that left the old name", "rename/run_rename_method.cpp",
     " || HoldsExactName(rename.oldPath, oldName))\n    return 0;", ")\n    return 0;",
     "gui_tests", "Rename.*"),
    ("Rename It drops the row of a failed rename", "rename/rename_dialog.cpp",
     "  if (renamed == 0)\n    return TRUE;\n", "  (void)renamed;\n",
     "gui_tests", "Rename.RenameIt*"),
    ("list kept when Find changes", "rename/rename_dialog.cpp",
     "{IDC_RENAME_FIND, EN_CHANGE},", "", "gui_tests", "Rename.RenameIt*"),
    ("list kept when Replace changes", "rename/rename_dialog.cpp",
     "{IDC_RENAME_REPLACE, EN_CHANGE},", "", "gui_tests", "Rename.RenameIt*"),
    ("list kept when Filter changes", "rename/rename_dialog.cpp",
     "{IDC_RENAME_FILTER, EN_CHANGE},", "", "gui_tests", "Rename.RenameIt*"),
    ("list kept when Length changes", "rename/rename_dialog.cpp",
     "{IDC_RENAME_LENGTH, EN_CHANGE},", "", "gui_tests", "Rename.RenameIt*"),
    ("list kept when Case Sensitive changes", "rename/rename_dialog.cpp",
     "{IDC_RENAME_CASE_SENSITIVE, BN_CLICKED},", "", "gui_tests", "Rename.RenameIt*"),
    ("list kept when the method changes", "rename/rename_dialog.cpp",
     "  ShowMethodControls(dialog, method);\n  ForgetPreview(dialog);",
     "  ShowMethodControls(dialog, method);", "gui_tests", "Rename.RenameIt*"),
    ("list emptied without disabling Rename It", "rename/rename_dialog.cpp",
     "  ClearPreviewRows(g_state.listView);\n  SetRenameItEnabled(dialog, -1);",
     "  ClearPreviewRows(g_state.listView);\n  (void)dialog;",
     "gui_tests", "Rename.RenameIt*"),
    ("snapshot does not follow renames", "rename/rename_dialog.cpp",
     "RenameObserver observer = {FollowInSnapshot, &follower};",
     "RenameObserver observer = {FollowInSnapshot, &follower};\n    observer.renamed = nullptr;",
     "gui_tests", "FaultSweep.*"),
    ("a followed record's name left unended", "filetime/rename_follower.cpp",
     "    wmemcpy(entry.name, newName, nameLength + 1);", "    wmemcpy(entry.name, newName, nameLength);",
     "filetime_tests", "RenameFollower.*"),
    ("snapshot record found by folded name first", "filetime/rename_follower.cpp",
     "if (wcscmp(entries_[record->second].name, name) == 0)", "if (false)",
     "filetime_tests", "RenameFollower.*"),
    ("snapshot record taken from two that fold alike", "filetime/rename_follower.cpp",
     "    if (found != byName_.end())\n      return byName_.end();\n", "",
     "filetime_tests", "RenameFollower.*"),
    ("snapshot record of a file still there taken by another case", "filetime/rename_follower.cpp",
     "if (HoldsExactName(entry.fullPath, entry.name))",
     "if (HoldsExactName(entry.fullPath, entry.name) && false)",
     "filetime_tests", "RenameFollower.*"),
    ("Rename It takes the top row's text out of the preview", "rename/preview_rows.cpp",
     "  g_rows.Remove(row);", "  g_rows.Remove(0);", "gui_tests", "FaultSweep.*"),
    ("typed letters lead to no preview row", "rename/preview_rows.cpp",
     "else if (header->code == LVN_ODFINDITEMW)", "else if (false)", "gui_tests", "FaultSweep.*"),
    # The user's promises, README's rows one by one: each mutant is what a user would suffer.
    # README: "Open..." - the pane's path: a file from the open-file dialog; the file's times
    ("Open remembers under the other pane's key", "panes/path_pane.cpp",
     'const wchar_t* key = isTarget ? L"Target" : L"Reference";',
     'const wchar_t* key = isTarget ? L"Reference" : L"Target";',
     "gui_tests", "FaultSweep.*"),
    ("Open forgets the chosen path", "panes/path_pane.cpp",
     "    WriteSettingText(state->iniPath, section, key, remembered);\n", "",
     "gui_tests", "FaultSweep.*"),
    ("Open proposes nothing remembered", "panes/choose_path.cpp",
     "if (path[0] == L'\\0' && remembered != nullptr && remembered[0] != L'\\0')",
     "if (path[0] == L'\\0' && remembered != nullptr && remembered[0] != L'\\0' && false)",
     "gui_tests", "Panes.*"),
    ("Open chooses a file but leaves the pane", "panes/choose_path.cpp",
     "    SetPanePath(pane, name);\n", "",
     "gui_tests", "FaultSweep.*"),
    # README: Shift + "Open..." - a folder from the browse dialog, remembered under DirPath
    ("Shift+Open remembers the folder under FilePath", "panes/path_pane.cpp",
     'folder ? L"DirPath" : L"FilePath"', 'folder ? L"FilePath" : L"FilePath"',
     "gui_tests", "FaultSweep.*"),
    ("Shift+Open ignored", "panes/path_pane.cpp",
     "bool folder = KeyHeld(VK_SHIFT);", "bool folder = false;",
     "gui_tests", "FaultSweep.*"),
    ("Shift+Open chooses a folder but leaves the pane", "panes/choose_path.cpp",
     "  SetPanePath(pane, selection);\n", "",
     "gui_tests", "FaultSweep.*"),
    # README: Control + "Open..." - reads the pane's path again (Control wins over Shift)
    ("Control+Open does not read the times again", "panes/path_pane.cpp",
     "    DiscardSnapshot(state);\n  } else {", "    DiscardSnapshot(state);\n    return;\n  } else {",
     "gui_tests", "FaultSweep.*"),
    ("Control+Open keeps the remembered times", "panes/path_pane.cpp",
     "    DiscardSnapshot(state);\n  } else {", "    (void)0;\n  } else {",
     "gui_tests", "FaultSweep.*"),
    ("Control+Open loses to Shift", "panes/path_pane.cpp",
     "if (KeyHeld(VK_CONTROL)) {", "if (KeyHeld(VK_CONTROL) && !KeyHeld(VK_SHIFT)) {",
     "gui_tests", "FaultSweep.*"),
    # README: the window - "drag a file or folder from Explorer onto the window"
    ("drop on the Reference pane sets the Target", "app/main_window.cpp",
     "    return &state->reference;", "    return &state->target;",
     "gui_tests", "Panes.*"),
    ("drop takes only the first name", "panes/drop_target.cpp",
     "    DragQueryFileW(drop, i, name, capacity);", "    DragQueryFileW(drop, 0, name, capacity);",
     "gui_tests", "Panes.*"),
    ("drop on the Target reads no Exif dates", "app/main_window.cpp",
     "ExifDates* exif = pane == &state->target ? &state->exifDates : nullptr;",
     "ExifDates* exif = nullptr;",
     "gui_tests", "Panes.*"),
    # README: "Apply Created", "Apply Modified", "Apply Both" - that time of the Target on disk; "OK"
    # or the Windows error number
    ("Apply Created writes the Modified time", "app/main_command.cpp",
     "ApplyTimes(state, true, false);", "ApplyTimes(state, false, true);",
     "gui_tests", "MainCommands.*"),
    ("Apply Both writes the Created time only", "app/main_command.cpp",
     "ApplyTimes(state, true, true);", "ApplyTimes(state, true, false);",
     "gui_tests", "MainCommands.*"),
    ("Apply shows OK for a failure", "app/time_commands.cpp",
     "    FormatBounded(result, ARRAYSIZE(result), L\"%d\", static_cast<int>(error));", "    (void)error;",
     "gui_tests", "MainCommands.*"),
    ("Apply result in the result box of the folder commands", "app/time_commands.cpp",
     "SetDlgItemTextW(state->mainWindow, IDC_APPLY_RESULT, result);",
     "SetDlgItemTextW(state->mainWindow, IDC_FOLDER_RESULT, result);",
     "gui_tests", "MainCommands.*"),
    ("Apply writes the Reference's Modified time", "app/time_commands.cpp",
     "SYSTEMTIME modifiedTime = ReadPaneTime(target, PaneTime::Modified);",
     "SYSTEMTIME modifiedTime = ReadPaneTime(state->reference.paneWindow, PaneTime::Modified);",
     "gui_tests", "MainCommands.*"),
    ("Apply writes the Modified pickers as Created", "app/time_commands.cpp",
     "SYSTEMTIME createdTime = ReadPaneTime(target, PaneTime::Created);",
     "SYSTEMTIME createdTime = ReadPaneTime(target, PaneTime::Modified);",
     "gui_tests", "MainCommands.*"),
    # README: "Set Current DateTime to Created" / "to Modified" - the Target's pickers only: now
    ("Set Current to Created fills Modified", "app/time_commands.cpp",
     "{IDC_CURRENT_TO_CREATED, Source::Clock, PaneTime::Created, PaneTime::Created},",
     "{IDC_CURRENT_TO_CREATED, Source::Clock, PaneTime::Created, PaneTime::Modified},",
     "gui_tests", "MainCommands.*"),
    ("Set Current takes UTC for now", "app/time_commands.cpp",
     "GetLocalTime(&time);", "GetSystemTime(&time);",
     "gui_tests", "MainCommands.*"),
    # README: "Set Modified DateTime to Created", "Set Created DateTime to Modified"
    ("Set Modified to Created does nothing", "app/time_commands.cpp",
     "{IDC_MODIFIED_TO_CREATED, Source::TargetPane, PaneTime::Modified, PaneTime::Created},",
     "{IDC_MODIFIED_TO_CREATED, Source::TargetPane, PaneTime::Created, PaneTime::Created},",
     "gui_tests", "MainCommands.*"),
    ("Set Created to Modified reads the Reference", "app/time_commands.cpp",
     "{IDC_CREATED_TO_MODIFIED, Source::TargetPane,", "{IDC_CREATED_TO_MODIFIED, Source::ReferencePane,",
     "gui_tests", "MainCommands.*"),
    ("Set picker commands copy the date without the time of day", "panes/pane_time.cpp",
     "  SendDlgItemMessageW(pane, pickers.time, DTM_SETSYSTEMTIME, GDT_VALID,\n"
     "                      reinterpret_cast<LPARAM>(&value));\n",
     "", "gui_tests", "MainCommands.*"),
    # README: "Set Created DateTime from Reference" / "Set Modified ... from Reference"
    ("Set Created from Reference reads the Target", "app/time_commands.cpp",
     "{IDC_REFERENCE_TO_CREATED, Source::ReferencePane,", "{IDC_REFERENCE_TO_CREATED, Source::TargetPane,",
     "gui_tests", "MainCommands.*"),
    ("Set Modified from Reference takes its Created time", "app/time_commands.cpp",
     "{IDC_REFERENCE_TO_MODIFIED, Source::ReferencePane, PaneTime::Modified,",
     "{IDC_REFERENCE_TO_MODIFIED, Source::ReferencePane, PaneTime::Created,",
     "gui_tests", "MainCommands.*"),
    # README: "Set Exif DateTime to Created" / "to Modified" - DateTimeOriginal (Created) or
    # DateTimeDigitized (Modified), else DateTime; grey when the photo has none
    ("Exif to Modified takes DateTimeOriginal", "app/time_commands.cpp",
     "to == PaneTime::Created ? dates.dateTimeOriginal : dates.dateTimeDigitized;",
     "to == PaneTime::Created ? dates.dateTimeOriginal : dates.dateTimeOriginal;",
     "gui_tests", "*Exif*"),
    ("Exif commands without DateTime to fall back on", "app/time_commands.cpp",
     "return Present(dates.dateTime) ? &dates.dateTime : nullptr;", "return nullptr;",
     "gui_tests", "*Exif*"),
    ("Exif to Created grey with only DateTime", "panes/pane_display.cpp",
     "bool toCreated = Present(exif->dateTime) || Present(exif->dateTimeOriginal);",
     "bool toCreated = Present(exif->dateTimeOriginal);",
     "gui_tests", "*Exif*"),
    ("Exif to Modified enabled by DateTimeOriginal", "panes/pane_display.cpp",
     "bool toModified = Present(exif->dateTime) || Present(exif->dateTimeDigitized);",
     "bool toModified = Present(exif->dateTime) || Present(exif->dateTimeOriginal);",
     "gui_tests", "*Exif*"),
    ("Exif buttons kept from the photo before", "panes/pane_display.cpp",
     "    EnableWindow(GetDlgItem(mainWindow, IDC_EXIF_TO_CREATED), FALSE);\n    EnableWindow(GetDlgItem(mainWindow, IDC_EXIF_TO_MODIFIED), FALSE);\n",
     "", "gui_tests", "*Exif*"),
    # README: "Get All Modified DateTime" - the files directly in the folder; how many, in the box
    # beside it; enables "Restore"
    ("Get All takes the sub-folders' files too", "app/snapshot.cpp",
     ("  uint32_t count = EnumerateFolder(nullptr, path, 0, nullptr);", "    options.maxEntries = count;\n"),
     ("  EnumerateOptions all = {};\n  all.flags = EnumRecurse;\n  uint32_t count = EnumerateFolder(nullptr, path, 0, &all);",
      "    options.maxEntries = count;\n    options.flags = EnumRecurse;\n"),
     "gui_tests", "FaultSweep.*"),
    ("Get All shows its count in the result box", "app/snapshot.cpp",
     "ShowCount(state->mainWindow, IDC_SNAPSHOT_COUNT, filled);",
     "ShowCount(state->mainWindow, IDC_FOLDER_RESULT, filled);",
     "gui_tests", "FaultSweep.*"),
    ("Get All leaves Restore disabled", "app/snapshot.cpp",
     "IDC_RESTORE), state->snapshotCount > 0);", "IDC_RESTORE), state->snapshotCount == 0);",
     "gui_tests", "FaultSweep.*"),
    ("Get All leaves the last count in the result box", "app/snapshot.cpp",
     '  SetDlgItemTextW(state->mainWindow, IDC_FOLDER_RESULT, L"");\n}\n\nvoid RestoreSnapshot',
     '}\n\nvoid RestoreSnapshot',
     "gui_tests", "FaultSweep.*"),
    ("Get All's count and result kept for a new Target", "panes/pane_display.cpp",
     '  SetDlgItemTextW(state->mainWindow, IDC_FOLDER_RESULT, L"");\n', "",
     "gui_tests", "Panes.*"),
    # README: "Restore" - those files' Modified times, back; how many were restored
    ("Restore writes the Created time", "app/snapshot.cpp",
     "SetPathUtcTimes(entries[i].fullPath, nullptr, &entries[i].modifiedUtc, nullptr)",
     "SetPathUtcTimes(entries[i].fullPath, &entries[i].modifiedUtc, nullptr, nullptr)",
     "gui_tests", "MainCommands.*:FaultSweep.*"),
    ("Restore counts a file it could not write", "app/snapshot.cpp",
     "if (entries[i].fullPath[0] != L'\\0' &&\n          SetPathUtcTimes(entries[i].fullPath, nullptr, &entries[i].modifiedUtc, nullptr))",
     "if (entries[i].fullPath[0] != L'\\0' &&\n          (SetPathUtcTimes(entries[i].fullPath, nullptr, &entries[i].modifiedUtc, nullptr), true))",
     "gui_tests", "MainCommands.*:FaultSweep.*"),
    ("Restore shows its count in the snapshot box", "app/snapshot.cpp",
     "ShowCount(state->mainWindow, IDC_FOLDER_RESULT, restored);",
     "ShowCount(state->mainWindow, IDC_SNAPSHOT_COUNT, restored);",
     "gui_tests", "FaultSweep.*"),
    # README: "Cleanup" / Shift + "Cleanup" - deletes ".DS_Store", "Thumbs*.db" and "._*" files;
    # every folder keeps its Modified time; how many; the remembered times are dropped
    ("Cleanup with Shift goes one level deep only", "filetime/cleanup_folder.cpp",
     "*deleted += CleanupFolder(search.itemPath, recurse);",
     "*deleted += CleanupFolder(search.itemPath, false);",
     "gui_tests", "FaultSweep.*"),
    ("Cleanup counts a file it could not delete", "filetime/cleanup_folder.cpp",
     "deleted += DeleteFileW(paths[i].path) ? 1 : 0;", "deleted += (DeleteFileW(paths[i].path), 1);",
     "gui_tests", "FaultSweep.*"),
    ("Cleanup puts a folder's time back as its Created time", "filetime/cleanup_folder.cpp",
     "  SetPathUtcTimes(path, nullptr, &saved, nullptr);\n", "  SetPathUtcTimes(path, &saved, nullptr, nullptr);\n",
     "gui_tests", "MainCommands.*:FaultSweep.*"),
    ("Cleanup keeps the remembered times", "app/folder_commands.cpp",
     "  DiscardSnapshot(state);\n  ShowFolderResult(state, deleted);", "  ShowFolderResult(state, deleted);",
     "gui_tests", "FaultSweep.*"),
    ("Cleanup count emptied again", "app/folder_commands.cpp",
     "  DiscardSnapshot(state);\n  ShowFolderResult(state, deleted);",
     "  ShowFolderResult(state, deleted);\n  DiscardSnapshot(state);",
     "gui_tests", "FaultSweep.*"),
    ("Cleanup names compared with case", "filetime/junk_file.cpp",
     "return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;", "return c;",
     "gui_tests", "FaultSweep.*"),
    # README: "Match DateTime.." - after a Yes, the times of every Target item at the same place as a
    # Reference item: by default folders only, Modified only; how many items matched
    ("Match copies from the Target onto the Reference", "app/folder_commands.cpp",
     "MatchFolders(state->mainWindow, static_cast<const wchar_t*>(reference.Get()),\n                           static_cast<const wchar_t*>(target.Get()), option);",
     "MatchFolders(state->mainWindow, static_cast<const wchar_t*>(target.Get()),\n                           static_cast<const wchar_t*>(reference.Get()), option);",
     "gui_tests", "FaultSweep.*"),
    ("Match by default copies files too", "filetime/match_folders.h",
     "kDefaultMatchOption = kMatchFolders | kMatchCopyModified;",
     "kDefaultMatchOption = kMatchFolders | kMatchPlainItems | kMatchCopyModified;",
     "gui_tests", "FaultSweep.*"),
    ("Match count not shown", "app/folder_commands.cpp",
     "  ShowFolderResult(state, matched);\n", "  (void)matched;\n",
     "gui_tests", "FaultSweep.*"),
    ("Match walks the first level only", "filetime/match_folders.cpp",
     "options.flags = EnumRecurse | EnumIncludeFolders;", "options.flags = EnumIncludeFolders;",
     "gui_tests", "FaultSweep.*"),
    ("Match gives a folder's time to a file", "filetime/match_folders.cpp",
     "return handling == Handling::kAsPlainItem || IsFolder(attributes);",
     "return handling == Handling::kAsPlainItem || attributes != 0;",
     "gui_tests", "FaultSweep.*"),
    ("Match asks with the Target first", "filetime/match_folders.cpp",
     'L"%s\\r\\nTo\\r\\n%s", context.referenceFolder,\n                context.targetFolder);',
     'L"%s\\r\\nTo\\r\\n%s", context.targetFolder,\n                context.referenceFolder);',
     "gui_tests", "FaultSweep.*"),
    ("Match counts an item with nothing at its place", "filetime/match_folders.cpp",
     "!CounterpartFits(handling, GetFileAttributesW(counterpart)) || !read)",
     "(!CounterpartFits(handling, GetFileAttributesW(counterpart)) && false) || !read)",
     "gui_tests", "FaultSweep.*"),
    # README settings: General MatchedFoldersOption, GetAllModifiedDateTime
    ("settings: MatchedFoldersOption read under another name", "app/folder_commands.cpp",
     'L"MatchedFoldersOption"', 'L"MatchedFolderOption"',
     "gui_tests", "FaultSweep.*"),
    ("settings: GetAllModifiedDateTime read from another section", "panes/pane_display.cpp",
     'L"General", L"GetAllModifiedDateTime", 0)', 'L"Rename", L"GetAllModifiedDateTime", 0)',
     "gui_tests", "Panes.*"),
    ("settings: GetAllModifiedDateTime on by default", "panes/pane_display.cpp",
     'L"GetAllModifiedDateTime", 0) != 0)', 'L"GetAllModifiedDateTime", 1) != 0)',
     "gui_tests", "Panes.*"),
    # README settings: Rename Method, Filter, Length; Replace CaseSensitive, Find, Replace
    ("settings: Method written under another name", "rename/rename_dialog.cpp",
     'WriteSettingInt(iniPath, L"Rename", L"Method", method);',
     'WriteSettingInt(iniPath, L"Rename", L"Methods", method);',
     "gui_tests", "Rename.*"),
    ("settings: Filter read from the Replace section", "rename/rename_settings.cpp",
     'ReadSettingText(iniPath, L"Rename", L"Filter"', 'ReadSettingText(iniPath, L"Replace", L"Filter"',
     "gui_tests", "Rename.*"),
    ("settings: Length read from the Replace section", "rename/rename_settings.cpp",
     'ReadSettingInt(iniPath, L"Rename", L"Length", 0)', 'ReadSettingInt(iniPath, L"Replace", L"Length", 0)',
     "gui_tests", "Rename.*"),
    ("settings: CaseSensitive loaded as written", "rename/rename_settings.cpp",
     'ReadSettingInt(iniPath, L"Replace", L"CaseSensitive", 0) != 0 ? 1 : 0;',
     'ReadSettingInt(iniPath, L"Replace", L"CaseSensitive", 0);',
     "gui_tests", "Rename.*"),
    ("settings: Find written as the Replace key", "rename/rename_dialog.cpp",
     'WriteSettingText(iniPath, L"Replace", L"Find", settings.find);',
     'WriteSettingText(iniPath, L"Replace", L"Replace", settings.find);',
     "gui_tests", "Rename.*"),
    ("settings: texts stored without quotes", "base/settings.cpp",
     'L"\\"%s\\"", text);', 'L"%s", text);',
     "gui_tests", "Rename.*"),
    # README: Rename - Test lists every "old -> new" name; Execute renames what the inputs give,
    # keeps the folder's own Modified time; only the name before the extension changes; the six
    # methods; Filter chooses the files; Case Sensitive tells capitals from small letters.
    ("preview rows show the new name first", "rename/run_rename_method.cpp",
     "L\"%s -> %s\", names.At(i), rename.newName", "L\"%s -> %s\", rename.newName, names.At(i)",
     "gui_tests", "Rename.*"),
    ("Execute does not put the folder's time back", "rename/rename_dialog.cpp",
     "    RememberInputs(dialog, method);\n    RestoreFolderTime(path, folderTime);",
     "    RememberInputs(dialog, method);\n    (void)folderTime;", "gui_tests", "FaultSweep.*"),
    ("a name starting LP and a digit taken for a printer port", "rename/rules.cpp",
     'wcsncmp(stem, L"LPT", 3) == 0', 'wcsncmp(stem, L"LPT", 2) == 0', "native:rename_tests", "*"),
    ("the extension taken from the first dot", "rename/rules.cpp",
     "      dot = i - 1;\n      break;", "      dot = i - 1;", "native:rename_tests", "*"),
    ("Replace changes only the first match", "rename/rename_method.cpp",
     "MatchRule(RenameRule::Kind::ReplaceAll, inputs)", "MatchRule(RenameRule::Kind::ReplaceFirst, inputs)",
     "native:rename_tests", "*"),
    ("Replace (First One) changes every match", "rename/rename_method.cpp",
     "*rule = MatchRule(RenameRule::Kind::ReplaceFirst, inputs);",
     "*rule = MatchRule(RenameRule::Kind::ReplaceAll, inputs);", "native:rename_tests", "*"),
    ("Replace (Match Begin) takes a match anywhere", "rename/rules.cpp",
     "(anchor == MatchAnchor::Begin && match != base)", "(false)", "native:rename_tests", "*"),
    ("Length keeps one character more", "rename/rules.cpp",
     "size_t keep = static_cast<size_t>(n);", "size_t keep = static_cast<size_t>(n) + 1;",
     "native:rename_tests", "*"),
    ("Remove deletes matches past Length", "rename/rules.cpp",
     "size_t stopAt = n > 0 ? static_cast<size_t>(n) : static_cast<size_t>(-1);",
     "(void)n;\n  size_t stopAt = static_cast<size_t>(-1);", "native:rename_tests", "*"),
    ("Remove with Length 0 deletes none", "rename/rules.cpp",
     "size_t stopAt = n > 0 ? static_cast<size_t>(n) : static_cast<size_t>(-1);",
     "size_t stopAt = n >= 0 ? static_cast<size_t>(n) : static_cast<size_t>(-1);",
     "native:rename_tests", "*"),
    ("Filter ignored", "rename/run_rename_method.cpp",
     "options.pattern = filter[0] != L'\\0' ? filter : nullptr;\n"
     "  listing->filter = filter[0] != L'\\0' ? filter : L\"*.*\";",
     "options.pattern = nullptr;\n  listing->filter = L\"*.*\";",
     "gui_tests", "Rename.*"),
    ("Case Sensitive box read the wrong way round", "rename/run_rename_method.cpp",
     "IsDlgButtonChecked(dialog, IDC_RENAME_CASE_SENSITIVE) == BST_CHECKED;",
     "IsDlgButtonChecked(dialog, IDC_RENAME_CASE_SENSITIVE) != BST_CHECKED;", "gui_tests", "Rename.*"),
    # When something fails: each command's error check dropped, a failure taken for done.
    ("Apply says OK for a file it could not open", "filetime/path_times.cpp",
     "  if (!file || !SetFileTime(file.Get(), Writable(created), nullptr, Writable(modified))) {",
     "  if (!file)\n    return 1;\n  if (!SetFileTime(file.Get(), Writable(created), nullptr, Writable(modified))) {",
     "gui_tests", "FaultSweep.*"),
    ("a time write that failed taken for done", "filetime/path_times.cpp",
     "  if (!file || !SetFileTime(file.Get(), Writable(created), nullptr, Writable(modified))) {",
     "  if (!file || (SetFileTime(file.Get(), Writable(created), nullptr, Writable(modified)), false)) {",
     "gui_tests", "FaultSweep.*"),
    ("Match counts a counterpart it could not write", "filetime/match_folders.cpp",
     "      !SetPathUtcTimes(counterpart, copied[kCreatedSlot], copied[kModifiedSlot], nullptr))",
     "      (SetPathUtcTimes(counterpart, copied[kCreatedSlot], copied[kModifiedSlot], nullptr), false))",
     "gui_tests", "FaultSweep.*"),
    ("Execute reports a rename that did not happen", "rename/run_rename_method.cpp",
     "        !MoveFileExW(rename.oldPath, rename.newPath, 0))",
     "        (MoveFileExW(rename.oldPath, rename.newPath, 0), false))", "gui_tests", "FaultSweep.*"),
    ("Rename It reports a rename the shell did not make", "rename/run_rename_method.cpp",
     "  if (!HoldsExactName(rename.newPath, rename.newName) || HoldsExactName(rename.oldPath, oldName))\n    return 0;\n",
     "", "gui_tests", "FaultSweep.*"),
    ("Get All counts records its listing did not fill", "app/snapshot.cpp",
     "filled = std::min(count, EnumerateFolder(entries, path, 0, &options));",
     "filled = (EnumerateFolder(entries, path, 0, &options), count);", "gui_tests", "FaultSweep.*"),
    ("Get All leaves an earlier snapshot's count standing", "app/snapshot.cpp",
     "    SetDlgItemTextW(state->mainWindow, IDC_SNAPSHOT_COUNT, L\"\");\n", "",
     "gui_tests", "FaultSweep.*"),
    ("a pane keeps the last path's times when its second read fails", "panes/pane_display.cpp",
     "  if (times.read) {", "  if (times.read && false) {", "gui_tests", "FaultSweep.*"),
    # Portable code and the Exif reader
    ("TIFF entries and values not checked against the block", "exif/byte_source.cpp",
     "if (!RangeFits(offset, size, source->size) || size >", "if (size >",
     "native:exif_tests", "TiffWalker.*"),
    ("a byte order of MI taken for II", "exif/tiff_walker.cpp",
     "if (block[0] == 'I' && block[1] == 'I')", "if (block[1] == 'I' && block[1] == 'I')",
     "native:exif_tests", "TiffWalker.*"),
    ("TIFF values offset at the block length taken", "exif/tiff_walker.cpp",
     "if (field >= length)", "if (field > length)",
     "native:exif_tests", "TiffWalker.*"),
    ("TIFF IFD whose link is cut off not walked", "exif/tiff_walker.cpp",
     "bool linked = RangeFits(nextAt, 4, length);", "bool linked = RangeFits(nextAt, 4, length) || true;",
     "native:exif_tests", "TiffWalker.*"),
    ("TIFF link backwards followed", "exif/tiff_walker.cpp",
     "if (next <= offset || next > length)", "if (next > length)",
     "native:exif_tests", "TiffWalker.*"),
    ("TIFF walk visits overlapping IFDs without a cap", "exif/tiff_walker.cpp",
     "uint64_t entriesLeft = length / kEntrySize;", "uint64_t entriesLeft = ~uint64_t{0};",
     "native:exif_tests", "TiffWalker.*"),
    ("TIFF magic number not checked", "exif/tiff_walker.cpp",
     "if (!KnownMagic(ReadU16(header + 2, bigEndian), reading))",
     "if (!KnownMagic(ReadU16(header + 2, bigEndian), reading) && false)",
     "native:exif_tests", "TiffWalker.*"),
    ("Exif date shorter than 19 characters read", "exif/exif_date.cpp",
     "entry.count >= kExifDateLength &&", "entry.count != 0 &&",
     "native:exif_tests", "MediaDates.*"),
    ("the last restart marker taken for a segment", "exif/jpeg_walker.cpp",
     "(marker >= 0xD0 && marker <= 0xD7)", "(marker >= 0xD0 && marker <= 0xD6)",
     "native:exif_tests", "JpegWalker.*"),
    ("an Exif hour read past its two digits", "exif/exif_date.cpp",
     "{11, 2, &DateRecord::wHour}", "{11, 3, &DateRecord::wHour}", "native:exif_tests", "MediaDates.*"),
    ("Exif date read from the entry's own field on", "exif/exif_date.cpp",
     "&&\n         entry.valuePointer != entry.entryBytes + 8;", ";",
     "native:exif_tests", "MediaDates.*"),
    ("JPEG segment length below 2 classified", "exif/jpeg_walker.cpp",
     "if (marker < 0xE0 || marker > 0xFE || segmentLength < 2)",
     "if (marker < 0xE0 || marker > 0xFE)",
     "native:exif_tests", "JpegWalker.*"),
    ("JPEG marker search reads a byte past the end", "exif/jpeg_walker.cpp",
     "end - from >= 16;", "end - from >= 15;",
     "native:exif_tests", "JpegWalker.*"),
    ("JPEG marker search steps over a byte", "exif/jpeg_walker.cpp",
     "from += 16)", "from += 17)",
     "native:exif_tests", "JpegWalker.*"),
    ("Exif read from a 65535-byte file", "exif/media_dates.cpp",
     "kLargestSkippedSize = 65535;", "kLargestSkippedSize = 65534;",
     "native:exif_tests", "MediaDates.*"),
    ("Exif not read from a 65536-byte file", "exif/media_dates.cpp",
     "kLargestSkippedSize = 65535;", "kLargestSkippedSize = 65536;",
     "native:exif_tests", "MediaDates.*"),
    ("Exif reader told the low 32 bits of the size", "exif/read_times_and_exif.cpp",
     "FileSource(static_cast<uint64_t>(size.QuadPart),", "FileSource(size.LowPart,",
     "gui_tests", "Panes.TheExif*"),
    ("a read's offset loses its high 32 bits", "exif/read_times_and_exif.cpp",
     "at.OffsetHigh = static_cast<DWORD>(offset >> 32);", "",
     "gui_tests", "Panes.TheExif*"),
    # The other media (README's Exif section): by the first bytes, in a budget, boxes and chunks
    # only within their parents, a movie's UTC instant shown in local time
    ("a view past the end of the file read", "exif/byte_source.cpp",
     "if (!RangeFits(offset, size, source->size) || size >", "if (size >",
     "native:exif_tests", "MediaDates.*"),
    ("no budget of bytes read", "exif/byte_source.cpp",
     "|| size > source->bytesLeft ||", "||",
     "native:exif_tests", "MediaDates.*"),
    ("no budget of views", "exif/byte_source.cpp",
     " || source->viewsLeft == 0)", ")",
     "native:exif_tests", "MediaDates.*"),
    ("a view served from a block it runs past", "exif/byte_source.cpp",
     "offset + size > source->blockAt + source->blockSize", "offset > source->blockAt + source->blockSize",
     "native:exif_tests", "MediaDates.*"),
    ("a box size trusted past its parent", "exif/iso_boxes.cpp",
     "if (size < header || size > room)", "if (size < header)",
     "native:exif_tests", "MediaDates.*"),
    ("a box's 64-bit size read as 32 bits", "exif/iso_boxes.cpp",
     "size = ReadU64(bytes + 8, true);", "size = ReadU32(bytes + 8, true);",
     "native:exif_tests", "MediaDates.*"),
    ("a version 1 movie header read as version 0", "exif/iso_boxes.cpp",
     "bool wide = bytes[0] != 0;", "bool wide = false;",
     "native:exif_tests", "MediaDates.*"),
    ("a movie without a creation time dated 1970", "exif/iso_boxes.cpp",
     "return seconds != 0 && seconds < k1904To1970", "return seconds < k1904To1970",
     "native:exif_tests", "MediaDates.*"),
    ("a movie counting from 1970 taken as from 1904", "exif/iso_boxes.cpp",
     "seconds < k1904To1970 ? seconds + k1904To1970", "seconds < k1904To1970 && false ? seconds + k1904To1970",
     "native:exif_tests", "MediaDates.*"),
    ("an image item placed without its base offset", "exif/iso_boxes.cpp",
     "ReadExifItem(walk, base + offset, size);", "ReadExifItem(walk, offset, size);",
     "native:exif_tests", "MediaDates.*"),
    ("a movie header's times over the Exif dates of the same file", "exif/media_dates.cpp",
     "  if (FoundDate(*request))\n    *movie = {};\n", "",
     "native:exif_tests", "MediaDates.*"),
    ("a PNG chunk running past the file read", "exif/png_chunks.cpp",
     "if (length > kLongestChunk || !RangeFits(at, 12 + length, source->size) ||",
     "if (length > kLongestChunk ||",
     "native:exif_tests", "MediaDates.*"),
    ("a WebP chunk checked against the file, not its RIFF chunk", "exif/webp_chunks.cpp",
     "!RangeFits(at + 8, length, end))", "!RangeFits(at + 8, length, source->size))",
     "native:exif_tests", "MediaDates.*"),
    ("a WebP RIFF chunk longer than the file walked", "exif/webp_chunks.cpp",
     "  if (end > source->size)\n    return;\n", "",
     "native:exif_tests", "MediaDates.*"),
    ("RAW headers not taken", "exif/tiff_walker.cpp",
     "(reading.rawHeaders && (magic", "(reading.rawHeaders && false && (magic",
     "native:exif_tests", "MediaDates.*"),
    ("every value of a whole TIFF read", "exif/media_dates.h",
     "kTiffFileReading = {true, false, IsExifDateTag};", "kTiffFileReading = {true, false, nullptr};",
     "native:exif_tests", "MediaDates.*"),
    ("a TIFF's own dates before a JPEG's inside it", "exif/media_dates.cpp",
     "ScanForExif(source, kTiffScanWindow, request);", "ScanForExif(source, kTiffScanWindow * 0, request);",
     "native:exif_tests", "MediaDates.*"),
    ("a TIFF without dates not scanned past its first block", "exif/media_dates.cpp",
     "  if (!FoundDate(*request))\n    ScanForExif(source, kJpegWindow, request);",
     "  if (jpeg && !FoundDate(*request))\n    ScanForExif(source, kJpegWindow, request);",
     "native:exif_tests", "MediaDates.*"),
    ("a JPEG scanned only in its first block", "exif/media_dates.cpp",
     "constexpr uint64_t kJpegWindow = 1u << 20;", "constexpr uint64_t kJpegWindow = kFileBlock;",
     "native:exif_tests", "MediaDates.*"),
    ("a movie's time shown without its UTC conversion", "exif/read_times_and_exif.cpp",
     "if (UtcToLocalTime(utc, &shown))", "if (FileTimeToSystemTime(&utc, &shown))",
     "gui_tests", "*Exif*"),
    ("a movie's modification time taken as its creation", "exif/read_times_and_exif.cpp",
     "ShowMovieTime(movie.created, request->exifOriginal);",
     "ShowMovieTime(movie.modified, request->exifOriginal);",
     "gui_tests", "*Exif*"),
    ("junk name compared through lstrcmpiW", "filetime/junk_file.cpp",
     "int IsJunkFile(const wchar_t* name) {\n  if (name == nullptr)\n    return 0;\n"
     "  size_t length = wcslen(name);\n  if (length == 9 && SameIgnoringCase(name, L\".DS_Store\", 9))",
     "extern \"C\" int __stdcall lstrcmpiW(const wchar_t*, const wchar_t*);\n"
     "int IsJunkFile(const wchar_t* name) {\n  if (name == nullptr)\n    return 0;\n"
     "  size_t length = wcslen(name);\n  if (lstrcmpiW(name, L\".DS_Store\") == 0)",
     "portable_tests", "IsJunkFile.*"),
    ("junk .DS_Store taken as a prefix", "filetime/junk_file.cpp",
     "length == 9 && SameIgnoringCase(name, L\".DS_Store\", 9)",
     "SameIgnoringCase(name, L\".DS_Store\", 9)",
     "native:portable_tests", "IsJunkFile.*"),
    ("junk 8-character .db name decided as Thumbs", "filetime/junk_file.cpp",
     "length >= 9 && IsDbExtension", "length >= 8 && IsDbExtension",
     "native:portable_tests", "IsJunkFile.*"),
    ("junk Thumb?.db taken as Thumbs", "filetime/junk_file.cpp",
     "SameIgnoringCase(name, L\"Thumbs\", 6)", "SameIgnoringCase(name, L\"Thumbs\", 5)",
     "native:portable_tests", "IsJunkFile.*"),
    ("native: new name may hold a separator", "rename/rules.cpp",
     "IsPlainFileName(newName) &&", "true &&",
     "native:rename_tests", "RenameRules.*"),
    ("character 31 allowed in a new name", "rename/rules.cpp",
     "if (name[length] < 32)", "if (name[length] < 31)",
     "native:rename_tests", "RenameRules.*"),
    ("device names allowed", "rename/rules.cpp",
     "!NamesDevice(name);", "!(NamesDevice(name) && false);", "native:rename_tests", "RenameRules.*"),
    ("device names told by case", "rename/rules.cpp",
     "name[i] >= L'a' && name[i] <= L'z' ? static_cast<wchar_t>(name[i] - 32) : name[i]", "name[i]",
     "native:rename_tests", "RenameRules.*"),
    ("device name with blanks before the dot allowed", "rename/rules.cpp",
     "  while (length > 0 && name[length - 1] == L' ')\n    --length;\n", "",
     "native:rename_tests", "RenameRules.*"),
    ("COM and LPT with a superscript digit allowed", "rename/rules.cpp",
     "number == L'\\u00B9'", "false", "native:rename_tests", "RenameRules.*"),
    ("COM10 taken as a device", "rename/rules.cpp",
     "bool port = length == 4 &&", "bool port = length >= 4 &&",
     "native:rename_tests", "RenameRules.*"),
    ("LPT0 taken as a device", "rename/rules.cpp",
     "(number >= L'1' && number <= L'9')", "(number >= L'0' && number <= L'9')",
     "native:rename_tests", "RenameRules.*"),
    ("a name ending in a dot allowed", "rename/rules.cpp",
     " && name[length - 1] != L'.'", "", "native:rename_tests", "RenameRules.*"),
    ("a name ending in a blank allowed", "rename/rules.cpp",
     " && name[length - 1] != L' '", "", "native:rename_tests", "RenameRules.*"),
    ("an old name Windows reads otherwise renamed", "rename/rules.cpp",
     "IsPlainFileName(name) && IsPlainFileName(newName)", "IsPlainFileName(newName)",
     "native:rename_tests", "RenameRules.*"),
    ("Match End searches from the start", "rename/rules.cpp",
     "anchor == MatchAnchor::End ? baseLength - findLength : 0", "0",
     "native:rename_tests", "RenameRules.*"),
    ("Remove also takes the match at the limit", "rename/rules.cpp",
     "static_cast<size_t>(match - base) >= stopAt", "static_cast<size_t>(match - base) > stopAt",
     "native:rename_tests", "RenameRules.*"),
    ("Length cuts a name no longer than the number", "rename/rules.cpp",
     "if (BoundedLength(base, keep + 1) <= keep)", "if (BoundedLength(base, keep + 1) < keep)",
     "native:rename_tests", "RenameRules.*"),
    ("new base name of 256 characters kept", "rename/rules.cpp",
     "if (*used + count >= kNameCapacity)", "if (*used + count > kNameCapacity)",
     "native:rename_tests", "RenameRules.*"),
    # README: Length keeps the first Length characters, a pair of units never split
    ("Length splits a pair of surrogates", "rename/rules.cpp",
     "  if (IsHighSurrogate(base[keep - 1]) && IsLowSurrogate(base[keep]))\n    --keep;\n", "",
     "native:rename_tests", "RenameRules.*"),
    ("Length keeps an empty base name", "rename/rules.cpp",
     "return keep > 0 && Append(out, &used, base, keep);", "return Append(out, &used, base, keep);",
     "native:rename_tests", "RenameRules.*"),
    ("a new name holding half a pair kept", "rename/rules.cpp",
     "&& !HoldsUnpairedSurrogate(newName);", "&& !(HoldsUnpairedSurrogate(newName) && false);",
     "native:rename_tests", "RenameRules.*"),
    # README: Filter (such as *.jpg) chooses the files, by the names shown
    ("Filter taken by a short name's match", "rename/run_rename_method.cpp",
     "if (MatchesFilter(name, listing->filter) && !listing->names.Add(name))",
     "if (!listing->names.Add(name))", "gui_tests", "Rename.Test*"),
    ("Filter told capitals from small letters", "rename/find_match.cpp",
     "(*filter == L'?' || SameIgnoringCase(*filter, *name))", "(*filter == L'?' || (SameIgnoringCase(*filter, *name) && *filter == *name))",
     "native:rename_tests", "RenameRules.*"),
    ("Filter *.* leaves out names without a dot", "rename/find_match.cpp",
     "  return MatchesWildcards(dotted, filter);\n}", "  return MatchesWildcards(dotted, L\"\");\n}",
     "native:rename_tests", "RenameRules.*"),
    ("typed letters never wrap to the rows above", "rename/preview_rows.cpp",
     "uint32_t end = wrap ? start + count : count;", "uint32_t end = count;",
     "gui_tests", "FaultSweep.*"),
    ("JoinPath keeps a cut path", "base/join_path.h",
     "  if (AppendBounded(out, first) == 0 && AppendBounded(out, second) == 0)\n    return true;\n"
     "  out[0] = L'\\0';\n  return false;",
     "  AppendBounded(out, first);\n  AppendBounded(out, second);\n  return true;",
     "filetime_tests", "FolderWalks.*"),
    ("FormatBounded reports a cut text as whole", "base/bounded_text.cpp",
     "formatted && out.Written() <= limit ? 0", "formatted ? 0",
     "native:portable_tests", "BoundedText.*"),
    ("FormatBounded writes past its capacity", "base/bounded_text.cpp",
     "    if (written_ < limit_)\n      dest_[written_] = c;", "    dest_[written_] = c;\n    (void)limit_;",
     "native:portable_tests", "BoundedText.*"),
    ("AppendBounded appends past the buffer", "base/bounded_text.cpp",
     "while (room > 0 && *source != L'\\0')", "while (*source != L'\\0')",
     "native:portable_tests", "BoundedText.*"),
    ("AppendBounded reports a cut text as whole", "base/bounded_text.cpp",
     "    out[-1] = L'\\0';\n    return kTextBufferTooSmall;", "    out[-1] = L'\\0';\n    return 0;",
     "native:portable_tests", "BoundedText.*"),
    ("dialog face not exchanged", "app/dialog_template.cpp",
     "std::memcpy(out + font.faceAt, options.faceName, options.faceNameBytes);",
     "std::memcpy(out + font.faceAt, data + font.faceAt, options.faceNameBytes);",
     "native:portable_tests", "DialogTemplate.*"),
    ("dialog point size set one too large", "app/dialog_template.cpp",
     "pointSize = options.pointSize;", "pointSize = static_cast<uint16_t>(options.pointSize + 1);",
     "native:portable_tests", "DialogTemplate.*"),
    # What the windows look like
    ("the Rename dialog's Cancel button without its caption", "resources/datewright.rc",
     'PUSHBUTTON "Cancel", IDCANCEL', 'PUSHBUTTON "", IDCANCEL', "gui_tests", "Rename.*"),
    ("Cleanup a dialog unit above the buttons beside it", "resources/datewright.rc",
     "IDC_CLEANUP, 209, 119,", "IDC_CLEANUP, 209, 118,", "gui_tests", "MainCommands.*"),
    ("Set Exif DateTime to Created a dialog unit right of its column", "resources/datewright.rc",
     "IDC_EXIF_TO_CREATED, 4, 104,", "IDC_EXIF_TO_CREATED, 5, 104,", "gui_tests", "MainCommands.*"),
    ("Set Current DateTime to Created over the button below it", "resources/datewright.rc",
     "IDC_CURRENT_TO_CREATED, 4, 76, 136, 14", "IDC_CURRENT_TO_CREATED, 4, 76, 136, 16",
     "gui_tests", "MainCommands.*"),
    ("Replace's label shown by the Length method", "rename/rename_dialog.cpp",
     "{IDC_RENAME_REPLACE_LABEL, true, false, false}",
     "{IDC_RENAME_REPLACE_LABEL, true, true, false}", "gui_tests", "Rename.*"),
    ("a number padded to its width with the width's character", "base/bounded_text.cpp",
     "    out.Pad(pad, L' ');\n  if (negative)", "    out.Pad(pad, pad);\n  if (negative)",
     "native:portable_tests", "BoundedText.*"),
    ("the file description Explorer shows left empty", "resources/datewright.rc",
     'VALUE "FileDescription", "Datewright"', 'VALUE "FileDescription", ""',
     "ctest:program_image", ""),
    ("the version record's strings in a language it does not name", "resources/datewright.rc",
     'VALUE "Translation", 0x0411, 1200', 'VALUE "Translation", 0x0411, 1201',
     "ctest:program_image", ""),
    ("the original file name under another key", "resources/datewright.rc",
     'VALUE "OriginalFilename", "Datewright.exe"', 'VALUE "", "Datewright.exe"',
     "ctest:program_image", ""),
    ("a snapshot discarded for a new Target never freed", "panes/pane_display.cpp",
     "    GlobalFree(state->modifiedSnapshot);\n  state->modifiedSnapshot = nullptr;\n  state->snapshotCount = 0;\n  EnableWindow",
     "    {}\n  state->modifiedSnapshot = nullptr;\n  state->snapshotCount = 0;\n  EnableWindow",
     "gui_tests", "Panes.*"),
    ("U+10000 and U+10FFFF cut in half at the range's ends", "rename/rules.cpp",
     ("return c >= 0xD800 && c <= 0xDBFF;", "return c >= 0xDC00 && c <= 0xDFFF;"),
     ("return c > 0xD800 && c <= 0xDBFF;", "return c >= 0xDC00 && c < 0xDFFF;"),
     "native:rename_tests", "*"),
    ("the Length method shows none of its inputs, Remove not its Find", "rename/rename_dialog.cpp",
     "                 : method == RenameLength ? control.lengthMethod",
     "                 : method != RenameLength ? control.lengthMethod", "gui_tests", "Rename.*"),
    ("U+D7FF taken for the first half of a pair", "rename/rules.cpp",
     "return c >= 0xD800 && c <= 0xDBFF;", "return c >= 0xD7FF && c <= 0xDBFF;",
     "native:rename_tests", "*"),
    ("U+E000 taken for the second half of a pair", "rename/rules.cpp",
     "return c >= 0xDC00 && c <= 0xDFFF;", "return c >= 0xDC00 && c <= 0xE000;",
     "native:rename_tests", "*"),
    ("the program's system menu items put after the system's own", "app/main_command.cpp",
     "InsertMenuItemW(menu, position, TRUE, &item);", "InsertMenuItemW(menu, position, FALSE, &item);",
     "gui_tests", "MainCommands.*"),
    ("a file read in one view fewer than promised", "exif/byte_source.h",
     "inline constexpr uint32_t kFileViews = 4096;", "inline constexpr uint32_t kFileViews = 4095;",
     "native:exif_tests", "MediaDates.*"),
    ("an item list of version 1 read from one byte too far", "exif/iso_boxes.cpp",
     "(version == 0 ? 6 : 8)", "(version == 0 ? 6 : 9)", "native:exif_tests", "MediaDates.*"),
    ("the Rename dialog opens without the Length, Find and Replace remembered",
     ("rename/rename_dialog.cpp",) * 3,
     ("  SetDlgItemTextW(dialog, IDC_RENAME_LENGTH, length);\n",
      "  SetDlgItemTextW(dialog, IDC_RENAME_FIND, settings.find);\n",
      "  SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, settings.replace);\n"),
     ("", "", ""), "gui_tests", "Rename.*"),
    ("the system menu's Rename Files... never enabled for a folder", "app/main_window.cpp",
     "EnableMenuItem(menu, IDM_RENAME_FILES, targetFolder ? MF_ENABLED : MF_GRAYED);",
     "EnableMenuItem(menu, targetFolder ? MF_ENABLED : MF_GRAYED, MF_ENABLED);", "gui_tests",
     "Panes.*"),
    ("five bytes of a value read from the entry's own field", "exif/tiff_walker.cpp",
     "if (valueBytes > 4 || rational) {", "if (valueBytes > 5 || rational) {", "native:exif_tests",
     "TiffWalker.*"),
    ("Rename It left enabled once its row has gone", "rename/rename_dialog.cpp",
     "  RemovePreviewRow(g_state.listView, g_state.selectedRow);\n  SetRenameItEnabled(dialog, -1);",
     "  RemovePreviewRow(g_state.listView, g_state.selectedRow);", "gui_tests", "Rename.*"),
    ("Case Sensitive hidden from the methods that read it", "rename/rename_dialog.cpp",
     "{IDC_RENAME_CASE_SENSITIVE, true, false, true}", "{IDC_RENAME_CASE_SENSITIVE, false, false, true}",
     "gui_tests", "Rename.*"),
    ("the Remove method's Length box without its label", "rename/rename_dialog.cpp",
     "{IDC_RENAME_LENGTH_LABEL, false, true, true}", "{IDC_RENAME_LENGTH_LABEL, false, true, false}",
     "gui_tests", "Rename.*"),
    ("a label a dialog unit off its box", "resources/datewright.rc",
     "IDC_RENAME_LENGTH_LABEL, 134, 42,", "IDC_RENAME_LENGTH_LABEL, 133, 42,", "gui_tests", "Rename.*"),
    ("a date picker a dialog unit nearer its label", "resources/datewright.rc",
     "WS_TABSTOP, 32, 18, 58, 16", "WS_TABSTOP, 31, 18, 58, 16", "gui_tests", "MainCommands.*"),
    ("a Find from the settings kept one character longer than the dialog takes",
     "rename/rename_settings.h", "  wchar_t find[260];", "  wchar_t find[261];", "gui_tests",
     "Rename.*"),
    ("a Replace from the settings kept one character longer than the dialog takes",
     "rename/rename_settings.h", "  wchar_t replace[260];", "  wchar_t replace[261];", "gui_tests",
     "Rename.*"),
    ("Shift + Open... proposes a drive's root for a remembered folder long gone",
     "panes/find_existing_folder.cpp", "    if (folderLength < 2)", "    if (folderLength < 1)",
     "gui_tests", "Panes.*"),
    ("Open... starts where it likes, not in the remembered file's folder", "panes/choose_path.cpp",
     "    if (!FindExistingFolder(folder, name))", "    if (!(!FindExistingFolder(folder, name)))",
     "gui_tests", "Panes.*"),
    ("Shift + Open... drops the nearest parent of a remembered folder long gone",
     "panes/choose_path.cpp", "      if (FindExistingFolder(scratch, selection))",
     "      if (!(FindExistingFolder(scratch, selection)))", "gui_tests", "Panes.*"),
    ("the panes never shown", "app/main_setup.cpp", "  if (pane != nullptr)\n    ShowWindow",
     "  if (pane == nullptr)\n    ShowWindow", "gui_tests", "MainCommands.*"),
    ("a folder too long to search counted as one item", "filetime/enumerate_folder.cpp",
     "pattern))\n    return 0;", "pattern))\n    return 1;", "filetime_tests", "FolderWalks.*"),
    ("the listing's names outgrow their first block", "rename/name_list.cpp",
     "if (!Grow(&text_, &textCapacity_, textUsed_ + length,",
     "if (!Grow(&text_, &textCapacity_, sizeof(wchar_t),", "gui_tests", "Rename.*"),
    ("Match skips a Reference file another program is writing", "filetime/enumerate_folder.h",
     "EnumOpenHandle = 4;", "EnumOpenHandle = 3;", "gui_tests", "FaultSweep.*"),
    ("Rename gives the folder its Modified time as Created too", "rename/rename_dialog.cpp",
     "SetPathUtcTimes(path, nullptr, &time.modified, nullptr);",
     "SetPathUtcTimes(path, &time.modified, &time.modified, nullptr);", "gui_tests",
     "FaultSweep.*"),
    ("the Rename dialog in italics", "resources/datewright.rc",
     'CAPTION "Rename"\nFONT 9, "Segoe UI", 400, 0,', 'CAPTION "Rename"\nFONT 9, "Segoe UI", 400, 1,',
     "gui_tests", "Rename.*"),
    ("the panes in a smaller font than the window", "resources/datewright.rc",
     'FONT 9, "MS UI Gothic"', 'FONT 8, "MS UI Gothic"', "gui_tests", "Panes.*"),
    ("a 32-bit item ID read a byte early", "exif/iso_boxes.cpp", "ReadU32(entry + 4, true);",
     "ReadU32(entry + 3, true);", "exif_tests", "MediaDates.*"),
    ("the Replace box takes a character its setting cannot keep", "rename/rename_method.h",
     "wchar_t replace[260];", "wchar_t replace[261];", "gui_tests", "Rename.*"),
    ("times read with a share mode Windows refuses", "filetime/path_times.cpp",
     "FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);",
     "FILE_READ_ATTRIBUTES, FILE_READ_ATTRIBUTES);", "gui_tests", "FaultSweep.*"),
    ("Remove forgets the Length it ran with", "rename/rename_dialog.cpp",
     "{false, false, true}, {true, false, true},", "{false, false, true}, {true, false, false},",
     "gui_tests", "Rename.*"),
    ("the Length remembered in no section", "rename/rename_dialog.cpp",
     'WriteSettingRaw(iniPath, L"Rename", L"Length", length);',
     'WriteSettingRaw(iniPath, L"", L"Length", length);', "gui_tests", "Rename.*"),
    ("Match DateTime.. placed last in the system menu", "app/main_command.cpp",
     "InsertSystemMenuItem(menu, 1, IDM_MATCH_DATETIME",
     "InsertSystemMenuItem(menu, IDM_MATCH_DATETIME, IDM_MATCH_DATETIME", "gui_tests",
     "MainCommands.*"),
    ("each drop target kept alive", "panes/drop_target.h", "LONG refCount = 0;",
     "LONG refCount = 1;", "gui_tests", "Panes.*"),
    ("the main window ends at a session's end called off", "app/main_lifecycle.cpp",
     "    if (wParam)\n      Teardown", "    if (!wParam)\n      Teardown", "gui_tests", "Panes.*"),
    ("the system menu's Close ignored", "app/main_window.cpp",
     "      return MainCommand(window, state, wParam, lParam);\n"
     "    return DefWindowProcW(window, message, wParam, lParam);",
     "      return MainCommand(window, state, wParam, lParam);\n    return 0;", "gui_tests",
     "MainCommands.*"),
    ("the Rename list keeps its size when the dialog grows", "rename/rename_dialog.cpp",
     "  MoveWindow(g_state.listView, list.left, list.top,",
     "  if (false)\n    MoveWindow(g_state.listView, list.left, list.top,", "gui_tests", "Rename.*"),
    ("the Rename dialog shrinks one frame below its first size", "rename/rename_dialog.cpp",
     "g_state.initialClient.bottom + 2 * frame", "g_state.initialClient.bottom + frame",
     "gui_tests", "Rename.*"),
    ("the Rename dialog untitled", "resources/datewright.rc", 'CAPTION "Rename"', 'CAPTION ""',
     "gui_tests", "Rename.*"),
    ("an earlier snapshot kept when Get All is pressed again", "app/snapshot.cpp",
     "  if (state->modifiedSnapshot != nullptr)\n    GlobalFree(state->modifiedSnapshot);\n", "",
     "gui_tests", "Panes.*"),
    ("a drop beside both panes taken by the Reference", "app/main_window.cpp",
     "  if (PlaceholderHolds(window, IDC_REFERENCE_PLACEHOLDER, clientPoint))",
     "  if (!PlaceholderHolds(window, IDC_REFERENCE_PLACEHOLDER, clientPoint))", "gui_tests",
     "Panes.*"),
    # The release
    ("version calls imported from a version.dll beside the exe",
     ("app/main_setup.cpp", "CMakeLists.txt"),
     ("  VersionCalls calls;\n", "comctl32 comdlg32)"),
     ("  VersionCalls calls{LoadSystemLibrary(L\"version.dll\"), &GetFileVersionInfoSizeW,\n"
      "                     &GetFileVersionInfoW, &VerQueryValueW};\n",
      "comctl32 comdlg32 version)"),
     "ctest:program_planted_dll", ""),
    ("the version record marks a debug build", "resources/datewright.rc", "FILEFLAGS 0",
     "FILEFLAGS 1", "ctest:program_image", ""),
    ("dialog point size scaled past 65535", "app/dialog_template.cpp",
     "  if (!(scaled < 65536.0))\n    return 0xFFFF;\n", "",
     "native:portable_tests", "DialogTemplate.*"),
    ("dialog header read past the data", "app/dialog_template.cpp",
     "if (at > size_ || size_ - at < 2)", "if (at > size_)",
     "native:portable_tests", "DialogTemplate.*"),
]


def run(command):
    return subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode


def check(name, path, old, new, program, test_filter):
    # One file, or a tuple of files with one piece each.
    paths = path if isinstance(path, tuple) else (path,) * (len(old) if isinstance(old, tuple) else 1)
    pieces = list(zip(paths, old, new)) if isinstance(old, tuple) else [(path, old, new)]
    originals = {Path(p): Path(p).read_text() for p in set(paths)}
    broken = dict(originals)
    for piece_path, piece, replacement in pieces:
        source = Path(piece_path)
        if broken[source].count(piece) != 1:
            return f"SKIPPED  {name}: the code to break is not in {piece_path} exactly once"
        broken[source] = broken[source].replace(piece, replacement)
    kind, _, target = program.rpartition(":")
    preset = "native" if kind == "native" else "windows"
    if kind == "native":
        command = [f"build/native/bin/{target}", f"--gtest_filter={test_filter}"]
    elif kind == "ctest":
        command = ["scripts/wine-session", "build/windows", "ctest", "--preset", "windows",
                   "-R", f"^{target}$"]
        target = "all"
    else:
        command = ["scripts/wine-session", "build/windows", "build/windows/wine-run",
                   f"build/windows/bin/{target}.exe", f"--gtest_filter={test_filter}"]
    try:
        for source, text in broken.items():
            source.write_text(text)
        if run(["cmake", "--build", "--preset", preset, "--target", target]) != 0:
            return f"BUILD    {name}: the broken code does not build"
        status = run_limited(command, 600)  # a run that hangs counts as caught
        return f"{'caught' if status != 0 else 'MISSED'}   {name} ({program} {test_filter})"
    finally:
        for source, text in originals.items():
            source.write_text(text)


def suite_targets(preset):
    """The programs the preset's tests run, so that a mutant rebuilds those and no benchmark."""
    shown = subprocess.run(["ctest", "--preset", preset, "--show-only=json-v1"], capture_output=True,
                           text=True).stdout
    built = str(Path("build", preset, "bin").resolve()) + "/"
    binaries = set()
    for test in json.loads(shown)["tests"]:
        for word in test.get("command", []):
            if word.startswith(built):
                binaries.add(Path(word).name.split(".")[0])
    renamed = {"planted": "planted_dll"}
    return sorted(renamed.get(name, name) for name in binaries)


def builds_file(preset, path):
    """True when the preset's build compiles path, seen as the work a touch of it makes."""
    Path(path).touch()
    plan = subprocess.run(["ninja", "-C", f"build/{preset}", "-n"], capture_output=True, text=True)
    return "no work to do" not in plan.stdout


def run_limited(command, seconds):
    """The command's exit status, or None when it ran past seconds (its process group ended)."""
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    try:
        return process.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGTERM)
        try:
            process.wait(timeout=60)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
        return None


def equivalents():
    """(file, line as it is, line broken) of mutants known to change nothing a user could notice."""
    known = {}
    listed = Path(__file__).resolve().parent / "equivalent_mutants.txt"
    for line in listed.read_text(encoding="utf-8").splitlines() if listed.exists() else []:
        if line.strip() and not line.startswith("#"):
            where, _, reason = line.rpartition(" | ")  # code may hold " | " too
            path, _, change = where.partition(": ")
            before, _, after = change.partition("  =>  ")
            # "path:LINE" holds for that line alone, where the same text elsewhere is no twin.
            file, _, number = path.partition(":")
            place = (file, int(number)) if number.isdigit() else (path,)
            known[(*place, before.strip(), after.strip())] = reason.strip()
    return known


def known_reason(known, site, key):
    """Why the mutant of `site` (key: path, line as it is, line broken) is equivalent, or None."""
    return known.get(key) or known.get((key[0], site.line, *key[1:]))


def check_site(site, targets, native_targets, seconds):
    path = Path(site.path)
    original = path.read_text(encoding="utf-8")
    try:
        path.write_text(site.apply(original), encoding="utf-8")
        native = builds_file("native", site.path)
        if native and run(["cmake", "--build", "--preset", "native", "--target", *native_targets]) != 0:
            return "uncompilable"
        if run(["cmake", "--build", "--preset", "windows", "--target", *targets]) != 0:
            return "uncompilable"
        if native and run_limited(["ctest", "--preset", "native"], seconds) != 0:
            return "caught"
        status = run_limited(["scripts/windows-suites", "--stop-on-failure"], seconds)
        return "survived" if status == 0 else "caught"
    finally:
        path.write_text(original, encoding="utf-8")


def main_random(count, seed, seconds=900):
    sites = all_sites(Path("."))
    chosen = random.Random(seed).sample(sites, min(count, len(sites)))
    known = equivalents()
    targets, native_targets = suite_targets("windows"), suite_targets("native")
    report = Path(f"build/mutants-random-{seed}.txt")
    tally = {"caught": 0, "survived": 0, "uncompilable": 0, "equivalent": 0}
    lines = []
    started = time.time()
    for number, site in enumerate(chosen, 1):
        text = Path(site.path).read_text(encoding="utf-8")
        described = site.describe(text)
        source = text.split("\n")[site.line - 1]
        key = (site.path, source.strip(), site.apply(text).split("\n")[site.line - 1].strip())
        status = check_site(site, targets, native_targets, seconds)
        reason = known_reason(known, site, key)
        if status == "survived" and reason:
            status = "equivalent"
            described += f"  ({reason})"
        tally[status] += 1
        lines.append(f"{status:12} {described}")
        print(f"[{number}/{len(chosen)} {time.time() - started:.0f}s] {lines[-1]}", flush=True)
    for preset in ("windows", "native"):
        subprocess.run(["cmake", "--build", "--preset", preset], stdout=subprocess.DEVNULL)
    scored = tally["caught"] + tally["survived"]
    summary = (f"seed {seed}: {len(chosen)} mutants of {len(sites)} sites; {tally['uncompilable']} do "
               f"not build; {tally['equivalent']} equivalent; caught {tally['caught']} of {scored} "
               f"({100.0 * tally['caught'] / max(scored, 1):.1f}%)")
    survivors = [line for line in lines if line.startswith("survived")]
    report.write_text("\n".join([summary, "", *survivors, "", "All:", *lines]) + "\n", encoding="utf-8")
    print(summary)
    print(f"survivors and every result: {report}")
    return 0


def main():
    if len(sys.argv) >= 5 and sys.argv[1] == "--random" and sys.argv[3] == "--seed":
        return main_random(int(sys.argv[2]), int(sys.argv[4]))
    wanted = sys.argv[1] if len(sys.argv) > 1 else ""
    # --tests=TEXT: the mutants whose test filter holds TEXT, for a changed test.
    field, wanted = (5, wanted[8:]) if wanted.startswith("--tests=") else (0, wanted)
    results = [check(*mutant) for mutant in MUTANTS if wanted in mutant[field]]
    for line in results:
        print(line)
    for preset in ("windows", "native"):
        subprocess.run(["cmake", "--build", "--preset", preset], stdout=subprocess.DEVNULL)
    return 0 if all(line.startswith("caught") for line in results) else 1


if __name__ == "__main__":
    sys.exit(main())
