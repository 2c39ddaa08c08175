// Writes the fuzz corpus into the folder named on the command line: no binary file in the tree.
#include <fstream>
#include <string>
#include <utility>

#include "tests/support/media_builder.h"

using namespace std::string_literals;

int main(int argc, char** argv) {
  if (argc != 2)
    return 2;
  const char *date = "2019:07:04 18:30:05", *blank = "    :  :     :  :  ";
  Bytes intel = BuildTiff(CameraLayout(ByteOrder::kIntel, date, date, date)), raw = intel;
  Bytes motorola = BuildTiff(CameraLayout(ByteOrder::kMotorola, date, date, blank));
  std::copy_n("IIRO", 4, raw.begin());
  // Every kind of segment the walker tells apart, around a camera's Exif block: "Photoshop 3.0"
  // with a resolution, then IPTC (0x0404, "IPTC": date, time, caption); an older one, IPTC alone.
  Bytes photoshop = Text("Photoshop 3.0\08BIM\3\355\0\0\0\0\0\4\0H\0\08BIM\4\4\4IPTC\0\0\0\0%"
                         "\034\0027\0\01020190704\034\002<\0\013183005+0200\034\002\5\0\3Odd\0"s);
  auto full = [&photoshop](const Bytes& tiff) {
    JpegBuilder jpeg;
    jpeg.Jfif().Exif(tiff).Segment(0xE2, Text("ICC_PROFILE\0\1\1"s)).Segment(0xED, photoshop);
    jpeg.Segment(0xED, Text("Photoshop\0\x1C\1\x5A\0\3\x1B%G\x1C\2\x78\0\7caption"s));
    jpeg.Segment(0xEE, Text("Adobe\0d"s)).Segment(0xFE, Text("hello")).Segment(0xE3, Text("\0xy"s));
    return jpeg.Segment(0xE4, JpegBuilder().Scan(40).Build()).Scan(200).Build();
  };
  // What the real encoders' files in tests/data do not show: a RAW header, iloc version 2, CR3, a
  // 64-bit movie header, "Exif\0\0" before a block.
  const std::pair<const char*, Bytes> seeds[] = {
      {"camera-ii.jpg", full(intel)},
      {"camera-mm.jpg", full(motorola)},
      {"bare-tiff-mm.tif", motorola},
      {"raw.orf", raw},
      {"iloc2.heic", BuildHeif(motorola, 2)},
      {"canon.cr3", BuildCr3(motorola, intel)},
      {"version1.mp4", BuildMovie(1, 4449783845, 4494816550, 64).Whole()},
      {"prefixed.png", BuildPng(kExifHeader + intel, 2)},
      {"prefixed.webp", BuildWebp(kExifHeader + intel).Whole()}};
  for (const auto& [name, bytes] : seeds)
    if (!std::ofstream(std::string(argv[1]) + "/" + name, std::ios::binary)
             .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()))
             .flush())
      return 1;
  return 0;
}
