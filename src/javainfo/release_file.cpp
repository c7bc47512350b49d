// Finds the JAVA_VERSION value of a release file, line by line, as a formatted wide read would.
#include "javainfo/release_file.h"

#include "common/text_encoding.h"
#include "common/windows_path.h"

namespace {

const std::wstring kVersionKey = L"JAVA_VERSION=\"";

bool IsSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

bool IsVersionCharacter(wchar_t c) {
  return (c >= L'0' && c <= L'9') || c == L'.' || c == L'_';
}

}  // namespace

bool ReleaseVersionFromText(const std::wstring& text, std::wstring& version) {
  version.clear();
  std::size_t position = 0;
  for (bool firstLine = true;; firstLine = false) {
    // After the first line all white space is skipped: line ends, blank lines, indentation.
    if (!firstLine) {
      while (position < text.size() && IsSpace(text[position])) ++position;
    }
    std::size_t lineEnd = text.find(L'\n', position);
    if (lineEnd == std::wstring::npos) lineEnd = text.size();
    const std::size_t lineLength = lineEnd - position;
    // An empty read (end of text, or a blank first line) and an oversized line both end it.
    if (lineLength == 0 || lineLength > kReleaseLineLimit) return false;
    if (text.compare(position, kVersionKey.size(), kVersionKey) == 0) {
      std::size_t valueEnd = position + kVersionKey.size();
      while (valueEnd < lineEnd && IsVersionCharacter(text[valueEnd])) ++valueEnd;
      const std::size_t valueStart = position + kVersionKey.size();
      version = text.substr(valueStart, valueEnd - valueStart);
      return !version.empty();
    }
    position = lineEnd;
  }
}

bool ReadReleaseVersion(const std::wstring& home, std::wstring& version) {
  std::wstring text;
  if (!ReadTextFile(windows_path::Join(home, L"release"), text)) {
    version.clear();
    return false;
  }
  return ReleaseVersionFromText(text, version);
}
