#include "tests/support/main_window_fixture.h"

#include <commctrl.h>

#include "resources/resource_ids.h"
#include "tests/support/window_pump.h"

std::wstring TextOf(HWND window) {
  wchar_t text[400] = {};
  GetWindowTextW(window, text, ARRAYSIZE(text));
  return text;
}

std::wstring ToolText(HWND tooltip, HWND owner, int controlId) {
  wchar_t text[300] = {};
  TOOLINFOW tool = {};
  tool.cbSize = sizeof(tool);
  tool.hwnd = GetDlgItem(owner, controlId);
  tool.uId = static_cast<UINT_PTR>(controlId);
  tool.lpszText = text;
  SendMessageW(tooltip, TTM_GETTEXTW, ARRAYSIZE(text), reinterpret_cast<LPARAM>(&tool));
  return text;
}

bool QuitPosted() {
  MSG message;
  return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

void MainWindowTest::SetUpTestSuite() {
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof(existing);
  if (!GetClassInfoExW(GetModuleHandleW(nullptr), kMainWindowClass, &existing)) {
    ASSERT_TRUE(RegisterMainWindowClass(GetModuleHandleW(nullptr)));
  }
}

void MainWindowTest::Open(const wchar_t* commandLine) {
  if (window_ != nullptr && IsWindow(window_))
    DestroyWindow(window_);
  QuitPosted();
  window_ = CreateMainWindow(GetModuleHandleW(nullptr), commandLine);
  ASSERT_NE(window_, nullptr);
  PumpPending();
}

void MainWindowTest::TearDown() {
  if (IsWindow(window_))
    DestroyWindow(window_);
  QuitPosted();
}

std::wstring MainWindowTest::ControlText(int id) const {
  return TextOf(GetDlgItem(window_, id));
}

std::wstring MainWindowTest::PanePath(HWND pane) const {
  return TextOf(GetDlgItem(pane, IDC_PANE_PATH));
}
