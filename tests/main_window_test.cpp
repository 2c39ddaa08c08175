#include "app/main_window.h"

#include <commctrl.h>
#include <ole2.h>
#include <gtest/gtest.h>

#include <string>

#include "resources/resource_ids.h"
#include "tests/support/iat_patch.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/window_pump.h"

namespace {

// Teardown must undo the window's OLE and COM initialisation: a fresh initialisation of this
// thread then answers S_OK rather than S_FALSE.
void ExpectOleAndComReleased() {
  EXPECT_EQ(OleInitialize(nullptr), S_OK);
  OleUninitialize();
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  CoUninitialize();
}

using MainWindow = MainWindowTest;

TEST_F(MainWindow, IsADialogTemplateWindowOfTheProgramsClassWithItsState) {
  wchar_t className[64] = {};
  GetClassNameW(window_, className, ARRAYSIZE(className));
  EXPECT_STREQ(className, L"DATEWRIGHT_CLASS");
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window_, GWLP_WNDPROC)), MainWindowProc);
  EXPECT_NE(GetDlgItem(window_, IDC_APPLY_BOTH), nullptr);

  MainState* state = GetMainState(window_);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->mainWindow, window_);
  EXPECT_EQ(state->instance, GetModuleHandleW(nullptr));
  EXPECT_EQ(state->processHeap, GetProcessHeap());
  EXPECT_EQ(state->systemMenu, GetSystemMenu(window_, FALSE));
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  EXPECT_STREQ(state->modulePath, self);
  EXPECT_EQ(state->modifiedSnapshot, nullptr);
}

TEST_F(MainWindow, TakesItsCaptionFromTheTemplateAndAddsTheVersion) {
  EXPECT_STREQ(GetMainState(window_)->baseTitle, L"Datewright");
  EXPECT_EQ(TextOf(window_), L"Datewright 2.10.1.32");
}

TEST_F(MainWindow, AnswersCopyDataOnlyWhenItCarriesData) {
  COPYDATASTRUCT data = {7, 0, nullptr};
  std::wstring before = TextOf(window_);
  EXPECT_EQ(SendMessageW(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), TRUE);
  EXPECT_EQ(SendMessageW(window_, WM_COPYDATA, 0, 0), FALSE);
  EXPECT_EQ(TextOf(window_), before);
  EXPECT_NE(GetMainState(window_), nullptr);
}

TEST_F(MainWindow, SessionEndTearsDownWithoutQuitting) {
  EXPECT_EQ(SendMessageW(window_, WM_ENDSESSION, FALSE, 0), 0);
  EXPECT_NE(GetMainState(window_), nullptr);

  EXPECT_EQ(SendMessageW(window_, WM_ENDSESSION, TRUE, 0), 0);
  EXPECT_EQ(GetMainState(window_), nullptr);
  EXPECT_FALSE(QuitPosted());
  ExpectOleAndComReleased();

  // Already torn down: destroying the window does nothing more and posts no quit message.
  EXPECT_TRUE(DestroyWindow(window_));
  EXPECT_FALSE(QuitPosted());
}

TEST_F(MainWindow, CloseTearsDownAndEndsTheLoop) {
  SendMessageW(window_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window_));
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 0u);
  ExpectOleAndComReleased();
}

TEST_F(MainWindow, SystemMenuBeginsWithTheFolderCommandsGrayed) {
  HMENU menu = GetSystemMenu(window_, FALSE);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(GetMenuItemID(menu, 0), static_cast<UINT>(IDM_RENAME_FILES));
  EXPECT_EQ(GetMenuItemID(menu, 1), static_cast<UINT>(IDM_MATCH_DATETIME));
  wchar_t text[64] = {};
  GetMenuStringW(menu, 0, text, ARRAYSIZE(text), MF_BYPOSITION);
  EXPECT_STREQ(text, L"Rename Files...");
  GetMenuStringW(menu, 1, text, ARRAYSIZE(text), MF_BYPOSITION);
  EXPECT_STREQ(text, L"Match DateTime..");
  EXPECT_NE(GetMenuState(menu, 2, MF_BYPOSITION) & MF_SEPARATOR, 0u);

  // Without panes holding folders, opening the menu keeps both grayed.
  SendMessageW(window_, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
  EXPECT_NE(GetMenuState(menu, IDM_RENAME_FILES, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_NE(GetMenuState(menu, IDM_MATCH_DATETIME, MF_BYCOMMAND) & MF_GRAYED, 0u);
}

TEST_F(MainWindow, CleanupButtonCarriesItsTooltip) {
  HWND tooltip = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND candidate, LPARAM found) -> BOOL {
        wchar_t className[64] = {};
        GetClassNameW(candidate, className, ARRAYSIZE(className));
        if (lstrcmpiW(className, TOOLTIPS_CLASSW) != 0)
          return TRUE;
        TOOLINFOW tool = {};
        tool.cbSize = sizeof(tool);
        if (!SendMessageW(candidate, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)) ||
            tool.uId != IDC_CLEANUP)
          return TRUE;
        *reinterpret_cast<HWND*>(found) = candidate;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&tooltip));
  ASSERT_NE(tooltip, nullptr);
  EXPECT_EQ(GetWindow(tooltip, GW_OWNER), window_);
  EXPECT_EQ(ToolText(tooltip, window_, IDC_CLEANUP), L"Creanup Folder\n+Shift:Apply Sub Folders");
}

TEST_F(MainWindow, FindsThePaneUnderADropPoint) {
  MainState* state = GetMainState(window_);
  auto centerOf = [&](int id) {
    RECT rect;
    GetWindowRect(GetDlgItem(window_, id), &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  };
  EXPECT_EQ(PaneAtScreenPoint(window_, state, centerOf(IDC_TARGET_PLACEHOLDER)), &state->target);
  EXPECT_EQ(PaneAtScreenPoint(window_, state, centerOf(IDC_REFERENCE_PLACEHOLDER)),
            &state->reference);
  EXPECT_EQ(PaneAtScreenPoint(window_, state, centerOf(IDC_APPLY_BOTH)), nullptr);
}

// Fails only the allocation of the window's state, so creation itself must give up.
void* g_realHeapAlloc;
LPVOID WINAPI HeapAllocFailingMainState(HANDLE heap, DWORD flags, SIZE_T bytes) {
  if (bytes == sizeof(MainState))
    return nullptr;
  return reinterpret_cast<LPVOID(WINAPI*)(HANDLE, DWORD, SIZE_T)>(g_realHeapAlloc)(heap, flags,
                                                                                   bytes);
}

TEST(MainWindowCreation, RefusedWhenItsStateCannotBeAllocated) {
  MainWindowTest::SetUpTestSuite();
  ImportPatch patch("kernel32.dll", "HeapAlloc",
                    reinterpret_cast<void*>(HeapAllocFailingMainState));
  ASSERT_TRUE(patch.Applied());
  g_realHeapAlloc = patch.Original();
  EXPECT_EQ(CreateMainWindow(GetModuleHandleW(nullptr), L"Datewright.exe"), nullptr);
  // No window of the class was left behind on this thread (other processes may have theirs).
  bool found = false;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) -> BOOL {
        wchar_t className[64] = {};
        GetClassNameW(window, className, ARRAYSIZE(className));
        if (lstrcmpW(className, kMainWindowClass) == 0)
          *reinterpret_cast<bool*>(found) = true;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  EXPECT_FALSE(found);
}

} // namespace
