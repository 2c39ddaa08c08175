#include "tests/support/main_window_fixture.h"

#include "resources/resource_ids.h"

std::wstring TextOf(HWND window) {
  wchar_t text[400] = {};
  GetWindowTextW(window, text, ARRAYSIZE(text));
  return text;
}

void MainWindowTest::SetUpTestSuite() {
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof(existing);
  if (!GetClassInfoExW(GetModuleHandleW(nullptr), kMainWindowClass, &existing)) {
    ASSERT_TRUE(RegisterMainWindowClass(GetModuleHandleW(nullptr)));
  }
}

void MainWindowTest::Open(const wchar_t* commandLine) {
  TearDown();
  window_ = CreateMainWindow(GetModuleHandleW(nullptr), commandLine);
  ASSERT_NE(window_, nullptr);
}

void MainWindowTest::TearDown() {
  if (window_ != nullptr && IsWindow(window_))
    DestroyWindow(window_);
  // Whatever the window posted (the quit message, a snapshot command) goes with it.
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    ;
}

std::wstring MainWindowTest::PanePath(HWND pane) const {
  return TextOf(GetDlgItem(pane, IDC_PANE_PATH));
}
