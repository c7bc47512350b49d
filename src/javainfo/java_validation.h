// Checks a chosen Java executable before it is saved; a failure is a reason, not an error.
#pragma once

#include <string>

// The lowest Java major version the program runs on.
inline constexpr int RequiredJavaMajor = 17;

// True when `path` is an existing executable named java.exe or javaw.exe in the bin directory of
// a Java installation whose release file names at least RequiredJavaMajor; `reason` is then
// untouched. Otherwise false, with `reason` replaced by why (without a final period).
bool ValidateJavaExecutable(const std::wstring& path, std::wstring& reason);

// The executable sits in "<home>\bin" and <home> holds jre\bin\java.dll or bin\java.dll.
bool IsInJavaInstallation(const std::wstring& path);

// The last path element is exactly java.exe or javaw.exe.
bool IsJavaExecutableName(const std::wstring& path);
