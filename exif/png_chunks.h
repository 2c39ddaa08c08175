#pragma once
// PNG files: the Exif block of their eXIf chunk.

#include "exif/byte_source.h"
#include "exif/metadata_handlers.h"

// Walks the chunks after the signature by their lengths, with seeks, up to IEND.
void WalkPngChunks(ByteSource* source, const MetadataHandlers* table);
