#pragma once
// The TIFF structure inside an Exif segment: IFD chains and the Exif and GPS IFDs.

#include <cstddef>
#include <cstdint>

#include "exif/metadata_handlers.h"

using TiffEntryVisitor = void (*)(uint16_t tag, const TiffEntry* entry, void* context);

// Walks the IFD at startOffset and the chain after it, or with a start offset of 0 the header's
// first IFD and its chain. The byte order always comes from the block's header.
void WalkTiffIfds(const uint8_t* block, size_t length, uint32_t startOffset, TiffEntryVisitor visit,
                  void* context);

// Reports the entries of IFD0's chain and of the Exif IFD to exifTag, and those of the GPS IFD
// to gpsTag; nothing at all when IFD0's chain names no Exif IFD.
void ParseExifBlock(const MetadataHandlers* table, const uint8_t* block, size_t length);
