#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/built_program.h"

namespace {

// Reads a PE file's headers and export directory from its bytes, refusing anything out of range.
class ImageFile {
public:
  explicit ImageFile(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}

  template <typename T> const T* At(size_t offset, size_t count = 1) const {
    if (offset > bytes_.size() || count > (bytes_.size() - offset) / sizeof(T))
      return nullptr;
    return reinterpret_cast<const T*>(bytes_.data() + offset);
  }

  const IMAGE_NT_HEADERS64* Headers() const {
    const auto* dos = At<IMAGE_DOS_HEADER>(0);
    if (dos == nullptr || dos->e_magic != IMAGE_DOS_SIGNATURE)
      return nullptr;
    const auto* nt = At<IMAGE_NT_HEADERS64>(static_cast<size_t>(dos->e_lfanew));
    bool pe64 = nt != nullptr && nt->Signature == IMAGE_NT_SIGNATURE &&
                nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    return pe64 ? nt : nullptr;
  }

  const IMAGE_SECTION_HEADER* SectionOf(DWORD rva) const {
    const IMAGE_NT_HEADERS64* nt = Headers();
    if (nt == nullptr)
      return nullptr;
    size_t first = reinterpret_cast<const unsigned char*>(IMAGE_FIRST_SECTION(nt)) - bytes_.data();
    const auto* sections = At<IMAGE_SECTION_HEADER>(first, nt->FileHeader.NumberOfSections);
    for (WORD i = 0; sections != nullptr && i < nt->FileHeader.NumberOfSections; ++i) {
      const IMAGE_SECTION_HEADER& section = sections[i];
      if (rva >= section.VirtualAddress && rva - section.VirtualAddress < section.SizeOfRawData)
        return &section;
    }
    return nullptr;
  }

  template <typename T> const T* AtRva(DWORD rva, size_t count = 1) const {
    const IMAGE_SECTION_HEADER* section = SectionOf(rva);
    if (section == nullptr)
      return nullptr;
    return At<T>(rva - section->VirtualAddress + section->PointerToRawData, count);
  }

  std::string TextAtRva(DWORD rva) const {
    const char* start = AtRva<char>(rva);
    if (start == nullptr)
      return "(out of range)";
    const char* end = reinterpret_cast<const char*>(bytes_.data() + bytes_.size());
    return std::string(start, strnlen(start, end - start));
  }

private:
  std::vector<unsigned char> bytes_;
};

TEST(ProgramExports, OnlyGetResolvedPathDialogByNameAtOrdinalOne) {
  ImageFile image(ReadWholeFile(BuiltProgramPath()));
  const IMAGE_NT_HEADERS64* nt = image.Headers();
  ASSERT_NE(nt, nullptr) << "not a 64-bit PE file";
  const IMAGE_DATA_DIRECTORY& directory =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  const auto* exports = image.AtRva<IMAGE_EXPORT_DIRECTORY>(directory.VirtualAddress);
  ASSERT_NE(exports, nullptr) << "no export directory";

  EXPECT_EQ(image.TextAtRva(exports->Name), "Datewright.exe");
  ASSERT_EQ(exports->NumberOfFunctions, 1u);
  ASSERT_EQ(exports->NumberOfNames, 1u);
  const auto* nameRva = image.AtRva<DWORD>(exports->AddressOfNames);
  const auto* nameIndex = image.AtRva<WORD>(exports->AddressOfNameOrdinals);
  const auto* functionRva = image.AtRva<DWORD>(exports->AddressOfFunctions);
  ASSERT_TRUE(nameRva != nullptr && nameIndex != nullptr && functionRva != nullptr);
  EXPECT_EQ(image.TextAtRva(*nameRva), "GetResolvedPathDialog");
  EXPECT_EQ(*nameIndex, 0u);
  EXPECT_EQ(exports->Base + *nameIndex, 1u) << "ordinal";

  // Code, not a forwarder string inside the export directory.
  bool forwarder = *functionRva >= directory.VirtualAddress &&
                   *functionRva - directory.VirtualAddress < directory.Size;
  EXPECT_FALSE(forwarder);
  const IMAGE_SECTION_HEADER* section = image.SectionOf(*functionRva);
  ASSERT_NE(section, nullptr);
  EXPECT_TRUE(section->Characteristics & IMAGE_SCN_MEM_EXECUTE);
}

} // namespace
