#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/support/built_program.h"

namespace {

// Reads a DLGTEMPLATEEX the way the dialog manager does, to check what the exe ships.
class TemplateReader {
public:
  TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}
  bool Fits(size_t bytes) const { return at_ + bytes <= size_; }
  WORD Word() { return Take<WORD>(); }
  DWORD Dword() { return Take<DWORD>(); }
  BYTE Byte() { return Take<BYTE>(); }
  short Short() { return static_cast<short>(Take<WORD>()); }
  void AlignTo4() { at_ = (at_ + 3) & ~size_t{3}; }
  void Skip(size_t bytes) { at_ += bytes; }

  // A text, or an ordinal shown as "#n".
  std::wstring TextOrOrdinal() {
    if (!Fits(2))
      return L"<cut>";
    WORD first;
    std::memcpy(&first, data_ + at_, 2);
    if (first == 0xFFFF) {
      at_ += 2;
      return L"#" + std::to_wstring(Word());
    }
    std::wstring text;
    while (Fits(2)) {
      WORD c = Word();
      if (c == 0)
        break;
      text.push_back(static_cast<wchar_t>(c));
    }
    return text;
  }

private:
  template <typename T> T Take() {
    T value{};
    if (Fits(sizeof(T)))
      std::memcpy(&value, data_ + at_, sizeof(T));
    at_ += sizeof(T);
    return value;
  }
  const BYTE* data_;
  size_t size_;
  size_t at_ = 0;
};

struct Control {
  DWORD exStyle;
  DWORD style;
  short x, y, cx, cy;
  int id;
  std::wstring kind;
  std::wstring text;
};

struct DialogTemplate {
  WORD signature = 0;
  DWORD exStyle = 0;
  DWORD style = 0;
  short cx = 0, cy = 0;
  std::wstring menu, windowClass, caption, face;
  WORD pointSize = 0;
  std::vector<Control> controls;
};

// The dialog manager's short names for its predefined classes.
std::wstring KindName(const std::wstring& kind) {
  const std::pair<const wchar_t*, const wchar_t*> ordinals[] = {
      {L"#128", L"Button"}, {L"#129", L"Edit"}, {L"#130", L"Static"}, {L"#133", L"ComboBox"}};
  for (const auto& [ordinal, name] : ordinals)
    if (kind == ordinal)
      return name;
  return kind;
}

DialogTemplate ParseTemplate(const BYTE* data, size_t size) {
  TemplateReader in(data, size);
  DialogTemplate result;
  in.Word(); // version
  result.signature = in.Word();
  in.Dword(); // help id
  result.exStyle = in.Dword();
  result.style = in.Dword();
  WORD count = in.Word();
  in.Skip(4);
  result.cx = in.Short();
  result.cy = in.Short();
  result.menu = in.TextOrOrdinal();
  result.windowClass = in.TextOrOrdinal();
  result.caption = in.TextOrOrdinal();
  if (result.style & DS_SETFONT) {
    result.pointSize = in.Word();
    in.Word(); // weight
    in.Byte();
    in.Byte();
    result.face = in.TextOrOrdinal();
  }
  for (WORD i = 0; i < count && in.Fits(24); ++i) {
    in.AlignTo4();
    Control control;
    in.Dword(); // help id
    control.exStyle = in.Dword();
    control.style = in.Dword();
    control.x = in.Short();
    control.y = in.Short();
    control.cx = in.Short();
    control.cy = in.Short();
    control.id = static_cast<int>(in.Dword());
    control.kind = KindName(in.TextOrOrdinal());
    control.text = in.TextOrOrdinal();
    in.Skip(in.Word());
    result.controls.push_back(control);
  }
  return result;
}

// The built exe, loaded as data so that what is checked is what ships.
class ShippedResources : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    module_ = LoadLibraryExW(BuiltProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  static void TearDownTestSuite() { FreeLibrary(module_); }

  void SetUp() override { ASSERT_NE(module_, nullptr) << "cannot load the built Datewright.exe"; }

  static std::vector<BYTE> Load(const wchar_t* type, const wchar_t* name, WORD language) {
    HRSRC found = FindResourceExW(module_, type, name, language);
    if (found == nullptr)
      return {};
    auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module_, found)));
    return std::vector<BYTE>(bytes, bytes + SizeofResource(module_, found));
  }

  static DialogTemplate Dialog(const wchar_t* name) {
    std::vector<BYTE> bytes = Load(RT_DIALOG, name, kJapanese);
    EXPECT_FALSE(bytes.empty()) << "no Japanese-language dialog resource";
    return ParseTemplate(bytes.data(), bytes.size());
  }

  static constexpr WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
  static HMODULE module_;
};

