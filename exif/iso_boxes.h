#pragma once
// ISO base media files (HEIC, HEIF, AVIF, CR3, MP4, MOV, M4V, 3GP): the Exif item of an image's
// meta box, the metadata blocks of a Canon CR3 and the times of a movie's header.

#include <cstdint>

#include "exif/byte_source.h"
#include "exif/metadata_handlers.h"

// A movie's times as its header records them: UTC seconds since 1904-01-01, 0 when absent.
struct MovieTimes {
  uint64_t created;
  uint64_t modified;
};

// Walks the boxes by their sizes, with seeks: Exif blocks go to table, the movie's times to movie.
void WalkIsoBoxes(ByteSource* source, const MetadataHandlers* table, MovieTimes* movie);
