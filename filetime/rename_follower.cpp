#include "filetime/rename_follower.h"

#include <cwchar>
#include <new>

#include "filetime/exact_name.h"

namespace {

// File names compare without regard to case.
std::wstring Folded(const wchar_t* name) {
  std::wstring folded = name;
  if (!folded.empty())
    CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
  return folded;
}

} // namespace

// Built at the first rename, so a run that renames nothing costs nothing here.
bool RenameFollower::Index() {
  if (indexed_)
    return true;
  try {
    byName_.reserve(count_);
    for (uint32_t i = 0; i < count_; ++i)
      if (entries_[i].fullPath[0] != L'\0')
        byName_.emplace(Folded(entries_[i].name), i);
  } catch (const std::bad_alloc&) {
    return false;
  }
  indexed_ = true;
  return true;
}

// The record naming exactly this file; else the one record whose name folds alike and whose own
// name the folder no longer holds, as after a change of case made elsewhere. In a case-sensitive
// folder a name in another case is another file, and a record whose file is still there is its.
RenameFollower::ByName::iterator RenameFollower::Find(const wchar_t* name) {
  auto [first, last] = byName_.equal_range(Folded(name));
  for (auto record = first; record != last; ++record)
    if (wcscmp(entries_[record->second].name, name) == 0)
      return record;
  auto found = byName_.end();
  for (auto record = first; record != last; ++record) {
    const FolderEntry& entry = entries_[record->second];
    if (HoldsExactName(entry.fullPath, entry.name))
      continue;
    if (found != byName_.end())
      return byName_.end();
    found = record;
  }
  return found;
}

void RenameFollower::Forget(uint32_t index) {
  entries_[index].name[0] = L'\0';
  entries_[index].fullPath[0] = L'\0';
}

// Without the index no record can be trusted to name its file any more.
void RenameFollower::ForgetAll() {
  for (uint32_t i = 0; i < count_; ++i)
    Forget(i);
  count_ = 0;
}

void RenameFollower::Renamed(const wchar_t* oldName, const wchar_t* newName) {
  if (count_ == 0)
    return;
  if (!Index()) {
    ForgetAll();
    return;
  }
  try {
    auto moved = Find(oldName);
    auto taken = Find(newName);
    if (taken != byName_.end() && taken != moved) {
      Forget(taken->second);
      byName_.erase(taken);
    }
    if (moved == byName_.end())
      return;
    uint32_t index = moved->second;
    byName_.erase(moved);
    FolderEntry& entry = entries_[index];
    size_t folderLength = wcslen(entry.fullPath) - wcslen(entry.name);
    size_t nameLength = wcslen(newName);
    if (folderLength + nameLength >= MAX_PATH || nameLength >= MAX_PATH) {
      Forget(index);
      return;
    }
    wmemcpy(entry.fullPath + folderLength, newName, nameLength + 1);
    wmemcpy(entry.name, newName, nameLength + 1);
    byName_.emplace(Folded(newName), index);
  } catch (const std::bad_alloc&) {
    ForgetAll();
  }
}