HMODULE ShippedResources::module_;

struct ExpectedControl {
  int id;
  const wchar_t* kind;
  const wchar_t* text;
  short x, y, cx, cy;
  DWORD styleMask; // the bits of the style that are checked...
  DWORD style;     // ...and their values
};

constexpr DWORD kTypeMask = 0x1F;
constexpr DWORD kShown = WS_VISIBLE | WS_DISABLED;

void ExpectControls(const DialogTemplate& dialog, const std::vector<ExpectedControl>& expected) {
  ASSERT_EQ(dialog.controls.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const Control& got = dialog.controls[i];
    const ExpectedControl& want = expected[i];
    SCOPED_TRACE(testing::Message() << "control " << i << " id " << want.id);
    EXPECT_EQ(static_cast<short>(got.id), static_cast<short>(want.id));
    // Class names are matched without regard to case, and windres writes some in capitals.
    EXPECT_EQ(lstrcmpiW(got.kind.c_str(), want.kind), 0)
        << std::string(got.kind.begin(), got.kind.end());
    EXPECT_EQ(got.text, want.text);
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.cx, want.cx);
    EXPECT_EQ(got.cy, want.cy);
    EXPECT_EQ(got.style & want.styleMask, want.style) << std::hex << got.style;
    EXPECT_NE(got.style & WS_CHILD, 0u);
  }
}

TEST_F(ShippedResources, MainDialogHasEveryControlTheCommandsUse) {
  DialogTemplate dialog = Dialog(L"MAIN_DIALOG");
  EXPECT_EQ(dialog.signature, 0xFFFF) << "not a DLGTEMPLATEEX";
  EXPECT_EQ(dialog.style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                            WS_THICKFRAME | DS_SETFONT | DS_CENTER | WS_CHILD),
            static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT | DS_CENTER));
  EXPECT_EQ(dialog.windowClass, L"DATEWRIGHT_CLASS");
  EXPECT_EQ(dialog.caption, L"Datewright");
  EXPECT_EQ(dialog.face, L"Segoe UI");
  EXPECT_EQ(dialog.pointSize, 9);
  EXPECT_EQ(dialog.cx, 279);
  EXPECT_EQ(dialog.cy, 211);

  const DWORD button = kTypeMask | kShown;
  const DWORD push = BS_PUSHBUTTON | WS_VISIBLE;
  const DWORD pushDisabled = push | WS_DISABLED;
  const DWORD result = ES_READONLY | ES_AUTOHSCROLL | WS_BORDER | kShown;
  const DWORD counter = SS_NOTIFY | WS_BORDER | kShown;
  ExpectControls(
      dialog, {
                  {-1, L"Button", L"Target File/Directory", 1, 1, 276, 56, button,
                   BS_GROUPBOX | WS_VISIBLE},
                  {IDC_TARGET_PLACEHOLDER, L"Static", L"Target", 4, 14, 270, 40, kShown, 0},
                  {-1, L"Button", L"Reference File/Directory", 1, 152, 276, 56, button,
                   BS_GROUPBOX | WS_VISIBLE},
                  {IDC_REFERENCE_PLACEHOLDER, L"Static", L"Reference", 4, 164, 270, 40, kShown, 0},
                  {IDC_APPLY_CREATED, L"Button", L"Apply Created", 4, 58, 76, 16, button, push},
                  {IDC_APPLY_MODIFIED, L"Button", L"Apply Modified", 82, 58, 76, 16, button, push},
                  {IDC_APPLY_BOTH, L"Button", L"Apply Both", 160, 58, 76, 16, button, push},
                  {IDC_APPLY_RESULT, L"Edit", L"", 238, 58, 38, 16, result,
                   ES_READONLY | ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE},
                  {IDC_CURRENT_TO_CREATED, L"Button", L"Set Current DateTime to Created", 4, 76,
                   136, 14, button, push},
                  {IDC_CURRENT_TO_MODIFIED, L"Button", L"Set Current DateTime to Modified", 140, 76,
                   136, 14, button, push},
                  {IDC_MODIFIED_TO_CREATED, L"Button", L"Set Modified DateTime to Created", 4, 90,
                   136, 14, button, push},
                  {IDC_CREATED_TO_MODIFIED, L"Button", L"Set Created DateTime to Modified", 140, 90,
                   136, 14, button, push},
                  {IDC_EXIF_TO_CREATED, L"Button", L"Set Exif DateTime to Created", 4, 104, 136, 14,
                   button, pushDisabled},
                  {IDC_EXIF_TO_MODIFIED, L"Button", L"Set Exif DateTime to Modified", 140, 104, 136,
                   14, button, pushDisabled},
                  {IDC_REFERENCE_TO_CREATED, L"Button", L"Set Created DateTime from Reference", 4,
                   134, 136, 14, button, push},
                  {IDC_REFERENCE_TO_MODIFIED, L"Button", L"Set Modified DateTime from Reference",
                   140, 134, 136, 14, button, push},
                  {IDC_SNAPSHOT_COUNT, L"Static", L"", 142, 120, 30, 12, counter,
                   SS_NOTIFY | WS_BORDER | WS_VISIBLE},
                  {IDC_RESTORE, L"Button", L"Restore", 174, 119, 34, 14, button, pushDisabled},
                  {IDC_CLEANUP, L"Button", L"Cleanup", 209, 119, 34, 14, button, pushDisabled},
                  {IDC_GET_ALL_MODIFIED, L"Button", L"Get All Modified DateTime", 44, 119, 96, 14,
                   button, pushDisabled},
                  {IDC_FOLDER_RESULT, L"Static", L"", 244, 120, 30, 12, counter,
                   SS_NOTIFY | WS_BORDER | WS_VISIBLE},
                  {IDM_RENAME_FILES, L"Button", L"Rename...", 4, 119, 40, 14, button, pushDisabled},
              });
}

