// Turns what the discovery found about one Java installation into a complete candidate.
#pragma once

#include <string>

#include "javainfo/java_candidate.h"

// Builds the candidate: vendor correction, the release file's version in preference to
// `versionText` (when `home` is not empty), display name, parsed version, preferred range.
JavaCandidate IdentifyJavaInstallation(const std::wstring& home, const std::wstring& javawPath,
                                       const std::wstring& javaPath, const std::wstring& label,
                                       const std::wstring& versionText, const std::wstring& vendor,
                                       bool isJdk, bool is64Bit);

// The version text the identification uses: the release file's in `home` when it names one,
// else `versionText`; `fromReleaseFile` says which.
std::wstring IdentifiedVersionText(const std::wstring& home, const std::wstring& versionText,
                                   bool& fromReleaseFile);

// Other vendors' installers register under Oracle's keys; the java.exe path tells them apart.
// Changes `vendor` and `label` only when `vendor` is exactly "Oracle" and a known name occurs.
void CorrectOracleVendor(const std::wstring& javaPath, std::wstring& vendor, std::wstring& label);

// Newest major version that still counts as preferred; later ones sort after the preferred ones of
// their kind.
inline constexpr int kLastPreferredMajor = 25;
