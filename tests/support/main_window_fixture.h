#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/main_window.h"
#include "tests/support/scripted_system.h"
#include "tests/support/temp_folder.h"

std::wstring TextOf(HWND window);

// The real main window, made in this process from the templates linked into the test exe, with
// the system's dialogs and keys scripted and a fresh folder to work in.
class MainWindowTest : public ::testing::Test {
public:
  static void SetUpTestSuite();

protected:
  void SetUp() override { Open(L"Datewright.exe"); }
  void TearDown() override;

  // Replaces the window by one started with this command line.
  void Open(const wchar_t* commandLine);
  // Sends the main window a command, as a button click does.
  void Command(int id) { SendMessageW(window_, WM_COMMAND, id, 0); }

  MainState* State() const { return GetMainState(window_); }
  HWND Target() const { return State()->target.paneWindow; }
  HWND Reference() const { return State()->reference.paneWindow; }
  std::wstring ControlText(int id) const { return TextOf(GetDlgItem(window_, id)); }
  std::wstring PanePath(HWND pane) const;
  bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(window_, id)) != FALSE; }

  ScriptedSystem system_;
  TempFolder folder_;
  HWND window_ = nullptr;
};
