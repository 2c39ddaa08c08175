#!/usr/bin/env python3
"""Breaks the program one guard at a time and checks that a test fails for each.

Each mutant replaces one exact piece of product code, builds the test program named, runs it
under the Wine session (or natively, for a program named "native:...") with a filter, and expects
it to fail; the file is put back whatever happens. Run from the repository root after the Windows
and native builds:

    tools/mutants.py            # every mutant
    tools/mutants.py drop       # those whose name contains "drop"
"""
import subprocess
import sys
from pathlib import Path

# name, file, code as it is, code broken, test program, gtest filter. Several pieces are broken
# together when the code is a tuple: all in the one file, or each in its own when the file is a
# tuple too. A program "native:NAME" runs natively; "ctest:NAME" runs that ctest test.
MUTANTS = [
    # File times
    ("local/UTC conversion removed in SetPathTimes", "filetime/path_times.cpp",
     "!LocalFileTimeToFileTime(&localFileTime, utc))", "!(*utc = localFileTime, true))",
     "filetime_tests", "PathTimes.*"),
    ("Created and Modified slots swapped", "filetime/path_times.cpp",
     "LocalToUtc(created, &createdUtc), nullptr,\n                   LocalToUtc(modified, &modifiedUtc)",
     "LocalToUtc(modified, &modifiedUtc), nullptr,\n                   LocalToUtc(created, &createdUtc)",
     "filetime_tests", "PathTimes.*"),
    ("a last-access time written", "filetime/path_times.cpp",
     "LocalToUtc(created, &createdUtc), nullptr,", "LocalToUtc(created, &createdUtc), &createdUtc,",
     "filetime_tests", "PathTimes.*"),
    ("an out-of-range time handed on", "filetime/path_times.cpp",
     "    return nullptr;\n  return utc;", "    return local == nullptr ? nullptr : utc;\n  return utc;",
     "filetime_tests", "PathTimes.*"),
    ("times read without sharing for writers", "filetime/path_times.cpp",
     "OpenPath(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE)",
     "OpenPath(path, GENERIC_READ, FILE_SHARE_READ)",
     "filetime_tests", "PathTimes.*"),
    # Folder listing, cleanup, matching
    ("EnumerateFolder fills past its capacity", "filetime/enumerate_folder.cpp",
     "(options != nullptr && options->maxEntries != 0 && index >= options->maxEntries)",
     "(options != nullptr && options->maxEntries != 0 && index >= options->maxEntries && false)",
     "filetime_tests", "FolderWalks.*"),
    ("EnumerateFolder joins a cut path", "filetime/enumerate_folder.cpp",
     "if (firstLength + secondLength + thirdLength >= capacity)", "if (capacity == 0)",
     "filetime_tests", "FolderWalks.*"),
    ("Cleanup does not put a folder's time back", "filetime/cleanup_folder.cpp",
     "  SetPathTimes(path, nullptr, &saved, nullptr);\n", "",
     "gui_tests", "MainCommands.*"),
    ("Cleanup deletes a folder", "filetime/cleanup_folder.cpp",
     ("return !IsFolder(search.found) && IsJunkFile(", "deleted += DeleteFileW(paths[i].path) ? 1 : 0;"),
     ("return IsJunkFile(",
      "deleted += (DeleteFileW(paths[i].path) || RemoveDirectoryW(paths[i].path)) ? 1 : 0;"),
     "gui_tests", "MainCommands.*"),
    ("Cleanup acts on a cut path", "base/join_path.h",
     "if (AppendBounded(out, first) == 0 && AppendBounded(out, second) == 0)",
     "if ((AppendBounded(out, first), AppendBounded(out, second), true))",
     "filetime_tests", "FolderWalks.*"),
    ("Cleanup recurses without Shift", "app/folder_commands.cpp",
     "bool recurse = (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;", "bool recurse = true;",
     "gui_tests", "MainCommands.*"),
    ("Match goes on when the box could not be shown", "filetime/match_folders.cpp",
     "MB_YESNO) == IDYES;", "MB_YESNO) != IDNO;", "gui_tests", "MainCommands.*"),
    ("Match goes on when answered No", "filetime/match_folders.cpp",
     "MB_YESNO) == IDYES;", "MB_YESNO) != 0;", "gui_tests", "MainCommands.*"),
    ("Match with its time bits swapped", "filetime/match_folders.cpp",
     "{kMatchCopyCreated, kCreatedSlot},\n    {kMatchCopyModified, kModifiedSlot},",
     "{kMatchCopyCreated, kModifiedSlot},\n    {kMatchCopyModified, kCreatedSlot},",
     "gui_tests", "MainCommands.*"),
    ("Match with its item bits swapped", "filetime/match_folders.h",
     ("kMatchPlainItems = 0x10;", "kMatchFolders = 0x20;"),
     ("kMatchPlainItems = 0x20;", "kMatchFolders = 0x10;"),
     "gui_tests", "MainCommands.*"),
    ("Match copies a time it did not read", "filetime/match_folders.cpp",
     "SYSTEMTIME times[kTimeSlots] = {};", "SYSTEMTIME times[kTimeSlots];\n"
     "  times[kCreatedSlot] = SYSTEMTIME{2003, 3, 0, 3, 3, 3, 3, 0};",
     "gui_tests", "MainCommands.*"),
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
     "gui_tests", "Panes.*"),
    ("drop refused later keeps old times", "panes/drop_target.cpp",
     "  if (taken)\n    ShowPaneTimes", "  if (answer == 1 || (taken && false))\n    ShowPaneTimes",
     "gui_tests", "Panes.*"),
    ("drop tells the source to move", "panes/drop_target.cpp",
     "*effect = offersFiles ? DROPEFFECT_COPY : DROPEFFECT_NONE;", "(void)offersFiles;",
     "gui_tests", "Panes.*"),
    ("existing path with unreadable times taken", "panes/pane_display.cpp",
     "if (shown == nullptr || !TimesReadableOrMissing(shown))",
     "if (shown == nullptr || (!TimesReadableOrMissing(shown) && false))",
     "gui_tests", "Panes.*"),
    ("unshowable stamp leaves the old time", "panes/pane_display.cpp",
     "shown = time.wYear > range.latest.wYear ? range.latest : range.earliest;", "(void)range;",
     "gui_tests", "Panes.*"),
    ("unshowable Exif date counts as present", "panes/pane_display.cpp",
     "if (Present(*date) && !PickerHolds(picker, *date))",
     "if (Present(*date) && !PickerHolds(picker, *date) && false)",
     "gui_tests", "Panes.*"),
    # Rename
    ("Execute replaces existing files", "rename/run_rename_method.cpp",
     "MOVEFILE_COPY_ALLOWED))", "MOVEFILE_COPY_ALLOWED | MOVEFILE_REPLACE_EXISTING))",
     "gui_tests", "Rename.*"),
    ("a backslash allowed in a new name", "rename/rules.cpp",
     'L"\\\\/:*?\\"<>|"', 'L"/:*?\\"<>|"', "gui_tests", "Rename.*"),
    ("filter may hold a separator", "rename/run_rename_method.cpp",
     "wcschr(filter, L'\\\\') != nullptr || wcschr(filter, L'/') != nullptr", "false",
     "gui_tests", "Rename.*"),
    ("Rename It by row number again", "rename/run_rename_method.cpp",
     "  if (listView == nullptr && row >= 0)\n    return RenameOne(dialog, folderPath, rule, row, observer);",
     """  if (listView == nullptr && row >= 0) {
    (void)RenameOne;
    Listing byNumber;
    Rename rename;
    ListFolder(folderPath, inputs.filter, &byNumber);
    for (uint32_t i = 0, count = 0; i < byNumber.names.Count(); ++i)
      if (Prepare(folderPath, byNumber.names.At(i), rule, &rename) && count++ == uint32_t(row))
        return MoveFileExW(rename.oldPath, rename.newPath, MOVEFILE_COPY_ALLOWED), 1;
    return 0;
  }""",
     "gui_tests", "Rename.*"),
    ("Rename It without checking the row still holds", "rename/run_rename_method.cpp",
     "wcscmp(rename.newName, shownName) != 0 ||\n      !HoldsFile(rename.oldPath, oldName)",
     "(wcscmp(rename.newName, shownName) != 0 && !HoldsFile(rename.oldPath, oldName) && false)",
     "gui_tests", "Rename.*"),
    ("snapshot does not follow renames", "rename/rename_dialog.cpp",
     "RenameObserver observer = {FollowInSnapshot, &follower};",
     "RenameObserver observer = {FollowInSnapshot, &follower};\n    observer.renamed = nullptr;",
     "gui_tests", "Rename.*"),
    ("listing sized by an earlier folder", "rename/run_rename_method.cpp",
     "size_t grown = *capacity * 2 > needed ? *capacity * 2 : needed + 64;",
     "size_t grown = needed + 400000;",
     "gui_tests", "Rename.*"),
    # The user's promises, README's rows one by one: each mutant is what a user would suffer.
    # README: "Open..." - the pane's path: a file from the open-file dialog; the file's times
    ("Open remembers under the other pane's key", "panes/path_pane.cpp",
     'const wchar_t* key = isTarget ? L"Target" : L"Reference";',
     'const wchar_t* key = isTarget ? L"Reference" : L"Target";',
     "gui_tests", "Panes.*"),
    ("Open forgets the chosen path", "panes/path_pane.cpp",
     "    WriteSettingText(state->iniPath, section, key, remembered);\n", "",
     "gui_tests", "Panes.*"),
    ("Open proposes nothing remembered", "panes/choose_path.cpp",
     "if (path[0] == L'\\0' && remembered != nullptr && remembered[0] != L'\\0')",
     "if (path[0] == L'\\0' && remembered != nullptr && remembered[0] != L'\\0' && false)",
     "gui_tests", "Panes.*"),
    ("Open leaves the Reference pane's times unread", "panes/path_pane.cpp",
     "  ShowPaneTimes(pane, isTarget ? &state->exifDates : nullptr);",
     "  if (isTarget)\n    ShowPaneTimes(pane, &state->exifDates);",
     "gui_tests", "Panes.*"),
    ("Open chooses a file but leaves the pane", "panes/choose_path.cpp",
     "    SetPanePath(pane, name);\n", "",
     "gui_tests", "Panes.*"),
    # README: Shift + "Open..." - a folder from the browse dialog, remembered under DirPath
    ("Shift+Open remembers the folder under FilePath", "panes/path_pane.cpp",
     'folder ? L"DirPath" : L"FilePath"', 'folder ? L"FilePath" : L"FilePath"',
     "gui_tests", "Panes.*"),
    ("Shift+Open ignored", "panes/path_pane.cpp",
     "bool folder = KeyHeld(VK_SHIFT);", "bool folder = false;",
     "gui_tests", "Panes.*"),
    ("Shift+Open chooses a folder but leaves the pane", "panes/choose_path.cpp",
     "  SetPanePath(pane, selection);\n", "",
     "gui_tests", "Panes.*"),
    # README: Control + "Open..." - reads the pane's path again (Control wins over Shift)
    ("Control+Open does not read the times again", "panes/path_pane.cpp",
     "    DiscardSnapshot(state);\n  } else {", "    DiscardSnapshot(state);\n    return;\n  } else {",
     "gui_tests", "Panes.*"),
    ("Control+Open keeps the remembered times", "panes/path_pane.cpp",
     "    DiscardSnapshot(state);\n  } else {", "    (void)0;\n  } else {",
     "gui_tests", "Panes.*"),
    ("Control+Open loses to Shift", "panes/path_pane.cpp",
     "if (KeyHeld(VK_CONTROL)) {", "if (KeyHeld(VK_CONTROL) && !KeyHeld(VK_SHIFT)) {",
     "gui_tests", "Panes.*"),
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
     "  SendDlgItemMessageW(pane, pickers.time, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&value));\n",
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
     "  uint32_t count = EnumerateFolder(nullptr, path, 0, nullptr);",
     "  EnumerateOptions all = {};\n  all.flags = EnumRecurse;\n  uint32_t count = EnumerateFolder(nullptr, path, 0, &all);",
     "gui_tests", "MainCommands.*"),
    ("Get All shows its count in the result box", "app/snapshot.cpp",
     "ShowCount(state->mainWindow, IDC_SNAPSHOT_COUNT, count);",
     "ShowCount(state->mainWindow, IDC_FOLDER_RESULT, count);",
     "gui_tests", "MainCommands.*"),
    ("Get All leaves Restore disabled", "app/snapshot.cpp",
     "IDC_RESTORE), state->snapshotCount > 0);", "IDC_RESTORE), state->snapshotCount == 0);",
     "gui_tests", "MainCommands.*"),
    ("Get All leaves the last count in the result box", "app/snapshot.cpp",
     '  SetDlgItemTextW(state->mainWindow, IDC_FOLDER_RESULT, L"");\n}\n\nvoid RestoreSnapshot',
     '}\n\nvoid RestoreSnapshot',
     "gui_tests", "MainCommands.*"),
    ("Get All's count and result kept for a new Target", "panes/pane_display.cpp",
     '  SetDlgItemTextW(state->mainWindow, IDC_FOLDER_RESULT, L"");\n', "",
     "gui_tests", "Panes.*"),
    # README: "Restore" - those files' Modified times, back; how many were restored
    ("Restore writes the Created time", "app/snapshot.cpp",
     "SetPathTimes(entries[i].fullPath, nullptr, &entries[i].modified, nullptr)",
     "SetPathTimes(entries[i].fullPath, &entries[i].modified, nullptr, nullptr)",
     "gui_tests", "MainCommands.*"),
    ("Restore counts a file it could not write", "app/snapshot.cpp",
     "if (entries[i].fullPath[0] != L'\\0' &&\n          SetPathTimes(entries[i].fullPath, nullptr, &entries[i].modified, nullptr))",
     "if (entries[i].fullPath[0] != L'\\0' &&\n          (SetPathTimes(entries[i].fullPath, nullptr, &entries[i].modified, nullptr), true))",
     "gui_tests", "MainCommands.*"),
    ("Restore shows its count in the snapshot box", "app/snapshot.cpp",
     "ShowCount(state->mainWindow, IDC_FOLDER_RESULT, restored);",
     "ShowCount(state->mainWindow, IDC_SNAPSHOT_COUNT, restored);",
     "gui_tests", "MainCommands.*"),
    # README: "Cleanup" / Shift + "Cleanup" - deletes ".DS_Store", "Thumbs*.db" and "._*" files;
    # every folder keeps its Modified time; how many; the remembered times are dropped
    ("Cleanup with Shift goes one level deep only", "filetime/cleanup_folder.cpp",
     "*deleted += CleanupFolder(search.itemPath, recurse);",
     "*deleted += CleanupFolder(search.itemPath, false);",
     "gui_tests", "MainCommands.*"),
    ("Cleanup counts a file it could not delete", "filetime/cleanup_folder.cpp",
     "deleted += DeleteFileW(paths[i].path) ? 1 : 0;", "deleted += (DeleteFileW(paths[i].path), 1);",
     "gui_tests", "MainCommands.*"),
    ("Cleanup puts a folder's time back as its Created time", "filetime/cleanup_folder.cpp",
     "  SetPathTimes(path, nullptr, &saved, nullptr);\n", "  SetPathTimes(path, &saved, nullptr, nullptr);\n",
     "gui_tests", "MainCommands.*"),
    ("Cleanup keeps the remembered times", "app/folder_commands.cpp",
     "  DiscardSnapshot(state);\n  ShowFolderResult(state, deleted);", "  ShowFolderResult(state, deleted);",
     "gui_tests", "MainCommands.*"),
    ("Cleanup count emptied again", "app/folder_commands.cpp",
     "  DiscardSnapshot(state);\n  ShowFolderResult(state, deleted);",
     "  ShowFolderResult(state, deleted);\n  DiscardSnapshot(state);",
     "gui_tests", "MainCommands.*"),
    ("Cleanup names compared with case", "filetime/junk_file.cpp",
     "return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;", "return c;",
     "gui_tests", "MainCommands.*"),
    # README: "Match DateTime.." - after a Yes, the times of every Target item at the same place as a
    # Reference item: by default folders only, Modified only; how many items matched
    ("Match copies from the Target onto the Reference", "app/folder_commands.cpp",
     "MatchFolders(state->mainWindow, static_cast<const wchar_t*>(reference.Get()),\n                           static_cast<const wchar_t*>(target.Get()), option);",
     "MatchFolders(state->mainWindow, static_cast<const wchar_t*>(target.Get()),\n                           static_cast<const wchar_t*>(reference.Get()), option);",
     "gui_tests", "MainCommands.*"),
    ("Match by default copies files too", "filetime/match_folders.h",
     "kDefaultMatchOption = kMatchFolders | kMatchCopyModified;",
     "kDefaultMatchOption = kMatchFolders | kMatchPlainItems | kMatchCopyModified;",
     "gui_tests", "MainCommands.*"),
    ("Match count not shown", "app/folder_commands.cpp",
     "  ShowFolderResult(state, matched);\n", "  (void)matched;\n",
     "gui_tests", "MainCommands.*"),
    ("Match walks the first level only", "filetime/match_folders.cpp",
     "options.flags = EnumRecurse | EnumIncludeFolders;", "options.flags = EnumIncludeFolders;",
     "gui_tests", "MainCommands.*"),
    ("Match gives a folder's time to a file", "filetime/match_folders.cpp",
     "return handling == Handling::kAsPlainItem || IsFolder(attributes);",
     "return handling == Handling::kAsPlainItem || attributes != 0;",
     "gui_tests", "MainCommands.*"),
    ("Match asks with the Target first", "filetime/match_folders.cpp",
     'L"%s\\r\\nTo\\r\\n%s", context.referenceFolder,\n                context.targetFolder);',
     'L"%s\\r\\nTo\\r\\n%s", context.targetFolder,\n                context.referenceFolder);',
     "gui_tests", "MainCommands.*"),
    ("Match counts an item with nothing at its place", "filetime/match_folders.cpp",
     "!CounterpartFits(handling, GetFileAttributesW(counterpart)) || !read)",
     "(!CounterpartFits(handling, GetFileAttributesW(counterpart)) && false) || !read)",
     "gui_tests", "MainCommands.*"),
    # README settings: General MatchedFoldersOption, GetAllModifiedDateTime
    ("settings: MatchedFoldersOption read under another name", "app/folder_commands.cpp",
     'L"MatchedFoldersOption"', 'L"MatchedFolderOption"',
     "gui_tests", "MainCommands.*"),
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
    # Portable code and the Exif reader
    ("TIFF entry count not checked against the block", "exif/tiff_walker.cpp",
     "if (!RangeFits(entries, kEntrySize * count, length) || count > entriesLeft)",
     "if (count > entriesLeft)",
     "native:exif_tests", "TiffWalker.*"),
    ("TIFF values not checked against the block", "exif/tiff_walker.cpp",
     "if (field >= length || !RangeFits(valuesAt, valueBytes, length))", "if (field >= length)",
     "native:exif_tests", "TiffWalker.*"),
    ("TIFF values offset at the block length taken", "exif/tiff_walker.cpp",
     "if (field >= length || !RangeFits", "if (!RangeFits",
     "native:exif_tests", "TiffWalker.*"),
    ("TIFF next link read past the block", "exif/tiff_walker.cpp",
     "    if (!RangeFits(nextAt, 4, length))\n      return;\n", "",
     "native:exif_tests", "TiffWalker.*"),
    ("TIFF link backwards followed", "exif/tiff_walker.cpp",
     "if (next <= offset || next > length)", "if (next > length)",
     "native:exif_tests", "TiffWalker.*"),
    ("TIFF walk visits overlapping IFDs without a cap", "exif/tiff_walker.cpp",
     "uint64_t entriesLeft = length / kEntrySize;", "uint64_t entriesLeft = ~uint64_t{0};",
     "native:exif_tests", "TiffWalker.*"),
    ("TIFF magic number not checked", "exif/tiff_walker.cpp",
     "    if (ReadU16(block + 2, bigEndian) != 42)\n      return;\n", "",
     "native:exif_tests", "TiffWalker.*"),
    ("TIFF header read from fewer than 8 bytes", "exif/tiff_walker.cpp",
     "length <= 8 ||", "length < 4 ||",
     "native:exif_tests", "TiffWalker.*"),
    ("Exif date read past the block end", "exif/exif_date.cpp",
     "return RangeFits(static_cast<uint64_t>(entry.valuePointer - entry.block), kExifDateLength,\n"
     "                   entry.blockLength);", "return true;",
     "native:exif_tests", "ExifDates.*"),
    ("Exif date held in its entry read", "exif/exif_date.cpp",
     "if (entry.block == nullptr || entry.valuePointer == entry.entryBytes + 8)",
     "if (entry.block == nullptr)",
     "native:exif_tests", "ExifDates.*"),
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
    ("Exif read from a 65535-byte file", "exif/read_times_and_exif.cpp",
     "kLargestSkippedSize = 65535;", "kLargestSkippedSize = 65534;",
     "exif_file_tests", "ReadTimesAndExif.*"),
    ("Exif not read from a 65536-byte file", "exif/read_times_and_exif.cpp",
     "kLargestSkippedSize = 65535;", "kLargestSkippedSize = 65536;",
     "exif_file_tests", "ReadTimesAndExif.*"),
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
     "IsPlainFileName(newName);", "true;",
     "native:rename_tests", "RenameRules.*"),
    ("backslash allowed in a new name", "rename/rules.cpp",
     "L\"\\\\/:*?\\\"<>|\"", "L\"/:*?\\\"<>|\"",
     "native:rename_tests", "RenameRules.*"),
    ("character 31 allowed in a new name", "rename/rules.cpp",
     "if (*name < 32)", "if (*name < 31)",
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
    ("JoinPath keeps a cut path", "base/join_path.h",
     "  if (AppendBounded(out, first) == 0 && AppendBounded(out, second) == 0)\n    return true;\n"
     "  out[0] = L'\\0';\n  return false;",
     "  AppendBounded(out, first);\n  AppendBounded(out, second);\n  return true;",
     "native:portable_tests", "BoundedText.*"),
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
    # The release
    ("version calls imported from a version.dll beside the exe",
     ("app/main_setup.cpp", "CMakeLists.txt"),
     ("  VersionCalls calls;\n", "comctl32 comdlg32)"),
     ("  VersionCalls calls{LoadSystemLibrary(L\"version.dll\"), &GetFileVersionInfoSizeW,\n"
      "                     &GetFileVersionInfoW, &VerQueryValueW};\n",
      "comctl32 comdlg32 version)"),
     "ctest:program_planted_dll", ""),
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
        status = run(command)
        return f"{'caught' if status != 0 else 'MISSED'}   {name} ({program} {test_filter})"
    finally:
        for source, text in originals.items():
            source.write_text(text)


def main():
    wanted = sys.argv[1] if len(sys.argv) > 1 else ""
    results = [check(*mutant) for mutant in MUTANTS if wanted in mutant[0]]
    for line in results:
        print(line)
    for preset in ("windows", "native"):
        subprocess.run(["cmake", "--build", "--preset", preset], stdout=subprocess.DEVNULL)
    return 0 if all(line.startswith("caught") for line in results) else 1


if __name__ == "__main__":
    sys.exit(main())
