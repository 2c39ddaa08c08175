// Writes the fuzz targets' starting corpus into the folder named on the command line, made with
// the tests' builder so no binary file is kept in the source tree.
#include <fstream>
#include <string>
#include <utility>

#include "tests/support/jpeg_builder.h"

using namespace std::string_literals;

namespace {

Bytes Text(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

// Every kind of segment the walker tells apart, around a camera's Exif block.
Bytes FullJpeg(const Bytes& tiff) {
  // A "Photoshop 3.0" payload: a resolution resource, then IPTC (0x0404) named "IPTC" with a
  // date, a time and a caption.
  Bytes photoshop = Text("Photoshop 3.0\08BIM\3\355\0\0\0\0\0\4\0H\0\08BIM\4\4\4IPTC\0\0\0\0%"
                         "\034\0027\0\01020190704\034\002<\0\013183005+0200\034\002\5\0\3Odd\0"s);
  JpegBuilder jpeg;
  jpeg.Jfif().Exif(tiff).Segment(0xE2, Text("ICC_PROFILE\0\1\1"s)).Segment(0xED, photoshop);
  jpeg.Segment(0xEE, Text("Adobe\0d"s)).Segment(0xFE, Text("hello")).Segment(0xE3, Text("\0xy"s));
  return jpeg.Segment(0xE4, JpegBuilder().Scan(40).Build()).Scan(200).Build();
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2)
    return 2;
  const char *date = "2019:07:04 18:30:05", *blank = "    :  :     :  :  ";
  Bytes intel = BuildTiff(CameraLayout(ByteOrder::kIntel, date, date, date)).bytes;
  Bytes motorola = BuildTiff(CameraLayout(ByteOrder::kMotorola, date, date, blank)).bytes;
  Bytes olderPhotoshop = Text("Photoshop\0\x1C\1\x5A\0\3\x1B%G\x1C\2\x78\0\7caption"s);
  const std::pair<const char*, Bytes> seeds[] = {
      {"camera-ii.jpg", FullJpeg(intel)},
      {"camera-mm.jpg", FullJpeg(motorola)},
      {"bare-tiff-mm.tif", motorola},
      {"old-photoshop.jpg", JpegBuilder().Segment(0xED, olderPhotoshop).Build()},
  };
  for (const auto& [name, bytes] : seeds) {
    std::ofstream file(std::string(argv[1]) + "/" + name, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file.flush())
      return 1;
  }
  return 0;
}