TEST_F(ShippedResources, PathPaneIsAHiddenChildDialogWithFourPickers) {
  DialogTemplate dialog = Dialog(MAKEINTRESOURCEW(IDD_PATH_PANE));
  EXPECT_EQ(dialog.signature, 0xFFFF);
  EXPECT_EQ(dialog.style & (WS_CHILD | WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_CONTROL |
                            DS_SETFONT | DS_NOFAILCREATE),
            static_cast<DWORD>(WS_CHILD | DS_CONTROL | DS_SETFONT | DS_NOFAILCREATE));
  EXPECT_EQ(dialog.exStyle & WS_EX_ACCEPTFILES, static_cast<DWORD>(WS_EX_ACCEPTFILES));
  EXPECT_EQ(dialog.caption, L"");
  EXPECT_EQ(dialog.face, L"MS UI Gothic");
  EXPECT_EQ(dialog.pointSize, 9);
  EXPECT_EQ(dialog.cx, 270);
  EXPECT_EQ(dialog.cy, 40);

  const DWORD date = DTS_SHORTDATEFORMAT | DTS_RIGHTALIGN | WS_VISIBLE;
  const DWORD time = DTS_TIMEFORMAT | DTS_RIGHTALIGN | WS_VISIBLE;
  const DWORD pickerMask = DTS_TIMEFORMAT | DTS_LONGDATEFORMAT | DTS_RIGHTALIGN | kShown;
  ExpectControls(
      dialog,
      {
          {IDC_PANE_OPEN, L"Button", L"Open...", 232, 2, 36, 14, kTypeMask | kShown,
           BS_PUSHBUTTON | WS_VISIBLE},
          {IDC_PANE_PATH, L"Edit", L"", 2, 2, 228, 14,
           ES_READONLY | ES_AUTOHSCROLL | WS_BORDER | kShown,
           ES_READONLY | ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE},
          {IDC_PANE_CREATED_DATE, DATETIMEPICK_CLASSW, L"", 32, 18, 58, 16, pickerMask, date},
          {IDC_PANE_CREATED_TIME, DATETIMEPICK_CLASSW, L"", 92, 18, 40, 16, pickerMask, time},
          {IDC_PANE_MODIFIED_DATE, DATETIMEPICK_CLASSW, L"", 166, 18, 58, 16, pickerMask, date},
          {IDC_PANE_MODIFIED_TIME, DATETIMEPICK_CLASSW, L"", 226, 18, 42, 16, pickerMask, time},
          {-1, L"Static", L"Created:", 2, 22, 28, 8, SS_TYPEMASK | kShown, SS_RIGHT | WS_VISIBLE},
          {-1, L"Static", L"Modified:", 134, 22, 30, 8, SS_TYPEMASK | kShown,
           SS_RIGHT | WS_VISIBLE},
      });
}

