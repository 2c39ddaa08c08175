#pragma once
// The rows of the Rename dialog's preview. Its list view is virtual (LVS_OWNERDATA): it keeps a
// count, the selection and the focus, and asks its dialog for a row's text each time it needs
// one. The texts live here, one store for the one dialog (it is modal). The count and the store
// change only together, in these functions, so the list never asks for a row the store has let go.

#include <windows.h>

#include <commctrl.h>

#include "rename/name_list.h"

// Replaces the rows with these ("old -> new", in listing order) and lets the one column fill the
// list's width. The list starts again at the top, with no row selected.
void ShowPreviewRows(HWND listView, NameList rows);

// Takes out one row, as after its file was renamed; the rows below it move up.
void RemovePreviewRow(HWND listView, int row);

// Empties the list and frees the rows: before a new preview, and when the dialog ends.
void ClearPreviewRows(HWND listView);

// Answers the list's requests to its dialog: a row's text (LVN_GETDISPINFOW) and the row that
// typed letters lead to (LVN_ODFINDITEMW). False for any other notification; otherwise true, with
// the value the dialog returns in result.
bool AnswerPreviewList(NMHDR* header, LRESULT* result);
