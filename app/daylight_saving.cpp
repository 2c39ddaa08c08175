#include "app/daylight_saving.h"

#include "base/settings.h"
#include "filetime/path_times.h"
#include "panes/pane_display.h"

namespace {

void UseRule(MainState* state, bool eachDate) {
  state->eachDatesDaylightSaving = eachDate;
  UseEachDatesDaylightSaving(eachDate);
}

} // namespace

void LoadDaylightSavingSetting(MainState* state) {
  UseRule(state, ReadSettingInt(state->iniPath, L"General", L"EachDatesDaylightSaving", 0) != 0);
}

void ToggleDaylightSaving(MainState* state) {
  UseRule(state, !state->eachDatesDaylightSaving);
  WriteSettingInt(state->iniPath, L"General", L"EachDatesDaylightSaving",
                  state->eachDatesDaylightSaving ? 1 : 0);
  // What the pickers show is what Apply writes. The Exif dates are the camera's wall clock, which
  // no rule changes, so they are neither read again nor lost.
  ShowPaneTimes(state->target.paneWindow, nullptr);
  ShowPaneTimes(state->reference.paneWindow, nullptr);
}
