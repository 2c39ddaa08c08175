#include "rename/run_rename_method.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/bounded_text.h"
#include "app/handles.h"
#include "filetime/enumerate_folder.h"
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

// The folder's files, listed once: every name was taken before the first rename, so a renamed
// file is not met again. Sub-folders are neither listed nor entered.
struct Listing {
  UniqueHeapBlock block;
  uint32_t count = 0;
  const FolderEntry* Entries() const { return static_cast<const FolderEntry*>(block.Get()); }
};

// Listing is the slow part of a run, and a folder is usually previewed and renamed several times
// in a row: the array is first sized by the count of the last run, so such a run lists the folder
// once. A folder with more files than that is counted by the first listing, and listed again into
// an array of exactly that size.
uint32_t g_lastCount = 0;
constexpr uint32_t kLeastCapacity = 256;

// Lists into a zeroed array of capacity entries; the limit keeps the array from being overrun,
// also by a file added since it was sized. Returns the folder's count, which may be larger.
uint32_t FillListing(Listing* listing, const wchar_t* folderPath, EnumerateOptions* options,
                     uint32_t capacity) {
  listing->count = 0;
  listing->block.Reset(HeapAllocZeroed<FolderEntry>(capacity));
  if (!listing->block)
    return 0;
  options->maxEntries = capacity;
  uint32_t count =
      EnumerateFolder(static_cast<FolderEntry*>(listing->block.Get()), folderPath, 0, options);
  listing->count = count < capacity ? count : capacity;
  return count;
}

Listing ListFolder(const wchar_t* folderPath, const wchar_t* filter) {
  EnumerateOptions options = {};
  options.pattern = filter[0] != L'\0' ? filter : nullptr;
  Listing listing;
  uint32_t capacity = g_lastCount > kLeastCapacity ? g_lastCount : kLeastCapacity;
  uint32_t count = FillListing(&listing, folderPath, &options, capacity);
  if (count > capacity)
    FillListing(&listing, folderPath, &options, count);
  g_lastCount = listing.count;
  return listing;
}

// One file's rename. The folder path is used as given; paths that would not fit whole are refused,
// since a cut one could name another file.
struct Rename {
  wchar_t newName[kPathCapacity];
  wchar_t oldPath[kPathCapacity + 1]; // room for the second terminator of a shell path list
  wchar_t newPath[kPathCapacity + 1];
};

bool Prepare(const wchar_t* folderPath, const FolderEntry& entry, const RenameRule& rule,
             Rename* rename) {
  return BuildNewName(entry.name, rule, rename->newName) &&
         FormatBounded(rename->oldPath, kPathCapacity, L"%s\\%s", folderPath, entry.name) == 0 &&
         FormatBounded(rename->newPath, kPathCapacity, L"%s\\%s", folderPath, rename->newName) == 0;
}

// Rows are appended in listing order with redrawing held off, and the one column is sized once
// at the end: a large folder must not cost a repaint and a resize per row.
void Preview(HWND listView, const wchar_t* folderPath, const Listing& listing,
             const RenameRule& rule) {
  SendMessageW(listView, WM_SETREDRAW, FALSE, 0);
  SendMessageW(listView, LVM_SETITEMCOUNT, listing.count, 0);
  Rename rename;
  wchar_t text[kRowCapacity];
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.pszText = text;
  for (uint32_t i = 0; i < listing.count; ++i) {
    const FolderEntry& entry = listing.Entries()[i];
    if (!Prepare(folderPath, entry, rule, &rename))
      continue;
    FormatBounded(text, kRowCapacity, L"%s -> %s", entry.name, rename.newName);
    SendMessageW(listView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    ++item.iItem;
  }
  SendMessageW(listView, WM_SETREDRAW, TRUE, 0);
  SendMessageW(listView, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
  InvalidateRect(listView, nullptr, TRUE);
}

// Never replaces a file: a name that another file holds, or will only vacate later, stays refused.
void RenameAll(const wchar_t* folderPath, const Listing& listing, const RenameRule& rule) {
  Rename rename;
  for (uint32_t i = 0; i < listing.count; ++i) {
    if (Prepare(folderPath, listing.Entries()[i], rule, &rename))
      MoveFileExW(rename.oldPath, rename.newPath, MOVEFILE_COPY_ALLOWED);
  }
}

// The row counts the files that get a new name, as the preview would show them now.
void RenameOne(HWND dialog, const wchar_t* folderPath, const Listing& listing,
               const RenameRule& rule, int row) {
  Rename rename = {};
  int count = 0;
  for (uint32_t i = 0; i < listing.count; ++i) {
    if (!Prepare(folderPath, listing.Entries()[i], rule, &rename) || count++ != row)
      continue;
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
    return;
  }
}

} // namespace

void RunRenameMethod(HWND dialog, const wchar_t* folderPath, int method, HWND listView, int row) {
  const MethodRoutine* routine = RoutineFor(method);
  if (routine == nullptr)
    return;
  RenameInputs inputs;
  ReadInputs(dialog, routine->inputs, &inputs);
  RenameRule rule;
  // A preview always shows what Execute would do now, so rows of an earlier preview go even when
  // the run ends here.
  if (listView != nullptr)
    SendMessageW(listView, LVM_DELETEALLITEMS, 0, 0);
  if (!routine->bind(static_cast<RenameMethod>(method), inputs, &rule))
    return;
  Listing listing = ListFolder(folderPath, inputs.filter);
  if (listing.count == 0)
    return;
  if (listView != nullptr)
    Preview(listView, folderPath, listing, rule);
  else if (row < 0)
    RenameAll(folderPath, listing, rule);
  else
    RenameOne(dialog, folderPath, listing, rule, row);
}
