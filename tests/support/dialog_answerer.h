#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// What a dialog showed when it was answered.
struct SeenDialog {
  HWND owner;
  std::wstring caption;
  std::wstring text;        // the message of a message box; empty for other dialogs
  std::vector<int> buttons; // control ids of its push buttons, in child order
  int defaultButton;        // the one drawn as default (BS_DEFPUSHBUTTON); 0 if none
  bool hasIcon;             // a message box's icon
};

// Answers the dialogs (class "#32770") that this thread shows while the object lives: once a
// dialog has been activated and has handled what its initialisation queued, the answer runs with
// it and may inspect it and end it (PressButton, or post WM_COMMAND or WM_CLOSE). A dialog the
// answer leaves open is ended with IDCANCEL after leftOpenMs and reported as a test failure, so a
// test never hangs in a modal loop. One answerer per thread at a time.
class DialogAnswerer {
public:
  using Answer = std::function<void(HWND dialog)>;

  explicit DialogAnswerer(Answer answer, UINT leftOpenMs = 5000);
  ~DialogAnswerer();
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  const std::vector<SeenDialog>& Seen() const { return seen_; }
  size_t Count() const { return seen_.size(); }

private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
  static void CALLBACK AnswerDue(HWND, UINT, UINT_PTR timer, DWORD);
  static void CALLBACK LeftOpen(HWND, UINT, UINT_PTR timer, DWORD);
  void Noticed(HWND dialog);
  HWND TakeTimer(UINT_PTR timer);

  Answer answer_;
  UINT leftOpenMs_;
  HHOOK hook_ = nullptr;
  std::vector<HWND> noticed_;                      // each dialog is answered once
  std::vector<std::pair<UINT_PTR, HWND>> pending_; // thread timers and their dialogs
  std::vector<SeenDialog> seen_;
};

// The message of a message box: the text of its static 0xFFFF.
std::wstring MessageBoxText(HWND dialog);

// Clicks a button of the dialog as the user would; false if it has no enabled button with that id.
bool PressButton(HWND dialog, int id);
