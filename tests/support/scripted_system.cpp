#include "tests/support/scripted_system.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>

#include "tests/support/iat_patch.h"

namespace {

ScriptedSystem* g_script;

int WINAPI ScriptedMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  ScriptedSystem& script = *g_script;
  size_t asked = script.boxes.size();
  script.boxes.push_back(
      {owner, text != nullptr ? text : L"", caption != nullptr ? caption : L"", type});
  return asked < script.boxAnswers.size() ? script.boxAnswers[asked] : IDCANCEL;
}

BOOL WINAPI ScriptedGetOpenFileNameW(OPENFILENAMEW* dialog) {
  ScriptedSystem& script = *g_script;
  ++script.fileDialogs;
  script.fileProposed = dialog->lpstrFile;
  script.fileFolder = dialog->lpstrInitialDir != nullptr ? dialog->lpstrInitialDir : L"(none)";
  if (script.fileChoice.empty())
    return FALSE;
  lstrcpynW(dialog->lpstrFile, script.fileChoice.c_str(), static_cast<int>(dialog->nMaxFile));
  // As the system's dialog does, unless asked not to.
  std::wstring folder = script.fileChoice.substr(0, script.fileChoice.rfind(L'\\') + 1);
  if ((dialog->Flags & OFN_NOCHANGEDIR) == 0)
    SetCurrentDirectoryW(folder.c_str());
  return TRUE;
}

PIDLIST_ABSOLUTE WINAPI ScriptedSHBrowseForFolderW(BROWSEINFOW* browse) {
  ScriptedSystem& script = *g_script;
  ++script.folderDialogs;
  script.folderTitle = browse->lpszTitle != nullptr ? browse->lpszTitle : L"";
  script.folderPreselected = reinterpret_cast<const wchar_t*>(browse->lParam);
  if (script.folderChoice.empty())
    return nullptr;
  return static_cast<PIDLIST_ABSOLUTE>(CoTaskMemAlloc(sizeof(USHORT)));
}

BOOL WINAPI ScriptedSHGetPathFromIDListW(PCIDLIST_ABSOLUTE, LPWSTR path) {
  lstrcpynW(path, g_script->folderChoice.c_str(), MAX_PATH);
  return TRUE;
}

SHORT WINAPI ScriptedGetAsyncKeyState(int key) {
  const std::vector<int>& down = g_script->keysDown;
  return std::find(down.begin(), down.end(), key) != down.end() ? SHORT(0x8000) : SHORT(0);
}

INT_PTR WINAPI ScriptedDialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc,
                                       LPARAM parameter) {
  ++g_script->dialogs;
  HWND dialog = CreateDialogParamW(instance, name, owner, proc, parameter);
  if (dialog != nullptr && g_script->dialog)
    g_script->dialog(dialog);
  if (IsWindow(dialog))
    DestroyWindow(dialog);
  return 0;
}

} // namespace

struct ScriptedSystem::Patches {
  ImportPatch box{"user32.dll", "MessageBoxW", reinterpret_cast<void*>(ScriptedMessageBoxW)};
  ImportPatch file{"comdlg32.dll", "GetOpenFileNameW",
                   reinterpret_cast<void*>(ScriptedGetOpenFileNameW)};
  ImportPatch folder{"shell32.dll", "SHBrowseForFolderW",
                     reinterpret_cast<void*>(ScriptedSHBrowseForFolderW)};
  ImportPatch folderPath{"shell32.dll", "SHGetPathFromIDListW",
                         reinterpret_cast<void*>(ScriptedSHGetPathFromIDListW)};
  ImportPatch keys{"user32.dll", "GetAsyncKeyState",
                   reinterpret_cast<void*>(ScriptedGetAsyncKeyState)};
  ImportPatch modal{"user32.dll", "DialogBoxParamW",
                    reinterpret_cast<void*>(ScriptedDialogBoxParamW)};
};

ScriptedSystem::ScriptedSystem() : patches_(new Patches) {
  g_script = this;
}

ScriptedSystem::~ScriptedSystem() {
  delete patches_;
  g_script = nullptr;
}

void Press(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
