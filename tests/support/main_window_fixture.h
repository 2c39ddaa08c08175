#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/main_window.h"

std::wstring TextOf(HWND window);

// The text a tooltip shows for the control controlId of owner.
std::wstring ToolText(HWND tooltip, HWND owner, int controlId);

// The real main window, made in this process from the templates linked into the test exe.
class MainWindowTest : public ::testing::Test {
public:
  // Registers the window class once per process.
  static void SetUpTestSuite();

protected:
  void SetUp() override { Open(L"Datewright.exe"); }
  void TearDown() override;

  // Replaces the window by one started with this command line.
  void Open(const wchar_t* commandLine);

  MainState* State() const { return GetMainState(window_); }
  HWND Target() const { return State()->target.paneWindow; }
  HWND Reference() const { return State()->reference.paneWindow; }
  std::wstring ControlText(int id) const;
  std::wstring PanePath(HWND pane) const;
  bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(window_, id)) != FALSE; }

  HWND window_ = nullptr;
};

// Drops whatever quit message an ordinary close posted.
bool QuitPosted();
