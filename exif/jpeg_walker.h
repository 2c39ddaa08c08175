#pragma once
// The JPEG marker scan and the interpretation of application segments.

#include <cstddef>
#include <cstdint>

#include "exif/metadata_handlers.h"

// Scans the marker stream of buffer and hands every complete segment to ClassifySegment.
void WalkJpegMarkers(const uint8_t* buffer, size_t length, const MetadataHandlers* table);

// segment starts at the two length bytes; segmentLength is the stated length L, those bytes
// included, and all of it lies in memory.
void ClassifySegment(uint8_t marker, const uint8_t* segment, size_t segmentLength,
                     const MetadataHandlers* table);
