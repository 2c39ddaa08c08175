#pragma once
// The only place where single paths' Created and Modified times are written and read. The file
// system keeps UTC FILETIMEs; users see and type local wall-clock SYSTEMTIMEs, converted by the
// program's one rule below. Records that only carry a time from one file to another keep the UTC
// stamp itself, so it comes back exactly whichever rule is in use.

#include <windows.h>

// The rule between a UTC stamp and the local wall-clock time users see and type. Off (the
// default): the one offset from UTC in effect now, for every date, so a stamp read and written
// back comes out unchanged. On: each date's own daylight saving, as Windows' rule for that year
// gives it and Explorer shows it. The main window hands its switch down here.
void UseEachDatesDaylightSaving(bool on);

// False when the value cannot be converted (out of range, a year before 1601). With each date's
// daylight saving, a local time in the hour the clocks skip or repeat is taken at the offset in
// effect before the change: the skipped hour as standard time, as Windows converts it, the
// repeated hour as its first occurrence.
bool UtcToLocalTime(const FILETIME& utc, SYSTEMTIME* local);
bool LocalTimeToUtc(const SYSTEMTIME& local, FILETIME* utc);

// Null created or modified leaves that time alone; an out-of-range time is left alone too.
// Returns 1 when the stamps were written; 0 with the system's error code in errorOut otherwise.
int SetPathTimes(const wchar_t* path, const SYSTEMTIME* created, const SYSTEMTIME* modified,
                 DWORD* errorOut);
// The same with UTC stamps, written as they are. A value that is no time (one FileTimeToSystemTime
// refuses) is left alone.
int SetPathUtcTimes(const wchar_t* path, const FILETIME* created, const FILETIME* modified,
                    DWORD* errorOut);

// Local times. Returns 1 when at least one requested output was filled.
int GetPathTimes(const wchar_t* path, SYSTEMTIME* createdOut, SYSTEMTIME* modifiedOut);
// The same from a handle already open on the path.
int GetHandleTimes(HANDLE file, SYSTEMTIME* createdOut, SYSTEMTIME* modifiedOut);

// The UTC stamps from the file system's directory data: no handle is opened, which matters for a
// walk over many items. attributesOut (may be null) gets the item's attributes, or
// INVALID_FILE_ATTRIBUTES when nothing could be read. Returns 1 when they were read.
int QueryPathUtcTimes(const wchar_t* path, FILETIME* createdOut, FILETIME* modifiedOut,
                      DWORD* attributesOut);
