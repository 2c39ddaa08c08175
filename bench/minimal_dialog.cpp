// The least a dialog program does to show a window: the startup benchmark's baseline. A template
// with a few buttons and a class of its own, so it is found as the main window is.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE)
      DestroyWindow(window);
    else if (message == WM_DESTROY)
      PostQuitMessage(0);
    else
      return DefDlgProcW(window, message, wParam, lParam);
    return LRESULT{0};
  };
  windowClass.cbWndExtra = DLGWINDOWEXTRA;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"DATEWRIGHT_MINIMAL";
  if (!RegisterClassExW(&windowClass))
    return 1;
  HWND window = CreateDialogParamW(instance, L"MINIMAL_DIALOG", nullptr, nullptr, 0);
  if (window == nullptr)
    return 1;
  ShowWindow(window, SW_SHOW);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return 0;
}
