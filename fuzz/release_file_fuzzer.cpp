// Decodes arbitrary bytes as a release file and checks what the line rules may return.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/text_encoding.h"
#include "javainfo/release_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  if (DecodeTextFile(std::string(reinterpret_cast<const char*>(data), size), text) != 0) return 0;
  std::wstring version = L"sentinel";
  const bool found = ReleaseVersionFromText(text, version);
  if (found == version.empty()) std::abort();
  for (const wchar_t c : version) {
    if (!((c >= L'0' && c <= L'9') || c == L'.' || c == L'_')) std::abort();
  }
  // A value is always cut from one line of the text, after the key.
  if (found && text.find(L"JAVA_VERSION=\"" + version) == std::wstring::npos) std::abort();
  return 0;
}
