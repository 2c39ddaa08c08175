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
    SYSTEMTIME modified = {}, original = {};
    TimesRequest request = {0, nullptr, &modified, nullptr, &original, nullptr};
    EXPECT_EQ(ReadTimesAndExif(path.c_str(), &request), 1) << size;
    EXPECT_NE(modified.wYear, 0) << size;
    EXPECT_EQ(original.wYear, size > 65535 ? 2019 : 0) << size;
  }
}

} // namespace
