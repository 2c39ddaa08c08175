#include "exif/read_times_and_exif.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/jpeg_builder.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(ReadTimesAndExif, ExaminesOnlyFilesLargerThan65535Bytes) {
  TempFolder folder;
  TiffLayout layout = {ByteOrder::kIntel, {}, Ifd{Ascii(0x9003, "2019:07:04 18:30:05")}, {}, true};
  for (size_t size : {65535, 65536}) {
    Bytes file = JpegBuilder().Exif(BuildTiff(layout).bytes).Build(size);
    std::wstring path = folder.MakeFile(L"photo.jpg", std::string(file.begin(), file.end()));
    SYSTEMTIME original = {};
    TimesRequest request = {0, nullptr, nullptr, nullptr, &original, nullptr};
    ReadTimesAndExif(path.c_str(), &request);
    EXPECT_EQ(original.wYear, size > 65535 ? 2019 : 0) << size;
  }
}

} // namespace
