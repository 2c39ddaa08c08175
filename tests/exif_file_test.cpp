#include "exif/read_times_and_exif.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/jpeg_builder.h"
#include "tests/support/temp_folder.h"

TEST(ReadTimesAndExif, ExaminesOnlyFilesLargerThan65535Bytes) {
  TempFolder folder;
  Bytes tiff = BuildTiff({.exif = Ifd{Ascii(0x9003, "2019:07:04 18:30:05")}}).bytes;
  for (size_t size : {65535, 65536}) {
    Bytes file = JpegBuilder().Exif(tiff).Build(size);
    std::wstring path = folder.MakeFile(L"photo.jpg", std::string(file.begin(), file.end()));
    SYSTEMTIME original = {};
    TimesRequest request = {0, nullptr, nullptr, nullptr, &original, nullptr};
    ReadTimesAndExif(path.c_str(), &request);
    EXPECT_EQ(original.wYear, size > 65535 ? 2019 : 0) << size;
  }
}
