#include "rename/rename_method.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "base/bounded_text.h"
#include "rename/find_match.h"

namespace {

struct NameCase {
  const wchar_t* oldName;
  int method;
  const wchar_t* find;
  const wchar_t* replace;
  bool caseSensitive;
  const wchar_t* lengthText;
  const wchar_t* expected; // null: left out
};

RenameInputs InputsOf(const NameCase& c) {
  RenameInputs inputs = {};
  FormatBounded(inputs.find, std::size(inputs.find), L"%s", c.find);
  FormatBounded(inputs.replace, std::size(inputs.replace), L"%s", c.replace);
  FormatBounded(inputs.lengthText, std::size(inputs.lengthText), L"%s", c.lengthText);
  inputs.caseSensitive = c.caseSensitive;
  return inputs;
}

// What a run does with one name: bind the method's rule, then build the new name. "(ends)" when
// the run would end before listing the folder.
std::wstring NewNameOf(const NameCase& c) {
  const MethodRoutine* routine = RoutineFor(c.method);
  if (routine == nullptr)
    return L"(no method)";
  RenameInputs inputs = InputsOf(c);
  RenameRule rule;
  if (!routine->bind(static_cast<RenameMethod>(c.method), inputs, &rule))
    return L"(ends)";
  wchar_t newName[kPathCapacity];
  return BuildNewName(c.oldName, rule, newName) ? newName : L"(left out)";
}

std::wstring Expected(const NameCase& c) {
  return c.expected != nullptr ? c.expected : L"(left out)";
}

void ExpectRows(const NameCase* rows, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const NameCase& c = rows[i];
    EXPECT_EQ(NewNameOf(c), Expected(c)) << "row " << i << ": method " << c.method << " on \""
                                         << std::wstring(c.oldName).size() << "-character name\"";
  }
}

constexpr int kReplace = RenameReplace;
constexpr int kFirst = RenameReplaceFirst;
constexpr int kBegin = RenameMatchBegin;
constexpr int kEnd = RenameMatchEnd;
constexpr int kLength = RenameLength;
constexpr int kRemove = RenameRemove;

TEST(RenameRules, WorkedExamples) {
  const NameCase rows[] = {
      {L"abcabc.txt", kReplace, L"bc", L"X", false, L"", L"aXaX.txt"},
      {L"abcabc.txt", kFirst, L"bc", L"X", false, L"", L"aXabc.txt"},
      {L"abcabc.txt", kBegin, L"bc", L"X", false, L"", nullptr},
      {L"abcabc.txt", kBegin, L"ab", L"X", false, L"", L"Xcabc.txt"},
      {L"abcabc.txt", kEnd, L"bc", L"X", false, L"", L"abcaX.txt"},
      {L"bcabc.txt", kEnd, L"bc", L"X", false, L"", L"bcaX.txt"},
      {L"abcabc.txt", kLength, L"bc", L"X", false, L"4", L"abca.txt"},
      {L"abcabc.txt", kLength, L"bc", L"X", false, L"6", nullptr},
      {L"x.y.z", kLength, L"bc", L"X", false, L"1", L"x.z"},
      {L"abcabc.txt", kRemove, L"bc", L"X", false, L"", L"aa.txt"},
      {L"abcabc.txt", kRemove, L"bc", L"X", false, L"2", L"aabc.txt"},
      {L"abcabc.txt", kRemove, L"bc", L"X", false, L"5", L"aa.txt"},
      {L"abcabc.txt", kReplace, L"BC", L"X", true, L"", nullptr},
      {L"abcabc.txt", kReplace, L"BC", L"X", false, L"", L"aXaX.txt"},
      {L"abcabc.txt", kReplace, L"bc", L"", false, L"", L"aa.txt"},
      {L"bcbc.txt", kReplace, L"bc", L"", false, L"", nullptr},
      {L"bcbc.txt", kFirst, L"bc", L"", false, L"", L"bc.txt"},
      {L"a.bc.txt", kReplace, L"bc", L"X", false, L"", L"a.X.txt"},
      {L"abc.bc", kReplace, L"bc", L"X", false, L"", L"aX.bc"},
      {L".bc", kReplace, L"bc", L"X", false, L"", nullptr},
      {L"aaa.txt", kReplace, L"aa", L"b", false, L"", L"ba.txt"},
      {L"ab.txt", kFirst, L"abc", L"X", false, L"", nullptr},
      {L"abcabc", kEnd, L"c", L"X", false, L"", L"abcabX"},
  };
  ExpectRows(rows, std::size(rows));
}

