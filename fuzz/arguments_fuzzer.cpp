// Feeds arbitrary argument strings to the token rules of the settings record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "startup/startup_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Two bytes per UTF-16 unit, so every unit (zero and surrogates included) can occur.
  std::wstring text;
  for (std::size_t index = 0; index + 1 < size; index += 2) {
    text.push_back(static_cast<wchar_t>(data[index] | (data[index + 1] << 8)));
  }

  StartupSettings parsed;
  parsed.ParseArguments(text);
  parsed.RebuildArguments();

  // The rebuilt string carries exactly what the record holds, and rebuilding it is stable.
  StartupSettings reparsed;
  reparsed.ParseArguments(parsed.Arguments);
  if (reparsed.SkipFontCheck != parsed.SkipFontCheck) std::abort();
  if (reparsed.MaxMemoryMB != (parsed.MaxMemoryMB > 0 ? parsed.MaxMemoryMB : 0)) std::abort();
  reparsed.RebuildArguments();
  if (reparsed.Arguments != parsed.Arguments) std::abort();

  // Tokens are never empty, hold no delimiter, and together are the text without delimiters.
  const std::wstring delimiters = text.substr(0, text.empty() ? 0 : 2);
  std::wstring joined;
  for (const std::wstring& token : SplitTokens(text, delimiters)) {
    if (token.empty() || token.find_first_of(delimiters) != std::wstring::npos) std::abort();
    joined += token;
  }
  std::wstring stripped;
  for (const wchar_t character : text) {
    if (delimiters.find(character) == std::wstring::npos) stripped += character;
  }
  if (joined != stripped) std::abort();
  return 0;
}
