#include "rename/rename_method.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <tuple>

#include "base/bounded_text.h"

namespace {

// The old name, the method and its inputs (find, replace, case sensitive, length) and the new
// name: "(left out)", or "(ends)" when the run ends before listing the folder.
using Row =
    std::tuple<std::wstring, int, std::wstring, std::wstring, bool, const wchar_t*, std::wstring>;

// What a run does with one name: bind the method's rule, then build the new name.
std::wstring NewNameOf(const Row& row) {
  const auto& [oldName, method, find, replace, caseSensitive, length, expected] = row;
  RenameInputs inputs = {};
  FormatBounded(inputs.find, std::size(inputs.find), L"%s", find.c_str());
  FormatBounded(inputs.replace, std::size(inputs.replace), L"%s", replace.c_str());
  FormatBounded(inputs.lengthText, std::size(inputs.lengthText), L"%s", length);
  inputs.caseSensitive = caseSensitive;
  RenameRule rule;
  if (!RoutineFor(method)->bind(static_cast<RenameMethod>(method), inputs, &rule))
    return L"(ends)";
  wchar_t newName[kPathCapacity];
  return BuildNewName(oldName.c_str(), rule, newName) ? newName : L"(left out)";
}

constexpr int kAll = RenameReplace, kFirst = RenameReplaceFirst, kBegin = RenameMatchBegin,
              kEnd = RenameMatchEnd, kLength = RenameLength, kRemove = RenameRemove;
const std::wstring kOut = L"(left out)", kEnds = L"(ends)";

TEST(RenameRules, WorkedExamples) {
  const std::wstring b254(254, L'b'), b200(200, L'b'), ext50 = L"." + std::wstring(49, L'e');
  const Row rows[] = {
      {L"abcabc.txt", kAll, L"bc", L"X", false, L"", L"aXaX.txt"},
      {L"abcabc.txt", kFirst, L"bc", L"X", false, L"", L"aXabc.txt"},
      {L"abcabc.txt", kBegin, L"bc", L"X", false, L"", kOut},
      {L"abcabc.txt", kBegin, L"ab", L"X", false, L"", L"Xcabc.txt"},
      {L"abcabc.txt", kEnd, L"bc", L"X", false, L"", L"abcaX.txt"},
      {L"abcabc.txt", kLength, L"", L"", false, L"6", kOut},
      {L"abcabc.txt", kLength, L"", L"", false, L"5", L"abcab.txt"},
      {L"abc.txt", kLength, L"", L"", false, L" +2x", L"ab.txt"},
      {L"abc.txt", kLength, L"", L"", false, L"-1", kEnds},
      {L"abcabc.txt", kRemove, L"bc", L"X", false, L"", L"aa.txt"},
      {L"abcabc.txt", kRemove, L"bc", L"", false, L"2", L"aabc.txt"},
      {L"abcabc.txt", kRemove, L"bca", L"", false, L"2", L"abc.txt"},
      {L"abcabc.txt", kRemove, L"bc", L"", false, L"1", kOut},
      {L"abcabc.txt", kAll, L"BC", L"X", true, L"", kOut},
      {L"\u0436\u0443\u043a", kAll, L"\u0416\u0423", L"y", false, L"", L"y\u043a"},
      {L"Abc.txt", kAll, L"a", L"a", false, L"", L"abc.txt"},
      {L"aaaa.txt", kAll, L"aa", L"b", false, L"", L"bb.txt"},
      {L"bcbc.txt", kAll, L"bc", L"", false, L"", kOut},
      {L"bcbc.txt", kFirst, L"bc", L"", false, L"", L"bc.txt"},
      {L"a.bc.txt", kFirst, L".", L"_", false, L"", L"a_bc.txt"},
      {L"abc.bc", kAll, L"bc", L"X", false, L"", L"aX.bc"},
      {L"abc.txt", kAll, L"", L"X", false, L"", kEnds},
      {L"abc.txt", kAll, L"abc", L"a b_", false, L"", L"a b_.txt"},
      {b254, kFirst, L"b", L"XY", true, L"", L"XY" + std::wstring(253, L'b')},
      {b254 + L".txt", kEnd, L"b", L"XYZ", true, L"", kOut},
      {b200 + ext50, kAll, std::wstring(10, L'b'), std::wstring(11, L'c'), true, L"", kOut},
      {b200 + ext50, kAll, std::wstring(10, L'b'), std::wstring(10, L'c'), true, L"",
       std::wstring(200, L'c') + ext50},
  };
  for (size_t i = 0; i < std::size(rows); ++i)
    EXPECT_EQ(NewNameOf(rows[i]), std::get<6>(rows[i])) << "row " << i;
  // A new name is a name in the folder, never a path: a separator would move the file elsewhere.
  for (wchar_t c : std::wstring(L"\\/:*?\"<>|\x01\x1f")) {
    Row row = {L"abc.txt", kAll, L"abc", std::wstring(L"x") + c, false, L"", kOut};
    EXPECT_EQ(NewNameOf(row), kOut) << "character " << int{c};
  }
}

} // namespace
