#pragma once
// WebP files: the Exif block of their EXIF chunk.

#include "exif/byte_source.h"
#include "exif/metadata_handlers.h"

// Walks the chunks inside the RIFF chunk by their lengths, with seeks.
void WalkWebpChunks(ByteSource* source, const MetadataHandlers* table);
