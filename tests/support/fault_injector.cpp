#include "tests/support/fault_injector.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <tuple>
#include <type_traits>

namespace {

FaultInjector* g_injector;

template <typename F, typename G> constexpr bool kSame = std::is_same_v<F, G>;

// Stands in for a function: counts its calls, fails the planned one as it fails, outputs and all.
template <int Id, typename F> struct Wrapper;
template <int Id, typename R, typename... A> struct Wrapper<Id, R (*)(A...)> {
  using F = R (*)(A...);
  static inline F original;
  static inline const char* name;
  static inline bool writes;
  static R WINAPI Call(A... args) {
    FaultInjector& faults = *g_injector;
    std::tuple<A...> in(args...);
    if constexpr (kSame<F, decltype(&CreateFileW)>) { // Windows refuses any other sharing
      EXPECT_EQ(std::get<2>(in) & ~DWORD(7), 0u);
    }
    if (faults.thread == 0 || GetCurrentThreadId() != faults.thread)
      return original(args...);
    if constexpr (kSame<F, decltype(&CreateFileW)>) // writes when it opens for writing
      writes = (std::get<1>(in) & GENERIC_WRITE) != 0;
    faults.calls.push_back({name, ++faults.counts[name], writes});
    if (faults.calls.back().number != faults.number || faults.function != name)
      return original(args...);
    faults.fired = true;
    if constexpr (kSame<F, decltype(&GetPrivateProfileStringW)>) // the default, as for no file
      lstrcpynW(std::get<3>(in), std::get<2>(in) ? std::get<2>(in) : L"", std::get<4>(in));
    if constexpr (kSame<F, decltype(&ReadFile)>)
      *std::get<3>(in) = 0;
    SetLastError(faults.error);
    if constexpr (kSame<F, decltype(&SHFileOperationW)>)
      return static_cast<int>(faults.error);
    else if constexpr (kSame<F, decltype(&GetPrivateProfileIntW)>)
      return std::get<2>(in);
    else if constexpr (kSame<F, decltype(&GetPrivateProfileStringW)>)
      return lstrlenW(std::get<3>(in));
    else if constexpr (kSame<F, decltype(&GetFileAttributesW)>)
      return INVALID_FILE_ATTRIBUTES;
    else if constexpr (kSame<R, HANDLE>)
      return INVALID_HANDLE_VALUE;
    else
      return R{}; // FALSE
  }
};

template <int Id, typename F>
void Wrap(std::deque<ImportPatch>& patches, const char* name, bool writes = false) {
  Wrapper<Id, F>::name = name;
  Wrapper<Id, F>::writes = writes;
  patches.emplace_back(Id < 16 ? "kernel32.dll" : "shell32.dll", name, &Wrapper<Id, F>::Call);
  EXPECT_TRUE(patches.back().Applied()) << name;
  Wrapper<Id, F>::original = patches.back().Original<F>();
}

} // namespace

// Each file-system call the program makes on the user's items and its settings, but CloseHandle.
FaultInjector::FaultInjector() {
  g_injector = this;
  Wrap<0, decltype(&CreateFileW)>(patches, "CreateFileW");
  Wrap<1, decltype(&GetFileTime)>(patches, "GetFileTime");
  Wrap<2, decltype(&SetFileTime)>(patches, "SetFileTime", true);
  Wrap<3, decltype(&GetFileInformationByHandle)>(patches, "GetFileInformationByHandle");
  Wrap<4, decltype(&GetFileAttributesW)>(patches, "GetFileAttributesW");
  Wrap<5, decltype(&GetFileAttributesExW)>(patches, "GetFileAttributesExW");
  Wrap<6, decltype(&GetFileSizeEx)>(patches, "GetFileSizeEx");
  Wrap<7, decltype(&FindFirstFileW)>(patches, "FindFirstFileW");
  Wrap<8, decltype(&FindNextFileW)>(patches, "FindNextFileW");
  Wrap<9, decltype(&ReadFile)>(patches, "ReadFile");
  Wrap<11, decltype(&DeleteFileW)>(patches, "DeleteFileW", true);
  Wrap<12, decltype(&MoveFileExW)>(patches, "MoveFileExW", true);
  Wrap<13, decltype(&GetPrivateProfileIntW)>(patches, "GetPrivateProfileIntW");
  Wrap<14, decltype(&GetPrivateProfileStringW)>(patches, "GetPrivateProfileStringW");
  Wrap<15, decltype(&WritePrivateProfileStringW)>(patches, "WritePrivateProfileStringW", true);
  Wrap<16, decltype(&SHFileOperationW)>(patches, "SHFileOperationW", true);
}

void FaultInjector::Plan(const std::string& planned, int call, DWORD failure) {
  function = planned;
  number = call;
  error = failure;
  fired = false;
  calls.clear();
  counts.clear();
}
