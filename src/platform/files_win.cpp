// The file seam over the Windows runtime and kernel32.
#include "platform/files.h"

#include <windows.h>

#include <cwchar>
#include <vector>

// <windows.h> would rename ours to GetFileAttributesW.
#undef GetFileAttributes

namespace platform {

std::uint32_t GetProgramPath(std::wstring& path) {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  if (length == 0) return GetLastError();
  // A path that did not fit comes back cut to the buffer, its last character the terminator.
  path.assign(buffer, wcsnlen(buffer, length));
  return 0;
}

int OpenFile(const std::wstring& path, FileAccess access, UniqueFile& file) {
  std::FILE* opened = nullptr;
  const errno_t error =
      _wfopen_s(&opened, path.c_str(), access == FileAccess::Write ? L"wb" : L"rb");
  if (error != 0) return error;
  if (opened == nullptr) return ENOENT;  // not expected, but no file is no success
  file.reset(opened);
  return 0;
}

bool GetFileAttributes(const std::wstring& path, std::uint32_t& attributes) {
  const DWORD found = GetFileAttributesW(path.c_str());
  if (found == INVALID_FILE_ATTRIBUTES) return false;
  attributes = found;
  return true;
}

bool IsExecutableImage(const std::wstring& path) {
  DWORD binaryType = 0;
  return GetBinaryTypeW(path.c_str(), &binaryType) != 0;
}

std::uint32_t SearchFileInDirectory(const std::wstring& directory, const std::wstring& fileName,
                                    std::uint32_t bufferLength, std::wstring& found) {
  std::vector<wchar_t> buffer(bufferLength + 1);  // never empty, whatever the caller offers
  const DWORD length = SearchPathW(directory.c_str(), fileName.c_str(), nullptr, bufferLength,
                                   buffer.data(), nullptr);
  if (length != 0 && length < bufferLength) found.assign(buffer.data(), length);
  return length;
}

}  // namespace platform
