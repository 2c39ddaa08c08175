#pragma once
// The six rename methods: which inputs each reads, when its run ends before listing the folder,
// and which rule it applies. Pure; the run in run_rename_method.cpp reads the dialog and renames.

#include <cstdint>

#include "rename/rules.h"

// The index of the method in the dialog's method list and the value stored under "Method".
enum RenameMethod : int32_t {
  RenameReplace = 0,
  RenameReplaceFirst = 1,
  RenameMatchBegin = 2,
  RenameMatchEnd = 3,
  RenameLength = 4,
  RenameRemove = 5,
};

// What a run reads from the dialog; each text cut to its buffer as the controls are read.
struct RenameInputs {
  wchar_t find[260];
  wchar_t replace[260];
  bool caseSensitive;
  wchar_t filter[64]; // empty means every name
  wchar_t lengthText[64];
};

// The inputs a method reads, as bits.
enum RenameInput : uint32_t {
  InputFilter = 1,
  InputFind = 2,
  InputReplace = 4,
  InputCaseSensitive = 8,
  InputLength = 16,
};

// One of the four routines that the six methods share. bind makes the method's rule from the
// inputs, or returns false when the run ends at once (before the list or any file is touched).
struct MethodRoutine {
  uint32_t inputs;
  bool (*bind)(RenameMethod method, const RenameInputs& inputs, RenameRule* rule);
};

// The routine of a method, or null for a number outside 0 to 5.
const MethodRoutine* RoutineFor(int method);

// The Length box as a number: leading white space and one sign, digits up to the first other
// character, 0 without digits, clamped to the 32-bit range.
int32_t ParseLength(const wchar_t* text);
