#include "exif/iso_boxes.h"

#include <algorithm>
#include <cstring>

#include "exif/byte_reader.h"
#include "exif/tiff_walker.h"

namespace {

constexpr uint32_t FourCc(const char (&name)[5]) {
  return uint32_t{uint8_t(name[0])} << 24 | uint32_t{uint8_t(name[1])} << 16 |
         uint32_t{uint8_t(name[2])} << 8 | uint8_t(name[3]);
}

// The uuid box in a CR3's moov that holds CMT1 (IFD0) and CMT2 (the Exif IFD) as TIFF blocks.
constexpr uint8_t kCanonUuid[16] = {0x85, 0xC0, 0xB6, 0x87, 0x82, 0x0F, 0x11, 0xE0,
                                    0x81, 0x11, 0xF4, 0xCE, 0x46, 0x2B, 0x6A, 0x48};
constexpr TiffReading kCanonBlockReading = {false, true, nullptr};

// Some encoders count a movie's times from 1970; exiftool takes a time below this many seconds
// from 1904 to 1970 as such, and so does this reader.
constexpr uint64_t k1904To1970 = 2082844800;

// An image may name a few Exif items; more are not looked for.
constexpr size_t kExifItemsKept = 4;

struct Box {
  uint32_t type;
  bool canon; // a uuid box of Canon's
  uint64_t content;
  uint64_t end;
};

struct IsoWalk {
  ByteSource* source;
  const MetadataHandlers* table;
  MovieTimes* movie;
  Scratch scratch;
};

// The box at `at` in a parent that ends at `end`: false when its header or its size does not fit
// there. Size 1 means a 64-bit size follows, size 0 the rest of the parent.
bool ReadBox(IsoWalk& walk, uint64_t at, uint64_t end, Box* box) {
  uint64_t room = end - at;
  const uint8_t* bytes =
      room >= 8 ? View(walk.source, at, std::min<uint64_t>(room, 32), &walk.scratch) : nullptr;
  if (bytes == nullptr)
    return false;
  uint64_t size = ReadU32(bytes, true);
  uint64_t header = 8;
  box->type = ReadU32(bytes + 4, true);
  if (size == 1) {
    if (room < 16)
      return false;
    size = ReadU64(bytes + 8, true);
    header = 16;
  } else if (size == 0) {
    size = room;
  }
  box->canon = false;
  if (box->type == FourCc("uuid")) {
    if (room < header + 16)
      return false;
    box->canon = std::memcmp(bytes + header, kCanonUuid, sizeof(kCanonUuid)) == 0;
    header += 16;
  }
  if (size < header || size > room)
    return false;
  box->content = at + header;
  box->end = at + size;
  return true;
}

// The children of [from, end), until one does not fit.
template <typename Visit> void ForEachBox(IsoWalk& walk, uint64_t from, uint64_t end, Visit visit) {
  Box box;
  for (uint64_t at = from; at < end && ReadBox(walk, at, end, &box); at = box.end)
    visit(box);
}

// A full box's version, the first byte of its content.
int VersionOf(IsoWalk& walk, const Box& box) {
  const uint8_t* version =
      box.content < box.end ? View(walk.source, box.content, 1, &walk.scratch) : nullptr;
  return version != nullptr ? *version : -1;
}

uint64_t Since1904(uint64_t seconds) {
  return seconds != 0 && seconds < k1904To1970 ? seconds + k1904To1970 : seconds;
}

// mvhd: version and flags, then the creation and modification times, 32-bit in version 0 and
// 64-bit otherwise.
void ReadMovieHeader(IsoWalk& walk, const Box& box) {
  uint64_t room = box.end - box.content;
  const uint8_t* bytes =
      room >= 12 ? View(walk.source, box.content, std::min<uint64_t>(room, 20), &walk.scratch)
                 : nullptr;
  if (bytes == nullptr)
    return;
  bool wide = bytes[0] != 0;
  if (wide && room < 20)
    return;
  walk.movie->created = Since1904(wide ? ReadU64(bytes + 4, true) : ReadU32(bytes + 4, true));
  walk.movie->modified = Since1904(wide ? ReadU64(bytes + 12, true) : ReadU32(bytes + 8, true));
}

void ReadCanonBlock(IsoWalk& walk, const Box& box) {
  Scratch block;
  uint64_t length = box.end - box.content;
  const uint8_t* bytes = View(walk.source, box.content, length, &block);
  ByteSource inMemory = MemorySource(bytes, static_cast<size_t>(length), kUnbounded, UINT32_MAX);
  ParseTiffStructure(walk.table, &inMemory, kCanonBlockReading);
}

void WalkMovie(IsoWalk& walk, const Box& moov) {
  ForEachBox(walk, moov.content, moov.end, [&walk](const Box& box) {
    if (box.type == FourCc("mvhd"))
      ReadMovieHeader(walk, box);
    if (!box.canon)
      return;
    ForEachBox(walk, box.content, box.end, [&walk](const Box& block) {
      if (block.type == FourCc("CMT1") || block.type == FourCc("CMT2"))
        ReadCanonBlock(walk, block);
    });
  });
}

struct ExifItems {
  uint32_t ids[kExifItemsKept];
  size_t count = 0;
  bool Has(uint64_t id) const { return std::find(ids, ids + count, id) != ids + count; }
};

// iinf: a count (16-bit in version 0, else 32-bit), then infe boxes. An infe of version 2 or 3
// names its item: a 16- or 32-bit id, a 16-bit protection index, then the item's type.
void NoteExifItems(IsoWalk& walk, const Box& iinf, ExifItems* items) {
  int version = VersionOf(walk, iinf);
  uint64_t first = iinf.content + (version == 0 ? 6 : 8);
  ForEachBox(walk, first, iinf.end, [&walk, items](const Box& infe) {
    int version = infe.type == FourCc("infe") ? VersionOf(walk, infe) : -1;
    uint64_t idSize = version == 2 ? 2 : 4;
    if ((version != 2 && version != 3) || infe.end - infe.content < 10 + idSize)
      return;
    const uint8_t* entry = View(walk.source, infe.content, 10 + idSize, &walk.scratch);
    if (entry == nullptr || ReadU32(entry + 6 + idSize, true) != FourCc("Exif") ||
        items->count == kExifItemsKept)
      return;
    items->ids[items->count++] = idSize == 2 ? ReadU16(entry + 4, true) : ReadU32(entry + 4, true);
  });
}

// A run of big-endian numbers of 0 to 8 bytes each, as iloc declares their sizes.
struct NumberReader {
  const uint8_t* at;
  uint64_t left;
  bool Take(uint64_t size, uint64_t* value) {
    if (size > 8 || size > left)
      return false;
    *value = 0;
    for (uint64_t i = 0; i < size; ++i)
      *value = *value << 8 | at[i];
    return Skip(size);
  }
  bool Skip(uint64_t size) {
    if (size > left)
      return false;
    at += size;
    left -= size;
    return true;
  }
};

// An Exif item starts with the 32-bit offset from its own end to the TIFF header.
void ReadExifItem(IsoWalk& walk, uint64_t offset, uint64_t length) {
  Scratch item;
  const uint8_t* bytes = length >= 4 ? View(walk.source, offset, length, &item) : nullptr;
  if (bytes == nullptr)
    return;
  uint64_t header = 4 + uint64_t{ReadU32(bytes, true)};
  if (header < length)
    ParseExifPayload(walk.table, bytes + header, static_cast<size_t>(length - header));
}

// iloc (versions 0 to 2) gives each item's place: only an item in the file itself (construction
// method 0, data reference 0) in one extent is read.
void ReadItemLocations(IsoWalk& walk, const Box& iloc, const ExifItems& items) {
  Scratch table;
  uint64_t length = iloc.end - iloc.content;
  NumberReader in = {View(walk.source, iloc.content, length, &table), length};
  uint64_t version = 0, flags = 0, sizes = 0, moreSizes = 0, count = 0;
  if (in.at == nullptr || !in.Take(1, &version) || version > 2 || !in.Take(3, &flags) ||
      !in.Take(1, &sizes) || !in.Take(1, &moreSizes) || !in.Take(version < 2 ? 2 : 4, &count))
    return;
  uint64_t offsetSize = sizes >> 4, lengthSize = sizes & 15, baseSize = moreSizes >> 4;
  uint64_t indexSize = version > 0 ? moreSizes & 15 : 0;
  for (uint64_t i = 0; i < count; ++i) {
    uint64_t id = 0, method = 0, reference = 0, base = 0, extents = 0;
    if (!in.Take(version < 2 ? 2 : 4, &id) || (version > 0 && !in.Take(2, &method)) ||
        !in.Take(2, &reference) || !in.Take(baseSize, &base) || !in.Take(2, &extents))
      return;
    // Only an item in one extent is read; the extents of any other are stepped over whole.
    uint64_t index = 0, offset = 0, size = 0;
    if (extents != 1 ? !in.Skip(extents * (indexSize + offsetSize + lengthSize))
                     : !in.Take(indexSize, &index) || !in.Take(offsetSize, &offset) ||
                           !in.Take(lengthSize, &size))
      return;
    if ((method & 15) == 0 && reference == 0 && extents == 1 && items.Has(id) &&
        offset <= UINT64_MAX - base)
      ReadExifItem(walk, base + offset, size);
  }
}

// meta: a full box whose iinf names the Exif items and whose iloc places them.
void ReadImageMeta(IsoWalk& walk, const Box& meta) {
  ExifItems items;
  Box iloc = {};
  ForEachBox(walk, meta.content + 4, meta.end, [&](const Box& box) {
    if (box.type == FourCc("iinf"))
      NoteExifItems(walk, box, &items);
    else if (box.type == FourCc("iloc"))
      iloc = box;
  });
  if (items.count > 0 && iloc.type != 0)
    ReadItemLocations(walk, iloc, items);
}

} // namespace

void WalkIsoBoxes(ByteSource* source, const MetadataHandlers* table, MovieTimes* movie) {
  IsoWalk walk = {source, table, movie, {}};
  ForEachBox(walk, 0, source->size, [&walk](const Box& box) {
    if (box.type == FourCc("meta"))
      ReadImageMeta(walk, box);
    else if (box.type == FourCc("moov"))
      WalkMovie(walk, box);
  });
}
