#pragma once
// Texts gathered one by one into blocks that grow with the folder at hand: a run's file names, or
// the preview's rows. One block of text and one of starts, so a large folder costs two
// allocations that double, not one per name.

#include <windows.h>

#include <cstdint>
#include <utility>

#include "base/handles.h"

class NameList {
public:
  NameList() = default;
  NameList(NameList&& other) noexcept { *this = std::move(other); }
  NameList& operator=(NameList&& other) noexcept;

  uint32_t Count() const { return count_; }
  const wchar_t* At(uint32_t i) const { return Text() + Starts()[i]; }
  // Of all the texts, terminators included.
  size_t Characters() const { return textUsed_; }

  // Room for that many more texts and characters at once, where the caller knows about how many
  // will come; false when memory ran out.
  bool Reserve(uint32_t texts, size_t characters);

  // False when memory ran out; the list then holds what it held before.
  bool Add(const wchar_t* text);

  // The texts after it move up one place; its characters stay in the block until the list goes.
  void Remove(uint32_t i);

private:
  wchar_t* Text() const { return static_cast<wchar_t*>(text_.Get()); }
  size_t* Starts() const { return static_cast<size_t*>(starts_.Get()); }

  UniqueHeapBlock text_;
  size_t textUsed_ = 0;
  size_t textCapacity_ = 0;
  UniqueHeapBlock starts_;
  uint32_t count_ = 0;
  size_t startsCapacity_ = 0;
};
