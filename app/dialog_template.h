#pragma once
// Copies a dialog template while exchanging its font face and point size. Pure byte work, so it
// builds natively too; the resource loading around it is in load_dialog_template.

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
using Utf16Char = wchar_t;
#else
using Utf16Char = char16_t;
#endif

struct TemplateOptions {
  uint32_t resultLength;     // out: byte length of the copy
  uint16_t pointSize;        // 0 keeps or scales the template's size
  double pointScale;         // used when pointSize is 0 and this is above 0
  const Utf16Char* faceName; // null keeps the template's face
  uint32_t faceNameBytes;    // with the terminator; 0 keeps the template's face
};

// Where a template's font block lies. Items after it are not re-aligned, so a new face must
// differ from the old in byte length by a multiple of 4.
struct TemplateFont {
  bool present; // the style has DS_SETFONT
  size_t pointSizeAt;
  size_t faceAt;
  size_t faceBytes; // with the terminator
};

// False when the header or its variable fields do not fit in the data.
bool FindTemplateFont(const uint8_t* data, size_t size, TemplateFont* font);

size_t RewrittenTemplateSize(size_t size, const TemplateFont& font, const TemplateOptions& options);

// Writes RewrittenTemplateSize bytes to out and sets options.resultLength.
void RewriteDialogTemplate(const uint8_t* data, size_t size, const TemplateFont& font,
                           TemplateOptions& options, uint8_t* out);
