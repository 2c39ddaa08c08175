#include "filetime/match_folders.h"

#include <cwchar>

#include "base/bounded_text.h"
#include "base/handles.h"
#include "filetime/enumerate_folder.h"
#include "base/join_path.h"
#include "filetime/path_times.h"

namespace {

constexpr size_t kQuestionCapacity = 1040;

enum TimeSlot { kCreatedSlot, kModifiedSlot, kTimeSlots };

// Which option bit copies which of the Reference item's times.
constexpr struct {
  uint32_t bit;
  TimeSlot slot;
} kCopiedTimes[] = {
    {kMatchCopyCreated, kCreatedSlot},
    {kMatchCopyModified, kModifiedSlot},
};

enum class Handling { kSkip, kAsFolder, kAsPlainItem };

bool IsFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

Handling HandlingOf(uint32_t option, DWORD attributes) {
  if ((option & kMatchFolders) != 0 && IsFolder(attributes))
    return Handling::kAsFolder;
  return (option & kMatchPlainItems) != 0 ? Handling::kAsPlainItem : Handling::kSkip;
}

// The Target item at the Reference item's relative path; false when that path would not fit.
bool CounterpartPath(const MatchContext& context, const wchar_t* fullPath, wchar_t* out) {
  size_t prefixLength = wcslen(context.referenceFolder);
  return wcsncmp(fullPath, context.referenceFolder, prefixLength) == 0 &&
         JoinPath(out, context.targetFolder, fullPath + prefixLength);
}

bool CounterpartFits(Handling handling, DWORD attributes) {
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return false;
  return handling == Handling::kAsPlainItem || IsFolder(attributes);
}

// Only a Yes goes on: a box that could not be shown confirmed nothing.
bool Confirmed(HWND owner, const MatchContext& context) {
  UniqueHeapBlock block(HeapAllocZeroed<wchar_t>(kQuestionCapacity));
  auto* question = static_cast<wchar_t*>(block.Get());
  if (question == nullptr)
    return false;
  FormatBounded(question, kQuestionCapacity, L"%s\r\nTo\r\n%s", context.referenceFolder,
                context.targetFolder);
  return MessageBoxW(owner, question, L"Matched Folders DateTime", MB_YESNO) == IDYES;
}

} // namespace

int MatchItem(const wchar_t* fullPath, HANDLE, const FILETIME*, void* context) {
  auto* match = static_cast<MatchContext*>(context);
  // One query gives the item's kind and its stamps, without opening it. The stamps are copied as
  // they are, never through local time: a local time in the hour the clocks repeat has two.
  FILETIME times[kTimeSlots] = {};
  DWORD attributes = INVALID_FILE_ATTRIBUTES;
  bool read = QueryPathUtcTimes(fullPath, &times[kCreatedSlot], &times[kModifiedSlot], &attributes);
  Handling handling = HandlingOf(match->option, attributes);
  wchar_t counterpart[kPathCapacity];
  if (handling == Handling::kSkip || !CounterpartPath(*match, fullPath, counterpart) ||
      !CounterpartFits(handling, GetFileAttributesW(counterpart)) || !read)
    return 1;
  const FILETIME* copied[kTimeSlots] = {};
  for (const auto& row : kCopiedTimes)
    if ((match->option & row.bit) != 0)
      copied[row.slot] = &times[row.slot];
  // A counterpart that could not be written is not counted as matched. With no time selected the
  // item still counts, but the counterpart is not opened for writing.
  if ((copied[kCreatedSlot] != nullptr || copied[kModifiedSlot] != nullptr) &&
      !SetPathUtcTimes(counterpart, copied[kCreatedSlot], copied[kModifiedSlot], nullptr))
    return 1;
  ++match->count;
  return 1;
}

uint32_t MatchFolders(HWND owner, const wchar_t* referencePath, const wchar_t* targetPath,
                      uint32_t option) {
  if (referencePath == nullptr || targetPath == nullptr ||
      !IsFolder(GetFileAttributesW(referencePath)) || !IsFolder(GetFileAttributesW(targetPath)))
    return 0;
  MatchContext context = {};
  if (!JoinFolderPrefix(context.referenceFolder, referencePath) ||
      !JoinFolderPrefix(context.targetFolder, targetPath))
    return 0;
  context.option = option;
  if (!Confirmed(owner, context))
    return 0;
  EnumerateOptions options = {};
  options.flags = EnumRecurse | EnumIncludeFolders;
  options.entryCallback = MatchItem;
  options.entryContext = &context;
  EnumerateFolder(nullptr, referencePath, 0, &options);
  return context.count;
}
