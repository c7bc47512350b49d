// The file seam over the Windows runtime and kernel32.
#include "platform/files.h"

#include <windows.h>

#include "platform/unique_handle_win.h"

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

std::int32_t ListSubdirectories(const std::wstring& directory, std::vector<std::wstring>& names) {
  const std::wstring pattern =
      directory + (directory.empty() || directory.back() == L'\\' ? L"*" : L"\\*");
  WIN32_FIND_DATAW entry = {};
  // Basic information skips the 8.3 names; the directories-only flag is a hint, hence the test.
  const UniqueFindHandle find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                               FindExSearchLimitToDirectories, nullptr, 0));
  if (find.Get() == INVALID_HANDLE_VALUE) return static_cast<std::int32_t>(GetLastError());
  std::vector<std::wstring> found;
  do {
    const std::wstring name = entry.cFileName;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != L"." && name != L"..")
      found.push_back(name);
  } while (FindNextFileW(find.Get(), &entry));
  const DWORD error = GetLastError();
  if (error != ERROR_NO_MORE_FILES) return static_cast<std::int32_t>(error);
  names = std::move(found);
  return 0;
}

}  // namespace platform
