#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>

#include "filetime/enumerate_folder.h"

// Keeps a folder's listing records on the files they named while those files are renamed inside
// the folder, so that a time saved for a file goes back to that file and no other.
class RenameFollower {
public:
  RenameFollower(FolderEntry* entries, uint32_t count) : entries_(entries), count_(count) {}

  // The record of oldName now names newName; called once the file carries it. A record that still
  // named newName is emptied: its file must have gone, since a rename never replaces a file.
  // Records left empty are skipped.
  void Renamed(const wchar_t* oldName, const wchar_t* newName);

private:
  using ByName = std::unordered_multimap<std::wstring, uint32_t>; // names folded as compared

  bool Index();
  ByName::iterator Find(const wchar_t* name);
  void Forget(uint32_t index);
  void ForgetAll();

  FolderEntry* entries_;
  uint32_t count_;
  bool indexed_ = false;
  ByName byName_;
};
