#include "app/load_dialog_template.h"

DLGTEMPLATE* LoadDialogTemplate(HINSTANCE instance, int resourceId, TemplateOptions* options) {
  HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), RT_DIALOG);
  if (resource == nullptr)
    return nullptr;
  DWORD size = SizeofResource(instance, resource);
  HGLOBAL loaded = LoadResource(instance, resource);
  auto* data = static_cast<const uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  TemplateFont font;
  if (data == nullptr || !FindTemplateFont(data, size, &font))
    return nullptr;
  size_t length = RewrittenTemplateSize(size, font, *options);
  auto* copy = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, length));
  if (copy == nullptr)
    return nullptr;
  RewriteDialogTemplate(data, size, font, *options, copy);
  return reinterpret_cast<DLGTEMPLATE*>(copy);
}

bool IsVistaOrLater() {
  OSVERSIONINFOEXW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  version.dwMajorVersion = 6;
  version.dwMinorVersion = 0;
  version.wServicePackMajor = 0;
  DWORDLONG conditions = 0;
  conditions = VerSetConditionMask(conditions, VER_MAJORVERSION, VER_GREATER_EQUAL);
  conditions = VerSetConditionMask(conditions, VER_MINORVERSION, VER_GREATER_EQUAL);
  conditions = VerSetConditionMask(conditions, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
  return VerifyVersionInfoW(&version, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR,
                            conditions) != FALSE;
}
