#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/dialog_template.h"
#include "base/bounded_text.h"
#include "filetime/junk_file.h"

namespace {

constexpr size_t kGuards = 8; // characters after the capacity that show any write past it

TEST(BoundedText, NeverWritesPastTheBufferAndReportsACut) {
  const std::tuple<size_t, const wchar_t*, int, const wchar_t*, int32_t> rows[] = {
      {8, L"%6d|", 12345, L" 12345|", 0},
      {4, L"%d", 12345, L"123", kTextBufferTooSmall},
      {2, L"%d", -7, L"-", kTextBufferTooSmall},
      {20, L"[%04x] 100%%", 0xab, L"[00ab] 100%", 0},
      {0, L"%d", 1, L"#", kTextInvalidArgument}};
  for (auto [capacity, format, number, expected, result] : rows) {
    std::wstring buffer(capacity + kGuards, L'#');
    EXPECT_EQ(FormatBounded(buffer.data(), capacity, format, number), result) << format;
    EXPECT_EQ(std::wstring(buffer.c_str()).substr(0, capacity + 1), expected) << format;
    EXPECT_EQ(buffer.substr(capacity), std::wstring(kGuards, L'#')) << capacity;
  }
  // Characters already in the buffer, what is appended, and the length of the result.
  const std::tuple<size_t, const wchar_t*, size_t, int32_t> appends[] = {
      {256, L"abc", 259, 0}, {258, L"abc", 259, kTextBufferTooSmall}, {259, L"", 259, 0}};
  for (auto [had, source, length, result] : appends) {
    std::wstring buffer = std::wstring(had, L'd') + L'\0';
    buffer.resize(kPathCapacity + kGuards, L'#');
    EXPECT_EQ(AppendBounded(buffer.data(), source), result) << had;
    EXPECT_EQ(std::wstring(buffer.c_str()), (std::wstring(had, L'd') + source).substr(0, length));
    EXPECT_EQ(buffer.substr(kPathCapacity), std::wstring(kGuards, L'#')) << had;
  }
}

TEST(IsJunkFile, DecidesByTheNameAlone) {
  for (const wchar_t* name : {L".DS_Store", L".ds_STORE", L"Thumbs.db", L"thumbs.DB",
                              L"Thumbs_old.db", L"._abc.db", L"._photo.jpg", L"._"})
    EXPECT_EQ(IsJunkFile(name), 1) << testing::PrintToString(std::wstring(name));
  for (const wchar_t* name : {L".DS_Store ", L".DS\u00AD_Store", L".DS\u00ADStore", L"ThumbX.db",
                              L"Thumbs.dbx", L"Thumbs.db.txt", L"._abcd.db", L"a._b", L"photo.jpg",
                              L"", static_cast<const wchar_t*>(nullptr)})
    EXPECT_EQ(IsJunkFile(name), 0) << testing::PrintToString(std::wstring(name ? name : L"null"));
}

using Bytes = std::vector<uint8_t>;
using namespace std::string_literals;

// A template with DS_SETFONT and one button, as 16-bit words: DLGTEMPLATEEX or the older form.
Bytes Template(bool extended, const std::u16string& face, char16_t pointSize = 9) {
  std::u16string words = extended ? u"\1\xFFFF\0\0\0\0\x40\0\1\12\12\12\12\0\0Caption\0"s
                                  : u"\x40\0\0\0\0\12\12\12\12\xFFFF\7\0Caption\0"s;
  words += pointSize + (extended ? u"\x190\x100"s : u""s) + face + u'\0';
  words.resize((words.size() + 1) & ~size_t{1}); // items start on a 4-byte boundary
  words += u"\0\0\0\0\0\x5001\5\5\5\5\x3E8\0\xFFFF\x80Open...\0\0"s;
  auto bytes = reinterpret_cast<const uint8_t*>(words.data());
  return Bytes(bytes, bytes + 2 * words.size());
}

TEST(DialogTemplate, ExchangesTheFaceAndSetsThePointSize) {
  // Which form, the new face (null: keep), point size and scale, and the point size expected.
  const std::tuple<bool, const char16_t*, uint16_t, double, uint16_t> rows[] = {
      {true, u"Segoe UI", 0, 0, 9}, {false, u"Segoe UI", 0, 0, 9}, {true, nullptr, 12, 0, 12},
      {true, nullptr, 12, 2.0, 12}, {true, nullptr, 0, 1.5, 13},   {true, nullptr, 0, 1e9, 0xFFFF},
      {false, u"Tahoma", 11, 0, 11}};
  for (auto [extended, newFace, pointSize, scale, expectedSize] : rows) {
    Bytes source = Template(extended, u"MS UI Gothic");
    TemplateFont font;
    ASSERT_TRUE(FindTemplateFont(source.data(), source.size(), &font));
    std::u16string face = newFace != nullptr ? newFace : u"MS UI Gothic";
    TemplateOptions options = {0, pointSize, scale, reinterpret_cast<const Utf16Char*>(newFace),
                               newFace != nullptr ? static_cast<uint32_t>(2 * face.size() + 2) : 0};
    Bytes copy(RewrittenTemplateSize(source.size(), font, options));
    RewriteDialogTemplate(source.data(), source.size(), font, options, copy.data());
    EXPECT_EQ(copy, Template(extended, face, expectedSize)) << extended << pointSize << scale;
    EXPECT_EQ(options.resultLength, copy.size());
    // No cut of the header up to the face's end is taken for a template.
    for (size_t length = 0, end = font.faceAt + font.faceBytes; length < end; ++length)
      EXPECT_FALSE(
          FindTemplateFont(Bytes(source.begin(), source.begin() + length).data(), length, &font));
  }
}

} // namespace
