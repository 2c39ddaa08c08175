#include "exif/read_times_and_exif.h"

#include <gtest/gtest.h>

#include <utility>

#include "tests/support/iat_patch.h"
#include "tests/support/media_builder.h"
#include "tests/support/temp_folder.h"

static const SparseFile* g_file; // what the patched calls serve in place of the file on disk

static BOOL WINAPI SizeOfTheFile(HANDLE, LARGE_INTEGER* size) {
  size->QuadPart = static_cast<LONGLONG>(g_file->Size());
  return TRUE;
}

static BOOL WINAPI ReadTheFile(HANDLE, void* buffer, DWORD wanted, DWORD* read, OVERLAPPED* at) {
  uint64_t offset = uint64_t{at->OffsetHigh} << 32 | at->Offset;
  *read = offset + wanted <= g_file->Size() ? wanted : 0;
  g_file->CopyOut(offset, static_cast<uint8_t*>(buffer), *read);
  return TRUE;
}

// The whole size counts, and the reads go where the data lies, past 4 GiB: served by offset in
// place of the empty file on disk, a JPEG whose Exif segment runs on into 4 GiB more and a movie
// whose header follows 5 GiB of media.
TEST(ReadTimesAndExif, ReadsWhereTheDatesLieInFilesOver4GiB) {
  TempFolder folder;
  std::wstring path = folder.MakeFile(L"photo.jpg", "");
  Bytes tiff = BuildTiff({.exif = Ifd{Ascii(0x9003, "2019:07:04 18:30:05")}}) + Bytes(1024);
  Bytes cut = JpegBuilder().Scan(40000).Exif(tiff).Build();
  cut.resize(cut.size() - 512);
  const std::pair<SparseFile, WORD> rows[] = {
      {{cut, 1ull << 32}, 2019}, {BuildMovie(0, 3742884672, 3742884672, 5ull << 30), 2022}};
  for (const auto& [file, year] : rows) {
    g_file = &file;
    ImportPatch size("kernel32.dll", "GetFileSizeEx", SizeOfTheFile),
        read("kernel32.dll", "ReadFile", ReadTheFile);
    ASSERT_TRUE(size.Applied() && read.Applied());
    SYSTEMTIME original = {};
    TimesRequest request = {0, nullptr, nullptr, nullptr, &original, nullptr};
    ReadTimesAndExif(path.c_str(), &request);
    EXPECT_EQ(original.wYear, year) << file.Size();
  }
}
