#pragma once
// The TIFF structure of an Exif block or of a whole TIFF-structured file: IFD chains and the Exif
// and GPS IFDs.

#include <cstddef>
#include <cstdint>

#include "exif/byte_source.h"
#include "exif/metadata_handlers.h"

using TiffEntryVisitor = void (*)(uint16_t tag, const TiffEntry* entry, void* context);

// How a TIFF structure is read. An Exif block has TIFF's own header, names its Exif IFD in IFD0's
// chain and has every entry's values viewed. A whole file may also carry a RAW format's header and
// has only the values of the tags named read from it; a CR3 metadata block keeps its entries in
// IFD0's chain alone.
struct TiffReading {
  bool rawHeaders;
  bool withoutExifIfd;
  bool (*wantsValues)(uint16_t tag); // null: every entry's values
};

inline constexpr TiffReading kExifBlockReading = {false, false, nullptr};

// Walks the IFD at startOffset and the chain after it, or with a start offset of 0 the header's
// first IFD and its chain. The byte order always comes from the block's header.
void WalkTiffIfds(const uint8_t* block, size_t length, uint32_t startOffset, TiffEntryVisitor visit,
                  void* context);

// Reports the entries of IFD0's chain and of the Exif IFD to exifTag, and those of the GPS IFD
// to gpsTag; nothing at all when IFD0's chain names no Exif IFD (unless the reading needs none).
void ParseTiffStructure(const MetadataHandlers* table, ByteSource* source,
                        const TiffReading& reading);

// The same for an Exif block in memory, as a JPEG's Exif segment holds it.
void ParseExifBlock(const MetadataHandlers* table, const uint8_t* block, size_t length);

// An Exif block that some writers start with a JPEG segment's "Exif\0\0" and others do not.
void ParseExifPayload(const MetadataHandlers* table, const uint8_t* data, size_t length);
