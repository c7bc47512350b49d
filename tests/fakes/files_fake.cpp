// Files for the native build: a fresh temporary directory stands for the
// drives, and opening follows the Windows runtime's answers where Linux would
// differ.
#include <algorithm>
#include <cerrno>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <random>

#include "fakes/fake_platform.h"
#include "fakes/minimal_image.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace {

#ifdef __linux__
bool& VolumeFull() {
  static bool full = false;
  return full;
}
#endif

// The drives' directory, removed when the tests end.
fs::path& RootPath() {
  static struct Root {
    fs::path path;
    ~Root() {
      std::error_code error;
      fs::remove_all(path, error);
    }
  } root;
  return root.path;
}

// "C:\K\x" and "C:/K/x" become <root>/C/K/x; ".." stops at the drive, as on
// Windows.
fs::path ToNative(const std::wstring& windowsPath) {
  if (RootPath().empty()) fake::ResetFileSystem();
  std::wstring path = windowsPath;
  std::replace(path.begin(), path.end(), L'\\', L'/');
  std::wstring drive = L"C";
  if (path.size() >= 2 && path[1] == L':') {
    drive = static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(path[0])));
    path.erase(0, 2);
  }
  const fs::path top = RootPath() / drive;
  fs::path native = top;
  for (const fs::path& part : fs::path(path).relative_path()) {
    if (part == ".." && native != top)
      native = native.parent_path();
    else if (part != ".." && part != "." && !part.empty())
      native /= part;
  }
  return native;
}

}  // namespace

namespace platform {

int OpenFile(const std::wstring& path, FileAccess access, UniqueFile& file) {
  const fs::path native = ToNative(path);
  std::error_code error;
  if (fs::is_directory(native, error)) return EACCES;  // Linux would open a folder for reading
#ifdef _WIN32
  file.reset(_wfopen(native.c_str(), access == FileAccess::Write ? L"wb" : L"rb"));
#else
  file.reset(std::fopen(native.c_str(), access == FileAccess::Write ? "wb" : "rb"));
#endif
  if (file != nullptr) return 0;
  // A file where a folder should be is "path not found" on Windows.
  return errno == ENOTDIR ? ENOENT : errno;
}

bool GetFileAttributes(const std::wstring& path, std::uint32_t& attributes) {
  std::error_code error;
  const fs::file_status status = fs::status(ToNative(path), error);
  if (!fs::exists(status)) return false;
  attributes = fs::is_directory(status) ? kFileAttributeDirectory : 0x20;  // "archive"
  // Wine's read-only attribute is a file without write permission.
  if ((status.permissions() & fs::perms::owner_write) == fs::perms::none)
    attributes |= kFileAttributeReadOnly;
  return true;
}

bool ChangeFileAttributes(const std::wstring& path, std::uint32_t attributes) {
  std::error_code error;
  const bool readOnly = (attributes & kFileAttributeReadOnly) != 0;
  fs::permissions(ToNative(path), fs::perms::owner_write | fs::perms::group_write,
                  readOnly ? fs::perm_options::remove : fs::perm_options::add, error);
  return !error;
}

int CreateNewFile(const std::wstring& path, UniqueFile& file) {
  std::error_code error;
  if (fs::exists(fs::symlink_status(ToNative(path), error))) return EEXIST;
  const int openError = OpenFile(path, FileAccess::Write, file);
#ifdef __linux__
  if (openError == 0 && VolumeFull()) file.reset(std::fopen("/dev/full", "wb"));
#endif
  return openError;
}

int MoveFileReplacing(const std::wstring& from, const std::wstring& to) {
  std::error_code error;
  const fs::path source = ToNative(from), target = ToNative(to);
  if (!fs::exists(fs::symlink_status(source, error))) return ENOENT;
  if (fs::is_directory(target, error)) return EACCES;  // Linux would replace an empty one
  fs::rename(source, target, error);
  return error ? EACCES : 0;
}

bool RemoveFile(const std::wstring& path) {
  std::error_code error;
  const fs::path native = ToNative(path);
  return !fs::is_directory(native, error) && fs::remove(native, error);
}

bool IsExecutableImage(const std::wstring& path) {
  std::error_code error;
  if (!fs::is_regular_file(ToNative(path), error)) return false;
  const std::string image = fake::ReadFile(path);
  if (image.size() < 0x40 || image.compare(0, 2, "MZ") != 0) return false;
  std::size_t at = 0;
  for (int byte = 3; byte >= 0; --byte)
    at = at << 8 | static_cast<unsigned char>(image[0x3C + byte]);
  return at < image.size() && image.compare(at, 4, std::string("PE\0\0", 4)) == 0;
}

// Answers in the form SearchPathW hands back: backslashes only, one between
// folder and name.
std::uint32_t SearchFileInDirectory(const std::wstring& directory, const std::wstring& fileName,
                                    std::uint32_t bufferLength, std::wstring& found) {
  std::wstring full = directory;
  std::replace(full.begin(), full.end(), L'/', L'\\');
  if (!full.empty() && full.back() != L'\\') full += L'\\';
  full += fileName;
  std::error_code error;
  if (!fs::exists(ToNative(full), error)) return 0;
  const auto length = static_cast<std::uint32_t>(full.size());
  if (length >= bufferLength) return length + 1;
  found = full;
  return length;
}

std::int32_t ListSubdirectories(const std::wstring& directory, std::vector<std::wstring>& names) {
  std::error_code error;
  const fs::path native = ToNative(directory);
  fs::directory_iterator entries(native, error);
  // Wine: ERROR_INVALID_NAME below a file, ERROR_PATH_NOT_FOUND where nothing is.
  if (error) return fs::exists(native, error) ? 123 : 3;
  std::vector<std::wstring> found;
  for (const fs::directory_entry& entry : entries)
    if (entry.is_directory(error)) found.push_back(entry.path().filename().wstring());
  names = std::move(found);
  return 0;
}

}  // namespace platform

namespace fake {

#ifdef __linux__
void SetVolumeFull(bool full) {
  VolumeFull() = full;
}
#endif

std::vector<std::string> ListFolder(const std::wstring& windowsPath) {
  std::vector<std::string> names;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(ToNative(windowsPath), error))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void ResetFileSystem() {
#ifdef __linux__
  VolumeFull() = false;
#endif
  fs::path& root = RootPath();
  std::error_code error;
  fs::remove_all(root, error);
  std::random_device random;
  do {
    root = fs::temp_directory_path() / ("kelvor-fake-" + std::to_string(random()));
  } while (!fs::create_directory(root, error));
}

void WriteFile(const std::wstring& windowsPath, const std::string& bytes) {
  const fs::path native = ToNative(windowsPath);
  fs::create_directories(native.parent_path());
  std::ofstream(native, std::ios::binary | std::ios::trunc) << bytes;
}

void MakeDirectory(const std::wstring& windowsPath) {
  fs::create_directories(ToNative(windowsPath));
}

std::string ReadFile(const std::wstring& windowsPath) {
  std::ifstream in(ToNative(windowsPath), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteExecutable(const std::wstring& windowsPath) {
  WriteFile(windowsPath, MinimalExecutableImage());
}

}  // namespace fake
