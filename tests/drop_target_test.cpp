#include "panes/drop_target.h"

#include <shlobj.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filetime/path_times.h"
#include "panes/pane_display.h"
#include "panes/pane_time.h"
#include "resources/resource_ids.h"
#include "tests/support/file_times.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

// A file list in global memory, as the shell hands it over.
HGLOBAL MakeFileList(const std::vector<std::wstring>& names) {
  size_t chars = 1; // the list ends with an empty name
  for (const std::wstring& name : names)
    chars += name.size() + 1;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * 2);
  auto* files = static_cast<DROPFILES*>(GlobalLock(block));
  files->pFiles = sizeof(DROPFILES);
  files->fWide = TRUE;
  auto* text = reinterpret_cast<wchar_t*>(files + 1);
  for (const std::wstring& name : names) {
    std::copy(name.begin(), name.end(), text);
    text += name.size() + 1;
  }
  GlobalUnlock(block);
  return block;
}

// Offers a file list, or nothing, the way a drag source's data object does.
class FileListData final : public IDataObject {
public:
  explicit FileListData(std::vector<std::wstring> names) : names_(std::move(names)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (names_.empty() || format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL))
      return DV_E_FORMATETC;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = MakeFileList(names_);
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    return !names_.empty() && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL)
               ? S_OK
               : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
  std::vector<std::wstring> names_;
};

