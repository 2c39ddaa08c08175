#include "filetime/junk_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct JunkCase {
  const wchar_t* name;
  int expected;
  const char* why;
};

const JunkCase kJunkCases[] = {
    {L".DS_Store", 1, "the Finder's folder record"},
    {L".ds_store", 1, "case is ignored"},
    {L".DS_STORE", 1, "case is ignored"},
    {L".DS_Store ", 0, "a trailing blank makes another name"},
    {L".DS\u00AD_Store", 0, "an ignorable character still makes another name"},
    {L"Thumbs.db", 1, "9 characters, the shortest database name"},
    {L"thumbs.DB", 1, "case is ignored in both parts"},
    {L"Thumbs_old.db", 1, "any name from Thumbs on"},
    {L"ThumbsUp.db", 1, "any name from Thumbs on"},
    {L"Thumb.db", 0, "8 characters: not a database name, and no ._"},
    {L"ThumbX.db", 0, "9 characters, first six not Thumbs"},
    {L"Thumbs.dbx", 0, "the extension is .dbx"},
    {L"Thumbs.db.txt", 0, "the extension is the part from the last dot"},
    {L"Thumbs.d", 0, "8 characters"},
    {L"Thumbs", 0, "no extension"},
    {L"._a.db", 1, "6 characters: the ._ rule"},
    {L"._abc.db", 1, "8 characters: still the ._ rule"},
    {L"._abcd.db", 0, "9 characters with .db: decided by Thumbs alone"},
    {L"._photo.db", 0, "10 characters with .db: decided by Thumbs alone"},
    {L"._Thumbs.db", 0, "the first six characters are ._Thum"},
    {L"._photo.jpg", 1, "a companion file"},
    {L"._DS_Store", 1, "a companion file; its only dot is the first"},
    {L"._", 1, "the two characters alone"},
    {L".DS_Store.db", 0, "12 characters with .db, not Thumbs"},
    {L"_.txt", 0, "underscore first"},
    {L"._photo.DB", 0, "10 characters with .DB"},
    {L"a._b", 0, "._ not at the start"},
    {L".", 0, "one character"},
    {L"", 0, "empty"},
    {L"photo.jpg", 0, "an ordinary file"},
};

TEST(IsJunkFile, DecidesByNameAsTheTableSays) {
  for (const JunkCase& c : kJunkCases) {
    EXPECT_EQ(IsJunkFile(c.name), c.expected)
        << testing::PrintToString(std::wstring(c.name)) << ": " << c.why;
  }
}

TEST(IsJunkFile, NoNameIsNotJunk) {
  EXPECT_EQ(IsJunkFile(nullptr), 0);
}

} // namespace
