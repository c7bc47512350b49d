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
inline constexpr std::uint32_t kFileAttributeReparsePoint = 0x400;  // a link, among others

// The Win32 codes a save tells apart.
namespace file_error {
inline constexpr std::uint32_t kFileNotFound = 2;
inline constexpr std::uint32_t kPathNotFound = 3;
inline constexpr std::uint32_t kAccessDenied = 5;
inline constexpr std::uint32_t kWriteProtect = 19;
inline constexpr std::uint32_t kFileExists = 80;
inline constexpr std::uint32_t kDiskFull = 112;
inline constexpr std::uint32_t kUnableToRemoveReplaced = 1175;
inline constexpr std::uint32_t kUnableToMoveReplacement = 1176;
}  // namespace file_error

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
// CreateFileW (read, shared with readers and writers, an existing file), SetFilePointerEx to
// `offset` and ReadFile of up to `size` bytes: fewer at the end of the file, none beyond it.
// Returns 0 or the GetLastError code, with `bytes` holding what was read.
std::uint32_t ReadFileAt(const std::wstring& path, std::uint64_t offset, std::size_t size,
                         std::string& bytes);
// What a save learns of the file a name leads to, through any links: CreateFileW (no access,
// every sharing), GetFileInformationByHandle and GetFinalPathNameByHandleW (normalized, drive
// or share name). Returns 0 or the GetLastError code, with `facts` untouched then.
struct FileFacts {
  std::wstring finalPath;        // as the call gives it, with its "\\?\" or "\\?\UNC\" prefix
  std::uint32_t attributes = 0;  // the file's own, never a link's
  std::uint32_t linkCount = 0;   // its names in folders (hard links)
};
std::uint32_t InspectFile(const std::wstring& path, FileFacts& facts);
// CreateFileW(write, not shared, CREATE_NEW, `attributes`), WriteFile of every byte,
// FlushFileBuffers and CloseHandle; a file that could not be written whole is deleted again.
// Returns 0 or the GetLastError code; `created` says whether the file was made at all.
std::uint32_t WriteNewFile(const std::wstring& path, const std::string& bytes,
                           std::uint32_t attributes, bool& created);
// Overwrites an existing file with `bytes` without renaming anything, shared with readers only:
// first the bytes beyond its old length, flushed, so that a full disk shows before any old byte
// is touched (the file is then cut back to its old length); then the old part, the cut to the
// new length and a flush. Returns 0 or the GetLastError code; `opened` as `created` above.
std::uint32_t WriteFileInPlace(const std::wstring& path, const std::string& bytes, bool& opened);
// ReplaceFileW(no backup, no flags, so a security or attribute that cannot be carried over
// fails it): `replaced` keeps its security, creation time, short name, object id, encryption,
// compression and streams and takes `replacement`'s content. Returns 0 or the GetLastError code:
// 1175 leaves both files as they were; after 1176 `replaced` is gone and `replacement` still has
// its name.
std::uint32_t ReplaceFileKeepingIdentity(const std::wstring& replaced,
                                         const std::wstring& replacement);
// MoveFileExW(replace existing, write through): `to` is the old file or `from`'s, never a
// mixture. Returns 0 or the GetLastError code.
std::uint32_t MoveFileReplacing(const std::wstring& from, const std::wstring& to);
// DeleteFileW: false when it failed.
bool RemoveFile(const std::wstring& path);
// The runtime's text for an error number (strerror).
std::wstring RuntimeErrorText(int errorNumber);

// GetFileAttributesW (a link's own attributes, not its target's): false when it returns
// INVALID_FILE_ATTRIBUTES.
bool GetFileAttributes(const std::wstring& path, std::uint32_t& attributes);
// Whether the path is a folder, links followed: a symbolic link or junction is judged by what it
// points to, so a broken one is no folder. False for a missing path or any failure.
bool IsDirectoryFollowingLinks(const std::wstring& path);
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