class Drops : public MainWindowTest {
protected:
  POINTL CenterOf(int id) const {
    RECT rect;
    GetWindowRect(GetDlgItem(window_, id), &rect);
    return POINTL{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }
  // What the program's drop target sends for a drop at the point.
  LRESULT DropAt(int id, const std::vector<std::wstring>& names) {
    HGLOBAL list = MakeFileList(names);
    POINTL point = CenterOf(id);
    LRESULT result = SendMessageW(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(list),
                                  reinterpret_cast<LPARAM>(&point));
    GlobalFree(list);
    return result;
  }

  TempFolder folder_;
};

TEST_F(Drops, AFileDroppedOnTheTargetBecomesItsPathWithItsTimes) {
  std::wstring photo = folder_.MakeFile(L"photo.jpg");
  SYSTEMTIME modified = Local(2012, 3, 4, 5, 6, 7);
  ASSERT_EQ(SetPathTimes(photo.c_str(), nullptr, &modified, nullptr), 1);
  EXPECT_EQ(DropAt(IDC_TARGET_PLACEHOLDER, {photo}), 1);
  EXPECT_EQ(PanePath(Target()), photo);
  EXPECT_EQ(TextOf(window_), L"photo.jpg - Datewright");
  EXPECT_EQ(ReadPaneTime(Target(), PaneTime::Modified).wYear, 2012);
}

TEST_F(Drops, AFolderDroppedOnTheReferenceLeavesTheMainWindowAlone) {
  std::wstring album = folder_.MakeFolder(L"Album");
  std::wstring title = TextOf(window_);
  EXPECT_EQ(DropAt(IDC_REFERENCE_PLACEHOLDER, {album}), 1);
  EXPECT_EQ(PanePath(Reference()), album);
  EXPECT_EQ(PanePath(Target()), L"");
  EXPECT_EQ(TextOf(window_), title);
  EXPECT_FALSE(Enabled(IDC_GET_ALL_MODIFIED));
}

TEST_F(Drops, SeveralNamesLeaveThePaneWithTheLast) {
  std::vector<std::wstring> photos;
  for (int i = 0; i < 3; ++i) {
    photos.push_back(folder_.MakeFile(L"photo" + std::to_wstring(i) + L".jpg"));
    SYSTEMTIME modified = Local(static_cast<WORD>(2001 + i), 1, 1, 1, 1, 1);
    SetPathTimes(photos.back().c_str(), nullptr, &modified, nullptr);
  }
  EXPECT_EQ(DropAt(IDC_TARGET_PLACEHOLDER, photos), 1);
  EXPECT_EQ(PanePath(Target()), photos[2]);
  EXPECT_EQ(TextOf(window_), L"photo2.jpg - Datewright");
  EXPECT_EQ(ReadPaneTime(Target(), PaneTime::Modified).wYear, 2003);
}

// The pane is left on the last name taken, and shows that name's own times.
TEST_F(Drops, ARefusedNameEndsTheDropOnTheNameBefore) {
  std::wstring first = folder_.MakeFile(L"first.jpg");
  SYSTEMTIME firstModified = Local(2013, 3, 3, 3, 3, 3);
  ASSERT_EQ(SetPathTimes(first.c_str(), nullptr, &firstModified, nullptr), 1);
  std::wstring after = folder_.MakeFile(L"after.jpg");
  // A shortcut that cannot be read is refused, as are a name too long for a path and an existing
  // file whose times cannot be read.
  std::wstring unreadable = folder_.MakeFile(L"bad.lnk", "not a shortcut");
  std::wstring tooLong = folder_.Path() + L"\\" + std::wstring(300, L'n');
  std::wstring noTimes = folder_.MakeFile(L"locked.jpg");
  GetFileTimeOverride locked(noTimes, std::nullopt);
  ASSERT_TRUE(locked.Applied());
  for (const std::wstring& refused : {unreadable, tooLong, noTimes}) {
    ASSERT_EQ(DropAt(IDC_TARGET_PLACEHOLDER, {after}), 1);
    EXPECT_EQ(DropAt(IDC_TARGET_PLACEHOLDER, {first, refused, after}), 0);
    EXPECT_EQ(PanePath(Target()), first);
    EXPECT_EQ(ReadPaneTime(Target(), PaneTime::Modified).wYear, 2013);
  }
  // Refused alone, it leaves the path and the times that were shown.
  WritePaneTime(Target(), PaneTime::Modified, Local(1995, 5, 5, 5, 5, 5));
  EXPECT_EQ(DropAt(IDC_TARGET_PLACEHOLDER, {noTimes}), 0);
  EXPECT_EQ(PanePath(Target()), first);
  EXPECT_EQ(ReadPaneTime(Target(), PaneTime::Modified).wYear, 1995);
}

TEST_F(Drops, ADropOutsideThePanesDoesNothing) {
  std::wstring photo = folder_.MakeFile(L"photo.jpg");
  EXPECT_EQ(DropAt(IDC_APPLY_CREATED, {photo}), 0);
  EXPECT_EQ(DropAt(IDC_GET_ALL_MODIFIED, {photo}), 0);
  EXPECT_EQ(PanePath(Target()), L"");
  EXPECT_EQ(PanePath(Reference()), L"");
  // No file list at all.
  POINTL point = CenterOf(IDC_TARGET_PLACEHOLDER);
  EXPECT_EQ(SendMessageW(window_, WM_DROPFILES, 0, reinterpret_cast<LPARAM>(&point)), 0);
  EXPECT_EQ(PanePath(Target()), L"");
}

TEST_F(Drops, TheDropTargetTurnsADataObjectIntoTheMessage) {
  std::wstring photo = folder_.MakeFile(L"photo.jpg");
  auto* target = new CSimpleDropTarget(window_);
  IDropTarget* dropTarget = nullptr;
  ASSERT_EQ(target->QueryInterface(IID_IDropTarget, reinterpret_cast<void**>(&dropTarget)), S_OK);
  // Whatever the source allows, a drop of names is a copy: told of a move, the source would
  // delete its files.
  const DWORD offered = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  FileListData data({photo});
  DWORD effect = offered;
  EXPECT_EQ(dropTarget->DragEnter(&data, 0, CenterOf(IDC_TARGET_PLACEHOLDER), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  effect = offered;
  EXPECT_EQ(dropTarget->DragOver(0, CenterOf(IDC_TARGET_PLACEHOLDER), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  effect = offered;
  EXPECT_EQ(dropTarget->Drop(&data, 0, CenterOf(IDC_TARGET_PLACEHOLDER), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(PanePath(Target()), photo);

  // Data without a file list: still S_OK, nothing happens, and no effect is offered.
  FileListData nothing({});
  effect = offered;
  EXPECT_EQ(dropTarget->DragEnter(&nothing, 0, CenterOf(IDC_TARGET_PLACEHOLDER), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  effect = offered;
  EXPECT_EQ(dropTarget->DragOver(0, CenterOf(IDC_TARGET_PLACEHOLDER), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  effect = offered;
  EXPECT_EQ(dropTarget->Drop(&nothing, 0, CenterOf(IDC_REFERENCE_PLACEHOLDER), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(PanePath(Reference()), L"");
  EXPECT_EQ(dropTarget->DragLeave(), S_OK);
  EXPECT_EQ(dropTarget->Release(), 0u);
}

TEST(DropTarget, CountsItsReferencesAndAnswersOnlyItsInterfaces) {
  auto* target = new CSimpleDropTarget(nullptr);
  IUnknown* unknown = nullptr;
  ASSERT_EQ(target->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(unknown, static_cast<IUnknown*>(target));
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(target->QueryInterface(IID_IDataObject, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(target->AddRef(), 2u);
  EXPECT_EQ(target->Release(), 1u);
  EXPECT_EQ(unknown->Release(), 0u);
}

TEST_F(Drops, TheMainWindowIsRegisteredForDrops) {
  auto* second = new CSimpleDropTarget(window_);
  IDropTarget* reference = nullptr;
  second->QueryInterface(IID_IDropTarget, reinterpret_cast<void**>(&reference));
  EXPECT_EQ(RegisterDragDrop(window_, reference), DRAGDROP_E_ALREADYREGISTERED);
  reference->Release();
}

} // namespace
