#include "app/rename_command.h"

#include "app/load_dialog_template.h"
#include "rename/rename_dialog.h"
#include "resources/resource_ids.h"

void RenameCommand(MainState* state) {
  LPARAM parameter = reinterpret_cast<LPARAM>(state);
  if (IsVistaOrLater()) {
    DialogBoxParamW(state->instance, MAKEINTRESOURCEW(IDD_RENAME), state->mainWindow,
                    RenameDialogProc, parameter);
    return;
  }
  TemplateOptions options = {};
  options.faceName = L"MS UI Gothic";
  options.faceNameBytes = 26;
  DLGTEMPLATE* copy = LoadDialogTemplate(state->instance, IDD_RENAME, &options);
  if (copy == nullptr)
    return;
  DialogBoxIndirectParamW(state->instance, copy, state->mainWindow, RenameDialogProc, parameter);
  HeapFree(GetProcessHeap(), 0, copy);
}