TEST_F(ShippedResources, RenameDialogHasItsControlsAndLayout) {
  DialogTemplate dialog = Dialog(MAKEINTRESOURCEW(IDD_RENAME));
  EXPECT_EQ(dialog.signature, 0xFFFF);
  EXPECT_EQ(dialog.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_SETFONT),
            static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_SETFONT));
  EXPECT_EQ(dialog.caption, L"Rename");
  EXPECT_EQ(dialog.face, L"Segoe UI");
  EXPECT_EQ(dialog.pointSize, 9);
  EXPECT_EQ(dialog.cx, 272);
  EXPECT_EQ(dialog.cy, 184);

  const DWORD button = kTypeMask | kShown;
  const DWORD edit = ES_AUTOHSCROLL | WS_BORDER | kShown;
  const DWORD label = SS_TYPEMASK | kShown;
  const DWORD list =
      LVS_TYPEMASK | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER | WS_BORDER | kShown;
  ExpectControls(
      dialog,
      {
          {IDOK, L"Button", L"Execute", 168, 88, 50, 14, button, BS_DEFPUSHBUTTON | WS_VISIBLE},
          {IDCANCEL, L"Button", L"Cancel", 220, 88, 50, 14, button, BS_PUSHBUTTON | WS_VISIBLE},
          {IDC_RENAME_LIST, WC_LISTVIEWW, L"", 0, 102, 272, 81, list,
           LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER | WS_BORDER |
               WS_VISIBLE},
          {IDC_RENAME_TEST, L"Button", L"Test", 1, 88, 50, 14, button, BS_PUSHBUTTON | WS_VISIBLE},
          {IDC_RENAME_METHOD, L"ComboBox", L"", 14, 6, 162, 30, 0x3 | WS_VSCROLL | kShown,
           CBS_DROPDOWNLIST | WS_VSCROLL | WS_VISIBLE},
          {IDC_RENAME_FIND, L"Edit", L"", 36, 25, 96, 14, edit,
           ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE},
          {IDC_RENAME_REPLACE, L"Edit", L"", 36, 44, 96, 14, edit,
           ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE},
          {IDC_RENAME_FIND_LABEL, L"Static", L"Find :", 2, 28, 32, 8, label, SS_RIGHT | WS_VISIBLE},
          {IDC_RENAME_REPLACE_LABEL, L"Static", L"Replace :", 2, 46, 32, 8, label,
           SS_RIGHT | WS_VISIBLE},
          {IDC_RENAME_CASE_SENSITIVE, L"Button", L"Case Sensitive", 146, 26, 72, 10, button,
           BS_AUTOCHECKBOX | WS_VISIBLE},
          {IDC_RENAME_FILTER, L"Edit", L"", 226, 6, 40, 14, edit,
           ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE},
          {-1, L"Static", L"Filter :", 197, 8, 27, 8, label, SS_RIGHT | WS_VISIBLE},
          {IDC_RENAME_ONE, L"Button", L"Rename It", 53, 88, 50, 14, button,
           BS_PUSHBUTTON | WS_VISIBLE | WS_DISABLED},
          {IDC_RENAME_LENGTH, L"Edit", L"", 168, 39, 24, 14, edit, ES_AUTOHSCROLL | WS_BORDER},
          {IDC_RENAME_LENGTH_LABEL, L"Static", L"Length :", 134, 42, 32, 8, label,
           SS_RIGHT | WS_VISIBLE},
      });
}

TEST_F(ShippedResources, IconHasThreeImages) {
  std::vector<BYTE> group = Load(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_DATEWRIGHT), kJapanese);
  ASSERT_GE(group.size(), 6u + 3 * 14);
  WORD count;
  std::memcpy(&count, group.data() + 4, 2);
  ASSERT_EQ(count, 3);
  struct Image {
    BYTE width, height;
    WORD bitCount;
  };
  const Image expected[] = {{32, 32, 4}, {16, 16, 4}, {48, 48, 24}};
  for (int i = 0; i < 3; ++i) {
    const BYTE* entry = group.data() + 6 + 14 * i;
    WORD bitCount;
    std::memcpy(&bitCount, entry + 6, 2);
    EXPECT_EQ(entry[0], expected[i].width) << i;
    EXPECT_EQ(entry[1], expected[i].height) << i;
    EXPECT_EQ(bitCount, expected[i].bitCount) << i;
  }
}

