#include "panes/drop_target.h"

#include "panes/pane_display.h"

HRESULT STDMETHODCALLTYPE CSimpleDropTarget::QueryInterface(REFIID id, void** object) {
  if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CSimpleDropTarget::AddRef() {
  return static_cast<ULONG>(++refCount);
}

ULONG STDMETHODCALLTYPE CSimpleDropTarget::Release() {
  LONG count = --refCount;
  if (count <= 0) {
    delete this;
    return 0;
  }
  return static_cast<ULONG>(count);
}

namespace {

FORMATETC FileNames() {
  return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// Names are only read, never moved: a source told of a move would delete its files.
void Answer(DWORD* effect, bool offersFiles) {
  if (effect != nullptr)
    *effect = offersFiles ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

} // namespace

HRESULT STDMETHODCALLTYPE CSimpleDropTarget::DragEnter(IDataObject* data, DWORD, POINTL,
                                                       DWORD* effect) {
  FORMATETC format = FileNames();
  offersFiles = data != nullptr && data->QueryGetData(&format) == S_OK;
  Answer(effect, offersFiles);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimpleDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  Answer(effect, offersFiles);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimpleDropTarget::DragLeave() {
  offersFiles = false;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimpleDropTarget::Drop(IDataObject* data, DWORD, POINTL point,
                                                  DWORD* effect) {
  offersFiles = false;
  FORMATETC format = FileNames();
  STGMEDIUM medium = {};
  if (data == nullptr || FAILED(data->GetData(&format, &medium))) {
    Answer(effect, false);
    return S_OK;
  }
  Answer(effect, true);
  // Sent, so the pane is updated (and any shortcut question answered) before the drop ends.
  POINTL where = point;
  SendMessageW(targetWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(medium.hGlobal),
               reinterpret_cast<LPARAM>(&where));
  ReleaseStgMedium(&medium);
  return S_OK;
}

void RegisterMainDropTarget(HWND mainWindow) {
  auto* target = new CSimpleDropTarget(mainWindow);
  IDropTarget* reference = nullptr;
  target->QueryInterface(IID_IDropTarget, reinterpret_cast<void**>(&reference));
  RegisterDragDrop(mainWindow, reference);
  reference->Release();
}

int HandlePaneDrop(HWND pane, MainState* state, HDROP drop, ExifDates* exif) {
  UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  if (count == 0)
    return 0;
  UINT capacity = 260;
  for (UINT i = 0; i < count; ++i) {
    UINT length = DragQueryFileW(drop, i, nullptr, 0);
    if (length + 1 > capacity)
      capacity = length + 1;
  }
  auto* name = static_cast<wchar_t*>(
      HeapAlloc(state->processHeap, HEAP_ZERO_MEMORY, capacity * sizeof(wchar_t) + 2));
  if (name == nullptr)
    return 0;
  int answer = 0;
  bool taken = false;
  for (UINT i = 0; i < count; ++i) {
    DragQueryFileW(drop, i, name, capacity);
    answer = SetPanePath(pane, name);
    if (answer != 1)
      break;
    taken = true;
  }
  HeapFree(state->processHeap, 0, name);
  // A later name refused leaves the pane on an earlier one, which must not keep the times of the
  // path shown before the drop.
  if (taken)
    ShowPaneTimes(pane, exif);
  return answer;
}
