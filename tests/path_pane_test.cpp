#include "panes/path_pane.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <string>

#include "filetime/path_times.h"
#include "panes/pane_display.h"
#include "resources/resource_ids.h"
#include "tests/support/built_program.h"
#include "tests/support/dialog_answerer.h"
#include "tests/support/held_key.h"
#include "tests/support/iat_patch.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_pump.h"

namespace {

constexpr int kFileNameBox = 0x047C; // cmb13 of the open-file dialog

std::wstring ChildText(HWND dialog, int id) {
  wchar_t text[600] = {};
  GetDlgItemTextW(dialog, id, text, ARRAYSIZE(text));
  return text;
}

std::wstring FolderOfFileDialog(HWND dialog) {
  wchar_t folder[MAX_PATH] = {};
  SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
  return folder;
}

// The browse dialog's title: the static whose text begins "Current Folder is".
std::wstring BrowseTitle(HWND dialog) {
  std::wstring found;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM param) -> BOOL {
        std::wstring text = TextOf(child);
        if (text.rfind(L"Current Folder is", 0) != 0)
          return TRUE;
        *reinterpret_cast<std::wstring*>(param) = text;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

class OpenCommand : public MainWindowTest {
protected:
  void UseSettingsFile(const std::string& content) {
    ini_ = folder_.MakeFile(L"Datewright.ini", content);
    lstrcpyW(State()->iniPath, ini_.c_str());
  }
  std::wstring Remembered(const wchar_t* section, const wchar_t* key) const {
    wchar_t value[300] = {};
    GetPrivateProfileStringW(section, key, L"<none>", value, ARRAYSIZE(value), ini_.c_str());
    return value;
  }
  std::string IniText() const {
    std::vector<unsigned char> bytes = ReadWholeFile(ini_);
    return std::string(bytes.begin(), bytes.end());
  }
  void PressOpen(HWND pane) { SendMessageW(pane, WM_COMMAND, IDC_PANE_OPEN, 0); }

  TempFolder folder_;
  std::wstring ini_;
};

TEST_F(OpenCommand, OpenFileOnAnEmptyPaneProposesNoName) {
  std::wstring proposed = L"<not shown>";
  DialogAnswerer answerer([&](HWND dialog) {
    proposed = ChildText(dialog, kFileNameBox);
    PressButton(dialog, IDCANCEL);
  });
  PressOpen(Target());
  ASSERT_EQ(answerer.Count(), 1u);
  EXPECT_EQ(proposed, L"");
  EXPECT_EQ(PanePath(Target()), L"");
}

TEST_F(OpenCommand, OpenFileStartsFromTheRememberedFileAndRemembersTheChoice) {
  folder_.MakeFolder(L"old");
  std::wstring old = folder_.MakeFile(L"old\\a.jpg");
  std::wstring chosen = folder_.MakeFile(L"b.jpg");
  UseSettingsFile("[FilePath]\r\nTarget=\"" + std::string(old.begin(), old.end()) + "\"\r\n");
  std::wstring startFolder;
  std::wstring proposed;
  DialogAnswerer answerer([&](HWND dialog) {
    startFolder = FolderOfFileDialog(dialog);
    proposed = ChildText(dialog, kFileNameBox);
    SetDlgItemTextW(dialog, kFileNameBox, chosen.c_str());
    PressButton(dialog, IDOK);
  });
  wchar_t before[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  PressOpen(Target());
  ASSERT_EQ(answerer.Count(), 1u);
  // A choice does not move the process: a relative path would name another file.
  wchar_t after[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, after);
  EXPECT_STREQ(after, before);
  EXPECT_EQ(startFolder, folder_.PathOf(L"old"));
  // The dialog may show the proposed path whole or only its name in the start folder.
  EXPECT_TRUE(proposed == old || proposed == L"a.jpg") << proposed;
  EXPECT_EQ(PanePath(Target()), chosen);
  EXPECT_EQ(Remembered(L"FilePath", L"Target"), chosen);
  std::string narrow(chosen.begin(), chosen.end());
  EXPECT_NE(IniText().find("Target=\"" + narrow + "\""), std::string::npos);
  EXPECT_EQ(Remembered(L"FilePath", L"Reference"), L"<none>");
}

TEST_F(OpenCommand, OpenFileOnAFolderStartsInItsParentWithoutName) {
  std::wstring album = folder_.MakeFolder(L"Album");
  UseSettingsFile("");
  ASSERT_EQ(SetPanePath(Reference(), album.c_str()), 1);
  std::wstring startFolder;
  std::wstring proposed = L"<not shown>";
  DialogAnswerer answerer([&](HWND dialog) {
    startFolder = FolderOfFileDialog(dialog);
    proposed = ChildText(dialog, kFileNameBox);
    PressButton(dialog, IDCANCEL);
  });
  PressOpen(Reference());
  ASSERT_EQ(answerer.Count(), 1u);
  EXPECT_EQ(startFolder, folder_.Path());
  EXPECT_EQ(proposed, L"");
  EXPECT_EQ(PanePath(Reference()), album);
  EXPECT_EQ(IniText(), ""); // a cancelled dialog writes nothing
}

// What the program asked the browse dialog for: its title and the folder to preselect.
struct BrowseRequest {
  std::wstring title;
  std::wstring preselect;
};
BrowseRequest g_browseRequest;
void* g_realBrowse;

PIDLIST_ABSOLUTE WINAPI RecordingBrowse(BROWSEINFOW* browse) {
  g_browseRequest = {browse->lpszTitle, reinterpret_cast<const wchar_t*>(browse->lParam)};
  return reinterpret_cast<decltype(&SHBrowseForFolderW)>(g_realBrowse)(browse);
}

TEST_F(OpenCommand, BrowseWithShiftPreselectsThePanesFolderAndRemembersTheChoice) {
  std::wstring album = folder_.MakeFolder(L"Album");
  std::wstring photo = folder_.MakeFile(L"Album\\photo.jpg");
  UseSettingsFile("");
  ImportPatch patch("shell32.dll", "SHBrowseForFolderW", reinterpret_cast<void*>(RecordingBrowse));
  ASSERT_TRUE(patch.Applied());
  g_realBrowse = patch.Original();
  struct Case {
    std::wstring shown;
    std::wstring preselect; // a file's folder comes with its trailing backslash
  };
  const Case cases[] = {{album, album}, {photo, album + L"\\"}};
  for (const Case& c : cases) {
    ASSERT_EQ(SetPanePath(Target(), c.shown.c_str()), 1);
    g_browseRequest = {};
    std::wstring title;
    DialogAnswerer answerer([&](HWND dialog) {
      title = BrowseTitle(dialog);
      PressButton(dialog, IDOK);
    });
    {
      HeldKey shift(VK_SHIFT);
      PressOpen(Target());
    }
    ASSERT_EQ(answerer.Count(), 1u) << c.shown;
    EXPECT_EQ(g_browseRequest.preselect, c.preselect);
    EXPECT_EQ(g_browseRequest.title, L"Current Folder is " + c.preselect);
    EXPECT_EQ(title, g_browseRequest.title);
    // Whichever folder the dialog answered with (Wine's dialog cannot always walk to the
    // preselection), the pane shows it and the settings remember it, quoted.
    std::wstring chosen = PanePath(Target());
    EXPECT_NE(chosen, c.shown == photo ? photo : L"");
    EXPECT_EQ(Remembered(L"DirPath", L"Target"), chosen);
    std::string narrow(chosen.begin(), chosen.end());
    EXPECT_NE(IniText().find("Target=\"" + narrow + "\""), std::string::npos);
    SetPanePath(Target(), album.c_str());
  }
}

TEST_F(OpenCommand, CancelledBrowseChangesNothing) {
  UseSettingsFile("");
  std::wstring title = L"<not shown>";
  DialogAnswerer answerer([&](HWND dialog) {
    title = BrowseTitle(dialog);
    PressButton(dialog, IDCANCEL);
  });
  {
    HeldKey shift(VK_SHIFT);
    PressOpen(Reference());
  }
  ASSERT_EQ(answerer.Count(), 1u);
  EXPECT_EQ(title, L""); // an empty pane gives the dialog no title
  EXPECT_EQ(PanePath(Reference()), L"");
  EXPECT_EQ(IniText(), "");
}

TEST_F(OpenCommand, ControlReloadsTheTimesWithoutADialog) {
  std::wstring photo = folder_.MakeFile(L"photo.jpg");
  ASSERT_EQ(SetPanePath(Reference(), photo.c_str()), 1);
  ShowPaneTimes(Reference(), nullptr);
  SYSTEMTIME later = {2021, 9, 0, 8, 7, 6, 5, 0};
  ASSERT_EQ(SetPathTimes(photo.c_str(), nullptr, &later, nullptr), 1);
  State()->modifiedSnapshot = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 16);
  EnableWindow(GetDlgItem(window_, IDC_RESTORE), TRUE);
  SetDlgItemTextW(window_, IDC_SNAPSHOT_COUNT, L"4");

  DialogAnswerer answerer([](HWND dialog) { PressButton(dialog, IDCANCEL); });
  {
    HeldKey control(VK_CONTROL);
    HeldKey shift(VK_SHIFT); // Control wins
    PressOpen(Reference());
  }
  EXPECT_EQ(answerer.Count(), 0u);
  EXPECT_EQ(State()->modifiedSnapshot, nullptr);
  EXPECT_FALSE(Enabled(IDC_RESTORE));
  EXPECT_EQ(ControlText(IDC_SNAPSHOT_COUNT), L"");
  SYSTEMTIME shown = {};
  SendDlgItemMessageW(Reference(), IDC_PANE_MODIFIED_DATE, DTM_GETSYSTEMTIME, 0,
                      reinterpret_cast<LPARAM>(&shown));
  EXPECT_EQ(shown.wYear, 2021);
  EXPECT_EQ(shown.wMonth, 9);
}

} // namespace
