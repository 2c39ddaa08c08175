#include "rename/rename_method.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "base/bounded_text.h"
#include "rename/find_match.h"

namespace {

const std::wstring kOut = L"(left out)", kEnds = L"(ends)";

// A run's new name for one name; kEnds when binding the rule ends the run before any listing.
std::wstring NewNameOf(const std::wstring& oldName, int method, const RenameInputs& inputs) {
  RenameRule rule;
  if (!RoutineFor(method)->bind(static_cast<RenameMethod>(method), inputs, &rule))
    return kEnds;
  wchar_t newName[kPathCapacity];
  return BuildNewName(oldName.c_str(), rule, newName) ? newName : kOut;
}

TEST(RenameRules, WorkedExamples) {
  const std::wstring b254(254, L'b'), ext50 = L"." + std::wstring(49, L'e');
  const std::wstring b200 = std::wstring(200, L'b') + ext50, c200 = std::wstring(200, L'c') + ext50;
  const std::wstring low = L"\xD800\xDC00", high = L"\xDBFF\xDFFF"; // U+10000, U+10FFFF
  // Old name, method, inputs (find, replace, case sensitive, filter, length), new name.
  const std::tuple<std::wstring, int, RenameInputs, std::wstring> rows[] = {
      {L"abcabc.txt", RenameMatchBegin, {L"bc", L"X", false, L"", L""}, kOut},
      {L"abcabc.txt", RenameMatchBegin, {L"ab", L"X", false, L"", L""}, L"Xcabc.txt"},
      {L"abcabc.txt", RenameMatchEnd, {L"bc", L"X", false, L"", L""}, L"abcaX.txt"},
      {L"abcabc.txt", RenameLength, {L"", L"", false, L"", L"6"}, kOut},
      {L"abc.txt", RenameLength, {L"", L"", false, L"", L" +2x"}, L"ab.txt"},
      {L"abc.txt", RenameLength, {L"", L"", false, L"", L"-1"}, kEnds},
      // Never half of a character beyond U+FFFF, nor a name with half of one.
      {low + high + L".txt", RenameLength, {L"", L"", false, L"", L"3"}, low + L".txt"},
      {high + low + L".txt", RenameLength, {L"", L"", false, L"", L"1"}, kOut},
      {high + L".txt", RenameReplace, {L"\xDFFF", L"x", false, L"", L""}, kOut},
      {L"\xD7FF\xE000x.txt", RenameLength, {L"", L"", false, L"", L"2"}, L"\xD7FF\xE000.txt"},
      {L"abcabc.txt", RenameRemove, {L"bc", L"X", false, L"", L""}, L"aa.txt"},
      {L"abcabc.txt", RenameRemove, {L"bc", L"", false, L"", L"2"}, L"aabc.txt"},
      {L"abcabc.txt", RenameRemove, {L"bc", L"", false, L"", L"1"}, kOut},
      {L"abcabc.txt", RenameReplace, {L"BC", L"X", true, L"", L""}, kOut},
      {L"\u0436\u0443\u043a", RenameReplace, {L"\u0416\u0423", L"y", false, L"", L""}, L"y\u043a"},
      {L"Abc.txt", RenameReplace, {L"a", L"a", false, L"", L""}, L"abc.txt"},
      {L"aaaa.txt", RenameReplace, {L"aa", L"b", false, L"", L""}, L"bb.txt"},
      {L"bcbc.txt", RenameReplace, {L"bc", L"", false, L"", L""}, kOut},
      {L"bcbc.txt", RenameReplaceFirst, {L"bc", L"", false, L"", L""}, L"bc.txt"},
      {L"a.bc.txt", RenameReplaceFirst, {L".", L"_", false, L"", L""}, L"a_bc.txt"},
      {L"abc.txt", RenameReplace, {L"", L"X", false, L"", L""}, kEnds},
      {L"abc.txt", RenameReplace, {L"abc", L"a b_", false, L"", L""}, L"a b_.txt"},
      {b254, RenameReplaceFirst, {L"b", L"XY", true, L"", L""}, L"XY" + std::wstring(253, L'b')},
      {b254 + L".txt", RenameMatchEnd, {L"b", L"XYZ", true, L"", L""}, kOut},
      {b200, RenameReplace, {L"bbbbbbbbbb", L"ccccccccccc", true, L"", L""}, kOut},
      {b200, RenameReplace, {L"bbbbbbbbbb", L"cccccccccc", true, L"", L""}, c200}};
  for (const auto& [oldName, method, inputs, expected] : rows)
    EXPECT_EQ(NewNameOf(oldName, method, inputs), expected) << method << " " << inputs.find;
  // Never a path, a device, or a name whose ending dot or blank Windows drops; old names likewise.
  std::vector<std::wstring> refused = {L"NUL.jpg", L"con", L"Com1.txt", L"LPT9.x", L"COM\u00B9.txt",
                                       L"READ.",   L"a ",  L"..",       L"aux .x", L"conout$.x"};
  for (wchar_t c : std::wstring(L"\\/:*?\"<>|\x01\x1f"))
    refused.push_back({L'x', c});
  auto abcTo = [](const std::wstring& name) {
    RenameInputs inputs = {L"abc", L"", false, L"", L""};
    name.copy(inputs.replace, std::size(inputs.replace) - 1);
    return inputs;
  };
  for (const std::wstring& name : refused) {
    EXPECT_EQ(NewNameOf(L"abc", RenameReplace, abcTo(name)), kOut) << name;
    EXPECT_EQ(NewNameOf(name, RenameLength, {L"", L"", false, L"", L"1"}), kOut) << name;
  }
  for (const std::wstring name :
       {L"CONCERT.jpg", L"NULL.jpg", L"COM10.txt", L"LPT0.txt", L"LPQ1.txt"})
    EXPECT_EQ(NewNameOf(L"abc", RenameReplace, abcTo(name)), name);
  // The Filter holds against the name the user sees, not the short name the search matched.
  const std::tuple<const wchar_t*, const wchar_t*, bool> filters[] = {
      {L"photo.tiff", L"*.tif", false}, {L"photo.jpg", L"*.JPG", true}, {L"README", L"*.*", true},
      {L"README", L"*.", true},         {L"a.b", L"*.", false},         {L"abc", L"a?c", true},
      {L"ac", L"a?c", false},           {L"a.b.c", L"*.c", true},       {L"abcbd", L"*b*d", true},
      {L"abcbe", L"*b*d", false},       {L"README.txt", L"", false},    {L"", L"*", true}};
  for (const auto& [name, filter, matches] : filters)
    EXPECT_EQ(MatchesFilter(name, filter), matches) << name << " " << filter;
}

} // namespace
