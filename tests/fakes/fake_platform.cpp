// The doubles for the native build. The system: an in-memory registry standing in for advapi32
// (names matched and ordered as Wine does, the WOW64 split of HKLM\Software, access checks,
// handle counts) and the process-level answers. The files: a fresh temporary directory stands for
// the drives, and opening follows the Windows runtime's answers where Linux would differ.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>

#include "fakes/fake_platform.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/system.h"

namespace fs = std::filesystem;

namespace {

using namespace platform;

using Value = std::pair<std::uint32_t, std::vector<std::uint8_t>>;  // type and data
// A key is found by its hive's digit and its folded path ("1\software\javasoft"); Wine folds
// names to lower case, so "_" sorts before the letters (Windows would fold to upper case).
struct Key {
  std::wstring name;                          // its last part as created, for enumeration
  std::map<std::wstring, Value> values = {};  // by folded name
};

struct State {
  std::map<std::wstring, Key> keys;
  std::map<RegistryHandle, std::pair<std::wstring, std::uint32_t>> handles;  // key and access
  RegistryHandle nextHandle = 0x100;
  std::wstring programPath = L"C:\\Program Files\\Kelvor\\bin\\win\\KelvorStartupSettings.exe";
  std::uint32_t programPathError = 0;
  std::map<std::wstring, std::wstring> environment;    // by folded name
  std::map<std::wstring, std::int32_t> refusedValues;  // by folded value name
  bool volumeFull = false;
  std::size_t readFaultAfter = SIZE_MAX;
  fake::WindowsMachineAnswers machine;
  std::map<std::wstring, std::wstring> links;  // MakeLink's, where links cannot be made
  std::set<fs::path> refusingFolders;          // no new file may be made in them
  ProcessRun processRun;
} state;

std::wstring Fold(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
  return text;
}

// Moves `at` (a hive's digit or a key) down to the key `path` names, creating the missing parts
// when asked. The fake is a 32-bit process on 64-bit Windows: without KEY_WOW64_64KEY,
// HKLM\Software means its Wow6432Node twin unless the path names the twin itself.
std::int32_t Walk(std::wstring& at, const std::wstring& path, std::uint32_t access, bool create) {
  std::wstring rest = path + L"\\";
  if (at == L"1" && (access & kKeyWow64_64Key) == 0 && Fold(rest).starts_with(L"software\\") &&
      !Fold(rest).starts_with(L"software\\wow6432node\\"))
    rest.insert(9, L"Wow6432Node\\");
  for (std::size_t end = 0; (end = rest.find(L'\\')) != std::wstring::npos;
       rest.erase(0, end + 1)) {
    const std::wstring part = rest.substr(0, end), child = at + L"\\" + Fold(part);
    if (part.empty()) continue;
    if (!state.keys.contains(child) && !create) return kErrorFileNotFound;
    state.keys.try_emplace(child, Key{.name = part});
    at = child;
  }
  return kErrorSuccess;
}

// The key behind a handle: ERROR_INVALID_HANDLE for an unknown one, ERROR_ACCESS_DENIED when it
// was opened without `access`.
std::int32_t Find(const RegistryKey& handle, std::uint32_t access,
                  std::map<std::wstring, Key>::iterator& key) {
  const auto found = state.handles.find(handle.Get());
  if (found == state.handles.end()) return kErrorInvalidHandle;
  key = state.keys.find(found->second.first);
  return (found->second.second & access) != access ? kErrorAccessDenied : kErrorSuccess;
}

std::int32_t Open(std::wstring at, const std::wstring& path, std::uint32_t access, bool create,
                  RegistryKey& key) {
  if (const std::int32_t status = Walk(at, path, access, create)) return status;
  key.Reset(state.nextHandle);  // closes what `key` held, which may be `at`'s handle
  state.handles[state.nextHandle] = {at, access};
  state.nextHandle += 4;
  return kErrorSuccess;
}

const wchar_t* HiveKey(Hive hive) {
  return hive == Hive::CurrentUser ? L"0" : L"1";
}

// The key `path` names below the hive, created, as the tests' set-up addresses it.
Key& MadeKey(Hive hive, const std::wstring& path) {
  std::wstring at = HiveKey(hive);
  Walk(at, path, kKeyWow64_64Key, true);
  return state.keys[at];
}

struct Root {  // the drives' directory: a fresh one for each world, removed when the tests end
  fs::path path;
  ~Root() { Reset(false); }
  void Reset(bool anew = true) {
    std::error_code error;
    fs::remove_all(path, error);
    for (std::random_device random; anew; anew = !fs::create_directory(path, error))
      path = fs::temp_directory_path() / ("kelvor-fake-" + std::to_string(random()));
  }
} root;

// "C:\K\x" and "C:/K/x" become <root>/C/K/x; ".." stops at the drive, as on Windows.
fs::path ToNative(std::wstring path) {
  if (root.path.empty()) root.Reset();
  std::replace(path.begin(), path.end(), L'\\', L'/');
  const bool hasDrive = path.size() >= 2 && path[1] == L':';
  const auto drive = static_cast<wchar_t>(hasDrive ? std::towupper(path[0]) : L'C');
  path.erase(0, hasDrive ? 2 : 0);
  // Normalized below "/", a ".." cannot climb out of the drive.
  return root.path / std::wstring(1, drive) /
         fs::path(L"/" + path).lexically_normal().relative_path();
}

bool Exists(const std::wstring& path) {  // a broken link too
  std::error_code error;
  return fs::exists(fs::symlink_status(ToNative(path), error));
}

// What CreateFileW answers when opening an existing file: 0 for a file, ERROR_ACCESS_DENIED for
// a folder, then file not found in a folder that is there and path not found where it is not.
std::uint32_t FileError(const std::wstring& path) {
  std::error_code error;
  if (IsDirectoryFollowingLinks(path)) return file_error::kAccessDenied;
  if (fs::exists(ToNative(path), error)) return 0;
  return fs::is_directory(ToNative(path).parent_path(), error) ? file_error::kFileNotFound
                                                               : file_error::kPathNotFound;
}

}  // namespace

