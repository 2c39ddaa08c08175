#pragma once

#include <windows.h>

// The image dates of the Target's file, as the image records them. wYear 0 means absent.
struct ExifDates {
  SYSTEMTIME dateTime;
  SYSTEMTIME dateTimeOriginal;
  SYSTEMTIME dateTimeDigitized;
};
