#!/usr/bin/env python3
"""Breaks the program one guard at a time and checks that a test fails for each.

Each mutant replaces one exact piece of product code, builds the test program named, runs it
under the Wine session (or natively) with a filter, and expects it to fail; the file is put back
whatever happens. Run from the repository root after a Windows build:

    tools/mutants.py            # every mutant
    tools/mutants.py drop       # those whose name contains "drop"
"""
import subprocess
import sys
from pathlib import Path

# name, file, code as it is, code broken, test program, gtest filter
MUTANTS = [
    ("new name may hold a separator", "rename/rules.cpp",
     "IsPlainFileName(newName);", "true;",
     "rename_tests", "RenameRules.*:RenameRun.*"),
    ("filter may hold a separator", "rename/run_rename_method.cpp",
     "wcschr(filter, L'\\\\') != nullptr || wcschr(filter, L'/') != nullptr", "false",
     "rename_tests", "RenameRun.*"),
    ("Rename It without checking the row still holds", "rename/run_rename_method.cpp",
     "wcscmp(rename.newName, shownName) != 0 ||\n      !HoldsFile(rename.oldPath, oldName)",
     "(wcscmp(rename.newName, shownName) != 0 && !HoldsFile(rename.oldPath, oldName) && false)",
     "rename_tests", "RenameDialog.*:RenameRun.*"),
    ("snapshot does not follow renames", "rename/rename_dialog.cpp",
     "RenameObserver observer = {FollowInSnapshot, &follower};",
     "RenameObserver observer = {FollowInSnapshot, &follower};\n    observer.renamed = nullptr;",
     "rename_tests", "RenameDialog.*"),
    ("listing sized by an earlier folder", "rename/run_rename_method.cpp",
     "size_t grown = *capacity * 2 > needed ? *capacity * 2 : needed + 64;",
     "size_t grown = needed + 400000;",
     "rename_tests", "RenameRun.*"),
    ("drop refused later keeps old times", "panes/drop_target.cpp",
     "  if (taken)\n    ShowPaneTimes", "  if (answer == 1 || (taken && false))\n    ShowPaneTimes",
     "panes_tests", "Drops.*"),
    ("drop tells the source to move", "panes/drop_target.cpp",
     "*effect = offersFiles ? DROPEFFECT_COPY : DROPEFFECT_NONE;", "(void)offersFiles;",
     "panes_tests", "Drops.*"),
    ("times read without sharing for writers", "filetime/path_times.cpp",
     "FILE_READ_ATTRIBUTES,\n                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE",
     "GENERIC_READ, FILE_SHARE_READ",
     "filetime_tests", "PathTimes.*"),
    ("existing path with unreadable times taken", "panes/pane_display.cpp",
     "if (shown == nullptr || !TimesReadableOrMissing(shown))",
     "if (shown == nullptr || (!TimesReadableOrMissing(shown) && false))",
     "panes_tests", "Drops.*:PaneDisplay.*"),
    ("unshowable stamp leaves the old time", "panes/pane_display.cpp",
     "shown = time.wYear > range.latest.wYear ? range.latest : range.earliest;", "(void)range;",
     "panes_tests", "PaneDisplay.*"),
    ("unshowable Exif date counts as present", "panes/pane_display.cpp",
     "if (Present(*date) && !PickerHolds(picker, *date))",
     "if (Present(*date) && !PickerHolds(picker, *date) && false)",
     "panes_tests", "PaneDisplay.*"),
    ("Match copies a time it did not read", "filetime/match_folders.cpp",
     "SYSTEMTIME times[kTimeSlots] = {};", "SYSTEMTIME times[kTimeSlots];\n"
     "  times[kCreatedSlot] = SYSTEMTIME{2003, 3, 0, 3, 3, 3, 3, 0};",
     "filetime_tests", "MatchFoldersTest.*"),
    ("Open... moves the current directory", "panes/choose_path.cpp",
     "OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR;", "OFN_OVERWRITEPROMPT;",
     "panes_tests", "OpenCommand.*"),
    ("relative Target kept relative", "app/main_setup.cpp",
     "SetPanePath(state->target.paneWindow, full);",
     "SetPanePath(state->target.paneWindow, argv[i]);",
     "app_tests", "MainSetup.*"),
]


def run(command):
    return subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode


def check(name, path, old, new, program, test_filter):
    source = Path(path)
    text = source.read_text()
    if text.count(old) != 1:
        return f"SKIPPED  {name}: the code to break is not in {path} exactly once"
    try:
        source.write_text(text.replace(old, new))
        if run(["cmake", "--build", "--preset", "windows", "--target", program]) != 0:
            return f"BUILD    {name}: the broken code does not build"
        status = run(["scripts/wine-session", "build/windows", "build/windows/wine-run",
                      f"build/windows/bin/{program}.exe", f"--gtest_filter={test_filter}"])
        return f"{'caught' if status != 0 else 'MISSED'}   {name} ({program} {test_filter})"
    finally:
        source.write_text(text)


def main():
    wanted = sys.argv[1] if len(sys.argv) > 1 else ""
    results = [check(*mutant) for mutant in MUTANTS if wanted in mutant[0]]
    for line in results:
        print(line)
    subprocess.run(["cmake", "--build", "--preset", "windows"], stdout=subprocess.DEVNULL)
    return 0 if all(line.startswith("caught") for line in results) else 1


if __name__ == "__main__":
    sys.exit(main())
