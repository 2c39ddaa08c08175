#include "app/time_commands.h"

#include "base/bounded_text.h"
#include "filetime/path_times.h"
#include "panes/pane_time.h"
#include "panes/path_pane.h"
#include "resources/resource_ids.h"

namespace {

enum class Source { Clock, TargetPane, ReferencePane, Exif };

// Which time each picker command takes, and which Target pickers it fills.
struct CopyRule {
  int commandId;
  Source source;
  PaneTime from; // for the panes; for Exif, which command it is
  PaneTime to;
};

constexpr CopyRule kCopyRules[] = {
    {IDC_CURRENT_TO_CREATED, Source::Clock, PaneTime::Created, PaneTime::Created},
    {IDC_CURRENT_TO_MODIFIED, Source::Clock, PaneTime::Modified, PaneTime::Modified},
    {IDC_MODIFIED_TO_CREATED, Source::TargetPane, PaneTime::Modified, PaneTime::Created},
    {IDC_CREATED_TO_MODIFIED, Source::TargetPane, PaneTime::Created, PaneTime::Modified},
    {IDC_REFERENCE_TO_CREATED, Source::ReferencePane, PaneTime::Created, PaneTime::Created},
    {IDC_REFERENCE_TO_MODIFIED, Source::ReferencePane, PaneTime::Modified, PaneTime::Modified},
    {IDC_EXIF_TO_CREATED, Source::Exif, PaneTime::Created, PaneTime::Created},
    {IDC_EXIF_TO_MODIFIED, Source::Exif, PaneTime::Modified, PaneTime::Modified},
};

bool Present(const SYSTEMTIME& date) {
  return date.wYear != 0;
}

// The camera's own date for the Created time, the digitized one for Modified; DateTime for either.
const SYSTEMTIME* ExifTimeFor(const ExifDates& dates, PaneTime to) {
  const SYSTEMTIME& preferred =
      to == PaneTime::Created ? dates.dateTimeOriginal : dates.dateTimeDigitized;
  if (Present(preferred))
    return &preferred;
  return Present(dates.dateTime) ? &dates.dateTime : nullptr;
}

// A time the rule cannot convert would be left as it is on disk: that is no "OK".
bool Converts(bool wanted, const SYSTEMTIME& local) {
  FILETIME utc;
  return !wanted || LocalTimeToUtc(local, &utc);
}

} // namespace

void ApplyTimes(MainState* state, bool created, bool modified) {
  HWND target = state->target.paneWindow;
  wchar_t path[268] = {};
  ReadPanePath(target, path);
  if (path[0] == L'\0')
    return;
  SetDlgItemTextW(state->mainWindow, IDC_APPLY_RESULT, L"");
  SYSTEMTIME createdTime = ReadPaneTime(target, PaneTime::Created);
  SYSTEMTIME modifiedTime = ReadPaneTime(target, PaneTime::Modified);
  DWORD error = ERROR_INVALID_PARAMETER;
  wchar_t result[68] = L"OK";
  if (!Converts(created, createdTime) || !Converts(modified, modifiedTime) ||
      !SetPathTimes(path, created ? &createdTime : nullptr, modified ? &modifiedTime : nullptr,
                    &error))
    FormatBounded(result, ARRAYSIZE(result), L"%d", static_cast<int>(error));
  SetDlgItemTextW(state->mainWindow, IDC_APPLY_RESULT, result);
}

bool CopyTimeCommand(MainState* state, int commandId) {
  for (const CopyRule& rule : kCopyRules) {
    if (rule.commandId != commandId)
      continue;
    SYSTEMTIME time = {};
    switch (rule.source) {
    case Source::Clock:
      GetLocalTime(&time);
      break;
    case Source::TargetPane:
      time = ReadPaneTime(state->target.paneWindow, rule.from);
      break;
    case Source::ReferencePane:
      time = ReadPaneTime(state->reference.paneWindow, rule.from);
      break;
    case Source::Exif:
      if (const SYSTEMTIME* exif = ExifTimeFor(state->exifDates, rule.to))
        time = *exif;
      else
        return true;
      break;
    }
    WritePaneTime(state->target.paneWindow, rule.to, time);
    return true;
  }
  return false;
}