// A new name is a name in the folder, never a path: a separator would move the file elsewhere.
TEST(RenameRules, NewNamesWithCharactersWindowsRefusesAreLeftOut) {
  const std::wstring refused = L"\\/:*?\"<>|\x01\x1f";
  for (int method = kReplace; method <= kEnd; ++method) {
    for (wchar_t c : refused) {
      std::wstring replace = std::wstring(L"x") + c;
      NameCase row = {L"abc.txt", method, L"abc", replace.c_str(), false, L"", nullptr};
      EXPECT_EQ(NewNameOf(row), L"(left out)") << "method " << method << ", character " << int(c);
    }
    NameCase allowed = {L"abc.txt", method, L"abc", L"x_", false, L"", L"x_.txt"};
    EXPECT_EQ(NewNameOf(allowed), Expected(allowed)) << "method " << method;
  }
}

TEST(RenameRules, EmptyBaseNamesAreLeftOutByEveryMethod) {
  for (const wchar_t* name : {L".profile", L".bc"}) {
    for (int method = kReplace; method <= kRemove; ++method) {
      // Find "p" and "b" would each match the extension if it were searched.
      NameCase c = {name, method, name + 1, L"X", false, L"1", nullptr};
      EXPECT_EQ(NewNameOf(c), L"(left out)") << "method " << method;
    }
  }
}

TEST(RenameRules, OnlyTheBaseNameIsSearchedAndChanged) {
  const NameCase rows[] = {
      // The last dot alone starts the extension; earlier dots belong to the base name.
      {L"a.bc.txt", kFirst, L".", L"_", false, L"", L"a_bc.txt"},
      {L"x.bc.bc", kRemove, L"bc", L"", false, L"", L"x..bc"},
      {L"abc.", kReplace, L"c", L"X", false, L"", L"abX."},
      {L"name", kLength, L"", L"", false, L"2", L"na"},
      {L"abcabc", kRemove, L"b", L"", false, L"", L"acac"},
      {L"txt.txt", kEnd, L"txt", L"doc", false, L"", L"doc.txt"},
  };
  ExpectRows(rows, std::size(rows));
}

TEST(RenameRules, MatchesAreTakenFromTheLeftWithoutOverlap) {
  const NameCase rows[] = {
      {L"aaaa.txt", kReplace, L"aa", L"b", false, L"", L"bb.txt"},
      {L"aaaaa.txt", kRemove, L"aa", L"", false, L"", L"a.txt"},
      {L"abab", kReplace, L"aba", L"X", false, L"", L"Xb"},
      // Match End looks only at the last characters, even when an earlier match exists.
      {L"bcabc.txt", kEnd, L"bc", L"X", false, L"", L"bcaX.txt"},
      {L"bca.txt", kEnd, L"bc", L"X", false, L"", nullptr},
      {L"bca.txt", kBegin, L"bc", L"X", false, L"", L"Xa.txt"},
      {L"abab.txt", kEnd, L"ababab", L"X", false, L"", nullptr},
  };
  ExpectRows(rows, std::size(rows));
}

