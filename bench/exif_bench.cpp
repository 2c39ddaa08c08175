// ReadTimesAndExif on a 20 MB JPEG against the least any reader must do: open the file and read
// it whole in one call. Repetitions alternate so both see the same cache and machine state.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/handles.h"
#include "bench/bench_clock.h"
#include "exif/read_times_and_exif.h"
#include "tests/support/jpeg_builder.h"

namespace {

constexpr size_t kFileSize = 20 * 1024 * 1024;
constexpr int kRepetitions = 25;
constexpr double kTarget = 1.3;

bool WriteSample(const std::wstring& path) {
  Bytes tiff = BuildTiff(CameraLayout(ByteOrder::kIntel, "2019:07:04 18:30:05",
                                      "2019:07:04 18:30:01", "2019:07:04 18:30:02"));
  Bytes file = JpegBuilder().Jfif().Exif(tiff).Scan(4096).Build(kFileSize);
  UniqueFile out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return out &&
         WriteFile(out.Get(), file.data(), static_cast<DWORD>(file.size()), &written, nullptr) &&
         written == file.size();
}

// The baseline: open, allocate, one read of the whole file.
bool ReadWhole(const std::wstring& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return false;
  DWORD size = GetFileSize(file.Get(), nullptr);
  UniqueHeapBlock buffer(HeapAlloc(GetProcessHeap(), 0, size));
  DWORD read = 0;
  return buffer && ReadFile(file.Get(), buffer.Get(), size, &read, nullptr) && read == size;
}

bool ReadWithExif(const std::wstring& path) {
  SYSTEMTIME times[5] = {};
  TimesRequest request = {0, &times[0], &times[1], &times[2], &times[3], &times[4]};
  return ReadTimesAndExif(path.c_str(), &request) == 1 && times[3].wYear == 2019;
}

template <typename Read> double Timed(Read read, const std::wstring& path, bool* ok) {
  double start = Now();
  *ok = read(path) && *ok;
  return Now() - start;
}

} // namespace

int wmain() {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  std::wstring path = std::wstring(folder) + L"datewright-exif-bench.jpg";
  if (!WriteSample(path)) {
    std::fprintf(stderr, "cannot write the sample file, error %lu\n", GetLastError());
    return 1;
  }
  bool ok = true;
  Timed(ReadWhole, path, &ok); // warm the cache for both
  Timed(ReadWithExif, path, &ok);
  std::vector<double> baseline;
  std::vector<double> reader;
  for (int i = 0; i < kRepetitions; ++i) {
    baseline.push_back(Timed(ReadWhole, path, &ok));
    reader.push_back(Timed(ReadWithExif, path, &ok));
  }
  DeleteFileW(path.c_str());
  if (!ok) {
    std::fprintf(stderr, "a read failed or found no Exif date\n");
    return 1;
  }
  double ratio = Median(reader) / Median(baseline);
  std::printf("exif_bench: %zu-byte JPEG, %d interleaved repetitions\n", kFileSize, kRepetitions);
  std::printf("  CreateFileW + one ReadFile (baseline): median %.2f ms\n", Median(baseline) * 1e3);
  std::printf("  ReadTimesAndExif:                      median %.2f ms\n", Median(reader) * 1e3);
  std::printf("  ratio %.3f (target %.1f or less)\n", ratio, kTarget);
  return 0;
}
