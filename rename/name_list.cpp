#include "rename/name_list.h"

#include <cstring>
#include <cwchar>

namespace {

// Doubles, so the copies add up to less than the final size.
bool Grow(UniqueHeapBlock* block, size_t* capacity, size_t needed, size_t unit) {
  if (needed <= *capacity)
    return true;
  size_t grown = *capacity * 2 > needed ? *capacity * 2 : needed + 64;
  void* moved = *block ? HeapReAlloc(GetProcessHeap(), 0, block->Get(), grown * unit)
                       : HeapAlloc(GetProcessHeap(), 0, grown * unit);
  if (moved == nullptr)
    return false;
  block->Release();
  block->Reset(moved);
  *capacity = grown;
  return true;
}

} // namespace

NameList& NameList::operator=(NameList&& other) noexcept {
  text_ = std::move(other.text_);
  textUsed_ = std::exchange(other.textUsed_, 0);
  textCapacity_ = std::exchange(other.textCapacity_, 0);
  starts_ = std::move(other.starts_);
  count_ = std::exchange(other.count_, 0);
  startsCapacity_ = std::exchange(other.startsCapacity_, 0);
  return *this;
}

bool NameList::Reserve(uint32_t texts, size_t characters) {
  return Grow(&text_, &textCapacity_, textUsed_ + characters, sizeof(wchar_t)) &&
         Grow(&starts_, &startsCapacity_, count_ + static_cast<size_t>(texts), sizeof(size_t));
}

bool NameList::Add(const wchar_t* text) {
  size_t length = wcslen(text) + 1;
  if (!Grow(&text_, &textCapacity_, textUsed_ + length, sizeof(wchar_t)) ||
      !Grow(&starts_, &startsCapacity_, count_ + 1, sizeof(size_t)))
    return false;
  wmemcpy(Text() + textUsed_, text, length);
  Starts()[count_++] = textUsed_;
  textUsed_ += length;
  return true;
}

void NameList::Remove(uint32_t i) {
  if (i >= count_)
    return;
  std::memmove(Starts() + i, Starts() + i + 1, (count_ - i - 1) * sizeof(size_t));
  --count_;
}
