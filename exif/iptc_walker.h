#pragma once
// IPTC-NAA data inside Photoshop image resources (APP13).

#include <cstddef>
#include <cstdint>

#include "exif/metadata_handlers.h"

// Finds resource 0x0404 among the "8BIM" resources after a "Photoshop 3.0" payload's 14-byte
// signature; yields where its data starts in the payload and how long it is.
bool FindIptcResource(const uint8_t* payload, size_t length, size_t* dataOffset,
                      size_t* dataLength);

// The IPTC block of a Photoshop payload: the 0x0404 resource of a "Photoshop 3.0" payload, or
// everything after the signature of an older "Photoshop" one.
bool FindPhotoshopIptc(const uint8_t* payload, size_t length, size_t* dataOffset,
                       size_t* dataLength);

// Reports each dataset of an IPTC block, framed by iptcBegin and iptcEnd; only when all three
// IPTC slots are set.
void WalkIptcRecords(const MetadataHandlers* table, const uint8_t* data, size_t length);
