#include "app/dialog_template.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void PutWord(Bytes& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}
void PutDword(Bytes& out, uint32_t value) {
  PutWord(out, static_cast<uint16_t>(value));
  PutWord(out, static_cast<uint16_t>(value >> 16));
}
void PutText(Bytes& out, const std::u16string& text) {
  for (char16_t c : text)
    PutWord(out, c);
  PutWord(out, 0);
}
void AlignTo4(Bytes& out) {
  while (out.size() % 4 != 0)
    out.push_back(0);
}

constexpr uint32_t kSetFont = 0x40;

// The program's UTF-16 type is wchar_t on Windows and char16_t natively; both are 16 bits there.
const Utf16Char* Face(const char16_t* text) {
  return reinterpret_cast<const Utf16Char*>(text);
}

// A DLGTEMPLATEEX with one button, as a resource compiler lays it out.
Bytes ExtendedTemplate(const std::u16string& face, uint16_t pointSize, uint32_t style = kSetFont,
                       const std::u16string& windowClass = u"") {
  Bytes out;
  PutWord(out, 1);
  PutWord(out, 0xFFFF);
  PutDword(out, 0);     // help id
  PutDword(out, 0);     // extended style
  PutDword(out, style); // style
  PutWord(out, 1);      // items
  for (int i = 0; i < 4; ++i)
    PutWord(out, 10);
  PutWord(out, 0); // no menu
  if (windowClass.empty())
    PutWord(out, 0);
  else
    PutText(out, windowClass);
  PutText(out, u"Caption");
  if (style & kSetFont) {
    PutWord(out, pointSize);
    PutWord(out, 400);
    out.push_back(0);
    out.push_back(1);
    PutText(out, face);
  }
  AlignTo4(out);
  PutDword(out, 0);
  PutDword(out, 0);
  PutDword(out, 0x50010000);
  for (int i = 0; i < 4; ++i)
    PutWord(out, 5);
  PutDword(out, 1000);
  PutWord(out, 0xFFFF);
  PutWord(out, 0x0080);
  PutText(out, u"Open...");
  PutWord(out, 0);
  return out;
}

// The old DLGTEMPLATE form: style first, point size and face only.
Bytes PlainTemplate(const std::u16string& face, uint16_t pointSize) {
  Bytes out;
  PutDword(out, kSetFont);
  PutDword(out, 0);
  PutWord(out, 0);
  for (int i = 0; i < 4; ++i)
    PutWord(out, 10);
  PutWord(out, 0xFFFF); // menu by ordinal
  PutWord(out, 7);
  PutWord(out, 0);
  PutText(out, u"");
  PutWord(out, pointSize);
  PutText(out, face);
  return out;
}

std::u16string FaceAt(const Bytes& bytes, const TemplateFont& font) {
  std::u16string face;
  for (size_t at = font.faceAt; at + 1 < bytes.size(); at += 2) {
    char16_t c = static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8));
    if (c == 0)
      break;
    face.push_back(c);
  }
  return face;
}

uint16_t PointSizeAt(const Bytes& bytes, const TemplateFont& font) {
  return static_cast<uint16_t>(bytes[font.pointSizeAt] | (bytes[font.pointSizeAt + 1] << 8));
}

// Items start on the first 4-byte boundary after the font block.
size_t ItemsAt(const Bytes& bytes) {
  TemplateFont font;
  EXPECT_TRUE(FindTemplateFont(bytes.data(), bytes.size(), &font));
  return (font.faceAt + font.faceBytes + 3) & ~size_t{3};
}

Bytes Rewrite(const Bytes& source, TemplateOptions& options) {
  TemplateFont font;
  EXPECT_TRUE(FindTemplateFont(source.data(), source.size(), &font));
  Bytes out(RewrittenTemplateSize(source.size(), font, options), 0xCD);
  RewriteDialogTemplate(source.data(), source.size(), font, options, out.data());
  return out;
}

