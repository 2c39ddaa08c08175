#include "app/main_setup.h"

#include <ole2.h>
#include <winver.h>

#include "app/bounded_text.h"
#include "app/handles.h"
#include "app/main_command.h"

namespace {

// Reads ProductVersion from the executable's own version record; empty when there is none.
void ReadProductVersion(const wchar_t* modulePath, wchar_t* version, size_t capacity) {
  version[0] = L'\0';
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(modulePath, &ignored);
  if (size == 0)
    return;
  UniqueHeapBlock block(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size + 1));
  if (!block || !GetFileVersionInfoW(modulePath, 0, size, block.Get()))
    return;
  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.Get(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translation), &length) ||
      length < sizeof(Translation))
    return;
  wchar_t query[260];
  FormatBounded(query, ARRAYSIZE(query), L"\\StringFileInfo\\%04x%04x\\%s", translation->language,
                translation->codePage, L"ProductVersion");
  wchar_t* value = nullptr;
  if (VerQueryValueW(block.Get(), query, reinterpret_cast<void**>(&value), &length) && length > 0)
    FormatBounded(version, capacity, L"%s", value);
}

void ShowVersionInTitle(HWND window, const MainState* state) {
  wchar_t version[64];
  ReadProductVersion(state->modulePath, version, ARRAYSIZE(version));
  if (version[0] == L'\0')
    return;
  wchar_t title[260];
  FormatBounded(title, ARRAYSIZE(title), L"%s %s", state->baseTitle, version);
  SetWindowTextW(window, title);
}

} // namespace

LRESULT SetUpMainWindow(HWND window, MainState* state, const StartupRecord* startup) {
  // Balanced by CoUninitialize at teardown.
  CoInitialize(nullptr);
  GetWindowTextW(window, state->baseTitle, ARRAYSIZE(state->baseTitle));
  ShowVersionInTitle(window, state);
  if (startup != nullptr)
    FormatBounded(state->modulePath, ARRAYSIZE(state->modulePath), L"%s", startup->modulePath);
  return MainCommand(window, state, kInitializeCommand, 0);
}
