// The file seam over the Windows runtime and kernel32.
#include "platform/files.h"

#include <windows.h>

#include "platform/read_loop.h"
#include "platform/unique_handle_win.h"

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

std::uint32_t ReadFileAt(const std::wstring& path, std::uint64_t offset, std::size_t size,
                         std::string& bytes) {
  const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return GetLastError();
  LARGE_INTEGER distance;
  distance.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file.Get(), distance, nullptr, FILE_BEGIN)) return GetLastError();
  std::string buffer(size, '\0');
  DWORD read = 0;
  // Past the end ReadFile succeeds with nothing read.
  if (!ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(size), &read, nullptr))
    return GetLastError();
  buffer.resize(read);
  bytes = std::move(buffer);
  return 0;
}

std::uint32_t InspectFile(const std::wstring& path, FileFacts& facts) {
  // No access asked: the folder's refusals and other programs' sharing cannot hide the file.
  const UniqueFileHandle file(CreateFileW(path.c_str(), 0,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return GetLastError();
  BY_HANDLE_FILE_INFORMATION information = {};
  if (!GetFileInformationByHandle(file.Get(), &information)) return GetLastError();
  const DWORD needed = GetFinalPathNameByHandleW(file.Get(), nullptr, 0, FILE_NAME_NORMALIZED);
  if (needed == 0) return GetLastError();
  std::vector<wchar_t> buffer(needed);
  const DWORD length =
      GetFinalPathNameByHandleW(file.Get(), buffer.data(), needed, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= needed) return length == 0 ? GetLastError() : ERROR_MORE_DATA;
  facts.finalPath.assign(buffer.data(), length);
  facts.attributes = information.dwFileAttributes;
  facts.linkCount = information.nNumberOfLinks;
  return 0;
}

namespace {

// GetFileInformationByHandle of what `path` leads to, links followed: opened without
// FILE_FLAG_OPEN_REPARSE_POINT, so a broken link fails, and with backup semantics, so a folder
// opens too. Only attributes are read, which every sharing allows.
bool InformationFollowingLinks(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& information) {
  const UniqueFileHandle file(CreateFileW(
      path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return file.IsValid() && GetFileInformationByHandle(file.Get(), &information) != 0;
}

// WriteFile until every byte is written: a disk that fills part way answers a short count first.
DWORD WriteAll(HANDLE file, const char* bytes, std::size_t size) {
  while (size > 0) {
    DWORD written = 0;
    const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
    if (!WriteFile(file, bytes, chunk, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_DISK_FULL;  // nothing taken and no reason given
    bytes += written;
    size -= written;
  }
  return 0;
}

bool MoveTo(HANDLE file, std::uint64_t offset) {
  LARGE_INTEGER distance = {};
  distance.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(file, distance, nullptr, FILE_BEGIN) != 0;
}

}  // namespace

std::uint32_t WriteNewFile(const std::wstring& path, const std::string& bytes,
                           std::uint32_t attributes, bool& created) {
  UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr));
  created = file.IsValid();
  if (!created) return GetLastError();
  DWORD error = WriteAll(file.Get(), bytes.data(), bytes.size());
  if (error == 0 && !FlushFileBuffers(file.Get())) error = GetLastError();
  if (error == 0 && !CloseHandle(file.Release())) error = GetLastError();
  if (error != 0) {
    file.Reset();
    DeleteFileW(path.c_str());
  }
  return error;
}

std::uint32_t WriteFileInPlace(const std::wstring& path, const std::string& bytes, bool& opened) {
  const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  opened = file.IsValid();
  if (!opened) return GetLastError();
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file.Get(), &size)) return GetLastError();
  const auto oldLength = static_cast<std::uint64_t>(size.QuadPart);
  // Written bytes, not SetEndOfFile: Wine's file systems would extend a file with a hole and
  // find the full disk only later, when the old bytes are already gone.
  if (bytes.size() > oldLength) {
    DWORD error = MoveTo(file.Get(), oldLength) ? 0 : GetLastError();
    if (error == 0)
      error = WriteAll(file.Get(), bytes.data() + oldLength, bytes.size() - oldLength);
    if (error == 0 && !FlushFileBuffers(file.Get())) error = GetLastError();
    if (error != 0) {
      if (MoveTo(file.Get(), oldLength)) SetEndOfFile(file.Get());
      return error;
    }
  }
  const std::size_t oldPart = bytes.size() < oldLength ? bytes.size() : oldLength;
  if (!MoveTo(file.Get(), 0)) return GetLastError();
  if (const DWORD error = WriteAll(file.Get(), bytes.data(), oldPart); error != 0) return error;
  if (!MoveTo(file.Get(), bytes.size()) || !SetEndOfFile(file.Get()) ||
      !FlushFileBuffers(file.Get()))
    return GetLastError();
  return 0;
}

std::uint32_t ReplaceFileKeepingIdentity(const std::wstring& replaced,
                                         const std::wstring& replacement) {
  // Opened first as ReplaceFileW opens it: Wine's call, refused there (another program holds
  // the file without sharing its deletion), would leave a stray "rfa*.tmp" beside it.
  {
    const UniqueFileHandle probe(CreateFileW(replaced.c_str(), GENERIC_READ | DELETE | SYNCHRONIZE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                             nullptr));
    if (!probe.IsValid()) return GetLastError();
  }  // closed again before the call
  if (ReplaceFileW(replaced.c_str(), replacement.c_str(), nullptr, 0, nullptr, nullptr)) return 0;
  return GetLastError();
}

std::uint32_t MoveFileReplacing(const std::wstring& from, const std::wstring& to) {
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return 0;
  return GetLastError();
}

bool RemoveFile(const std::wstring& path) {
  return DeleteFileW(path.c_str()) != 0;
}

bool GetFileAttributes(const std::wstring& path, std::uint32_t& attributes) {
  const DWORD found = GetFileAttributesW(path.c_str());
  if (found == INVALID_FILE_ATTRIBUTES) return false;
  attributes = found;
  return true;
}

bool IsDirectoryFollowingLinks(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  // A link reports its own attributes, a folder link "directory" even when its target is gone;
  // what it leads to, if anything, tells.
  BY_HANDLE_FILE_INFORMATION information{};
  return InformationFollowingLinks(path, information) &&
         (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
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
  BY_HANDLE_FILE_INFORMATION information = {};
  if (!InformationFollowingLinks(path, information)) return false;
  volume = information.dwVolumeSerialNumber;
  index = static_cast<std::uint64_t>(information.nFileIndexHigh) << 32 | information.nFileIndexLow;
  return true;
}

}  // namespace platform