TEST(DialogTemplate, ExchangesTheFaceAndKeepsEverythingAfterIt) {
  Bytes source = ExtendedTemplate(u"MS UI Gothic", 9);
  TemplateOptions options = {};
  options.faceName = Face(u"Segoe UI");
  options.faceNameBytes = 18;
  Bytes copy = Rewrite(source, options);

  EXPECT_EQ(copy.size() + 8, source.size());
  EXPECT_EQ(options.resultLength, copy.size());
  TemplateFont font;
  ASSERT_TRUE(FindTemplateFont(copy.data(), copy.size(), &font));
  EXPECT_EQ(FaceAt(copy, font), u"Segoe UI");
  EXPECT_EQ(PointSizeAt(copy, font), 9);
  // The items follow unchanged, still on a 4-byte boundary.
  size_t itemBytes = source.size() - ItemsAt(source);
  EXPECT_EQ(copy.size() - ItemsAt(copy), itemBytes);
  EXPECT_TRUE(std::equal(copy.end() - static_cast<long>(itemBytes), copy.end(),
                         source.end() - static_cast<long>(itemBytes)));

  // And back: the longer face makes the copy 8 bytes longer.
  TemplateOptions back = {};
  back.faceName = Face(u"MS UI Gothic");
  back.faceNameBytes = 26;
  EXPECT_EQ(Rewrite(copy, back), source);
}

TEST(DialogTemplate, SetsOrScalesThePointSize) {
  struct Case {
    uint16_t pointSize;
    double pointScale;
    uint16_t expected;
  };
  const Case cases[] = {
      {12, 0, 12}, {0, 0, 9}, {0, 1.5, 13}, {12, 2.0, 12}, {0, -1.0, 9}, {0, 1e9, 0xFFFF},
  };
  for (const Case& c : cases) {
    Bytes source = ExtendedTemplate(u"Segoe UI", 9);
    TemplateOptions options = {};
    options.pointSize = c.pointSize;
    options.pointScale = c.pointScale;
    Bytes copy = Rewrite(source, options);
    TemplateFont font;
    ASSERT_TRUE(FindTemplateFont(copy.data(), copy.size(), &font));
    EXPECT_EQ(PointSizeAt(copy, font), c.expected) << c.pointSize << " " << c.pointScale;
    EXPECT_EQ(copy.size(), source.size());
  }
}

TEST(DialogTemplate, ReadsTheOldFormAndNamedClasses) {
  Bytes plain = PlainTemplate(u"MS UI Gothic", 10);
  TemplateOptions options = {};
  options.faceName = Face(u"Segoe UI");
  options.faceNameBytes = 18;
  Bytes copy = Rewrite(plain, options);
  TemplateFont font;
  ASSERT_TRUE(FindTemplateFont(copy.data(), copy.size(), &font));
  EXPECT_EQ(FaceAt(copy, font), u"Segoe UI");
  EXPECT_EQ(PointSizeAt(copy, font), 10);

  Bytes named = ExtendedTemplate(u"Segoe UI", 9, kSetFont, u"DATEWRIGHT_CLASS");
  ASSERT_TRUE(FindTemplateFont(named.data(), named.size(), &font));
  EXPECT_EQ(FaceAt(named, font), u"Segoe UI");
}

TEST(DialogTemplate, CopiesATemplateWithoutFontUnchanged) {
  Bytes source = ExtendedTemplate(u"", 0, 0);
  TemplateOptions options = {};
  options.faceName = Face(u"Segoe UI");
  options.faceNameBytes = 18;
  options.pointSize = 12;
  TemplateFont font;
  ASSERT_TRUE(FindTemplateFont(source.data(), source.size(), &font));
  EXPECT_FALSE(font.present);
  EXPECT_EQ(Rewrite(source, options), source);
}

TEST(DialogTemplate, RejectsEveryTruncationOfTheHeader) {
  Bytes source = ExtendedTemplate(u"MS UI Gothic", 9);
  TemplateFont whole;
  ASSERT_TRUE(FindTemplateFont(source.data(), source.size(), &whole));
  size_t headerEnd = whole.faceAt + whole.faceBytes;
  for (size_t length = 0; length < headerEnd; ++length) {
    // Exactly the bytes kept, so that the sanitizers see any read past them.
    std::vector<uint8_t> cut(source.begin(), source.begin() + static_cast<long>(length));
    TemplateFont font;
    EXPECT_FALSE(FindTemplateFont(cut.data(), cut.size(), &font)) << length;
  }
  // A title with no terminator anywhere.
  Bytes endless = ExtendedTemplate(u"x", 9);
  endless.resize(34);
  std::fill(endless.begin() + 30, endless.end(), 'A');
  TemplateFont font;
  EXPECT_FALSE(FindTemplateFont(endless.data(), endless.size(), &font));
}

} // namespace