TEST(RenameRules, ReplacementsThatKeepTheNameStillCount) {
  const NameCase rows[] = {
      {L"a.txt", kReplace, L"a", L"a", true, L"", L"a.txt"},
      {L"a.txt", kFirst, L"a", L"a", true, L"", L"a.txt"},
      // Without Case Sensitive a replacement may change case only.
      {L"Abc.txt", kReplace, L"a", L"a", false, L"", L"abc.txt"},
      {L"ABC.txt", kEnd, L"c", L"c", false, L"", L"ABc.txt"},
      {L"Abc.txt", kReplace, L"a", L"a", true, L"", nullptr},
  };
  ExpectRows(rows, std::size(rows));
}

TEST(RenameRules, WholeNameMatchesWithEmptyReplace) {
  const NameCase rows[] = {
      {L"bc.txt", kReplace, L"bc", L"", false, L"", nullptr},
      {L"bcbc.txt", kRemove, L"bc", L"", false, L"", nullptr},
      {L"bc.txt", kFirst, L"bc", L"", false, L"", nullptr},
      {L"bc.txt", kBegin, L"bc", L"", false, L"", nullptr},
      {L"bc.txt", kEnd, L"BC", L"", false, L"", nullptr},
      {L"bcbc.txt", kEnd, L"bc", L"", false, L"", L"bc.txt"},
      // A limit that keeps a later match keeps the name from becoming empty.
      {L"bcbc.txt", kRemove, L"bc", L"", false, L"1", L"bc.txt"},
  };
  ExpectRows(rows, std::size(rows));
}

TEST(RenameRules, LengthCutsOnlyLongerNamesAndEndsTheRunWithoutANumber) {
  const NameCase rows[] = {
      {L"abc.txt", kLength, L"", L"", false, L"3", nullptr},
      {L"abc.txt", kLength, L"", L"", false, L"4", nullptr},
      {L"abc.txt", kLength, L"", L"", false, L"2", L"ab.txt"},
      {L"abc.txt", kLength, L"", L"", false, L" +2", L"ab.txt"},
      {L"abc.txt", kLength, L"", L"", false, L"2x", L"ab.txt"},
      {L"abc.txt", kLength, L"", L"", false, L"99999999999", nullptr},
      {L"abc.txt", kLength, L"", L"", false, L"", L"(ends)"},
      {L"abc.txt", kLength, L"", L"", false, L"0", L"(ends)"},
      {L"abc.txt", kLength, L"", L"", false, L"x", L"(ends)"},
      // A negative number would cut before the name's start: the run ends as for 0.
      {L"abc.txt", kLength, L"", L"", false, L"-1", L"(ends)"},
  };
  ExpectRows(rows, std::size(rows));
}

TEST(RenameRules, RemoveLimitCountsMatchStarts) {
  const NameCase rows[] = {
      {L"abcabc.txt", kRemove, L"bc", L"", false, L"1", nullptr}, // no match starts before 1
      {L"abcabc.txt", kRemove, L"bc", L"", false, L"2", L"aabc.txt"},
      // A match starting before the limit goes whole, even past it.
      {L"abcabc.txt", kRemove, L"bca", L"", false, L"2", L"abc.txt"},
      {L"abcabc.txt", kRemove, L"bc", L"", false, L"0", L"aa.txt"},
      {L"abcabc.txt", kRemove, L"bc", L"", false, L"-3", L"aa.txt"},
      {L"abcabc.txt", kRemove, L"BC", L"", true, L"", nullptr},
  };
  ExpectRows(rows, std::size(rows));
}

TEST(RenameRules, EmptyFindEndsTheRunForEveryMatchingMethod) {
  for (int method : {kReplace, kFirst, kBegin, kEnd, kRemove}) {
    NameCase c = {L"abc.txt", method, L"", L"X", false, L"2", nullptr};
    EXPECT_EQ(NewNameOf(c), L"(ends)") << "method " << method;
  }
  for (int method : {-1, 6, 100}) {
    NameCase c = {L"abc.txt", method, L"a", L"X", false, L"2", nullptr};
    EXPECT_EQ(NewNameOf(c), L"(no method)") << "method " << method;
  }
}

