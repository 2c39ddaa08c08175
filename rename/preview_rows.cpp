#include "rename/preview_rows.h"

#include <utility>

#include "base/bounded_text.h"

namespace {

NameList g_rows;

// A row is found as the list finds its own rows for typed letters: its text starts with them
// (LVFI_PARTIAL) or is them, case aside, searched from iStart and on from the top with LVFI_WRAP.
bool RowMatches(const wchar_t* text, const LVFINDINFOW& info) {
  int length = lstrlenW(info.psz);
  int compared = (info.flags & LVFI_PARTIAL) != 0 ? length : lstrlenW(text);
  return lstrlenW(text) >= length &&
         CompareStringOrdinal(text, compared, info.psz, length, TRUE) == CSTR_EQUAL;
}

int FindRow(const NMLVFINDITEMW& find) {
  uint32_t count = g_rows.Count();
  if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.lvfi.psz == nullptr ||
      count == 0)
    return -1;
  bool wrap = (find.lvfi.flags & LVFI_WRAP) != 0;
  uint32_t start = find.iStart > 0 ? static_cast<uint32_t>(find.iStart) : 0;
  // Past the last row only a search that wraps goes on, from the top.
  if (start >= count) {
    if (!wrap)
      return -1;
    start = 0;
  }
  uint32_t end = wrap ? start + count : count;
  for (uint32_t i = start; i < end; ++i)
    if (RowMatches(g_rows.At(i % count), find.lvfi))
      return static_cast<int>(i % count);
  return -1;
}

// Copied into the list's buffer, so the list keeps no pointer into the store.
void FillRowText(LVITEMW& item) {
  if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0)
    return;
  bool held = item.iItem >= 0 && static_cast<uint32_t>(item.iItem) < g_rows.Count();
  FormatBounded(item.pszText, item.cchTextMax, L"%s", held ? g_rows.At(item.iItem) : L"");
}

} // namespace

void ShowPreviewRows(HWND listView, NameList rows) {
  // Emptying costs a redraw even when there is nothing to take out.
  if (SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0) != 0)
    ClearPreviewRows(listView);
  g_rows = std::move(rows);
  SendMessageW(listView, LVM_SETITEMCOUNT, g_rows.Count(), 0);
  SendMessageW(listView, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
}

void RemovePreviewRow(HWND listView, int row) {
  if (row < 0 || static_cast<uint32_t>(row) >= g_rows.Count())
    return;
  g_rows.Remove(row);
  SendMessageW(listView, LVM_DELETEITEM, row, 0);
}

void ClearPreviewRows(HWND listView) {
  SendMessageW(listView, LVM_DELETEALLITEMS, 0, 0);
  g_rows = NameList();
}

bool AnswerPreviewList(NMHDR* header, LRESULT* result) {
  *result = 0;
  if (header->code == LVN_GETDISPINFOW)
    FillRowText(reinterpret_cast<NMLVDISPINFOW*>(header)->item);
  else if (header->code == LVN_ODFINDITEMW)
    *result = FindRow(*reinterpret_cast<const NMLVFINDITEMW*>(header));
  else
    return false;
  return true;
}
