// Parsing and ordering of Java version texts: one walk over the tokens, no regular expressions.
#include "javainfo/java_version.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace {

bool IsSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

// Reads like wcstol: leading white space skipped, digits up to the first non-digit. No digit, or
// a value beyond the signed 32-bit range, gives no number. The value is capped while reading, so
// an arbitrarily long run of digits cannot overflow.
bool ReadNumber(const std::wstring& text, std::size_t begin, std::size_t end, std::int32_t& value) {
  constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
  std::size_t position = begin;
  while (position < end && IsSpace(text[position])) ++position;
  std::int64_t result = 0;
  bool anyDigit = false;
  bool tooLarge = false;
  for (; position < end && text[position] >= L'0' && text[position] <= L'9'; ++position) {
    anyDigit = true;
    if (!tooLarge) {
      result = result * 10 + (text[position] - L'0');
      tooLarge = result > kLimit;
    }
  }
  if (!anyDigit || tooLarge) return false;
  value = static_cast<std::int32_t>(result);
  return true;
}

std::size_t FindSeparator(const std::wstring& text, std::size_t position,
                          bool underscoreSeparates) {
  for (; position < text.size(); ++position) {
    const wchar_t c = text[position];
    if (c == L'.' || c == L'+' || c == L'-' || (underscoreSeparates && c == L'_')) return position;
  }
  return std::wstring::npos;
}

template <typename T>
int Sign(T a, T b) {
  return a < b ? -1 : (a > b ? 1 : 0);
}

}  // namespace

JavaVersion ParseJavaVersion(const std::wstring& text) {
  JavaVersion version;
  std::size_t position = 0;
  bool legacy = false;
  bool readingNumbers = true;
  bool firstAfterNumbers = true;
  wchar_t previousSeparator = L'.';
  while (position < text.size()) {
    const std::size_t separator = FindSeparator(text, position, position == 0 || legacy);
    const std::size_t end = separator == std::wstring::npos ? text.size() : separator;
    if (readingNumbers) {
      std::int32_t number = 0;
      if (ReadNumber(text, position, end, number)) {
        if (position == 0 && number == 1) {
          legacy = true;  // 1.8.0_292: the leading 1 only marks the old scheme
        } else {
          version.numbers.push_back(number);
        }
      }
      // The separator before the token decides, so the token right after '+' or '-' is still
      // tried as a number.
      if (!(previousSeparator == L'.' || (previousSeparator == L'_' && legacy))) {
        readingNumbers = false;
      }
    } else {
      const std::wstring token = text.substr(position, end - position);
      if (previousSeparator == L'-' && firstAfterNumbers && version.preRelease.empty()) {
        version.preRelease = token;
        std::int32_t number = 0;
        if (ReadNumber(token, 0, token.size(), number)) version.preReleaseNumber = number;
      } else if (previousSeparator == L'+' || (previousSeparator == L'-' && legacy)) {
        if (version.buildNumber == -1) {
          // Old builds are written "b12".
          const std::size_t start = (legacy && !token.empty() && token[0] == L'b') ? 1 : 0;
          std::int32_t number = 0;
          if (ReadNumber(token, start, token.size(), number)) version.buildNumber = number;
        }
      }
      firstAfterNumbers = false;
    }
    if (separator == std::wstring::npos) break;
    previousSeparator = text[separator];
    position = separator + 1;
  }
  return version;
}

int CompareJavaVersions(const JavaVersion& a, const JavaVersion& b) {
  const std::size_t count = std::max(a.numbers.size(), b.numbers.size());
  for (std::size_t i = 0; i < count; ++i) {
    const std::int32_t left = i < a.numbers.size() ? a.numbers[i] : 0;
    const std::int32_t right = i < b.numbers.size() ? b.numbers[i] : 0;
    if (left != right) return Sign(left, right);
  }
  // 17 is older than 17.0 although the numbers agree.
  if (a.numbers.size() != b.numbers.size()) return Sign(a.numbers.size(), b.numbers.size());
  if (a.preReleaseNumber != b.preReleaseNumber) {
    return Sign(a.preReleaseNumber, b.preReleaseNumber);
  }
  if (a.preRelease == b.preRelease) return Sign(a.buildNumber, b.buildNumber);
  const std::size_t common = std::min(a.preRelease.size(), b.preRelease.size());
  for (std::size_t i = 0; i < common; ++i) {
    // Code units compare unsigned, whatever the signedness and width of wchar_t.
    const auto left = static_cast<std::uint32_t>(a.preRelease[i]);
    const auto right = static_cast<std::uint32_t>(b.preRelease[i]);
    if (left != right) return Sign(left, right);
  }
  return Sign(a.preRelease.size(), b.preRelease.size());
}

int MajorVersion(const JavaVersion& version) {
  return version.numbers.empty() ? 0 : version.numbers.front();
}