// Names that would not fit a file-name component, or a 260-character buffer, are left out rather
// than cut.
TEST(RenameRules, ResultsThatWouldNotFitAreLeftOut) {
  struct LongCase {
    std::wstring oldName;
    int method;
    std::wstring find;
    std::wstring replace;
    std::wstring expected;
  };
  auto times = [](const std::wstring& text, size_t count) {
    std::wstring out;
    for (size_t i = 0; i < count; ++i)
      out += text;
    return out;
  };
  const std::wstring leftOut = L"(left out)";
  const std::wstring a100 = std::wstring(100, L'a');
  const std::wstring b254 = std::wstring(254, L'b');
  const std::wstring b200 = std::wstring(200, L'b');
  const std::wstring ext50 = L"." + std::wstring(49, L'e');
  const LongCase rows[] = {
      {a100 + L".txt", kReplace, L"a", L"xyz", leftOut}, // 300
      {a100 + L".txt", kReplace, L"a", L"xy", times(L"xy", 100) + L".txt"},
      {b254, kFirst, L"b", L"XY", L"XY" + std::wstring(253, L'b')}, // exactly 255
      {b254 + L".txt", kFirst, L"b", std::wstring(200, L'R'), leftOut},
      {b254 + L".txt", kEnd, L"b", L"XYZ", leftOut}, // 256
      // The base names fit; with the extension the names would pass 259 characters.
      {b200 + ext50, kReplace, times(L"b", 10), times(L"c", 11), leftOut},
      {b200 + ext50, kReplace, times(L"b", 10), times(L"c", 10), std::wstring(200, L'c') + ext50},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    const LongCase& c = rows[i];
    NameCase row = {
        c.oldName.c_str(), c.method, c.find.c_str(), c.replace.c_str(), true, L"", nullptr};
    EXPECT_EQ(NewNameOf(row), c.expected) << "row " << i;
  }
}

TEST(RenameRules, CaseIsFoldedLikeWindowsInTheBasicPlanes) {
  struct FoldCase {
    const wchar_t* text;
    const wchar_t* find;
    int position; // -1: no match
  };
  const FoldCase rows[] = {
      {L"abcABC", L"Cab", 2},
      {L"r\u00e9sum\u00e9", L"\u00c9SUM", 1},
      {L"\u00fcber", L"\u00dcBER", 0},
      {L"\u0436\u0443\u043a", L"\u0416\u0423\u041a", 0},
      {L"x\u03b1\u03b2\u03b3", L"\u0391\u0392\u0393", 1},
      {L"\u0105\u0107", L"\u0104\u0106", 0},
      {L"\u0451\u0436", L"\u0401", 0},
      {L"a\u00d7", L"\u00f7", -1},
      {L"abc", L"abcd", -1},
  };
  for (const FoldCase& c : rows) {
    const wchar_t* match = FindMatch(c.text, c.find, false);
    int position = match != nullptr ? static_cast<int>(match - c.text) : -1;
    EXPECT_EQ(position, c.position) << "find " << std::wstring(c.find).size() << " chars";
    EXPECT_EQ(FindMatch(c.text, c.find, true) == nullptr, true)
        << "case-sensitive search should not match when only case differs";
  }
}

TEST(RenameRules, ParseLengthReadsLikeADecimalConversion) {
  struct ParseCase {
    const wchar_t* text;
    int32_t value;
  };
  const ParseCase rows[] = {
      {L"", 0},
      {L"0", 0},
      {L"x", 0},
      {L"12", 12},
      {L"  7", 7},
      {L"\t+9z", 9},
      {L"-4", -4},
      {L"--4", 0},
      {L"4 5", 4},
      {L"2147483647", 2147483647},
      {L"2147483648", 2147483647},
      {L"-2147483648", -2147483647 - 1},
      {L"-99999999999999999999", -2147483647 - 1},
  };
  for (const ParseCase& c : rows)
    EXPECT_EQ(ParseLength(c.text), c.value) << "text of " << std::wstring(c.text).size();
}

} // namespace
