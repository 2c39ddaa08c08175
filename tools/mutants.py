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
     "filetime_tests", "EnumerateFolder.*"),
    ("EnumerateFolder joins a cut path", "filetime/enumerate_folder.cpp",
     "if (firstLength + secondLength + thirdLength >= capacity)", "if (capacity == 0)",
     "filetime_tests", "EnumerateFolder.*"),
    ("Cleanup does not put a folder's time back", "filetime/cleanup_folder.cpp",
     "  SetPathTimes(path, nullptr, &saved, nullptr);\n", "",
     "filetime_tests", "CleanupFolder.*"),
    ("Cleanup deletes a folder", "filetime/cleanup_folder.cpp",
     ("return !IsFolder(search.found) && IsJunkFile(", "deleted += DeleteFileW(paths[i].path) ? 1 : 0;"),
     ("return IsJunkFile(",
      "deleted += (DeleteFileW(paths[i].path) || RemoveDirectoryW(paths[i].path)) ? 1 : 0;"),
     "filetime_tests", "CleanupFolder.*"),
    ("Cleanup acts on a cut path", "base/join_path.h",
     "if (AppendBounded(out, first) == 0 && AppendBounded(out, second) == 0)",
     "if ((AppendBounded(out, first), AppendBounded(out, second), true))",
     "filetime_tests", "CleanupFolder.*"),
    ("Cleanup recurses without Shift", "app/folder_commands.cpp",
     "bool recurse = (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;", "bool recurse = true;",
     "gui_tests", "MainCommands.*"),
    ("Match goes on when the box could not be shown", "filetime/match_folders.cpp",
     "MB_YESNO) == IDYES;", "MB_YESNO) != IDNO;", "filetime_tests", "MatchFoldersTest.*"),
    ("Match goes on when answered No", "filetime/match_folders.cpp",
     "MB_YESNO) == IDYES;", "MB_YESNO) != 0;", "filetime_tests", "MatchFoldersTest.*"),
    ("Match with its time bits swapped", "filetime/match_folders.cpp",
     "{kMatchCopyCreated, kCreatedSlot},\n    {kMatchCopyModified, kModifiedSlot},",
     "{kMatchCopyCreated, kModifiedSlot},\n    {kMatchCopyModified, kCreatedSlot},",
     "filetime_tests", "MatchFoldersTest.*"),
    ("Match with its item bits swapped", "filetime/match_folders.h",
     ("kMatchPlainItems = 0x10;", "kMatchFolders = 0x20;"),
     ("kMatchPlainItems = 0x20;", "kMatchFolders = 0x10;"),
     "filetime_tests", "MatchFoldersTest.*"),
    ("Match copies a time it did not read", "filetime/match_folders.cpp",
     "SYSTEMTIME times[kTimeSlots] = {};", "SYSTEMTIME times[kTimeSlots];\n"
     "  times[kCreatedSlot] = SYSTEMTIME{2003, 3, 0, 3, 3, 3, 3, 0};",
     "filetime_tests", "MatchFoldersTest.*"),
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
    # Rename
    ("Execute replaces existing files", "rename/run_rename_method.cpp",
     "MoveFileExW(rename.oldPath, rename.newPath, 0)",
     "MoveFileExW(rename.oldPath, rename.newPath, MOVEFILE_REPLACE_EXISTING)",
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
    ("Rename It drops the row of a failed rename", "rename/rename_dialog.cpp",
     "  if (renamed == 0)\n    return TRUE;\n", "  (void)renamed;\n",
     "gui_tests", "Rename.RenameIt*"),
    ("list kept when Find changes", "rename/rename_dialog.cpp",
     "{IDC_RENAME_FIND, EN_CHANGE},", "", "gui_tests", "Rename.TheList*"),
    ("list kept when Replace changes", "rename/rename_dialog.cpp",
     "{IDC_RENAME_REPLACE, EN_CHANGE},", "", "gui_tests", "Rename.TheList*"),
    ("list kept when Filter changes", "rename/rename_dialog.cpp",
     "{IDC_RENAME_FILTER, EN_CHANGE},", "", "gui_tests", "Rename.TheList*"),
    ("list kept when Length changes", "rename/rename_dialog.cpp",
     "{IDC_RENAME_LENGTH, EN_CHANGE},", "", "gui_tests", "Rename.TheList*"),
    ("list kept when Case Sensitive changes", "rename/rename_dialog.cpp",
     "{IDC_RENAME_CASE_SENSITIVE, BN_CLICKED},", "", "gui_tests", "Rename.TheList*"),
    ("list kept when the method changes", "rename/rename_dialog.cpp",
     "  ShowMethodControls(dialog, method);\n  ForgetPreview(dialog);",
     "  ShowMethodControls(dialog, method);", "gui_tests", "Rename.TheList*"),
    ("list emptied without disabling Rename It", "rename/rename_dialog.cpp",
     "  ClearPreviewRows(g_state.listView);\n  SetRenameItEnabled(dialog, -1);",
     "  ClearPreviewRows(g_state.listView);\n  (void)dialog;",
     "gui_tests", "Rename.TheList*"),
    ("snapshot does not follow renames", "rename/rename_dialog.cpp",
     "RenameObserver observer = {FollowInSnapshot, &follower};",
     "RenameObserver observer = {FollowInSnapshot, &follower};\n    observer.renamed = nullptr;",
     "gui_tests", "Rename.*"),
    ("snapshot record found by folded name first", "filetime/rename_follower.cpp",
     "if (wcscmp(entries_[record->second].name, name) == 0)", "if (false)",
     "filetime_tests", "RenameFollower.*"),
    ("snapshot record taken from two that fold alike", "filetime/rename_follower.cpp",
     "return first != last && std::next(first) == last ? first : byName_.end();", "return first;",
     "filetime_tests", "RenameFollower.*"),
    ("Rename It takes the top row's text out of the preview", "rename/preview_rows.cpp",
     "  g_rows.Remove(row);", "  g_rows.Remove(0);", "gui_tests", "Rename.*"),
    ("typed letters lead to no preview row", "rename/preview_rows.cpp",
     "else if (header->code == LVN_ODFINDITEMW)", "else if (false)", "gui_tests", "Rename.*"),
    ("listing sized by an earlier folder", "rename/name_list.cpp",
     "size_t grown = *capacity * 2 > needed ? *capacity * 2 : needed + 64;",
     "size_t grown = needed + 400000;",
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
    ("Exif date shorter than 19 characters read", "exif/exif_date.cpp",
     "entry.count >= kExifDateLength &&", "entry.count != 0 &&",
     "native:exif_tests", "ExifDates.*"),
    ("Exif date read from the entry's own field on", "exif/exif_date.cpp",
     "&&\n         entry.valuePointer != entry.entryBytes + 8;", ";",
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
    ("Exif size rule on the low 32 bits of the size", "exif/read_times_and_exif.cpp",
     "static_cast<uint64_t>(size.QuadPart) <= kLargestSkippedSize", "size.LowPart <= kLargestSkippedSize",
     "exif_file_tests", "ReadTimesAndExif.*"),
    ("Exif read of the low 32 bits of the size", "exif/read_times_and_exif.cpp",
     "size_t bytes = static_cast<size_t>(size.QuadPart);", "size_t bytes = size.LowPart;",
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
