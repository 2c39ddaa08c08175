#include <windows.h>

#include "app/main_window.h"
#include "base/system_library.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  // Before anything can load a DLL by name.
  SearchSystemFolderOnly();
  const wchar_t* commandLine = GetCommandLineW();
  if (!RegisterMainWindowClass(instance))
    return 0;
  HWND window = CreateMainWindow(instance, commandLine);
  if (window == nullptr)
    return 0;
  ShowWindow(window, showCommand);

  // The dialog manager gives the window and its panes keyboard navigation.
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return 0;
}
