#pragma once

#include <string>
#include <vector>

// Full path of the built Datewright.exe, which the build puts beside the test programs.
std::wstring BuiltProgramPath();

std::vector<unsigned char> ReadWholeFile(const std::wstring& path);
