#pragma once
// ISO media boxes, PNG and WebP chunks around Exif blocks, and files with a stretch of zeros that
// is never held in memory (a movie's media data, a scan's image): for tests, fuzz seeds and the
// benchmark.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "tests/support/jpeg_builder.h"

#ifdef _WIN32
#include <windows.h>
#endif

// A file's bytes: head, then zeros, then tail.
struct SparseFile {
  Bytes head;
  uint64_t zeros = 0;
  Bytes tail = {};

  uint64_t Size() const { return head.size() + zeros + tail.size(); }
  void CopyOut(uint64_t offset, uint8_t* out, size_t size) const {
    for (size_t i = 0; i < size; ++i, ++offset) {
      uint64_t inTail = offset - head.size() - zeros;
      out[i] = offset < head.size()           ? head[offset]
               : offset < head.size() + zeros ? 0
                                              : tail[inTail];
    }
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
  for (size_t i = 0; i < size; ++i)
    out.push_back(uint8_t(value >> 8 * (order == ByteOrder::kIntel ? i : size - 1 - i)));
  return out;
}

// A TIFF-structured file whose IFDs and values start `at` bytes in, after zeros.
inline SparseFile TiffFile(TiffLayout layout, uint32_t at) {
  layout.firstIfd = at;
  Bytes tiff = BuildTiff(layout);
  return {Bytes(tiff.begin(), tiff.begin() + 8), at - 8u, Bytes(tiff.begin() + 8, tiff.end())};
}

// A box: its size, type and content; a full box's content starts with its version and flags.
inline Bytes IsoBox(std::string_view type, const Bytes& content) {
  return Number(8 + content.size(), 4) + Text(type) + content;
}

inline Bytes FullBox(std::string_view type, uint8_t version, const Bytes& content) {
  return IsoBox(type, Number(uint64_t{version} << 24, 4) + content);
}

// An HEIC-like image: ftyp; meta with hdlr, iinf naming item 7 Exif and iloc (of this version)
// placing it by a base and an extent's offset; mdat holding the item, the TIFF block after a
// 4-byte offset and "Exif\0\0".
inline Bytes BuildHeif(const Bytes& tiff, uint8_t ilocVersion) {
  Bytes item = Number(6, 4) + Text("Exif") + Bytes{0, 0} + tiff;
  Bytes infe = FullBox("infe", 2, Number(7, 2) + Number(0, 2) + Text("Exif") + Bytes{0});
  Bytes head = IsoBox("ftyp", Text("heic") + Number(0, 4) + Text("mif1heic")),
        hdlr = FullBox("hdlr", 0, Number(0, 4) + Text("pict") + Bytes(13, 0)),
        iinf = FullBox("iinf", 0, Number(1, 2) + infe);
  size_t idSize = ilocVersion < 2 ? 2 : 4;
  auto iloc = [&](uint64_t itemAt) {
    Bytes method = ilocVersion > 0 ? Number(0, 2) : Bytes{};
    return FullBox("iloc", ilocVersion,
                   Bytes{0x44, 0x40} + Number(1, idSize) + Number(7, idSize) + method +
                       Number(0, 2) + Number(itemAt - 2, 4) + Number(1, 2) + Number(2, 4) +
                       Number(item.size(), 4));
  };
  uint64_t itemAt = head.size() + 12 + hdlr.size() + iinf.size() + iloc(0).size() + 8;
  return head + FullBox("meta", 0, hdlr + iinf + iloc(itemAt)) + IsoBox("mdat", item);
}

// mvhd: the times 32-bit in version 0, 64-bit otherwise, then a time scale and a duration.
inline Bytes MovieHeader(uint8_t version, uint64_t created, uint64_t modified) {
  size_t width = version == 0 ? 4 : 8;
  return FullBox("mvhd", version,
                 Number(created, width) + Number(modified, width) + Number(600, 4) +
                     Number(1200, width) + Bytes(80, 0));
}

// A movie: ftyp, mdat of `media` bytes (a 64-bit size) never held in memory, moov with mvhd
// last, and a free box to end the file.
inline SparseFile BuildMovie(const Bytes& mvhd, uint64_t media) {
  Bytes head = IsoBox("ftyp", Text("isom") + Number(512, 4) + Text("isommp41")) + Number(1, 4) +
               Text("mdat") + Number(16 + media, 8);
  return {head, media, IsoBox("moov", IsoBox("udta", {}) + mvhd) + IsoBox("free", {})};
}

// A CR3-like raw: ftyp; moov with Canon's uuid box holding CMT1 (IFD0's TIFF block) and CMT2
// (the Exif IFD's), then mvhd; then mdat.
inline Bytes BuildCr3(const Bytes& ifd0, const Bytes& exifIfd, const Bytes& mvhd) {
  Bytes canon = Bytes{0x85, 0xC0, 0xB6, 0x87, 0x82, 0x0F, 0x11, 0xE0,
                      0x81, 0x11, 0xF4, 0xCE, 0x46, 0x2B, 0x6A, 0x48};
  Bytes uuid = IsoBox("uuid", canon + IsoBox("CMT1", ifd0) + IsoBox("CMT2", exifIfd));
  return IsoBox("ftyp", Text("crx ") + Number(1, 4) + Text("crx isom")) +
         IsoBox("moov", uuid + mvhd) + IsoBox("mdat", Bytes(64, 0x11));
}

// A PNG: IHDR, `fillers` empty chunks, IDAT, then eXIf after the image data as some writers put
// it, and IEND. The CRCs are left zero: nothing here checks them.
inline Bytes BuildPng(const Bytes& exif, size_t fillers = 0) {
  auto chunk = [](std::string_view type, const Bytes& data) {
    return Number(data.size(), 4) + Text(type) + data + Number(0, 4);
  };
  Bytes png = Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'} + chunk("IHDR", Bytes(13, 1));
  Bytes filler = chunk("tEXt", {});
  for (size_t i = 0; i < fillers; ++i)
    png.insert(png.end(), filler.begin(), filler.end());
  return png + chunk("IDAT", Bytes(20, 0x55)) + chunk("eXIf", exif) + chunk("IEND", {});
}

// A WebP: RIFF holding VP8X, a frame of odd length with its pad byte and EXIF (with `padding`
// zeros after exif, never held in memory), then two bytes after the RIFF chunk.
inline SparseFile BuildWebp(const Bytes& exif, uint64_t padding = 0) {
  uint64_t exifSize = exif.size() + padding;
  Bytes body = Text("WEBP") + Text("VP8X") + Number(10, 4, ByteOrder::kIntel) + Bytes(10, 0) +
               Text("VP8 ") + Number(11, 4, ByteOrder::kIntel) + Bytes(12, 0x9D) + Text("EXIF") +
               Number(exifSize, 4, ByteOrder::kIntel);
  Bytes riff = Text("RIFF") + Number(body.size() + exifSize + exifSize % 2, 4, ByteOrder::kIntel);
  return {riff + body + exif, padding, Bytes(exifSize % 2, 0) + Bytes{0, 0}};
}

// One byte more in the size of the first box or chunk of that type: before an ISO box's type, or
// after a RIFF chunk's.
inline void GrowByOne(SparseFile& file, std::string_view type, bool riff = false) {
  for (Bytes* bytes : {&file.head, &file.tail}) {
    auto found = std::search(bytes->begin(), bytes->end(), type.begin(), type.end());
    size_t at = static_cast<size_t>(found - bytes->begin());
    for (size_t i = riff ? at + 4 : at - 1; found != bytes->end() && ++(*bytes)[i] == 0;)
      riff ? ++i : --i;
    if (found != bytes->end())
      return;
  }
}

#ifdef _WIN32
// Writes the file with its zeros as a hole, where the file system keeps holes.
inline bool WriteSparseFile(const std::wstring& path, const SparseFile& file) {
  HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  LARGE_INTEGER tail = {};
  tail.QuadPart = static_cast<LONGLONG>(file.head.size() + file.zeros);
  DWORD written = 0;
  bool done = out != INVALID_HANDLE_VALUE &&
              WriteFile(out, file.head.data(), DWORD(file.head.size()), &written, nullptr) &&
              SetFilePointerEx(out, tail, nullptr, FILE_BEGIN) &&
              WriteFile(out, file.tail.data(), DWORD(file.tail.size()), &written, nullptr) &&
              SetEndOfFile(out);
  if (out != INVALID_HANDLE_VALUE)
    CloseHandle(out);
  return done;
}
#endif
