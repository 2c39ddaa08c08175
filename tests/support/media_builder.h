#pragma once
// ISO media boxes, PNG and WebP chunks around Exif blocks, and files with a stretch of zeros that
// is never held in memory (a movie's media data, a scan's image): for tests, fuzz seeds and the
// benchmark.
#include <algorithm>
#include <string_view>

#include "tests/support/jpeg_builder.h"

// A file's bytes: head, then zeros, then tail.
struct SparseFile {
  Bytes head;
  uint64_t zeros = 0;
  Bytes tail = {};

  uint64_t Size() const { return head.size() + zeros + tail.size(); }
  void CopyOut(uint64_t at, uint8_t* out, size_t size) const {
    for (uint64_t end = at + size, tailAt = head.size() + zeros; at < end; ++at)
      *out++ = at < head.size() ? head[at] : at < tailAt ? 0 : tail[at - tailAt];
  }
  Bytes Whole() const {
    Bytes whole(Size());
    CopyOut(0, whole.data(), whole.size());
    return whole;
  }
};

inline Bytes operator+(Bytes first, const Bytes& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

inline Bytes Text(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

inline Bytes Number(uint64_t value, size_t size, ByteOrder order = ByteOrder::kMotorola) {
  Bytes out;
  AppendNumber(out, uint32_t(value >> 32), size > 4 ? size - 4 : 0, order); // 8: big-endian
  AppendNumber(out, uint32_t(value), std::min<size_t>(size, 4), order);
  return out;
}

// A box: its size, type and content; a full box's content starts with its version and flags.
inline Bytes IsoBox(std::string_view type, const Bytes& content, int version = -1) {
  Bytes full = version >= 0 ? Number(uint32_t(version) << 24, 4) + content : content;
  return Number(8 + full.size(), 4) + Text(type) + full;
}

// An HEIC-like image: ftyp; meta with hdlr, iinf naming item 7 Exif and iloc (of this version)
// placing it by a base and an extent's offset; mdat holding the item: a 4-byte offset, then
// "Exif\0\0" and the TIFF block.
inline Bytes BuildHeif(const Bytes& tiff, uint8_t ilocVersion) {
  Bytes item = Number(6, 4) + Text({"Exif\0\0", 6}) + tiff, ftyp = IsoBox("ftyp", Text("heic0000"));
  Bytes hdlr = IsoBox("hdlr", Text("\0\0\0\0pict"), 0),
        infe = IsoBox("infe", Text({"\0\7\0\0Exif", 8}), 2);
  Bytes iinf = IsoBox("iinf", Number(1, 2) + infe, 0);
  size_t id = ilocVersion < 2 ? 2 : 4; // with the method after it from version 1 on
  auto iloc = [&](size_t itemAt) {
    return IsoBox("iloc",
                  Bytes{0x44, 0x40} + Number(1, id) + Number(7, id) +
                      Number(0, ilocVersion > 0 ? 4 : 2) + Number(itemAt - 2, 4) + Number(1, 2) +
                      Number(2, 4) + Number(item.size(), 4),
                  ilocVersion);
  };
  size_t itemAt = ftyp.size() + 12 + hdlr.size() + iinf.size() + iloc(0).size() + 8;
  return ftyp + IsoBox("meta", hdlr + iinf + iloc(itemAt), 0) + IsoBox("mdat", item);
}

// mvhd: the times 32-bit in version 0, 64-bit otherwise, then a time scale.
inline Bytes MovieHeader(uint8_t version, uint64_t created, uint64_t modified) {
  size_t width = version == 0 ? 4 : 8;
  return IsoBox("mvhd", Number(created, width) + Number(modified, width) + Number(600, 4), version);
}

// A movie: ftyp, mdat of `media` bytes (a 64-bit size) never held in memory, moov with mvhd
// last, and a free box to end the file.
inline SparseFile BuildMovie(uint8_t version, uint64_t created, uint64_t modified,
                             uint64_t media = 0) {
  Bytes head =
      IsoBox("ftyp", Text("isom0000")) + Number(1, 4) + Text("mdat") + Number(16 + media, 8);
  Bytes moov = IsoBox("moov", IsoBox("udta", {}) + MovieHeader(version, created, modified));
  return {head, media, moov + IsoBox("free", {})};
}

// A CR3-like raw: ftyp; moov with Canon's uuid box holding CMT1 (IFD0's TIFF block) and CMT2
// (the Exif IFD's), then mvhd with times of its own; then 64 bytes of mdat.
inline Bytes BuildCr3(const Bytes& ifd0, const Bytes& exifIfd) {
  Bytes canon = Number(0x85C0B687820F11E0, 8) + Number(0x8111F4CE462B6A48, 8);
  Bytes uuid = IsoBox("uuid", canon + IsoBox("CMT1", ifd0) + IsoBox("CMT2", exifIfd));
  return IsoBox("ftyp", Text("crx 0000")) + IsoBox("moov", uuid + MovieHeader(0, 3742884672, 0)) +
         IsoBox("mdat", Bytes(56));
}

// A PNG: IHDR, `fillers` empty chunks, IDAT, then eXIf after the image data as some writers put
// it, and IEND. The CRCs are left zero: nothing here checks them.
inline Bytes BuildPng(const Bytes& exif, size_t fillers = 0) {
  auto chunk = [](std::string_view type, const Bytes& data) {
    return Number(data.size(), 4) + Text(type) + data + Number(0, 4);
  };
  Bytes png = Text("\x89PNG\r\n\x1A\n") + chunk("IHDR", Bytes(13, 1)), filler = chunk("tEXt", {});
  for (size_t i = 0; i < fillers; ++i)
    png.insert(png.end(), filler.begin(), filler.end());
  return png + chunk("IDAT", Bytes(20, 0x55)) + chunk("eXIf", exif) + chunk("IEND", {});
}

// A WebP: RIFF holding VP8X, a frame of odd length with its pad byte and EXIF (exif, then
// `padding` zeros never held in memory), then two bytes after the RIFF chunk.
inline SparseFile BuildWebp(const Bytes& exif, uint64_t padding = 0) {
  uint64_t size = exif.size() + padding;
  auto header = [](std::string_view type, uint64_t size) {
    return Text(type) + Number(size, 4, ByteOrder::kIntel);
  };
  Bytes body = Text("WEBP") + header("VP8X", 10) + Bytes(10) + header("VP8 ", 11) +
               Bytes(12, 0x9D) + header("EXIF", size) + exif;
  return {header("RIFF", body.size() + padding + size % 2) + body, padding, Bytes(size % 2 + 2)};
}

// One byte more in the size of the first box or chunk of that type: before an ISO box's type, or
// after a RIFF chunk's.
inline void GrowByOne(SparseFile& file, std::string_view type, bool riff = false) {
  auto find = [&type](Bytes& in) {
    return std::search(in.begin(), in.end(), type.begin(), type.end());
  };
  auto at = find(file.head) != file.head.end() ? find(file.head) : find(file.tail);
  for (at += riff ? 4 : -1; ++*at == 0; at += riff ? 1 : -1)
    ;
}
