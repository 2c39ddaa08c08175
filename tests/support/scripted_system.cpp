#include "tests/support/scripted_system.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>

namespace {

ScriptedSystem* g_script;

int WINAPI ScriptedMessageBoxW(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
  size_t asked = g_script->boxes.size();
  g_script->boxes.push_back(std::wstring(text != nullptr ? text : L"") + L"|" +
                            (caption != nullptr ? caption : L"") + L"|" + std::to_wstring(type));
  return asked < g_script->boxAnswers.size() ? g_script->boxAnswers[asked] : IDCANCEL;
}

BOOL WINAPI ScriptedGetOpenFileNameW(OPENFILENAMEW* dialog) {
  const std::wstring& choice = g_script->fileChoice;
  const wchar_t* folder = dialog->lpstrInitialDir;
  g_script->fileProposed = dialog->lpstrFile + (L"|" + std::wstring(folder ? folder : L""));
  if (choice.empty())
    return FALSE;
  lstrcpynW(dialog->lpstrFile, choice.c_str(), static_cast<int>(dialog->nMaxFile));
  if ((dialog->Flags & OFN_NOCHANGEDIR) == 0) // as the system's dialog does, unless asked not to
    SetCurrentDirectoryW(choice.substr(0, choice.rfind(L'\\') + 1).c_str());
  return TRUE;
}

PIDLIST_ABSOLUTE WINAPI ScriptedSHBrowseForFolderW(BROWSEINFOW* browse) {
  g_script->folderProposed = browse->lpszTitle + (L"|" + std::wstring(browse->pszDisplayName));
  return g_script->folderChoice.empty()
             ? nullptr
             : static_cast<PIDLIST_ABSOLUTE>(CoTaskMemAlloc(sizeof(USHORT)));
}

BOOL WINAPI ScriptedSHGetPathFromIDListW(PCIDLIST_ABSOLUTE, LPWSTR path) {
  return lstrcpynW(path, g_script->folderChoice.c_str(), MAX_PATH) != nullptr;
}

SHORT WINAPI ScriptedGetAsyncKeyState(int key) {
  const std::vector<int>& down = g_script->keysDown;
  return std::find(down.begin(), down.end(), key) != down.end() ? SHORT(0x8000) : SHORT(0);
}

INT_PTR WINAPI ScriptedDialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc,
                                       LPARAM parameter) {
  HWND dialog = CreateDialogParamW(instance, name, owner, proc, parameter);
  if (dialog != nullptr && g_script->dialog)
    g_script->dialog(dialog);
  if (IsWindow(dialog))
    DestroyWindow(dialog);
  return 0;
}

} // namespace

ScriptedSystem::ScriptedSystem() {
  g_script = this;
  patches_.emplace_back("user32.dll", "MessageBoxW", ScriptedMessageBoxW);
  patches_.emplace_back("comdlg32.dll", "GetOpenFileNameW", ScriptedGetOpenFileNameW);
  patches_.emplace_back("shell32.dll", "SHBrowseForFolderW", ScriptedSHBrowseForFolderW);
  patches_.emplace_back("shell32.dll", "SHGetPathFromIDListW", ScriptedSHGetPathFromIDListW);
  patches_.emplace_back("user32.dll", "GetAsyncKeyState", ScriptedGetAsyncKeyState);
  patches_.emplace_back("user32.dll", "DialogBoxParamW", ScriptedDialogBoxParamW);
}
