#include "rename/run_rename_method.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <utility>

#include "base/bounded_text.h"
#include "base/handles.h"
#include "filetime/enumerate_folder.h"
#include "filetime/exact_name.h"
#include "rename/find_match.h"
#include "rename/name_list.h"
#include "rename/preview_rows.h"
#include "rename/rename_method.h"
#include "resources/resource_ids.h"

namespace {

constexpr size_t kRowCapacity = 520;

void ReadInputs(HWND dialog, uint32_t wanted, RenameInputs* inputs) {
  *inputs = {};
  if (wanted & InputFind)
    GetDlgItemTextW(dialog, IDC_RENAME_FIND, inputs->find, ARRAYSIZE(inputs->find));
  if (wanted & InputReplace)
    GetDlgItemTextW(dialog, IDC_RENAME_REPLACE, inputs->replace, ARRAYSIZE(inputs->replace));
  if (wanted & InputCaseSensitive)
    inputs->caseSensitive = IsDlgButtonChecked(dialog, IDC_RENAME_CASE_SENSITIVE) == BST_CHECKED;
  if (wanted & InputFilter)
    GetDlgItemTextW(dialog, IDC_RENAME_FILTER, inputs->filter, ARRAYSIZE(inputs->filter));
  if (wanted & InputLength)
    GetDlgItemTextW(dialog, IDC_RENAME_LENGTH, inputs->lengthText, ARRAYSIZE(inputs->lengthText));
}

// The folder's file names, gathered in one walk: every name was taken before the first rename, so
// a renamed file is not met again.
// The system's search also matches a file's short 8.3 name ("*.tif" lists "photo.tiff"), so each
// name it gives is held against the Filter again.
struct Listing {
  const wchar_t* filter;
  NameList names;
  bool incomplete = false;
};

int CollectName(const wchar_t* fullPath, HANDLE, const FILETIME*, void* context) {
  auto* listing = static_cast<Listing*>(context);
  const wchar_t* separator = wcsrchr(fullPath, L'\\');
  const wchar_t* name = separator != nullptr ? separator + 1 : fullPath;
  if (MatchesFilter(name, listing->filter) && !listing->names.Add(name))
    listing->incomplete = true;
  return 1;
}

// A Filter with a separator would list another folder's files, while the renames act on this
// folder's files of the same names: it lists nothing.
bool ListFolder(const wchar_t* folderPath, const wchar_t* filter, Listing* listing) {
  if (wcschr(filter, L'\\') != nullptr || wcschr(filter, L'/') != nullptr)
    return false;
  EnumerateOptions options = {};
  options.pattern = filter[0] != L'\0' ? filter : nullptr;
  listing->filter = filter[0] != L'\0' ? filter : L"*.*";
  options.entryCallback = CollectName;
  options.entryContext = listing;
  EnumerateFolder(nullptr, folderPath, 0, &options);
  return !listing->incomplete && listing->names.Count() != 0;
}

// One file's rename. The folder path is used as given; paths that would not fit whole are refused,
// since a cut one could name another file.
struct Rename {
  wchar_t newName[kPathCapacity];
  wchar_t oldPath[kPathCapacity + 1]; // room for the second terminator of a shell path list
  wchar_t newPath[kPathCapacity + 1];
};

bool Prepare(const wchar_t* folderPath, const wchar_t* name, const RenameRule& rule,
             Rename* rename) {
  return BuildNewName(name, rule, rename->newName) &&
         FormatBounded(rename->oldPath, kPathCapacity, L"%s\\%s", folderPath, name) == 0 &&
         FormatBounded(rename->newPath, kPathCapacity, L"%s\\%s", folderPath, rename->newName) == 0;
}

void Report(const RenameObserver* observer, const wchar_t* oldName, const wchar_t* newName) {
  if (observer != nullptr && observer->renamed != nullptr)
    observer->renamed(oldName, newName, observer->context);
}

// The list draws only the rows it shows, asking the store for their texts. The rows' block is
// sized at once for new names as long as the old ones: copying a large block each time it doubles
// would cost more than the rows. A preview that ran out of memory shows nothing rather than part
// of the folder.
void Preview(HWND listView, const wchar_t* folderPath, const NameList& names,
             const RenameRule& rule) {
  NameList rows;
  if (!rows.Reserve(names.Count(), 2 * names.Characters() + 4 * names.Count()))
    return;
  Rename rename;
  wchar_t text[kRowCapacity];
  for (uint32_t i = 0; i < names.Count(); ++i) {
    if (!Prepare(folderPath, names.At(i), rule, &rename))
      continue;
    FormatBounded(text, kRowCapacity, L"%s -> %s", names.At(i), rename.newName);
    if (!rows.Add(text))
      return;
  }
  ShowPreviewRows(listView, std::move(rows));
}

// Never replaces a file: a name that another file holds, or will only vacate later, stays refused.
// Nor copies one: a rename inside a folder never needs a copy, and a copy whose delete goes
// ahead may leave nothing.
int RenameAll(const wchar_t* folderPath, const NameList& names, const RenameRule& rule,
              const RenameObserver* observer) {
  Rename rename;
  int renamed = 0;
  for (uint32_t i = 0; i < names.Count(); ++i) {
    if (!Prepare(folderPath, names.At(i), rule, &rename) ||
        !MoveFileExW(rename.oldPath, rename.newPath, 0))
      continue;
    ++renamed;
    Report(observer, names.At(i), rename.newName);
  }
  return renamed;
}

// A row reads "old -> new". Neither name can hold '>', so the last arrow parts them.
bool SplitRow(const wchar_t* row, wchar_t* oldName, const wchar_t** shownName) {
  const wchar_t* arrow = nullptr;
  for (const wchar_t* found = wcsstr(row, L" -> "); found != nullptr;
       found = wcsstr(found + 1, L" -> "))
    arrow = found;
  if (arrow == nullptr || arrow == row || static_cast<size_t>(arrow - row) >= kPathCapacity)
    return false;
  wmemcpy(oldName, row, arrow - row);
  oldName[arrow - row] = L'\0';
  *shownName = arrow + 4;
  return true;
}

// What the file system knows the item at path by, whatever name reaches it. A link is taken as
// itself, not as what it points to.
struct FileIdentity {
  DWORD volume = 0, indexHigh = 0, indexLow = 0;
  bool operator==(const FileIdentity&) const = default;
};

bool IdentityOf(const wchar_t* path, FileIdentity* identity) {
  UniqueFile file(CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION information;
  if (!file || !GetFileInformationByHandle(file.Get(), &information))
    return false;
  *identity = {information.dwVolumeSerialNumber, information.nFileIndexHigh,
               information.nFileIndexLow};
  return true;
}

// True when nothing but the file itself has the new name, as when only the case changes. Both the
// identity and the names are compared: in a case-sensitive folder another case names another
// file, and a hard link to the file is another name that the rename would replace.
bool NewNameFree(const Rename& rename, const wchar_t* oldName, const FileIdentity& file) {
  if (GetFileAttributesW(rename.newPath) == INVALID_FILE_ATTRIBUTES &&
      GetLastError() == ERROR_FILE_NOT_FOUND)
    return true;
  FileIdentity holder;
  return IdentityOf(rename.newPath, &holder) && holder == file &&
         CompareStringOrdinal(oldName, -1, rename.newName, -1, TRUE) == CSTR_EQUAL;
}

// Renames the file that the row names, and only to the name the row shows: a row whose file has
// gone, whose new name the current inputs no longer give, or whose new name another file holds,
// renames nothing (the shell would offer to replace that file). Returns 1 only when the file now
// carries the new name: the shell's answer alone does not say so. Identity tells whether a taken
// name is the file's own; after the rename only names can tell, since on FAT and exFAT a file's
// index is the place of its directory entry, which a longer name can move.
int RenameOne(HWND dialog, const wchar_t* folderPath, const RenameRule& rule, int row,
              const RenameObserver* observer) {
  wchar_t text[kRowCapacity] = {};
  LVITEMW item = {};
  item.pszText = text;
  item.cchTextMax = kRowCapacity;
  SendDlgItemMessageW(dialog, IDC_RENAME_LIST, LVM_GETITEMTEXTW, row,
                      reinterpret_cast<LPARAM>(&item));
  wchar_t oldName[kPathCapacity];
  const wchar_t* shownName = nullptr;
  Rename rename = {};
  FileIdentity file;
  if (!SplitRow(text, oldName, &shownName) || !Prepare(folderPath, oldName, rule, &rename) ||
      wcscmp(rename.newName, shownName) != 0 || !HoldsExactName(rename.oldPath, oldName) ||
      !IdentityOf(rename.oldPath, &file) || !NewNameFree(rename, oldName, file))
    return 0;
  // Each path is a list of one, ended by an empty string.
  rename.oldPath[lstrlenW(rename.oldPath) + 1] = L'\0';
  rename.newPath[lstrlenW(rename.newPath) + 1] = L'\0';
  SHFILEOPSTRUCTW operation = {};
  operation.hwnd = dialog;
  operation.wFunc = FO_RENAME;
  operation.pFrom = rename.oldPath;
  operation.pTo = rename.newPath;
  operation.fFlags = FOF_ALLOWUNDO | FOF_NOERRORUI;
  SHFileOperationW(&operation);
  if (!HoldsExactName(rename.newPath, rename.newName) || HoldsExactName(rename.oldPath, oldName))
    return 0;
  Report(observer, oldName, rename.newName);
  return 1;
}

} // namespace

int RunRenameMethod(HWND dialog, const wchar_t* folderPath, int method, HWND listView, int row,
                    const RenameObserver* observer) {
  const MethodRoutine* routine = RoutineFor(method);
  if (routine == nullptr)
    return 0;
  RenameInputs inputs;
  ReadInputs(dialog, routine->inputs, &inputs);
  RenameRule rule;
  // A preview always shows what Execute would do now, so rows of an earlier preview go even when
  // the run ends here.
  if (listView != nullptr)
    ClearPreviewRows(listView);
  if (!routine->bind(static_cast<RenameMethod>(method), inputs, &rule))
    return 0;
  if (listView == nullptr && row >= 0)
    return RenameOne(dialog, folderPath, rule, row, observer);
  Listing listing = {};
  if (!ListFolder(folderPath, inputs.filter, &listing))
    return 0;
  if (listView != nullptr) {
    Preview(listView, folderPath, listing.names, rule);
    return 0;
  }
  return RenameAll(folderPath, listing.names, rule, observer);
}
