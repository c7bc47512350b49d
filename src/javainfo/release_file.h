// The JAVA_VERSION line of a Java home's "release" file.
#pragma once

#include <cstddef>
#include <string>

// Reads <home>\release. True with a non-empty `version`; false with `version` emptied.
bool ReadReleaseVersion(const std::wstring& home, std::wstring& version);

// The line rules over already decoded text (LF line ends): the first line must start with the
// key, later lines may be indented and blank lines between them are skipped; a blank first line or
// a line longer than kReleaseLineLimit characters ends the search. Same result contract as
// ReadReleaseVersion.
bool ReleaseVersionFromText(const std::wstring& text, std::wstring& version);

// Longest line the reader takes; a longer one before the key ends the search.
inline constexpr std::size_t kReleaseLineLimit = 999;
