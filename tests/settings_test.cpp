#include "base/settings.h"
#include "rename/rename_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/built_program.h"
#include "tests/support/iat_patch.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

std::string FileText(const std::wstring& path) {
  std::vector<unsigned char> bytes = ReadWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}

class Settings : public ::testing::Test {
protected:
  // A module path in the temporary folder stands in for the executable's.
  std::wstring ModulePath() const { return folder_.PathOf(L"Datewright.exe"); }
  std::wstring IniPath() const { return folder_.PathOf(L"Datewright.ini"); }
  std::wstring Located() const {
    wchar_t iniPath[260];
    LocateSettingsFile(ModulePath().c_str(), iniPath);
    return iniPath;
  }

  TempFolder folder_;
};

TEST_F(Settings, UsedOnlyWhenTheFileIsBesideTheExecutable) {
  EXPECT_EQ(Located(), L"");
  folder_.MakeFile(L"Datewright.ini", "");
  EXPECT_EQ(Located(), IniPath());
}

TEST_F(Settings, NotUsedWhenItsPathWouldBeCut) {
  // A folder whose settings path would be 260 characters: cut to 259 it would name another file,
  // which exists here.
  std::wstring deep = folder_.Path();
  while (deep.size() < 245) {
    deep += L"\\" + std::wstring(std::min<size_t>(60, 244 - deep.size()), L'd');
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr)) << GetLastError();
  }
  ASSERT_EQ(deep.size(), 245u);
  std::wstring cut = deep + L"\\Datewright.in";
  HANDLE file = CreateFileW(cut.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << GetLastError();
  CloseHandle(file);
  wchar_t iniPath[260];
  std::wstring module = deep + L"\\Datewright.exe";
  LocateSettingsFile(module.c_str(), iniPath);
  EXPECT_STREQ(iniPath, L"");

  // A folder too long for the splitter.
  std::wstring tooLong = L"C:\\" + std::wstring(300, L'x') + L"\\Datewright.exe";
  LocateSettingsFile(tooLong.c_str(), iniPath);
  EXPECT_STREQ(iniPath, L"");
}

TEST_F(Settings, RenameSettingsTakeTheirDefaultsWithoutAFile) {
  RenameSettings settings = {};
  settings.caseSensitive = 1;
  lstrcpyW(settings.find, L"old");
  LoadRenameSettings(L"", &settings);
  EXPECT_STREQ(settings.filter, L"*.*");
  EXPECT_STREQ(settings.find, L"");
  EXPECT_STREQ(settings.replace, L"");
  EXPECT_EQ(settings.caseSensitive, 0);
  EXPECT_EQ(settings.method, 0);
  EXPECT_EQ(settings.length, 0);
}

TEST_F(Settings, RenameSettingsAreReadAsWritten) {
  folder_.MakeFile(L"Datewright.ini", "[Rename]\r\nMethod=3\r\nFilter=\r\nLength=5\r\n"
                                      "[Replace]\r\nCaseSensitive=7\r\nFind=\"  a b  \"\r\n"
                                      "Replace=\"" +
                                          std::string(300, 'r') + "\"\r\n");
  RenameSettings settings = {};
  LoadRenameSettings(IniPath().c_str(), &settings);
  EXPECT_EQ(settings.method, 3);
  EXPECT_STREQ(settings.filter, L""); // an empty value stays empty
  EXPECT_EQ(settings.length, 5);
  EXPECT_EQ(settings.caseSensitive, 1);
  EXPECT_STREQ(settings.find, L"  a b  ");
  EXPECT_EQ(std::wstring(settings.replace), std::wstring(259, L'r'));
}

TEST_F(Settings, IntegersFallBackToTheirDefaults) {
  folder_.MakeFile(L"Datewright.ini", "[General]\r\nGetAllModifiedDateTime=x1\r\n");
  std::wstring ini = IniPath();
  EXPECT_EQ(ReadSettingInt(ini.c_str(), L"General", L"MatchedFoldersOption", 33), 33);
  EXPECT_EQ(ReadSettingInt(ini.c_str(), L"General", L"GetAllModifiedDateTime", 0), 0);
  EXPECT_EQ(ReadSettingInt(L"", L"General", L"MatchedFoldersOption", 33), 33);
}

TEST_F(Settings, TextsAreStoredQuotedAndReadBackWithout) {
  folder_.MakeFile(L"Datewright.ini", "");
  std::wstring ini = IniPath();
  std::wstring chosen = folder_.Path() + L"\\ My Photos ";
  WriteSettingText(ini.c_str(), L"DirPath", L"Target", chosen.c_str());
  WriteSettingInt(ini.c_str(), L"Rename", L"Method", 4);
  std::string text = FileText(ini);
  std::string narrow(chosen.begin(), chosen.end());
  EXPECT_NE(text.find("[DirPath]"), std::string::npos);
  EXPECT_NE(text.find("Target=\"" + narrow + "\""), std::string::npos) << text;
  EXPECT_NE(text.find("Method=4"), std::string::npos);
  wchar_t back[260];
  ReadSettingText(ini.c_str(), L"DirPath", L"Target", L"", back, ARRAYSIZE(back));
  EXPECT_EQ(std::wstring(back), chosen);
}

int g_profileWrites;
BOOL WINAPI CountingWrite(const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*) {
  ++g_profileWrites;
  return TRUE;
}

TEST_F(Settings, NothingIsWrittenWithoutAFile) {
  ImportPatch patch("kernel32.dll", "WritePrivateProfileStringW",
                    reinterpret_cast<void*>(CountingWrite));
  ASSERT_TRUE(patch.Applied());
  g_profileWrites = 0;
  WriteSettingText(L"", L"DirPath", L"Target", L"C:\\x");
  WriteSettingInt(L"", L"Rename", L"Method", 1);
  WriteSettingRaw(L"", L"Rename", L"Length", L"3");
  EXPECT_EQ(g_profileWrites, 0);
  wchar_t text[16];
  ReadSettingText(L"", L"FilePath", L"Target", L"", text, ARRAYSIZE(text));
  EXPECT_STREQ(text, L"");
}

// The real window with a settings file beside the test exe, and without.
class SettingsBesideProgram : public MainWindowTest {
protected:
  void TearDown() override {
    MainWindowTest::TearDown();
    DeleteFileW(besideExe_.c_str());
  }
  std::wstring besideExe_ =
      BuiltProgramPath().substr(0, BuiltProgramPath().size() - 14) + L"Datewright.ini";
};

TEST_F(SettingsBesideProgram, TitleNamesTheFileOnlyWhenItExists) {
  EXPECT_EQ(TextOf(window_), L"Datewright 2.10.1.32");
  EXPECT_STREQ(State()->iniPath, L"");
  DestroyWindow(window_);
  EXPECT_EQ(GetFileAttributesW(besideExe_.c_str()), INVALID_FILE_ATTRIBUTES)
      << "the program created a settings file";

  HANDLE file = CreateFileW(besideExe_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  Open(L"Datewright.exe");
  EXPECT_EQ(TextOf(window_), L"Datewright 2.10.1.32 Datewright.ini");
  EXPECT_EQ(std::wstring(State()->iniPath), besideExe_);
}

} // namespace
