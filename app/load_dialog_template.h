#pragma once

#include <windows.h>

#include "app/dialog_template.h"

// A heap copy of dialog template resourceId with the font of options, or null. The caller frees
// it with HeapFree on the process heap once the dialog has been made from it.
DLGTEMPLATE* LoadDialogTemplate(HINSTANCE instance, int resourceId, TemplateOptions* options);

// True on Windows Vista (6.0) or later.
bool IsVistaOrLater();
