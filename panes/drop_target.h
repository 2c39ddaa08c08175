#pragma once

#include <ole2.h>
#include <windows.h>

#include <shellapi.h>

#include "base/main_state.h"

// Turns a shell drop on the main window into WM_DROPFILES with wParam the HDROP and lParam the
// address of the drop point (screen coordinates). The medium stays the drop target's: the
// receiver must not call DragFinish. Registered for the main window at start; after
// RegisterDragDrop the registration holds the only reference, and RevokeDragDrop's final Release
// deletes the object.
class CSimpleDropTarget final : public IDropTarget {
public:
  explicit CSimpleDropTarget(HWND targetWindow) : targetWindow(targetWindow) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD*) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD*) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point,
                                 DWORD* effect) override;

private:
  ~CSimpleDropTarget() = default;

  LONG refCount = 0;
  HWND targetWindow;
  bool offersFiles = false; // the data of the drag under way carries file names
};

// Registers a new drop target for the main window.
void RegisterMainDropTarget(HWND mainWindow);

// Gives the pane every dropped name in turn, stopping at the first one refused; then shows the
// times of the name the pane holds, whenever one was taken. Returns the last SetPanePath answer, or
// 0 for an empty drop.
int HandlePaneDrop(HWND pane, MainState* state, HDROP drop, ExifDates* exif);
