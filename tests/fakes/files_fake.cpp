// Files for the native build: a fresh temporary directory stands for the drives, and opening
// follows the Windows runtime's answers where Linux would differ.
#include <cerrno>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "fakes/fake_platform.h"
#include "fakes/minimal_image.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace {

class TemporaryRoot {
 public:
  ~TemporaryRoot() { Remove(); }
  const fs::path& Get() {
    if (root_.empty()) Create();
    return root_;
  }
  void Renew() {
    Remove();
    Create();
  }

 private:
  void Create() {
    std::random_device random;
    const fs::path base = fs::temp_directory_path();
    for (;;) {
      const fs::path candidate = base / ("kelvor-fake-" + std::to_string(random()));
      std::error_code error;
      if (fs::create_directory(candidate, error)) {
        root_ = candidate;
        return;
      }
    }
  }
  void Remove() {
    if (root_.empty()) return;
    std::error_code error;
    fs::remove_all(root_, error);
    root_.clear();
  }
  fs::path root_;
};

TemporaryRoot& Root() {
  static TemporaryRoot root;
  return root;
}

bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

// "C:\K\x", "C:/K/x" and "\\?\C:\K\x" all become <root>/C/K/x; a share becomes <root>/UNC/...
fs::path ToNative(const std::wstring& windowsPath) {
  std::wstring path = windowsPath;
  for (const wchar_t* prefix : {L"\\\\?\\", L"\\??\\", L"\\\\.\\"}) {
    if (path.rfind(prefix, 0) == 0) {
      path.erase(0, 4);
      if (path.rfind(L"UNC\\", 0) == 0) path = L"\\\\" + path.substr(4);
      break;
    }
  }
  std::wstring drive = L"C";
  std::size_t start = 0;
  if (path.size() >= 2 && path[1] == L':') {
    drive.assign(1, static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(path[0]))));
    start = 2;
  } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    drive = L"UNC";
  }
  std::vector<std::wstring> parts;
  std::wstring part;
  auto endPart = [&] {
    if (part == L"..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != L".") {
      parts.push_back(part);
    }
    part.clear();
  };
  for (std::size_t i = start; i < path.size(); ++i) {
    if (IsSeparator(path[i])) {
      endPart();
    } else {
      part += path[i];
    }
  }
  endPart();
  fs::path native = Root().Get() / fs::path(drive);
  for (const std::wstring& name : parts) native /= fs::path(name);
  return native;
}

// The form SearchPathW hands back: backslashes only, no doubled separators after the root.
std::wstring FullPath(const std::wstring& directory, const std::wstring& fileName) {
  std::wstring joined = directory;
  if (!joined.empty() && !IsSeparator(joined.back())) joined += L'\\';
  joined += fileName;
  std::wstring full;
  for (std::size_t i = 0; i < joined.size(); ++i) {
    const bool separator = IsSeparator(joined[i]);
    if (separator && i > 1 && !full.empty() && full.back() == L'\\') continue;
    full += separator ? L'\\' : joined[i];
  }
  return full;
}

std::FILE* OpenNative(const fs::path& path, bool write) {
#ifdef _WIN32
  return _wfopen(path.c_str(), write ? L"wb" : L"rb");
#else
  return std::fopen(path.c_str(), write ? "wb" : "rb");
#endif
}

}  // namespace

namespace platform {

int OpenFile(const std::wstring& path, FileAccess access, UniqueFile& file) {
  const fs::path native = ToNative(path);
  const bool write = access == FileAccess::Write;
  std::error_code error;
  const fs::file_status status = fs::status(native, error);
  // Windows refuses a directory and a read-only file outright; Linux (as root) would not.
  if (fs::is_directory(status)) return EACCES;
  if (write && fs::exists(status) &&
      (status.permissions() & fs::perms::owner_write) == fs::perms::none)
    return EACCES;
  errno = 0;
  std::FILE* opened = OpenNative(native, write);
  if (opened == nullptr) {
    const int openError = errno;
    if (openError == ENOTDIR) return ENOENT;  // a file where a folder should be: path not found
    return openError != 0 ? openError : ENOENT;
  }
  file.reset(opened);
  return 0;
}

bool GetFileAttributes(const std::wstring& path, std::uint32_t& attributes) {
  std::error_code error;
  const fs::file_status status = fs::status(ToNative(path), error);
  if (!fs::exists(status)) return false;
  if (fs::is_directory(status)) {
    attributes = kFileAttributeDirectory;
  } else {
    const bool readOnly = (status.permissions() & fs::perms::owner_write) == fs::perms::none;
    attributes = 0x20 | (readOnly ? 0x01 : 0x00);
  }
  return true;
}

bool IsExecutableImage(const std::wstring& path) {
  const fs::path native = ToNative(path);
  std::error_code error;
  if (!fs::is_regular_file(native, error)) return false;
  std::ifstream in(native, std::ios::binary);
  std::string header(0x40, '\0');
  if (!in.read(header.data(), 0x40) || header[0] != 'M' || header[1] != 'Z') return false;
  const auto byteAt = [&](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(header[at]));
  };
  const std::uint32_t peOffset =
      byteAt(0x3C) | byteAt(0x3D) << 8 | byteAt(0x3E) << 16 | byteAt(0x3F) << 24;
  std::string signature(6, '\0');
  in.seekg(peOffset);
  if (!in.read(signature.data(), 6)) return false;
  return signature.compare(0, 4, std::string("PE\0\0", 4)) == 0;
}

std::uint32_t SearchFileInDirectory(const std::wstring& directory, const std::wstring& fileName,
                                    std::uint32_t bufferLength, std::wstring& found) {
  const std::wstring full = FullPath(directory, fileName);
  std::error_code error;
  if (!fs::exists(ToNative(full), error)) return 0;
  const auto length = static_cast<std::uint32_t>(full.size());
  if (length >= bufferLength) return length + 1;
  found = full;
  return length;
}

}  // namespace platform

namespace fake {

void ResetFileSystem() {
  Root().Renew();
}

std::string NativePath(const std::wstring& windowsPath) {
  return ToNative(windowsPath).string();
}

void WriteFile(const std::wstring& windowsPath, const std::string& bytes) {
  const fs::path native = ToNative(windowsPath);
  fs::create_directories(native.parent_path());
  std::ofstream out(native, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void MakeDirectory(const std::wstring& windowsPath) {
  fs::create_directories(ToNative(windowsPath));
}

std::string ReadFile(const std::wstring& windowsPath) {
  std::ifstream in(ToNative(windowsPath), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::wstring& windowsPath) {
  std::error_code error;
  return fs::exists(ToNative(windowsPath), error);
}

void WriteExecutable(const std::wstring& windowsPath) {
  WriteFile(windowsPath, MinimalExecutableImage());
}

}  // namespace fake
