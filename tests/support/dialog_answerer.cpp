#include "tests/support/dialog_answerer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

thread_local DialogAnswerer* t_answerer = nullptr;

constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kMessageBoxIconId = 0x0440; // stc1 in the system's message box template

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(length));
  return text;
}

bool IsDialog(HWND window) {
  wchar_t className[16] = {};
  GetClassNameW(window, className, ARRAYSIZE(className));
  return lstrcmpW(className, L"#32770") == 0;
}

LONG_PTR ButtonType(HWND button) {
  return GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK;
}

std::vector<HWND> PushButtons(HWND dialog) {
  std::vector<HWND> buttons;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM param) -> BOOL {
        wchar_t className[16] = {};
        GetClassNameW(child, className, ARRAYSIZE(className));
        LONG_PTR type = ButtonType(child);
        if (lstrcmpiW(className, L"Button") == 0 &&
            (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON))
          reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&buttons));
  return buttons;
}

SeenDialog Describe(HWND dialog) {
  SeenDialog seen{GetWindow(dialog, GW_OWNER),
                  TextOf(dialog),
                  MessageBoxText(dialog),
                  {},
                  0,
                  SendDlgItemMessageW(dialog, kMessageBoxIconId, STM_GETICON, 0, 0) != 0};
  for (HWND button : PushButtons(dialog)) {
    seen.buttons.push_back(GetDlgCtrlID(button));
    if (ButtonType(button) == BS_DEFPUSHBUTTON)
      seen.defaultButton = seen.buttons.back();
  }
  return seen;
}

} // namespace

DialogAnswerer::DialogAnswerer(Answer answer, UINT leftOpenMs)
    : answer_(std::move(answer)), leftOpenMs_(leftOpenMs) {
  EXPECT_EQ(t_answerer, nullptr) << "one dialog answerer per thread";
  t_answerer = this;
  hook_ = SetWindowsHookExW(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
  EXPECT_NE(hook_, nullptr) << "error " << GetLastError();
}

DialogAnswerer::~DialogAnswerer() {
  if (hook_ != nullptr)
    UnhookWindowsHookEx(hook_);
  for (const auto& [timer, dialog] : pending_)
    KillTimer(nullptr, timer);
  t_answerer = nullptr;
}

LRESULT CALLBACK DialogAnswerer::HookProc(int code, WPARAM wParam, LPARAM lParam) {
  DialogAnswerer* self = t_answerer;
  auto window = reinterpret_cast<HWND>(wParam);
  if (self != nullptr && code == HCBT_ACTIVATE && IsDialog(window))
    self->Noticed(window);
  else if (self != nullptr && code == HCBT_DESTROYWND)
    std::erase(self->noticed_, window); // a later window may get the same handle
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogAnswerer::Noticed(HWND dialog) {
  if (std::find(noticed_.begin(), noticed_.end(), dialog) != noticed_.end())
    return;
  noticed_.push_back(dialog);
  // A thread timer fires only once the queue is otherwise empty, so whatever the dialog posted
  // to itself while initialising has been handled by then.
  UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, AnswerDue);
  if (timer != 0)
    pending_.emplace_back(timer, dialog);
}

HWND DialogAnswerer::TakeTimer(UINT_PTR timer) {
  KillTimer(nullptr, timer);
  auto found = std::find_if(pending_.begin(), pending_.end(),
                            [timer](const auto& entry) { return entry.first == timer; });
  if (found == pending_.end())
    return nullptr;
  HWND dialog = found->second;
  pending_.erase(found);
  return dialog;
}

void CALLBACK DialogAnswerer::AnswerDue(HWND, UINT, UINT_PTR timer, DWORD) {
  DialogAnswerer* self = t_answerer;
  HWND dialog = self != nullptr ? self->TakeTimer(timer) : nullptr;
  if (dialog == nullptr || !IsWindow(dialog))
    return;
  self->seen_.push_back(Describe(dialog));
  if (self->answer_)
    self->answer_(dialog);
  UINT_PTR check = SetTimer(nullptr, 0, self->leftOpenMs_, LeftOpen);
  if (check != 0)
    self->pending_.emplace_back(check, dialog);
}

void CALLBACK DialogAnswerer::LeftOpen(HWND, UINT, UINT_PTR timer, DWORD) {
  DialogAnswerer* self = t_answerer;
  HWND dialog = self != nullptr ? self->TakeTimer(timer) : nullptr;
  if (dialog == nullptr || !IsWindow(dialog))
    return;
  ADD_FAILURE() << "the answer left the dialog open";
  EndDialog(dialog, IDCANCEL);
}

std::wstring MessageBoxText(HWND dialog) {
  HWND text = GetDlgItem(dialog, kMessageBoxTextId);
  return text != nullptr ? TextOf(text) : std::wstring();
}

bool PressButton(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  if (button == nullptr || !IsWindowEnabled(button))
    return false;
  SendMessageW(button, BM_CLICK, 0, 0);
  return true;
}
