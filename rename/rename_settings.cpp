#include "rename/rename_settings.h"

#include "base/bounded_text.h"
#include "base/settings.h"

RenameSettings g_renameSettings;

void LoadRenameSettings(const wchar_t* iniPath, RenameSettings* settings) {
  settings->find[0] = L'\0';
  settings->replace[0] = L'\0';
  settings->caseSensitive = 0;
  FormatBounded(settings->filter, ARRAYSIZE(settings->filter), L"%s", L"*.*");
  if (iniPath == nullptr || iniPath[0] == L'\0')
    return;
  settings->method = ReadSettingInt(iniPath, L"Rename", L"Method", 0);
  ReadSettingText(iniPath, L"Rename", L"Filter", L"*.*", settings->filter,
                  ARRAYSIZE(settings->filter));
  settings->caseSensitive = ReadSettingInt(iniPath, L"Replace", L"CaseSensitive", 0) != 0 ? 1 : 0;
  ReadSettingText(iniPath, L"Replace", L"Find", L"", settings->find, ARRAYSIZE(settings->find));
  ReadSettingText(iniPath, L"Replace", L"Replace", L"", settings->replace,
                  ARRAYSIZE(settings->replace));
  settings->length = ReadSettingInt(iniPath, L"Rename", L"Length", 0);
}
