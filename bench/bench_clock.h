#pragma once
// Timing for the benchmarks: a performance-counter clock in seconds, the median of samples, the
// process's peak working set, and one report line a measurement.

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

inline double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    return value;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

inline double PeakWorkingSetMiB() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// The medians of both, the program's time per item, the ratio against its target and the peak
// working set so far. Returns whether the target was met.
inline bool Report(const char* what, int items, const std::vector<double>& baseline,
                   const std::vector<double>& program, double target) {
  double ratio = Median(program) / Median(baseline);
  std::printf("  %-26s N=%6d  baseline %8.1f ms  Datewright %8.1f ms  %7.2f us/item  "
              "ratio %.3f (target %.1f)  peak working set %.0f MiB\n",
              what, items, Median(baseline) * 1e3, Median(program) * 1e3,
              Median(program) * 1e6 / items, ratio, target, PeakWorkingSetMiB());
  return ratio <= target;
}

// The sizes to measure: the command line's numbers, or 10,000 and 100,000.
inline std::vector<int> Sizes(int argc, wchar_t** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i)
    sizes.push_back(_wtoi(argv[i]));
  return sizes.empty() ? std::vector<int>{10000, 100000} : sizes;
}

// Measures each size in turn; measure returns false when a run went wrong, and reports whether
// each target was met. Exit code 0 when all were, 2 when one was not, 1 when a run went wrong.
template <typename Measure>
int MeasureEachSize(int argc, wchar_t** argv, Measure measure, const char* failure) {
  bool met = true;
  for (int items : Sizes(argc, argv)) {
    if (!measure(items, &met)) {
      std::fprintf(stderr, "a run at %d items %s\n", items, failure);
      return 1;
    }
  }
  return met ? 0 : 2;
}

// Fewer repetitions for the large size, which takes minutes under Wine.
inline int RepetitionsFor(int items) {
  return items > 20000 ? 3 : 7;
}
