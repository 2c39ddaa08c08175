#include "panes/pane_time.h"

#include <commctrl.h>

#include "resources/resource_ids.h"

namespace {

struct PickerPair {
  int date;
  int time;
};

PickerPair PickersOf(PaneTime which) {
  return which == PaneTime::Created ? PickerPair{IDC_PANE_CREATED_DATE, IDC_PANE_CREATED_TIME}
                                    : PickerPair{IDC_PANE_MODIFIED_DATE, IDC_PANE_MODIFIED_TIME};
}

} // namespace

SYSTEMTIME ReadPaneTime(HWND pane, PaneTime which) {
  PickerPair pickers = PickersOf(which);
  SYSTEMTIME date = {};
  SYSTEMTIME time = {};
  SendDlgItemMessageW(pane, pickers.date, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
  SendDlgItemMessageW(pane, pickers.time, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  time.wYear = date.wYear;
  time.wMonth = date.wMonth;
  time.wDayOfWeek = date.wDayOfWeek;
  time.wDay = date.wDay;
  return time;
}

void WritePaneTime(HWND pane, PaneTime which, const SYSTEMTIME& time) {
  PickerPair pickers = PickersOf(which);
  SYSTEMTIME value = time;
  SendDlgItemMessageW(pane, pickers.date, DTM_SETSYSTEMTIME, GDT_VALID,
                      reinterpret_cast<LPARAM>(&value));
  SendDlgItemMessageW(pane, pickers.time, DTM_SETSYSTEMTIME, GDT_VALID,
                      reinterpret_cast<LPARAM>(&value));
}
