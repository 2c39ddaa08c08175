#include "app/main_setup.h"

#include <ole2.h>
#include <shellapi.h>
#include <winver.h>

#include "base/bounded_text.h"
#include "base/handles.h"
#include "app/daylight_saving.h"
#include "app/load_dialog_template.h"
#include "app/main_command.h"
#include "base/settings.h"
#include "base/system_library.h"
#include "panes/pane_display.h"
#include "panes/path_pane.h"
#include "resources/resource_ids.h"

namespace {

// The version calls, from version.dll in the system folder: it is not a known DLL, so importing
// it would have Windows take a version.dll lying beside the exe.
struct VersionCalls {
  UniqueLibrary library = LoadSystemLibrary(L"version.dll");
  decltype(&GetFileVersionInfoSizeW) infoSize =
      LibraryFunction<decltype(&GetFileVersionInfoSizeW)>(library, "GetFileVersionInfoSizeW");
  decltype(&GetFileVersionInfoW) info =
      LibraryFunction<decltype(&GetFileVersionInfoW)>(library, "GetFileVersionInfoW");
  decltype(&VerQueryValueW) queryValue =
      LibraryFunction<decltype(&VerQueryValueW)>(library, "VerQueryValueW");
};

// Reads ProductVersion from the executable's own version record; empty when there is none.
void ReadProductVersion(const wchar_t* modulePath, wchar_t* version, size_t capacity) {
  version[0] = L'\0';
  VersionCalls calls;
  if (!calls.infoSize || !calls.info || !calls.queryValue)
    return;
  DWORD ignored = 0;
  DWORD size = calls.infoSize(modulePath, &ignored);
  if (size == 0)
    return;
  UniqueHeapBlock block(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size + 1));
  if (!block || !calls.info(modulePath, 0, size, block.Get()))
    return;
  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* translation = nullptr;
  UINT length = 0;
  if (!calls.queryValue(block.Get(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
      length < sizeof(Translation))
    return;
  wchar_t query[260];
  FormatBounded(query, ARRAYSIZE(query), L"\\StringFileInfo\\%04x%04x\\%s", translation->language,
                translation->codePage, L"ProductVersion");
  wchar_t* value = nullptr;
  if (calls.queryValue(block.Get(), query, reinterpret_cast<void**>(&value), &length) && length > 0)
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

void ShowSettingsFileInTitle(HWND window) {
  wchar_t title[260] = {};
  GetWindowTextW(window, title, ARRAYSIZE(title));
  AppendBounded(title, L" ");
  AppendBounded(title, L"Datewright.ini");
  SetWindowTextW(window, title);
}

HWND CreatePaneOver(HINSTANCE instance, HWND parent, int placeholderId, MainState* state) {
  HWND pane = CreatePane(instance, parent, placeholderId, state);
  if (pane != nullptr)
    ShowWindow(pane, SW_SHOW);
  return pane;
}

// The first argument after the program's own name that is not an option names the Target.
void TakeTargetFromCommandLine(MainState* state, const wchar_t* commandLine) {
  int count = 0;
  UniqueLocal arguments(CommandLineToArgvW(commandLine, &count));
  if (!arguments)
    return;
  auto** argv = static_cast<wchar_t**>(arguments.Get());
  for (int i = 1; i < count; ++i) {
    if (argv[i][0] == L'/' || argv[i][0] == L'-')
      continue;
    // Made whole at once: the pane must go on naming this file wherever the current directory
    // moves. A path that cannot be made whole within 259 characters is not taken.
    wchar_t full[MAX_PATH];
    DWORD length = GetFullPathNameW(argv[i], MAX_PATH, full, nullptr);
    if (state->target.paneWindow != nullptr && length != 0 && length < MAX_PATH) {
      SetPanePath(state->target.paneWindow, full);
      ShowPaneTimes(state->target.paneWindow, &state->exifDates);
    }
    return;
  }
}

} // namespace

HWND CreatePane(HINSTANCE instance, HWND parent, int placeholderId, MainState* state) {
  TemplateOptions options = {};
  options.faceName = L"Segoe UI";
  options.faceNameBytes = 18;
  DLGTEMPLATE* copy = LoadDialogTemplate(instance, IDD_PATH_PANE, &options);
  HWND pane = CreateDialogIndirectParamW(instance, copy, parent, PaneDialogProc,
                                         reinterpret_cast<LPARAM>(state));
  HWND placeholder = pane != nullptr ? GetDlgItem(parent, placeholderId) : nullptr;
  if (placeholder != nullptr) {
    RECT rect;
    GetClientRect(placeholder, &rect);
    POINT placeholderOrigin = {0, 0};
    POINT parentOrigin = {0, 0};
    ClientToScreen(placeholder, &placeholderOrigin);
    ClientToScreen(parent, &parentOrigin);
    OffsetRect(&rect, placeholderOrigin.x - parentOrigin.x, placeholderOrigin.y - parentOrigin.y);
    MoveWindow(pane, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
  }
  if (copy != nullptr)
    HeapFree(GetProcessHeap(), 0, copy);
  return pane;
}

LRESULT SetUpMainWindow(HWND window, MainState* state, const StartupRecord* startup) {
  // Balanced by CoUninitialize at teardown.
  CoInitialize(nullptr);
  state->target.paneWindow = CreatePaneOver(state->instance, window, IDC_TARGET_PLACEHOLDER, state);
  state->reference.paneWindow =
      CreatePaneOver(state->instance, window, IDC_REFERENCE_PLACEHOLDER, state);
  GetWindowTextW(window, state->baseTitle, ARRAYSIZE(state->baseTitle));
  ShowVersionInTitle(window, state);
  LocateSettingsFile(state->modulePath, state->iniPath);
  // Before any pane shows a time, the command line's Target included.
  LoadDaylightSavingSetting(state);
  if (state->iniPath[0] != L'\0')
    ShowSettingsFileInTitle(window);
  if (startup != nullptr) {
    FormatBounded(state->modulePath, ARRAYSIZE(state->modulePath), L"%s", startup->modulePath);
    TakeTargetFromCommandLine(state, startup->commandLine);
  }
  return MainCommand(window, state, kInitializeCommand, 0);
}
