// Feeds arbitrary file bytes through the settings file's decoding and scanning.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/text_encoding.h"
#include "startup/settings_file.h"

namespace {

bool WithinLimits(const StartupSettings& settings) {
  for (const std::wstring* value : {&settings.Arguments, &settings.Java, &settings.Scale}) {
    if (value->size() > kMaxSettingsValueLength) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::wstring text;
  if (DecodeTextFile(bytes, text) != 0) return 0;

  StartupSettings first;
  first.BaseDirectory = L"C:\\K";
  ReadSettingsText(first, text);

  // What was read and written again reads back the same, unless a resolved Java path grew past
  // the value limit (then the second read drops it, as it should).
  if (!WithinLimits(first)) return 0;
  const std::wstring content = SettingsFileContent(first);
  StartupSettings second;
  second.BaseDirectory = first.BaseDirectory;
  ReadSettingsText(second, content);
  if (SettingsFileContent(second) != content) std::abort();

  // The bytes written decode to the same content wherever UTF-8 can carry the text.
  std::wstring withCarriageReturns;
  for (const wchar_t character : content) {
    if (character == L'\n') withCarriageReturns += L'\r';
    withCarriageReturns += character;
  }
  std::wstring decoded;
  if (DecodeTextFile(EncodeUtf8(withCarriageReturns), decoded) != 0) std::abort();
  if (EncodeUtf8(decoded) != EncodeUtf8(content)) std::abort();
  return 0;
}
