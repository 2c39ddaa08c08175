// A version.dll to leave beside Datewright.exe: a call from the exe's own code leaves
// "<its own path>.called" and fails. (Wine's user32 loads it too; Windows' never would.)
#include <windows.h>

extern "C" IMAGE_DOS_HEADER __ImageBase; // this DLL

namespace {

int LeaveMarkerIfFromExe(void* returnAddress) { // returns what the function returns when it fails
  HMODULE caller = nullptr;
  wchar_t marker[MAX_PATH + 8];
  DWORD length = GetModuleFileNameW(HINSTANCE(&__ImageBase), marker, MAX_PATH);
  if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                             GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         static_cast<const wchar_t*>(returnAddress), &caller) &&
      caller == GetModuleHandleW(nullptr) && length != 0 && length < MAX_PATH)
    CloseHandle(CreateFileW(lstrcatW(marker, L".called"), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            0, nullptr));
  return 0;
}

} // namespace

#define PLANTED(Result, name, ...)                                                                 \
  extern "C" __declspec(dllexport) Result WINAPI name(__VA_ARGS__) {                               \
    return LeaveMarkerIfFromExe(__builtin_return_address(0));                                      \
  }
PLANTED(DWORD, GetFileVersionInfoSizeW, const wchar_t*, DWORD*)
PLANTED(BOOL, GetFileVersionInfoW, const wchar_t*, DWORD, DWORD, void*)
PLANTED(BOOL, VerQueryValueW, const void*, const wchar_t*, void**, UINT*)
