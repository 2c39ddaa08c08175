#include "base/bounded_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A buffer with guard characters after the declared capacity, to catch any overrun.
struct GuardedBuffer {
  static constexpr wchar_t kGuard = L'#';
  explicit GuardedBuffer(size_t capacity) : capacity(capacity), data(capacity + 8, kGuard) {}
  bool GuardIntact() const {
    return data.find_first_not_of(kGuard, capacity) == std::wstring::npos;
  }
  std::wstring Text() const { return std::wstring(data.c_str()); }
  size_t capacity;
  std::wstring data;
};

struct FormatCase {
  size_t capacity;
  int number;
  const wchar_t* expected;
  int32_t result;
};

TEST(FormatBounded, CutsNumbersToCapacityAndReportsTruncation) {
  const FormatCase cases[] = {
      {4, 12345, L"123", kTextBufferTooSmall},
      {5, 12345, L"1234", kTextBufferTooSmall},
      {6, 12345, L"12345", 0}, // exactly capacity - 1 characters
      {7, 12345, L"12345", 0},
      {1, 12345, L"", kTextBufferTooSmall},
      {68, -2147483647 - 1, L"-2147483648", 0},
      {3, -7, L"-7", 0},
      {2, -7, L"-", kTextBufferTooSmall},
  };
  for (const FormatCase& c : cases) {
    GuardedBuffer buffer(c.capacity);
    EXPECT_EQ(FormatBounded(buffer.data.data(), c.capacity, L"%d", c.number), c.result)
        << c.capacity << " " << c.number;
    EXPECT_EQ(buffer.Text(), c.expected) << c.capacity << " " << c.number;
    EXPECT_TRUE(buffer.GuardIntact()) << c.capacity << " " << c.number;
  }
}

TEST(FormatBounded, FormatsTheConversionsTheProgramUses) {
  wchar_t out[260];
  EXPECT_EQ(FormatBounded(out, 260, L"\\StringFileInfo\\%04x%04x\\%s", 0x0411u, 0x04b0u,
                          L"ProductVersion"),
            0);
  EXPECT_STREQ(out, L"\\StringFileInfo\\041104b0\\ProductVersion");
  EXPECT_EQ(FormatBounded(out, 260, L"%04x|%04x", 0xABCDEFu, 0u), 0);
  EXPECT_STREQ(out, L"abcdef|0000");
  EXPECT_EQ(FormatBounded(out, 260, L"\"%s\"", L"C:\\My Photos"), 0);
  EXPECT_STREQ(out, L"\"C:\\My Photos\"");
  EXPECT_EQ(FormatBounded(out, 260, L"%s %s", L"Datewright", L"2.10.1.32"), 0);
  EXPECT_STREQ(out, L"Datewright 2.10.1.32");
  EXPECT_EQ(FormatBounded(out, 260, L"%s", L""), 0);
  EXPECT_STREQ(out, L"");
  EXPECT_EQ(FormatBounded(out, 260, L"100%%"), 0);
  EXPECT_STREQ(out, L"100%");
}

TEST(FormatBounded, CutsLongTextAtCapacity) {
  std::wstring longText(300, L'x');
  GuardedBuffer buffer(260);
  EXPECT_EQ(FormatBounded(buffer.data.data(), 260, L"%s", longText.c_str()), kTextBufferTooSmall);
  EXPECT_EQ(buffer.Text(), std::wstring(259, L'x'));
  EXPECT_TRUE(buffer.GuardIntact());
}

TEST(FormatBounded, RejectsInvalidCapacities) {
  wchar_t out[4] = {L'k', L'e', L'e', L'p'};
  EXPECT_EQ(FormatBounded(out, 0, L"%d", 1), kTextInvalidArgument);
  EXPECT_EQ(std::wstring(out, 4), L"keep");

  // Above the largest count the system accepts: emptied, never written further.
  EXPECT_EQ(FormatBounded(out, size_t{2147483648u}, L"%d", 1), kTextInvalidArgument);
  EXPECT_EQ(out[0], L'\0');
  EXPECT_EQ(std::wstring(out + 1, 3), L"eep");

  out[0] = L'k';
  EXPECT_EQ(FormatBounded(out, 2, L"%d", 1), 0);
  EXPECT_STREQ(out, L"1");
}

TEST(AppendBounded, AppendsWhatFitsAndReportsTheRest) {
  struct AppendCase {
    size_t destLength;
    const wchar_t* source;
    size_t expectedLength;
    int32_t result;
  };
  const AppendCase cases[] = {
      {258, L"abc", 259, kTextBufferTooSmall},
      {259, L"x", 259, kTextBufferTooSmall},
      {259, L"", 259, 0},
      {256, L"abc", 259, 0},
      {0, L"abc", 3, 0},
  };
  for (const AppendCase& c : cases) {
    GuardedBuffer buffer(kPathCapacity);
    std::wstring dest(c.destLength, L'd');
    std::copy(dest.begin(), dest.end(), buffer.data.begin());
    buffer.data[c.destLength] = L'\0';
    EXPECT_EQ(AppendBounded(buffer.data.data(), c.source), c.result) << c.destLength;
    std::wstring text = buffer.Text();
    EXPECT_EQ(text.size(), c.expectedLength) << c.destLength;
    std::wstring expected = (dest + c.source).substr(0, c.expectedLength);
    EXPECT_EQ(text, expected) << c.destLength;
    EXPECT_TRUE(buffer.GuardIntact()) << c.destLength;
  }
}

TEST(AppendBounded, EndsAtTheFirstSourceCharacterOfATooLongAppend) {
  wchar_t path[kPathCapacity];
  std::wstring base(258, L'p');
  std::copy(base.begin(), base.end(), path);
  path[258] = L'\0';
  EXPECT_EQ(AppendBounded(path, L"abc"), kTextBufferTooSmall);
  EXPECT_EQ(std::wstring(path).size(), 259u);
  EXPECT_EQ(path[258], L'a');
}

TEST(AppendBounded, LeavesAnUnterminatedBufferAlone) {
  GuardedBuffer buffer(kPathCapacity);
  std::fill(buffer.data.begin(), buffer.data.begin() + kPathCapacity, L'z');
  std::wstring before = buffer.data;
  EXPECT_EQ(AppendBounded(buffer.data.data(), L"abc"), kTextInvalidArgument);
  EXPECT_EQ(buffer.data, before);
}

TEST(AppendBounded, JoinsPathPieces) {
  wchar_t path[kPathCapacity] = L"C:\\Photos";
  EXPECT_EQ(AppendBounded(path, L"\\"), 0);
  EXPECT_EQ(AppendBounded(path, L"Thumbs.db"), 0);
  EXPECT_STREQ(path, L"C:\\Photos\\Thumbs.db");
}

} // namespace
