// The settings record's rules: the memory and font-check tokens inside the argument string.
#include "startup/startup_settings.h"

#include <limits>
#include <string_view>

#include "common/windows_path.h"

namespace {

constexpr std::wstring_view kMemoryPrefix = L"-J-Xmx";

bool IsFontCheckToken(const std::wstring& token) {
  return token.starts_with(L"-nofontcheck") || token.starts_with(L"/nofontcheck");
}

// "-J-Xmx", an optionally signed decimal integer that fits in 32 bits, then "m"; anything may
// follow the "m". A value that overflows or carries another unit is refused rather than taken
// as a bare number of megabytes, so "-J-Xmx4g" never turns into a 4 MB heap. White space before
// the number is skipped as a "%d" conversion skips it: spaces split tokens, but a tab, a line
// end, a vertical tab or a form feed can stand there.
bool ParseMemoryToken(const std::wstring& token, std::int32_t& megabytes) {
  if (!token.starts_with(kMemoryPrefix)) return false;
  std::size_t index = token.find_first_not_of(L" \t\n\v\f\r", kMemoryPrefix.size());
  bool negative = false;
  if (index < token.size() && (token[index] == L'+' || token[index] == L'-')) {
    negative = token[index] == L'-';
    ++index;
  }
  const std::size_t firstDigit = index;
  // Accumulate the magnitude in 64 bits and stop as soon as it leaves the 32-bit range.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; index < token.size() && token[index] >= L'0' && token[index] <= L'9'; ++index) {
    magnitude = magnitude * 10 + (token[index] - L'0');
    if (magnitude > kLimit) return false;
  }
  if (index == firstDigit) return false;
  if (index >= token.size() || token[index] != L'm') return false;
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) return false;
  megabytes = static_cast<std::int32_t>(value);
  return true;
}

}  // namespace

void StartupSettings::SetSettings(bool verbose, bool allowUIScale, bool disableDD2, bool keepWS,
                                  bool skipFontCheck, bool legacyMS2, bool preferIPv4,
                                  std::int32_t maxMemoryMB, const std::wstring& java,
                                  const std::wstring& scale) {
  Verbose = verbose;
  AllowUIScale = allowUIScale;
  DisableDD2 = disableDD2;
  KeepWS = keepWS;
  SkipFontCheck = skipFontCheck;
  LegacyMS2 = legacyMS2;
  PreferIPv4 = preferIPv4;
  MaxMemoryMB = maxMemoryMB;
  Java = java;
  Scale = scale;
  RebuildArguments();
}

void StartupSettings::SetJava(const std::wstring& text, bool resolveRelative) {
  if (resolveRelative && !text.empty() && !windows_path::IsAbsolute(text)) {
    Java = windows_path::ResolveAgainst(BaseDirectory, text);
  } else {
    Java = text;
  }
}

void StartupSettings::ParseArguments(const std::wstring& text) {
  for (const std::wstring& token : SplitTokens(text, L" ")) {
    if (IsFontCheckToken(token)) {
      SkipFontCheck = true;
    } else {
      ParseMemoryToken(token, MaxMemoryMB);
    }
  }
}

void StartupSettings::RebuildArguments() {
  Arguments.clear();
  if (MaxMemoryMB > 0) Arguments += L" -J-Xmx" + std::to_wstring(MaxMemoryMB) + L"m";
  if (SkipFontCheck) Arguments += L" -nofontcheck";
}

std::vector<std::wstring> SplitTokens(const std::wstring& text, const std::wstring& delimiters) {
  std::vector<std::wstring> tokens;
  std::size_t start = text.find_first_not_of(delimiters);
  while (start != std::wstring::npos) {
    const std::size_t end = text.find_first_of(delimiters, start);
    tokens.push_back(text.substr(start, end == std::wstring::npos ? end : end - start));
    if (end == std::wstring::npos) break;
    start = text.find_first_not_of(delimiters, end + 1);
  }
  return tokens;
}

bool ReadsAsYes(const std::wstring& text) {
  return !text.empty() && (text.front() == L'Y' || text.front() == L'y');
}
