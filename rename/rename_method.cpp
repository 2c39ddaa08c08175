#include "rename/rename_method.h"

#include <limits>

namespace {

constexpr uint32_t kReplaceInputs = InputFilter | InputFind | InputReplace | InputCaseSensitive;

RenameRule MatchRule(RenameRule::Kind kind, const RenameInputs& inputs) {
  RenameRule rule = {};
  rule.kind = kind;
  rule.find = inputs.find;
  rule.replace = inputs.replace;
  rule.caseSensitive = inputs.caseSensitive;
  return rule;
}

bool BindReplace(RenameMethod, const RenameInputs& inputs, RenameRule* rule) {
  *rule = MatchRule(RenameRule::Kind::ReplaceAll, inputs);
  return inputs.find[0] != L'\0';
}

bool BindAnchored(RenameMethod method, const RenameInputs& inputs, RenameRule* rule) {
  *rule = MatchRule(RenameRule::Kind::ReplaceFirst, inputs);
  rule->anchor = method == RenameMatchBegin ? MatchAnchor::Begin
                 : method == RenameMatchEnd ? MatchAnchor::End
                                            : MatchAnchor::Anywhere;
  return inputs.find[0] != L'\0';
}

// A negative Length would cut before the start of the name: it ends the run as 0 does.
bool BindLength(RenameMethod, const RenameInputs& inputs, RenameRule* rule) {
  *rule = {};
  rule->kind = RenameRule::Kind::Truncate;
  rule->length = ParseLength(inputs.lengthText);
  return rule->length > 0;
}

bool BindRemove(RenameMethod, const RenameInputs& inputs, RenameRule* rule) {
  *rule = MatchRule(RenameRule::Kind::Remove, inputs);
  rule->replace = L"";
  rule->length = ParseLength(inputs.lengthText);
  return inputs.find[0] != L'\0';
}

// Indexed by RenameMethod.
constexpr MethodRoutine kRoutines[] = {
    {kReplaceInputs, BindReplace},
    {kReplaceInputs, BindAnchored},
    {kReplaceInputs, BindAnchored},
    {kReplaceInputs, BindAnchored},
    {InputLength | InputFilter, BindLength},
    {InputFilter | InputFind | InputCaseSensitive | InputLength, BindRemove},
};

bool IsBlank(wchar_t c) {
  return c == L' ' || (c >= L'\t' && c <= L'\r');
}

} // namespace

const MethodRoutine* RoutineFor(int method) {
  if (method < 0 || method >= static_cast<int>(sizeof(kRoutines) / sizeof(kRoutines[0])))
    return nullptr;
  return &kRoutines[method];
}

int32_t ParseLength(const wchar_t* text) {
  while (IsBlank(*text))
    ++text;
  bool negative = *text == L'-';
  if (*text == L'-' || *text == L'+')
    ++text;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t magnitude = 0;
  for (; *text >= L'0' && *text <= L'9'; ++text) {
    magnitude = magnitude * 10 + (*text - L'0');
    if (magnitude > kLimit)
      magnitude = kLimit;
  }
  int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<int32_t>::max())
    return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}
