#pragma once
// The only place where single paths' Created and Modified times are written and read. Times at
// this interface are local wall-clock SYSTEMTIMEs; the file system keeps UTC FILETIMEs. Both
// directions use the one offset from UTC in effect at the moment of the call, so a stamp read and
// written back comes out unchanged.

#include <windows.h>

// The program's one rule between a UTC stamp and the local wall-clock time users see and type.
// False when the value cannot be converted (out of range, a year before 1601).
bool UtcToLocalTime(const FILETIME& utc, SYSTEMTIME* local);
bool LocalTimeToUtc(const SYSTEMTIME& local, FILETIME* utc);

// Null created or modified leaves that time alone; an out-of-range time is left alone too.
// Returns 1 when the stamps were written; 0 with the system's error code in errorOut otherwise.
int SetPathTimes(const wchar_t* path, const SYSTEMTIME* created, const SYSTEMTIME* modified,
                 DWORD* errorOut);

// Returns 1 when at least one requested output was filled.
int GetPathTimes(const wchar_t* path, SYSTEMTIME* createdOut, SYSTEMTIME* modifiedOut);
// The same from a handle already open on the path.
int GetHandleTimes(HANDLE file, SYSTEMTIME* createdOut, SYSTEMTIME* modifiedOut);

// The same times, converted the same way, from the file system's directory data: no handle is
// opened, which matters for a walk over many items. attributesOut (may be null) gets the item's
// attributes, or INVALID_FILE_ATTRIBUTES when nothing could be read.
int QueryPathTimes(const wchar_t* path, SYSTEMTIME* createdOut, SYSTEMTIME* modifiedOut,
                   DWORD* attributesOut);
