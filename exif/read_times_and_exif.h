#pragma once
// A path's Created and Modified times together with the Exif dates of a JPEG file.

#include <windows.h>

#include "exif/times_request.h"

// Returns 1 when at least one of the requested Created/Modified times was read, else 0 with the
// system's error code in request->error. The Exif part never changes the result.
int ReadTimesAndExif(const wchar_t* path, TimesRequest* request);