namespace platform {

void CloseRegistryKey(RegistryHandle handle) {
  state.handles.erase(handle);
}

std::int32_t OpenRegistryKey(Hive hive, const std::wstring& path, std::uint32_t access,
                             RegistryKey& key) {
  return Open(HiveKey(hive), path, access, false, key);
}

std::int32_t OpenRegistrySubKey(const RegistryKey& parent, const std::wstring& path,
                                std::uint32_t access, RegistryKey& key) {
  std::map<std::wstring, Key>::iterator from;
  // Opening below a key needs no rights on it, and the parent already lies in its view.
  const std::int32_t status = Find(parent, 0, from);
  return status != kErrorSuccess ? status : Open(from->first, path, access, false, key);
}

std::int32_t CreateRegistryKey(Hive hive, const std::wstring& path, std::uint32_t access,
                               RegistryKey& key) {
  return Open(HiveKey(hive), path, access, true, key);
}

std::int32_t QueryRegistryValue(const RegistryKey& key, const std::wstring& name,
                                std::uint32_t& type, std::uint8_t* data,
                                std::uint32_t& sizeInBytes) {
  std::map<std::wstring, Key>::iterator found;
  if (const std::int32_t status = Find(key, kKeyQueryValue, found)) return status;
  const auto value = found->second.values.find(Fold(name));
  if (value == found->second.values.end()) return kErrorFileNotFound;
  const std::vector<std::uint8_t>& bytes = value->second.second;
  const bool fits = data == nullptr || bytes.size() <= sizeInBytes;
  if (data != nullptr && fits) std::copy(bytes.begin(), bytes.end(), data);
  type = value->second.first;
  sizeInBytes = static_cast<std::uint32_t>(bytes.size());
  return fits ? kErrorSuccess : kErrorMoreData;
}

std::int32_t SetRegistryValue(const RegistryKey& key, const std::wstring& name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t sizeInBytes) {
  std::map<std::wstring, Key>::iterator found;
  if (const std::int32_t status = Find(key, kKeySetValue, found)) return status;
  const auto refused = state.refusedValues.find(Fold(name));
  if (refused != state.refusedValues.end()) return refused->second;
  found->second.values.insert_or_assign(Fold(name), Value{type, {data, data + sizeInBytes}});
  return kErrorSuccess;
}

std::int32_t EnumRegistrySubKey(const RegistryKey& key, std::uint32_t index,
                                std::uint32_t bufferLength, std::wstring& name) {
  std::map<std::wstring, Key>::iterator parent;
  if (const std::int32_t status = Find(key, kKeyEnumerateSubKeys, parent)) return status;
  // The children follow their parent in the map, in folded order, among their own children.
  const std::wstring path = parent->first + L"\\";
  for (auto it = state.keys.upper_bound(path);
       it != state.keys.end() && it->first.starts_with(path); ++it) {
    if (it->first.find(L'\\', path.size()) != std::wstring::npos || index-- != 0) continue;
    if (it->second.name.size() >= bufferLength) return kErrorMoreData;
    name = it->second.name;
    return kErrorSuccess;
  }
  return kErrorNoMoreItems;
}

std::uint32_t GetProgramPath(std::wstring& path) {
  if (state.programPathError == 0) path = state.programPath;
  return state.programPathError;
}

// Windows keeps bit 29 for the codes of applications, so no system message has it.
bool FormatSystemMessage(std::int32_t code, std::wstring& text) {
  if ((code & 0x20000000) != 0) return false;
  text = L"System message " + std::to_wstring(code) + L".";
  return true;
}

bool GetTotalPhysicalMemory(std::uint64_t& bytes) {
  bytes = 16ULL << 30;
  return true;
}

bool ReadEnvironmentVariable(const std::wstring& name, std::wstring& value) {
  const auto found = state.environment.find(Fold(name));
  if (found == state.environment.end() || found->second.empty()) return false;
  value = found->second;
  return true;
}

ProcessRun RunProcess(const std::wstring& program, const std::wstring&, std::uint32_t) {
  const ProcessRun notStarted{.startError = FileError(program)};
  return notStarted.startError == 0 ? state.processRun : notStarted;
}

bool QueryWow64Process(bool& isWow64) {
  isWow64 = state.machine.wow64;
  return true;
}

bool QueryNativeMachine(std::uint16_t& machine) {
  if (state.machine.nativeMachine == 0) return false;
  machine = state.machine.nativeMachine;
  return true;
}

bool QueryMachineRunsUserCode(std::uint16_t machine, bool& runs) {
  if (!state.machine.windows11) return false;
  // Windows 11 on ARM64 runs x64 code too; x64 Windows runs no ARM64 code.
  runs = machine == state.machine.nativeMachine || machine == 0x014C || machine == 0x8664;
  return true;
}

std::uint16_t NativeProcessorArchitecture() {
  return state.machine.processorArchitecture;
}

int OpenFile(const std::wstring& path, FileAccess access, UniqueFile& file) {
  if (IsDirectoryFollowingLinks(path)) return EACCES;  // Linux would open a folder for reading
#ifdef _WIN32
  file.reset(_wfopen(ToNative(path).c_str(), access == FileAccess::Write ? L"wb" : L"rb"));
#else
  file.reset(std::fopen(ToNative(path).c_str(), access == FileAccess::Write ? "wb" : "rb"));
#endif
  if (file != nullptr) return 0;
  return errno == ENOTDIR ? ENOENT : errno;  // a file where a folder should be: "path not found"
}

std::uint32_t ReadWholeFile(const std::wstring& path, std::size_t limit, std::string& bytes,
                            bool& truncated) {
  if (const std::uint32_t error = FileError(path)) return error;
  const std::string all = fake::ReadFile(path);
  truncated = all.size() > limit;
  bytes = all.substr(0, std::min(limit, state.readFaultAfter));
  return std::min(limit, all.size()) > state.readFaultAfter ? 30 : 0;  // ERROR_READ_FAULT
}

std::uint32_t ReadFileAt(const std::wstring& path, std::uint64_t offset, std::size_t size,
                         std::string& bytes) {
  bool truncated = false;
  const std::uint32_t error = ReadWholeFile(path, SIZE_MAX, bytes, truncated);
  bytes = bytes.substr(std::min<std::uint64_t>(offset, bytes.size()), size);
  return error;
}

// The resolved path, through the links MakeLink could not make, stands for the volume
// and the file index.
bool GetFileIdentity(const std::wstring& path, std::uint64_t& volume, std::uint64_t& index) {
  std::error_code error;
  std::wstring name = fs::canonical(ToNative(path), error).wstring();
  if (error) return false;
  for (const auto& [link, target] : state.links)
    if (name.starts_with(link)) name = target + name.substr(link.size());
  volume = 0;
  index = std::hash<std::wstring>{}(name);
  return true;
}

// A link's own attributes, as Windows reports them (Wine would show its target's).
bool GetFileAttributes(const std::wstring& path, std::uint32_t& attributes) {
  std::error_code error;
  if (!Exists(path)) return false;
  attributes =
      (fs::is_symlink(fs::symlink_status(ToNative(path), error)) ? 0x400 : 0) |
      (IsDirectoryFollowingLinks(path) ? kFileAttributeDirectory : 0x20);  // else "archive"
  return true;
}

std::uint32_t InspectFile(const std::wstring& path, FileFacts& facts) {
  if (const std::uint32_t error = FileError(path)) return error;
  // Back from <root>/C/K/x to "\\?\C:\K\x", in the form GetFinalPathNameByHandleW gives.
  const fs::path found = fs::canonical(ToNative(path));
  std::wstring finalPath = found.lexically_relative(root.path).wstring();
  std::replace(finalPath.begin(), finalPath.end(), L'/', L'\\');
  facts.finalPath = L"\\\\?\\" + finalPath.insert(1, L":");
  GetFileAttributes(facts.finalPath.substr(4), facts.attributes);
  facts.linkCount = static_cast<std::uint32_t>(fs::hard_link_count(found));
  return 0;
}

std::uint32_t WriteNewFile(const std::wstring& path, const std::string& bytes,
                           std::uint32_t /*attributes*/, bool& created) {
  const std::uint32_t error = FileError(path);
  created = false;
  if (error != file_error::kFileNotFound) return error == 0 ? file_error::kFileExists : error;
  if (state.refusingFolders.contains(ToNative(path).parent_path()))
    return file_error::kAccessDenied;
  created = true;
  if (state.volumeFull && !bytes.empty()) return file_error::kDiskFull;  // nothing left behind
  fake::WriteFile(path, bytes);
  return 0;
}

// A full volume has no room beyond a file's old length; the old part is already its own. The
// stream's cut keeps the file's identity, as writing in place does.
std::uint32_t WriteFileInPlace(const std::wstring& path, const std::string& bytes, bool& opened) {
  const std::uint32_t error = FileError(path);
  opened = error == 0;
  if (!opened) return error;
  if (state.volumeFull && bytes.size() > fs::file_size(ToNative(path)))
    return file_error::kDiskFull;
  fake::WriteFile(path, bytes);
  return 0;
}

// The replaced file's permissions stand for the security that ReplaceFileW carries over; the
// rename breaks its other hard links as the real call does.
std::uint32_t ReplaceFileKeepingIdentity(const std::wstring& replaced,
                                         const std::wstring& replacement) {
  if (FileError(replacement) != 0) return file_error::kAccessDenied;
  if (const std::uint32_t error = FileError(replaced)) return error;
  std::error_code error;
  fs::permissions(ToNative(replacement), fs::status(ToNative(replaced)).permissions(), error);
  fs::rename(ToNative(replacement), ToNative(replaced), error);
  return error ? file_error::kUnableToRemoveReplaced : 0;
}

std::uint32_t MoveFileReplacing(const std::wstring& from, const std::wstring& to) {
  // Linux would replace an empty folder.
  if (IsDirectoryFollowingLinks(to)) return file_error::kAccessDenied;
  if (const std::uint32_t error = FileError(from)) return error;
  std::error_code error;
  fs::rename(ToNative(from), ToNative(to), error);
  return error ? file_error::kAccessDenied : 0;
}

bool RemoveFile(const std::wstring& path) {
  std::error_code error;
  return !IsDirectoryFollowingLinks(path) && fs::remove(ToNative(path), error);
}

bool IsDirectoryFollowingLinks(const std::wstring& path) {
  std::error_code error;
  return fs::is_directory(ToNative(path), error);
}

bool IsExecutableImage(const std::wstring& path) {
  const std::string image = IsDirectoryFollowingLinks(path) ? "" : fake::ReadFile(path);
  std::uint32_t at = 0;  // where "PE\0\0" is, little-endian as on the build hosts
  if (image.size() < 0x40 || image.compare(0, 2, "MZ") != 0) return false;
  std::memcpy(&at, image.data() + 0x3C, 4);
  return at < image.size() && image.compare(at, 4, std::string("PE\0\0", 4)) == 0;
}

// Answers in the form SearchPathW hands back: backslashes only, one between folder and name.
std::uint32_t SearchFileInDirectory(const std::wstring& directory, const std::wstring& fileName,
                                    std::uint32_t bufferLength, std::wstring& found) {
  std::wstring full = directory;
  std::replace(full.begin(), full.end(), L'/', L'\\');
  full += (full.empty() || full.back() == L'\\' ? L"" : L"\\") + fileName;
  const auto length = static_cast<std::uint32_t>(full.size());
  if (!Exists(full)) return 0;
  if (length >= bufferLength) return length + 1;
  found = full;
  return length;
}

std::int32_t ListSubdirectories(const std::wstring& directory, std::vector<std::wstring>& names) {
  std::error_code error;
  fs::directory_iterator entries(ToNative(directory), error);
  // Wine: ERROR_INVALID_NAME below a file, ERROR_PATH_NOT_FOUND where nothing is.
  if (error) return Exists(directory) ? 123 : 3;
  names.clear();
  for (const fs::directory_entry& entry : entries)
    if (entry.is_directory(error)) names.push_back(entry.path().filename().wstring());
  return 0;
}

}  // namespace platform

