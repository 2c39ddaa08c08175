#include "exif/read_times_and_exif.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>

#include "tests/support/iat_patch.h"
#include "tests/support/media_builder.h"
#include "tests/support/temp_folder.h"

namespace {

std::optional<ImportPatch> g_size, g_read;

BOOL WINAPI SizedFourGiBLonger(HANDLE file, LARGE_INTEGER* size) {
  BOOL sized = g_size->Original<decltype(&GetFileSizeEx)>()(file, size);
  size->QuadPart += LONGLONG{1} << 32;
  return sized;
}

// Past the real end, the zeros the buffer already holds stand for the file's bytes. Only what the
// small file can hold is asked for, as Wine touches every page of the buffer it is given.
BOOL WINAPI ReadPastTheEnd(HANDLE file, void* buffer, DWORD wanted, DWORD* read,
                           OVERLAPPED* overlapped) {
  BOOL done = g_read->Original<decltype(&ReadFile)>()(file, buffer, std::min<DWORD>(wanted, 65536),
                                                      read, overlapped);
  *read = wanted;
  return done;
}

} // namespace

// The whole size counts, for the rule and for the reads: the third file is told 4 GiB longer than
// it is, so its Exif segment runs on into what only a read by the whole size holds; the movie's
// header lies past 5 GiB of media, read where it lies.
TEST(ReadTimesAndExif, ExaminesJpegsLargerThan65535BytesAndReadsWhereTheDatesLie) {
  TempFolder folder;
  Bytes tiff = BuildTiff({.exif = Ifd{Ascii(0x9003, "2019:07:04 18:30:05")}});
  Bytes padded = tiff;
  padded.resize(tiff.size() + 1024);
  Bytes cut = JpegBuilder().Scan(40000).Exif(padded).Build();
  cut.resize(cut.size() - 512);
  const std::tuple<SparseFile, bool, WORD> rows[] = {
      {{JpegBuilder().Exif(tiff).Build(65535)}, false, 0},
      {{JpegBuilder().Exif(tiff).Build(65536)}, false, 2019},
      {{cut}, true, 2019},
      {BuildMovie(MovieHeader(0, 3742884672, 3742884672), 5ull << 30), false, 2022}};
  for (const auto& [file, longer, year] : rows) {
    std::wstring path = folder.PathOf(L"photo.jpg");
    ASSERT_TRUE(WriteSparseFile(path, file));
    if (longer) {
      g_size.emplace("kernel32.dll", "GetFileSizeEx", SizedFourGiBLonger);
      g_read.emplace("kernel32.dll", "ReadFile", ReadPastTheEnd);
      ASSERT_TRUE(g_size->Applied() && g_read->Applied());
    }
    SYSTEMTIME original = {};
    TimesRequest request = {0, nullptr, nullptr, nullptr, &original, nullptr};
    ReadTimesAndExif(path.c_str(), &request);
    g_size.reset();
    g_read.reset();
    EXPECT_EQ(original.wYear, year) << file.Size();
  }
}
