// ReadTimesAndExif against the least any reader must do: open the file and read the bytes the
// dates need in one call. A 20 MB JPEG is read whole by that baseline, as a JPEG's scan may need
// it; a 1 GiB movie with its header at its end, and a 1 GiB TIFF with its IFDs at its start (both
// with their media as a hole in the file), only where the dates lie. Repetitions alternate so both
// see the same cache and machine state.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/handles.h"
#include "bench/bench_clock.h"
#include "exif/read_times_and_exif.h"
#include "tests/support/media_builder.h"

namespace {

constexpr int kRepetitions = 50;

struct Sample {
  const char* name;
  SparseFile file;
  uint64_t neededAt, needed; // the baseline's one read
  WORD year;                 // of the creation date the reader must find
  double target;
};

// The zeros are left a hole: the file is extended past them, not written.
bool Write(const std::wstring& path, const SparseFile& file) {
  UniqueFile out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  LARGE_INTEGER tail = {};
  tail.QuadPart = static_cast<LONGLONG>(file.head.size() + file.zeros);
  DWORD written = 0;
  return out &&
         WriteFile(out.Get(), file.head.data(), DWORD(file.head.size()), &written, nullptr) &&
         SetFilePointerEx(out.Get(), tail, nullptr, FILE_BEGIN) &&
         WriteFile(out.Get(), file.tail.data(), DWORD(file.tail.size()), &written, nullptr) &&
         SetEndOfFile(out.Get());
}

// The baseline: open, allocate, one read of what the dates need.
bool ReadNeeded(const std::wstring& path, const Sample& sample) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  UniqueHeapBlock buffer(HeapAlloc(GetProcessHeap(), 0, sample.needed));
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(sample.neededAt);
  at.OffsetHigh = static_cast<DWORD>(sample.neededAt >> 32);
  DWORD read = 0;
  return file && buffer && ReadFile(file.Get(), buffer.Get(), DWORD(sample.needed), &read, &at) &&
         read == sample.needed;
}

bool ReadWithExif(const std::wstring& path, const Sample& sample) {
  SYSTEMTIME times[5] = {};
  TimesRequest request = {0, &times[0], &times[1], &times[2], &times[3], &times[4]};
  return ReadTimesAndExif(path.c_str(), &request) == 1 && times[3].wYear == sample.year;
}

template <typename Read>
double Timed(Read read, const std::wstring& path, const Sample& sample, bool* ok) {
  double start = Now();
  *ok = read(path, sample) && *ok;
  return Now() - start;
}

} // namespace

int wmain() {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  std::wstring path = std::wstring(folder) + L"datewright-exif-bench";
  Bytes tiff = BuildTiff(CameraLayout(ByteOrder::kIntel, "2019:07:04 18:30:05",
                                      "2019:07:04 18:30:01", "2019:07:04 18:30:02"));
  Bytes jfif = Text({"JFIF\0\1\2\0\0\1\0\1\0\0", 14}); // as most cameras' JPEGs begin
  Bytes jpeg = JpegBuilder().Segment(0xE0, jfif).Exif(tiff).Scan(4096).Build(20 * 1024 * 1024);
  SparseFile movie = BuildMovie(0, 3742884672, 3742938123, uint64_t{1} << 30);
  const Sample samples[] = {
      {"20 MB JPEG", {jpeg}, 0, jpeg.size(), 2019, 1.3},
      {"1 GiB MP4, moov at its end", movie, movie.head.size() + movie.zeros, movie.tail.size(),
       2022, 2.0},
      {"1 GiB TIFF, IFDs at its start", {tiff, uint64_t{1} << 30}, 0, tiff.size(), 2019, 2.0}};
  bool met = true;
  for (const Sample& sample : samples) {
    if (!Write(path, sample.file)) {
      std::fprintf(stderr, "cannot write the sample file, error %lu\n", GetLastError());
      return 1;
    }
    bool ok = true;
    Timed(ReadNeeded, path, sample, &ok); // warm the cache for both
    Timed(ReadWithExif, path, sample, &ok);
    std::vector<double> baseline;
    std::vector<double> reader;
    for (int i = 0; i < kRepetitions; ++i) {
      baseline.push_back(Timed(ReadNeeded, path, sample, &ok));
      reader.push_back(Timed(ReadWithExif, path, sample, &ok));
    }
    DeleteFileW(path.c_str());
    if (!ok) {
      std::fprintf(stderr, "%s: a read failed or found no date\n", sample.name);
      return 1;
    }
    double ratio = Median(reader) / Median(baseline);
    std::printf("exif_bench: %s, %llu bytes read by the baseline, %d interleaved repetitions\n",
                sample.name, static_cast<unsigned long long>(sample.needed), kRepetitions);
    std::printf("  CreateFileW + one ReadFile (baseline): median %.3f ms\n",
                Median(baseline) * 1e3);
    std::printf("  ReadTimesAndExif:                      median %.3f ms\n", Median(reader) * 1e3);
    std::printf("  ratio %.3f (target %.1f or less)\n", ratio, sample.target);
    met = met && ratio <= sample.target;
  }
  return met ? 0 : 2;
}
