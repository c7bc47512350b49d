// Windows path syntax as this program needs it, the same on every build host: "\" and "/" both
// separate; a root name is a drive ("C:"), a share ("\\server\share") or a "\\?\", "\\.\" or
// "\??\" prefix.
#pragma once

#include <cstddef>
#include <string>

namespace windows_path {

bool IsSeparator(wchar_t c);

// Length of the root name at the start of `path` (0 when it has none).
std::size_t RootNameLength(const std::wstring& path);
// Length of the root name and the run of separators after it.
std::size_t RootLength(const std::wstring& path);
// Something follows the root name and its separators.
bool HasRelativePart(const std::wstring& path);

// The path without its last element and the separators before it; a bare root is its own parent.
std::wstring Parent(const std::wstring& path);

// Appends `name` with a "\" between, unless `directory` is empty or already ends in a separator.
std::wstring Join(const std::wstring& directory, const std::wstring& name);

// Starts with a drive letter, a colon and a separator, or with a share or prefix root name.
bool IsAbsolute(const std::wstring& path);

// Resolves a relative `text` against the absolute `base`: a different root name replaces the
// base, a rooted text keeps only the base's root name, anything else is appended.
std::wstring ResolveAgainst(const std::wstring& base, const std::wstring& text);

// A path as GetFinalPathNameByHandleW gives it, in the form the rest of the program uses:
// "\\?\C:\x" as "C:\x" and "\\?\UNC\server\share\x" as "\\server\share\x". Kept as it is
// when the plain form would be `maxLength` characters or longer, which only the prefix reaches.
std::wstring WithoutLongPathPrefix(const std::wstring& path, std::size_t maxLength);

// Orders two paths: root names by code unit, then a path without a root directory first, then
// the rest, each run of separators counting as one separator that sorts before every other
// character. Returns <0, 0 or >0.
int Compare(const std::wstring& a, const std::wstring& b);

}  // namespace windows_path
