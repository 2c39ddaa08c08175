#include "app/dialog_template.h"

#include <cstring>

namespace {

constexpr uint16_t kExtendedSignature = 0xFFFF;
constexpr uint32_t kSetFontStyle = 0x40; // DS_SETFONT

class TemplateCursor {
public:
  TemplateCursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool Word(size_t at, uint16_t* value) const {
    if (at > size_ || size_ - at < 2)
      return false;
    *value = static_cast<uint16_t>(data_[at] | (data_[at + 1] << 8));
    return true;
  }
  bool Dword(size_t at, uint32_t* value) const {
    uint16_t low;
    uint16_t high;
    if (!Word(at, &low) || !Word(at + 2, &high))
      return false;
    *value = low | (static_cast<uint32_t>(high) << 16);
    return true;
  }
  // A menu, class or title field: 0x0000, 0xFFFF and an ordinal, or a terminated text.
  bool SkipField(size_t* at) const {
    uint16_t first;
    if (!Word(*at, &first))
      return false;
    if (first == 0xFFFF) {
      *at += 4;
      return *at <= size_;
    }
    return SkipText(at);
  }
  bool SkipText(size_t* at) const {
    for (;;) {
      uint16_t c;
      if (!Word(*at, &c))
        return false;
      *at += 2;
      if (c == 0)
        return true;
    }
  }

private:
  const uint8_t* data_;
  size_t size_;
};

bool WantsNewFace(const TemplateFont& font, const TemplateOptions& options) {
  return font.present && options.faceName != nullptr && options.faceNameBytes != 0;
}

uint16_t ScaledPointSize(uint16_t old, double scale) {
  double scaled = old * scale;
  if (!(scaled < 65536.0))
    return 0xFFFF;
  return static_cast<uint16_t>(scaled);
}

} // namespace

bool FindTemplateFont(const uint8_t* data, size_t size, TemplateFont* font) {
  *font = TemplateFont{};
  TemplateCursor cursor(data, size);
  uint16_t signature;
  uint32_t style;
  if (!cursor.Word(2, &signature))
    return false;
  bool extended = signature == kExtendedSignature;
  size_t at = extended ? 26 : 18;
  if (!cursor.Dword(extended ? 12 : 0, &style) || at > size)
    return false;
  for (int field = 0; field < 3; ++field)
    if (!cursor.SkipField(&at))
      return false;
  if ((style & kSetFontStyle) == 0)
    return true;
  font->pointSizeAt = at;
  font->faceAt = at + (extended ? 6 : 2);
  size_t faceEnd = font->faceAt;
  if (faceEnd > size || !cursor.SkipText(&faceEnd))
    return false;
  font->faceBytes = faceEnd - font->faceAt;
  font->present = true;
  return true;
}

size_t RewrittenTemplateSize(size_t size, const TemplateFont& font,
                             const TemplateOptions& options) {
  if (!WantsNewFace(font, options))
    return size;
  return size - font.faceBytes + options.faceNameBytes;
}

void RewriteDialogTemplate(const uint8_t* data, size_t size, const TemplateFont& font,
                           TemplateOptions& options, uint8_t* out) {
  size_t length = RewrittenTemplateSize(size, font, options);
  if (WantsNewFace(font, options)) {
    size_t after = font.faceAt + font.faceBytes;
    std::memcpy(out, data, font.faceAt);
    std::memcpy(out + font.faceAt, options.faceName, options.faceNameBytes);
    std::memcpy(out + font.faceAt + options.faceNameBytes, data + after, size - after);
  } else {
    std::memcpy(out, data, size);
  }
  options.resultLength = static_cast<uint32_t>(length);
  if (!font.present)
    return;
  uint16_t pointSize =
      static_cast<uint16_t>(out[font.pointSizeAt] | (out[font.pointSizeAt + 1] << 8));
  if (options.pointSize != 0)
    pointSize = options.pointSize;
  else if (options.pointScale > 0)
    pointSize = ScaledPointSize(pointSize, options.pointScale);
  out[font.pointSizeAt] = static_cast<uint8_t>(pointSize);
  out[font.pointSizeAt + 1] = static_cast<uint8_t>(pointSize >> 8);
}
