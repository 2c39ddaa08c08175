#pragma once
// The dates a photo's or a movie's own data gives, from whatever kind of file it is: decided by
// its first bytes, never by its name.

#include "exif/byte_source.h"
#include "exif/exif_date.h"
#include "exif/iso_boxes.h"
#include "exif/tiff_walker.h"
#include "exif/times_request.h"

// A whole TIFF-structured file: a RAW format's header is taken too, and only the dates' values are
// read.
inline constexpr TiffReading kTiffFileReading = {true, false, IsExifDateTag};

// Fills the Exif dates the request asks for, as the camera's clock showed them. A movie without
// them gives its header's UTC times in movie instead, for the caller to show in local time; movie
// is all zero otherwise.
void ReadMediaDates(ByteSource* source, TimesRequest* request, MovieTimes* movie);
