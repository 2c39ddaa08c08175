#include "tests/support/fault_injector.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <tuple>
#include <type_traits>

namespace {

FaultInjector* g_injector;

template <typename F, typename G> constexpr bool kSame = std::is_same_v<F, G>;

// The function's documented answer when it fails, with the outputs it fills even then.
template <typename R, typename... A> R Failure(DWORD error, A... args) {
  using F = R (*)(A...);
  [[maybe_unused]] std::tuple<A...> in(args...);
  if constexpr (kSame<F, decltype(&GetPrivateProfileStringW)>) // the default, as for no file
    lstrcpynW(std::get<3>(in), std::get<2>(in) != nullptr ? std::get<2>(in) : L"", std::get<4>(in));
  if constexpr (kSame<F, decltype(&ReadFile)>)
    if (std::get<3>(in) != nullptr)
      *std::get<3>(in) = 0;
  SetLastError(error);
  if constexpr (kSame<F, decltype(&SHFileOperationW)>)
    return static_cast<int>(error);
  else if constexpr (kSame<F, decltype(&GetPrivateProfileIntW)>)
    return std::get<2>(in);
  else if constexpr (kSame<F, decltype(&GetPrivateProfileStringW)>)
    return lstrlenW(std::get<3>(in));
  else if constexpr (kSame<F, decltype(&GetFileAttributesW)> || kSame<F, decltype(&SetFilePointer)>)
    return ~DWORD{0}; // INVALID_FILE_ATTRIBUTES, INVALID_SET_FILE_POINTER
  else if constexpr (kSame<R, HANDLE>)
    return INVALID_HANDLE_VALUE;
  else
    return R{}; // FALSE, or no characters
}

template <int Id, typename F> struct Wrapper;
template <int Id, typename R, typename... A> struct Wrapper<Id, R (*)(A...)> {
  static inline void* original;
  static inline const char* name;
  static inline bool writes;
  static R WINAPI Call(A... args) {
    bool write = writes;
    if constexpr (kSame<R (*)(A...), decltype(&CreateFileW)>)
      write = (std::get<1>(std::tie(args...)) & GENERIC_WRITE) != 0;
    if (g_injector->Fails(name, write))
      return Failure<R, A...>(g_injector->error, args...);
    return reinterpret_cast<R (*)(A...)>(original)(args...);
  }
};

template <int Id, typename F>
void Wrap(std::deque<ImportPatch>& patches, const char* dll, const char* name, bool writes = 0) {
  Wrapper<Id, F>::name = name;
  Wrapper<Id, F>::writes = writes;
  patches.emplace_back(dll, name, &Wrapper<Id, F>::Call);
  EXPECT_TRUE(patches.back().Applied()) << name;
  Wrapper<Id, F>::original = patches.back().Original<void*>();
}

} // namespace

// Every file-system function the program imports and calls on the user's files and folders and on
// its settings file. Closing a handle is left out: a close that failed leaves nothing to act on.
FaultInjector::FaultInjector() {
  g_injector = this;
  const char *k = "kernel32.dll", *shell = "shell32.dll";
  Wrap<0, decltype(&CreateFileW)>(patches_, k, "CreateFileW");
  Wrap<1, decltype(&GetFileTime)>(patches_, k, "GetFileTime");
  Wrap<2, decltype(&SetFileTime)>(patches_, k, "SetFileTime", true);
  Wrap<3, decltype(&GetFileInformationByHandle)>(patches_, k, "GetFileInformationByHandle");
  Wrap<4, decltype(&GetFileAttributesW)>(patches_, k, "GetFileAttributesW");
  Wrap<5, decltype(&GetFileAttributesExW)>(patches_, k, "GetFileAttributesExW");
  Wrap<6, decltype(&GetFileSizeEx)>(patches_, k, "GetFileSizeEx");
  Wrap<7, decltype(&FindFirstFileW)>(patches_, k, "FindFirstFileW");
  Wrap<8, decltype(&FindNextFileW)>(patches_, k, "FindNextFileW");
  Wrap<9, decltype(&ReadFile)>(patches_, k, "ReadFile");
  Wrap<10, decltype(&SetFilePointer)>(patches_, k, "SetFilePointer");
  Wrap<11, decltype(&DeleteFileW)>(patches_, k, "DeleteFileW", true);
  Wrap<12, decltype(&MoveFileExW)>(patches_, k, "MoveFileExW", true);
  Wrap<13, decltype(&GetPrivateProfileIntW)>(patches_, k, "GetPrivateProfileIntW");
  Wrap<14, decltype(&GetPrivateProfileStringW)>(patches_, k, "GetPrivateProfileStringW");
  Wrap<15, decltype(&WritePrivateProfileStringW)>(patches_, k, "WritePrivateProfileStringW", true);
  Wrap<16, decltype(&GetFullPathNameW)>(patches_, k, "GetFullPathNameW");
  Wrap<17, decltype(&GetCurrentDirectoryW)>(patches_, k, "GetCurrentDirectoryW");
  Wrap<18, decltype(&SetCurrentDirectoryW)>(patches_, k, "SetCurrentDirectoryW");
  Wrap<19, decltype(&SHFileOperationW)>(patches_, shell, "SHFileOperationW", true);
  Wrap<20, decltype(&SHGetPathFromIDListW)>(patches_, shell, "SHGetPathFromIDListW");
}

FaultInjector::~FaultInjector() {
  g_injector = nullptr;
}

void FaultInjector::Plan(const std::string& planned, int call, DWORD failure) {
  function = planned;
  number = call;
  error = failure;
  fired = false;
  calls.clear();
  counts_.clear();
}

bool FaultInjector::Fails(const char* function, bool writes) {
  if (thread == 0 || GetCurrentThreadId() != thread)
    return false;
  calls.push_back({function, ++counts_[function], writes});
  bool fails = calls.back().number == number && this->function == function;
  fired = fired || fails;
  return fails;
}
