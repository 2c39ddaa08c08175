// A DLL to leave beside Datewright.exe under a system DLL's name. It carries the version calls,
// so an exe that imported them would load it; when the exe's own code calls one of them, it leaves
// "<its own path>.called" as a marker and fails. (Under Wine, Wine's own user32 loads and calls
// version.dll too, which Windows' user32, a known DLL, never takes from the exe's folder: so the
// marker counts only calls made from the exe.)
#include <windows.h>

namespace {

HINSTANCE g_instance;

void LeaveMarkerIfFromExe(void* returnAddress) {
  HMODULE caller = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<const wchar_t*>(returnAddress), &caller) ||
      caller != GetModuleHandleW(nullptr))
    return;
  wchar_t marker[MAX_PATH + 8];
  DWORD length = GetModuleFileNameW(g_instance, marker, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return;
  lstrcatW(marker, L".called");
  CloseHandle(CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH)
    g_instance = instance;
  return TRUE;
}

extern "C" __declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeW(const wchar_t*, DWORD*) {
  LeaveMarkerIfFromExe(__builtin_return_address(0));
  return 0;
}
extern "C" __declspec(dllexport) BOOL WINAPI
    GetFileVersionInfoW(const wchar_t*, DWORD, DWORD, void*) {
  LeaveMarkerIfFromExe(__builtin_return_address(0));
  return FALSE;
}
extern "C" __declspec(dllexport) BOOL WINAPI
    VerQueryValueW(const void*, const wchar_t*, void**, UINT*) {
  LeaveMarkerIfFromExe(__builtin_return_address(0));
  return FALSE;
}
