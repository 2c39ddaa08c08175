// Writes the fuzz targets' starting corpus into the folder named on the command line, made with
// the tests' builder so no binary file is kept in the source tree.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/jpeg_builder.h"

namespace {

Bytes FullJpeg(ByteOrder order) {
  BuiltTiff tiff = BuildTiff(
      CameraLayout(order, "2019:07:04 18:30:05", "2019:07:04 18:30:01", "2019:07:04 18:30:02"));
  Bytes thumbnail = JpegBuilder().Scan(40).Build();
  Bytes photoshop = PhotoshopPayload(
      {{0x03ED, "", {0, 72, 0, 0}},
       {0x0404, "IPTC", IptcBlock({{2, 55, "20190704"}, {2, 60, "183005+0200"}, {2, 5, "Odd"}})}});
  Bytes comment = {'h', 'e', 'l', 'l', 'o'};
  return JpegBuilder()
      .Jfif()
      .Exif(tiff.bytes)
      .Segment(0xE2, Bytes{'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0, 1, 1})
      .Segment(0xED, photoshop)
      .Segment(0xEE, Bytes{'A', 'd', 'o', 'b', 'e', 0, 100})
      .Segment(0xFE, comment)
      .Segment(0xE3, Bytes{0, 'x', 'y'})
      .Segment(0xE4, thumbnail)
      .Scan(200)
      .Build();
}

bool Write(const std::string& folder, const std::string& name, const Bytes& bytes) {
  std::string path = folder + "/" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr)
    return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  BuiltTiff motorola = BuildTiff(CameraLayout(ByteOrder::kMotorola, "2001:02:03 04:05:06",
                                              "2001:02:03 04:05:07", "    :  :     :  :  "));
  Bytes oldPhotoshop = {'P', 'h', 'o', 't', 'o', 's', 'h', 'o', 'p', 0};
  Bytes iptc = IptcBlock({{1, 90, "\x1B%G"}, {2, 120, "caption"}});
  oldPhotoshop.insert(oldPhotoshop.end(), iptc.begin(), iptc.end());
  const std::pair<std::string, Bytes> seeds[] = {
      {"camera-ii.jpg", FullJpeg(ByteOrder::kIntel)},
      {"camera-mm.jpg", FullJpeg(ByteOrder::kMotorola)},
      {"bare-tiff-mm.tif", motorola.bytes},
      {"exif-in-app5.jpg", JpegBuilder().Exif(motorola.bytes, 0xE5).Scan(64).Build()},
      {"old-photoshop.jpg", JpegBuilder().Segment(0xED, oldPhotoshop).Build()},
      {"date-text.txt", Bytes{'2', '0', '1', '9', ':', '0', '7', ':', '0', '4', ' ', '1', '8', ':',
                              '3', '0', ':', '0', '5'}},
  };
  for (const auto& [name, bytes] : seeds) {
    if (!Write(argv[1], name, bytes)) {
      std::perror(name.c_str());
      return 1;
    }
  }
  return 0;
}
