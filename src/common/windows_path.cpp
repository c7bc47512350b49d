// Windows path syntax, written out here because neither the Linux standard library nor
// MinGW's knows share roots and prefixes.
#include "common/windows_path.h"

#include <algorithm>

namespace windows_path {
namespace {

bool IsDriveLetter(wchar_t c) {
  return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// Code units compare as unsigned 16-bit values whatever the width of wchar_t.
unsigned CodeUnit(wchar_t c) {
  return static_cast<unsigned>(c) & 0xFFFFu;
}

std::size_t SkipSeparators(const std::wstring& path, std::size_t position) {
  while (position < path.size() && IsSeparator(path[position])) ++position;
  return position;
}

std::size_t SkipName(const std::wstring& path, std::size_t position) {
  while (position < path.size() && !IsSeparator(path[position])) ++position;
  return position;
}

}  // namespace

bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

std::size_t RootNameLength(const std::wstring& path) {
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':') return 2;
  if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[3])) {
    // "\\?\", "\\.\" and "\??\" name a device or a literal path, not a share.
    if ((IsSeparator(path[1]) && (path[2] == L'?' || path[2] == L'.')) ||
        (path[1] == L'?' && path[2] == L'?')) {
      return 4;
    }
  }
  if (path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2])) {
    // A share: the server name, then (when present) one separator run and the share name.
    const std::size_t serverEnd = SkipName(path, 2);
    const std::size_t shareStart = SkipSeparators(path, serverEnd);
    if (shareStart == path.size()) return serverEnd;
    return SkipName(path, shareStart);
  }
  return 0;
}

std::size_t RootLength(const std::wstring& path) {
  return SkipSeparators(path, RootNameLength(path));
}

bool HasRelativePart(const std::wstring& path) {
  return RootLength(path) < path.size();
}

std::wstring Parent(const std::wstring& path) {
  const std::size_t root = RootLength(path);
  if (root >= path.size()) return path;
  std::size_t end = path.size();
  while (end > root && !IsSeparator(path[end - 1])) --end;  // drop the last element
  while (end > root && IsSeparator(path[end - 1])) --end;   // and the separators before it
  return path.substr(0, end);
}

std::wstring Join(const std::wstring& directory, const std::wstring& name) {
  // One allocation: the search joins three names for every installation it finds.
  std::wstring joined;
  joined.reserve(directory.size() + 1 + name.size());
  joined += directory;
  if (!directory.empty() && !IsSeparator(directory.back())) joined += L'\\';
  joined += name;
  return joined;
}

bool IsAbsolute(const std::wstring& path) {
  const std::size_t rootName = RootNameLength(path);
  if (rootName == 0) return false;
  if (rootName == 2 && path[1] == L':') return path.size() > 2 && IsSeparator(path[2]);
  return true;
}

std::wstring ResolveAgainst(const std::wstring& base, const std::wstring& text) {
  const std::size_t textRoot = RootNameLength(text);
  const std::size_t baseRoot = RootNameLength(base);
  if (textRoot != 0 && text.compare(0, textRoot, base, 0, baseRoot) != 0) return text;
  const std::wstring rest = text.substr(textRoot);
  if (!rest.empty() && IsSeparator(rest.front())) return base.substr(0, baseRoot) + rest;
  return Join(base, rest);
}

int Compare(const std::wstring& a, const std::wstring& b) {
  const std::size_t aRootName = RootNameLength(a);
  const std::size_t bRootName = RootNameLength(b);
  for (std::size_t i = 0; i < std::min(aRootName, bRootName); ++i) {
    if (CodeUnit(a[i]) != CodeUnit(b[i])) return CodeUnit(a[i]) < CodeUnit(b[i]) ? -1 : 1;
  }
  if (aRootName != bRootName) return aRootName < bRootName ? -1 : 1;

  const bool aRooted = aRootName < a.size() && IsSeparator(a[aRootName]);
  const bool bRooted = bRootName < b.size() && IsSeparator(b[bRootName]);
  if (aRooted != bRooted) return aRooted ? 1 : -1;

  std::size_t i = SkipSeparators(a, aRootName);
  std::size_t j = SkipSeparators(b, bRootName);
  while (i < a.size() && j < b.size()) {
    const bool aSeparator = IsSeparator(a[i]);
    const bool bSeparator = IsSeparator(b[j]);
    if (aSeparator && bSeparator) {
      i = SkipSeparators(a, i);
      j = SkipSeparators(b, j);
      continue;
    }
    if (aSeparator != bSeparator) return aSeparator ? -1 : 1;
    if (CodeUnit(a[i]) != CodeUnit(b[j])) return CodeUnit(a[i]) < CodeUnit(b[j]) ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

std::wstring WithoutLongPathPrefix(const std::wstring& path, std::size_t maxLength) {
  std::wstring plain;
  if (path.starts_with(L"\\\\?\\UNC\\"))
    plain = L"\\\\" + path.substr(8);
  else if (path.starts_with(L"\\\\?\\") && path.size() >= 6 && path[5] == L':')
    plain = path.substr(4);
  else
    return path;
  return plain.size() < maxLength ? plain : path;
}

}  // namespace windows_path
