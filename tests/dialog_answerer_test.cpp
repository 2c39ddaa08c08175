#include "tests/support/dialog_answerer.h"

#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include <algorithm>

#include "tests/support/window_pump.h"

namespace {

TEST(DialogAnswerer, SeesTheBoxAndAnswersItAsTheUserWould) {
  DialogAnswerer answerer([](HWND box) { EXPECT_TRUE(PressButton(box, IDNO)); });
  EXPECT_EQ(MessageBoxW(nullptr, L"Keep going?", L"Question", MB_YESNO | MB_ICONQUESTION), IDNO);
  ASSERT_EQ(answerer.Count(), 1u);
  const SeenDialog& box = answerer.Seen()[0];
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_EQ(box.caption, L"Question");
  EXPECT_EQ(box.text, L"Keep going?");
  std::vector<int> buttons = box.buttons;
  std::sort(buttons.begin(), buttons.end());
  EXPECT_EQ(buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(box.defaultButton, IDYES);
  EXPECT_TRUE(box.hasIcon);
}

TEST(DialogAnswerer, EndsABoxItsAnswerLeftOpenAndReportsIt) {
  testing::TestPartResultArray failures;
  int result = 0;
  {
    testing::ScopedFakeTestPartResultReporter reporter(
        testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
    DialogAnswerer answerer([](HWND box) { EXPECT_FALSE(PressButton(box, IDYES)); }, 100);
    result = MessageBoxW(nullptr, L"Left open", L"Stuck", MB_OKCANCEL);
  }
  EXPECT_EQ(result, IDCANCEL);
  ASSERT_EQ(failures.size(), 1);
  EXPECT_NE(std::string(failures.GetTestPartResult(0).message()).find("left the dialog open"),
            std::string::npos);
}

TEST(DialogAnswerer, IgnoresWindowsThatAreNotDialogs) {
  DialogAnswerer answerer([](HWND box) { PressButton(box, IDCANCEL); });
  HWND window = CreateWindowExW(0, L"STATIC", L"plain", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  SetActiveWindow(window);
  EXPECT_EQ(GetActiveWindow(), window);
  // An answer would come on the next timer tick; give it several.
  EXPECT_FALSE(PumpUntil([&] { return answerer.Count() > 0; }, 300));
  DestroyWindow(window);
}

} // namespace
