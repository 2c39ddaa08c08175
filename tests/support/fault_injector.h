#pragma once
// Fails a chosen call of a file-system function with a chosen error; lists the armed thread's.

#include <windows.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "tests/support/iat_patch.h"

struct FaultInjector {
  struct Call {
    std::string function;
    int number;  // among that function's calls, from 1
    bool writes; // writes, deletes, renames, or opens for writing
  };

  FaultInjector(); // the one injector while its patches stand, undone before it goes
  // Call `number` of `function` is to fail with `error` (none for 0); forgets the calls made.
  void Plan(const std::string& function, int number, DWORD error);

  std::string function;
  int number = 0;
  DWORD error = 0;
  DWORD thread = 0;   // armed on this thread; 0: not armed
  bool fired = false; // the planned call was made, and failed
  std::vector<Call> calls;
  std::map<std::string, int> counts;
  std::deque<ImportPatch> patches; // a deque, as a patch cannot move
};