namespace fake {

void ResetAll() {
  state = State{};
  root.Reset();
  // The keys a fresh 64-bit prefix already has, so enumeration sees the same siblings.
  MadeKey(Hive::CurrentUser, L"Software");
  MadeKey(Hive::LocalMachine, L"Software\\Wow6432Node");
}

int OpenHandleCount() {
  return static_cast<int>(state.handles.size());
}

void PutValue(Hive hive, const std::wstring& path, const std::wstring& name, std::uint32_t type,
              const std::vector<std::uint8_t>& data) {
  MadeKey(hive, path).values.insert_or_assign(Fold(name), Value{type, data});
}

// Test texts stay within the Basic Multilingual Plane: one UTF-16 unit per character.
void PutString(Hive hive, const std::wstring& path, const std::wstring& name,
               const std::wstring& text, std::uint32_t type) {
  std::vector<std::uint8_t> bytes;
  for (const wchar_t c : text + L'\0')
    bytes.insert(bytes.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
  PutValue(hive, path, name, type, bytes);
}

void RefuseRegistryValue(const std::wstring& name, std::int32_t status) {
  state.refusedValues[Fold(name)] = status;
}

void SetProgramPath(const std::wstring& path, std::uint32_t error) {
  state.programPath = path;
  state.programPathError = error;
}

void SetWindowsMachine(const WindowsMachineAnswers& answers) {
  state.machine = answers;
}

void SetEnvironmentVariable(const std::wstring& name, const std::wstring& value) {
  state.environment[Fold(name)] = value;
}

void SetReadFault(std::size_t bytes) {
  state.readFaultAfter = bytes;
}

void SetProcessRun(const ProcessRun& run) {
  state.processRun = run;
}

void SetVolumeFull(bool full) {
  state.volumeFull = full;
}

void RefuseNewFiles(const std::wstring& folder) {
  state.refusingFolders.insert(ToNative(folder));
}

int Permissions(const std::wstring& windowsPath) {
  return static_cast<int>(fs::status(ToNative(windowsPath)).permissions());
}

void SetPermissions(const std::wstring& windowsPath, int permissions) {
  fs::permissions(ToNative(windowsPath), static_cast<fs::perms>(permissions));
}

std::vector<std::string> ListFolder(const std::wstring& windowsPath) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(ToNative(windowsPath)))
    names.insert(entry.path().filename().string());
  return {names.begin(), names.end()};
}

void WriteFile(const std::wstring& windowsPath, const std::string& bytes) {
  fs::create_directories(ToNative(windowsPath).parent_path());
  std::ofstream(ToNative(windowsPath), std::ios::binary) << bytes;
}

void MakeDirectory(const std::wstring& windowsPath) {
  fs::create_directories(ToNative(windowsPath));
}

void MakeLink(const std::wstring& link, const std::wstring& target) {
  std::error_code error;
  fs::create_directories(ToNative(link).parent_path(), error);
#ifdef __linux__
  fs::create_symlink(ToNative(target), ToNative(link), error);
#else
  // This runtime makes no links: a copy, whose identity is its target's; a broken link is none.
  if (!fs::exists(ToNative(target), error)) return;
  fs::copy(ToNative(target), ToNative(link), fs::copy_options::recursive, error);
  state.links[ToNative(link).wstring()] = ToNative(target).wstring();
#endif
}

std::string ReadFile(const std::wstring& windowsPath) {
  std::ifstream in(ToNative(windowsPath), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace fake
