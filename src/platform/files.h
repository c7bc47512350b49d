// What the core may ask of files and the file system; bodies in files_win.cpp and a test fake.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

inline constexpr std::uint32_t kFileAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kFileAttributeHidden = 0x02;
inline constexpr std::uint32_t kFileAttributeSystem = 0x04;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;

// GetModuleFileNameW(no module) into 260 characters. Returns 0 and sets `path`, or the
// GetLastError code with `path` untouched.
std::uint32_t GetProgramPath(std::wstring& path);

enum class FileAccess { Read, Write };  // Write creates the file or cuts it to nothing
// The runtime's open in binary mode; returns 0 or the runtime's error number (errno).
int OpenFile(const std::wstring& path, FileAccess access, UniqueFile& file);
// Reads to the end through the file's descriptor, so call it on a file that stdio has not read
// from; returns 0 or errno, with `bytes` holding what was read before the error as well. At most
// `limit` bytes are kept, so a huge file cannot exhaust memory; `truncated` says whether more was
// there.
int ReadFileBytes(std::FILE* file, std::size_t limit, std::string& bytes, bool& truncated);
// CreateFileW (read, shared with readers and writers, an existing file), ReadFile to the end
// and CloseHandle: a whole small file without the runtime's bookkeeping around every open, for
// the many release files the Java search reads. Returns 0 or the GetLastError code (5 for a
// folder), keeping at most `limit` bytes as ReadFileBytes does.
std::uint32_t ReadWholeFile(const std::wstring& path, std::size_t limit, std::string& bytes,
                            bool& truncated);
// Writes all bytes and flushes; returns 0 or errno.
int WriteFileBytes(std::FILE* file, const std::string& bytes);
// Creates the file for writing in binary mode and fails with EEXIST when the name is taken, so
// two writers never share it. Returns 0 or errno.
int CreateNewFile(const std::wstring& path, UniqueFile& file);
// Flushes the runtime's buffer, then the system's to the disk, and closes the file whatever
// fails. Returns 0 or errno.
int FinishFile(UniqueFile& file);
// MoveFileExW(replace existing, write through): `to` is the old file or `from`'s, never a
// mixture. Returns 0 or errno as the runtime maps the system's code (EACCES for a folder or a
// file another program holds open).
int MoveFileReplacing(const std::wstring& from, const std::wstring& to);
// DeleteFileW: false when it failed.
bool RemoveFile(const std::wstring& path);
// The runtime's text for an error number (strerror).
std::wstring RuntimeErrorText(int errorNumber);

// GetFileAttributesW: false when it returns INVALID_FILE_ATTRIBUTES.
bool GetFileAttributes(const std::wstring& path, std::uint32_t& attributes);
// SetFileAttributesW: false when it failed.
bool ChangeFileAttributes(const std::wstring& path, std::uint32_t attributes);
// GetBinaryTypeW succeeds: the file is a program image that Windows can run.
bool IsExecutableImage(const std::wstring& path);
// SearchPathW(directory, fileName, no extension) into `bufferLength` characters. Returns what
// SearchPathW returns: 0 when not found, the length written (and `found` set) when it fit, or
// the length needed, terminator included, when it did not.
std::uint32_t SearchFileInDirectory(const std::wstring& directory, const std::wstring& fileName,
                                    std::uint32_t bufferLength, std::wstring& found);

// FindFirstFileExW over "<directory>\\*": the names of the folders directly inside, "." and ".."
// left out, in no particular order. Returns 0 or the GetLastError code, with `names` untouched.
std::int32_t ListSubdirectories(const std::wstring& directory, std::vector<std::wstring>& names);

// CreateFileW (no access, shared, an existing file or folder, links followed) and
// GetFileInformationByHandle: the volume serial number and file index that name one file or
// folder whatever path leads to it. False, with both untouched, when it cannot be opened.
bool GetFileIdentity(const std::wstring& path, std::uint64_t& volume, std::uint64_t& index);

}  // namespace platform
