#include "exif/read_times_and_exif.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "tests/support/iat_patch.h"
#include "tests/support/media_builder.h"
#include "tests/support/temp_folder.h"

namespace {

const SparseFile* g_file; // what the patched calls serve in place of the file on disk
std::optional<ImportPatch> g_size, g_read;

BOOL WINAPI SizeOfTheFile(HANDLE, LARGE_INTEGER* size) {
  size->QuadPart = static_cast<LONGLONG>(g_file->Size());
  return TRUE;
}

BOOL WINAPI ReadTheFile(HANDLE, void* buffer, DWORD wanted, DWORD* read, OVERLAPPED* at) {
  uint64_t offset = uint64_t{at->OffsetHigh} << 32 | at->Offset;
  *read = offset + wanted <= g_file->Size() ? wanted : 0;
  g_file->CopyOut(offset, static_cast<uint8_t*>(buffer), *read);
  return TRUE;
}

} // namespace

// The whole size counts, for the rule and for the reads, which go where the data lies: the last
// two files are served by offset in place of the one on disk, a JPEG whose Exif segment runs on
// into 4 GiB more and a movie whose header follows 5 GiB of media.
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
      {{cut, 1ull << 32}, true, 2019},
      {BuildMovie(0, 3742884672, 3742884672, 5ull << 30), true, 2022}};
  for (const auto& [file, served, year] : rows) {
    Bytes bytes = served ? Bytes{} : file.Whole();
    std::wstring path = folder.MakeFile(L"photo.jpg", std::string(bytes.begin(), bytes.end()));
    g_file = &file;
    if (served) {
      g_size.emplace("kernel32.dll", "GetFileSizeEx", SizeOfTheFile);
      g_read.emplace("kernel32.dll", "ReadFile", ReadTheFile);
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
