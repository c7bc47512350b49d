// Java version texts of both forms (1.8.0_292 and 17.0.2+8), their order and their major number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct JavaVersion {
  std::vector<std::int32_t> numbers;  // the legacy leading 1 is not kept
  std::wstring preRelease;
  std::int32_t preReleaseNumber = -1;
  std::int32_t buildNumber = -1;
};

JavaVersion ParseJavaVersion(const std::wstring& text);
// -1 when a is older than b, 0 when equal, +1 when newer.
int CompareJavaVersions(const JavaVersion& a, const JavaVersion& b);
// The first number, 0 when there is none.
int MajorVersion(const JavaVersion& version);
