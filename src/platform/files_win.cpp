// The file seam over the Windows runtime and kernel32.
#include "platform/files.h"

#include <windows.h>

#include "platform/read_loop.h"
#include "platform/unique_handle_win.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <cerrno>
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

std::uint32_t ReadWholeFile(const std::wstring& path, std::size_t limit, std::string& bytes,
                            bool& truncated) {
  const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.IsValid()) return GetLastError();
  return static_cast<std::uint32_t>(
      ReadUpTo(limit, bytes, truncated, [&file](char* into, std::size_t size, std::size_t& got) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), into, static_cast<DWORD>(size), &read, nullptr))
          return static_cast<int>(GetLastError());
        got = read;
        return 0;
      }));
}

int CreateNewFile(const std::wstring& path, UniqueFile& file) {
  int descriptor = -1;
  // _O_EXCL is CREATE_NEW; the "x" of fopen is not known to this runtime.
  const errno_t error =
      _wsopen_s(&descriptor, path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _SH_DENYWR,
                _S_IREAD | _S_IWRITE);
  if (error != 0) return error;
  std::FILE* opened = _fdopen(descriptor, "wb");
  if (opened == nullptr) {
    const int fdopenError = errno;
    _close(descriptor);
    return fdopenError != 0 ? fdopenError : EMFILE;
  }
  file.reset(opened);
  return 0;
}

int MoveFileReplacing(const std::wstring& from, const std::wstring& to) {
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return 0;
  // The runtime's own mapping of these codes, which its open would have reported.
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: return EACCES;
    default: return EINVAL;
  }
}

bool RemoveFile(const std::wstring& path) {
  return DeleteFileW(path.c_str()) != 0;
}

bool ChangeFileAttributes(const std::wstring& path, std::uint32_t attributes) {
  return SetFileAttributesW(path.c_str(), attributes) != 0;
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

bool GetFileIdentity(const std::wstring& path, std::uint64_t& volume, std::uint64_t& index) {
  // Backup semantics let a folder be opened; no access right is needed to read its identity.
  const UniqueFileHandle file(
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION information = {};
  if (!file.IsValid() || !GetFileInformationByHandle(file.Get(), &information)) return false;
  volume = information.dwVolumeSerialNumber;
  index = static_cast<std::uint64_t>(information.nFileIndexHigh) << 32 | information.nFileIndexLow;
  return true;
}

}  // namespace platform