TEST_F(ShippedResources, ManifestAsksForCommonControlsSixOnAnyProcessor) {
  std::vector<BYTE> bytes =
      Load(RT_MANIFEST, MAKEINTRESOURCEW(1), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  ASSERT_FALSE(bytes.empty());
  std::string manifest(bytes.begin(), bytes.end());
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
            std::string::npos);
  EXPECT_NE(manifest.find("processorArchitecture=\"*\""), std::string::npos);
  EXPECT_EQ(manifest.find("processorArchitecture=\"x86\""), std::string::npos);
  EXPECT_NE(manifest.find("level=\"asInvoker\" uiAccess=\"false\""), std::string::npos);
  EXPECT_NE(manifest.find(">True/PM<"), std::string::npos);
}

TEST_F(ShippedResources, EmptyLayoutRecordForTheRenameDialog) {
  std::vector<BYTE> layout = Load(L"AFX_DIALOG_LAYOUT", MAKEINTRESOURCEW(IDD_RENAME), kJapanese);
  EXPECT_EQ(layout, (std::vector<BYTE>{0, 0}));
}

TEST(ShippedVersion, ReadsBackThroughTheVersionApi) {
  std::wstring exe = BuiltProgramPath();
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  ASSERT_NE(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(10, 2));
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(32, 1));
  EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(10, 2));
  EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(32, 1));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_GE(length, 4u);
  EXPECT_EQ(translation[0], 0x0411);
  EXPECT_EQ(translation[1], 0x04b0);

  const std::pair<const wchar_t*, const wchar_t*> strings[] = {
      {L"ProductVersion", L"2.10.1.32"},
      {L"FileVersion", L"2.10.1.32"},
      {L"FileDescription", L"Datewright"},
      {L"InternalName", L"Datewright"},
      {L"OriginalFilename", L"Datewright.exe"}};
  for (const auto& [key, value] : strings) {
    std::wstring query = std::wstring(L"\\StringFileInfo\\041104b0\\") + key;
    wchar_t* text = nullptr;
    ASSERT_TRUE(
        VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &length))
        << key;
    EXPECT_STREQ(text, value) << key;
  }
}

// Names of the DLLs the exe imports, read from its file.
std::vector<std::string> ImportedDlls(const std::vector<unsigned char>& file) {
  std::vector<std::string> names;
  auto at = [&](size_t offset, size_t bytes) { return offset + bytes <= file.size(); };
  if (!at(0, sizeof(IMAGE_DOS_HEADER)))
    return names;
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(file.data());
  if (!at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS64)))
    return names;
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(file.data() + dos->e_lfanew);
  const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
  auto toOffset = [&](DWORD rva) -> size_t {
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
      const IMAGE_SECTION_HEADER& s = sections[i];
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
        return rva - s.VirtualAddress + s.PointerToRawData;
    }
    return file.size();
  };
  DWORD importRva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (size_t offset = toOffset(importRva); at(offset, sizeof(IMAGE_IMPORT_DESCRIPTOR));
       offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(file.data() + offset);
    if (import->Name == 0)
      break;
    size_t name = toOffset(import->Name);
    if (at(name, 1))
      names.emplace_back(reinterpret_cast<const char*>(file.data() + name));
  }
  return names;
}

TEST(ShippedProgram, IsA64BitExeThatImportsOnlySystemDlls) {
  std::vector<unsigned char> file = ReadWholeFile(BuiltProgramPath());
  ASSERT_GT(file.size(), 4096u);
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(file.data());
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(file.data() + dos->e_lfanew);
  EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
  EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);

  const char* system[] = {"kernel32.dll", "user32.dll",  "gdi32.dll",    "comctl32.dll",
                          "comdlg32.dll", "shell32.dll", "shlwapi.dll",  "ole32.dll",
                          "oleaut32.dll", "version.dll", "advapi32.dll", "msvcrt.dll"};
  std::vector<std::string> imports = ImportedDlls(file);
  EXPECT_FALSE(imports.empty());
  for (const std::string& dll : imports) {
    bool known = false;
    for (const char* name : system)
      known = known || _stricmp(dll.c_str(), name) == 0;
    EXPECT_TRUE(known) << "imports " << dll;
  }
}

} // namespace
