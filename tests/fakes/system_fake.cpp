// The system for the native build: an in-memory registry standing in for advapi32 (names matched
// and ordered as Wine does, the WOW64 split of HKLM\Software, access checks, handle counts) and
// the process-level answers: the program's path, system messages, memory.
#include <algorithm>
#include <cwctype>
#include <map>
#include <optional>

#include "fakes/fake_platform.h"
#include "platform/files.h"
#include "platform/system.h"

namespace {

using namespace platform;

struct Value {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

// A key is its hive's digit and its folded path ("1\software\javasoft"); Wine folds names to
// lower case, so "_" sorts before the letters (Windows would fold to upper case).
struct Key {
  std::wstring name;                     // the last part as created, for enumeration
  std::map<std::wstring, Value> values;  // by folded name
};

struct State {
  std::map<std::wstring, Key> keys;
  std::map<RegistryHandle, std::pair<std::wstring, std::uint32_t>> handles;  // key and access
  RegistryHandle nextHandle = 0x100;
  int wow64Queries = 0;
  std::map<std::wstring, std::pair<int, std::int32_t>> queryFailures;  // count, status
  std::map<std::wstring, std::int32_t> setFailures;
  std::int32_t createFailure = 0;
  std::map<std::wstring, int> queryCounts;
  std::wstring programPath = L"C:\\Program Files\\Kelvor\\bin\\win\\KelvorStartupSettings.exe";
  std::uint32_t programPathError = 0;
  std::optional<std::uint64_t> totalMemory = 16ULL << 30;
  std::map<std::wstring, std::wstring> environment;  // by folded name
};

State& S() {
  static State state;
  return state;
}

std::wstring Fold(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
  return text;
}

// The key `path` names below `from`, as the parts created (or found) on the way. The fake is a
// 32-bit process on 64-bit Windows: without KEY_WOW64_64KEY, HKLM\Software means its
// Wow6432Node twin unless the path names the twin itself.
std::optional<std::wstring> Walk(std::wstring from, const std::wstring& path, std::uint32_t access,
                                 bool create) {
  std::vector<std::wstring> parts;
  for (std::size_t start = 0, end; start <= path.size(); start = end + 1) {
    end = std::min(path.find(L'\\', start), path.size());
    if (end > start) parts.push_back(path.substr(start, end - start));
  }
  if (from == L"1" && (access & kKeyWow64_64Key) == 0 && !parts.empty() &&
      Fold(parts[0]) == L"software" && (parts.size() == 1 || Fold(parts[1]) != L"wow6432node"))
    parts.insert(parts.begin() + 1, L"Wow6432Node");
  for (const std::wstring& part : parts) {
    from += L"\\" + Fold(part);
    if (!S().keys.contains(from) && !create) return std::nullopt;
    S().keys.try_emplace(from, Key{part, {}});
  }
  return from;
}

std::wstring HiveKey(Hive hive) {
  return hive == Hive::CurrentUser ? L"0" : L"1";
}

// The key behind a handle, or null with the status when the handle is unknown or lacks `access`.
Key* KeyOf(const RegistryKey& handle, std::uint32_t access, std::int32_t& status,
           std::wstring* path = nullptr) {
  const auto found = S().handles.find(handle.Get());
  status = found == S().handles.end()                  ? kErrorInvalidHandle
           : (found->second.second & access) != access ? kErrorAccessDenied
                                                       : kErrorSuccess;
  if (status != kErrorSuccess) return nullptr;
  if (path != nullptr) *path = found->second.first;
  return &S().keys[found->second.first];
}

std::int32_t Open(const std::wstring& from, const std::wstring& path, std::uint32_t access,
                  bool create, RegistryKey& key) {
  const std::optional<std::wstring> found = Walk(from, path, access, create);
  if (!found) return kErrorFileNotFound;
  key.Reset(S().nextHandle);  // closes what `key` held, which may be `from`'s handle
  S().handles[S().nextHandle] = {*found, access};
  S().nextHandle += 4;
  return kErrorSuccess;
}

}  // namespace

namespace platform {

void CloseRegistryKey(RegistryHandle handle) {
  S().handles.erase(handle);
}

std::int32_t OpenRegistryKey(Hive hive, const std::wstring& path, std::uint32_t access,
                             RegistryKey& key) {
  return Open(HiveKey(hive), path, access, false, key);
}

std::int32_t OpenRegistrySubKey(const RegistryKey& parent, const std::wstring& path,
                                std::uint32_t access, RegistryKey& key) {
  std::int32_t status = kErrorSuccess;
  std::wstring from;
  // Opening below a key needs no rights on it, and the parent already lies in its view.
  if (KeyOf(parent, 0, status, &from) == nullptr) return status;
  return Open(from, path, access, false, key);
}

std::int32_t CreateRegistryKey(Hive hive, const std::wstring& path, std::uint32_t access,
                               RegistryKey& key) {
  if (S().createFailure != 0) return S().createFailure;
  return Open(HiveKey(hive), path, access, true, key);
}

std::int32_t QueryRegistryValue(const RegistryKey& key, const std::wstring& name,
                                std::uint32_t& type, std::uint8_t* data,
                                std::uint32_t& sizeInBytes) {
  ++S().queryCounts[name];
  std::int32_t status = kErrorSuccess;
  const Key* const found = KeyOf(key, kKeyQueryValue, status);
  if (found == nullptr) return status;
  if (auto failure = S().queryFailures.find(name);
      failure != S().queryFailures.end() && failure->second.first-- > 0)
    return failure->second.second;
  const auto value = found->values.find(Fold(name));
  if (value == found->values.end()) return kErrorFileNotFound;
  const std::vector<std::uint8_t>& bytes = value->second.data;
  const bool fits = data == nullptr || bytes.size() <= sizeInBytes;
  if (data != nullptr && fits) std::copy(bytes.begin(), bytes.end(), data);
  type = value->second.type;
  sizeInBytes = static_cast<std::uint32_t>(bytes.size());
  return fits ? kErrorSuccess : kErrorMoreData;
}

std::int32_t SetRegistryValue(const RegistryKey& key, const std::wstring& name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t sizeInBytes) {
  if (const auto failure = S().setFailures.find(name); failure != S().setFailures.end())
    return failure->second;
  std::int32_t status = kErrorSuccess;
  Key* const found = KeyOf(key, kKeySetValue, status);
  if (found != nullptr)
    found->values.insert_or_assign(Fold(name), Value{type, {data, data + sizeInBytes}});
  return status;
}

std::int32_t EnumRegistrySubKey(const RegistryKey& key, std::uint32_t index,
                                std::uint32_t bufferLength, std::wstring& name) {
  std::int32_t status = kErrorSuccess;
  std::wstring path;
  if (KeyOf(key, kKeyEnumerateSubKeys, status, &path) == nullptr) return status;
  // The children follow their parent in the map, in folded order, among their own children.
  std::vector<const std::wstring*> children;
  for (auto it = S().keys.upper_bound(path + L"\\");
       it != S().keys.end() && it->first.starts_with(path + L"\\"); ++it)
    if (it->first.find(L'\\', path.size() + 1) == std::wstring::npos)
      children.push_back(&it->second.name);
  if (index >= children.size()) return kErrorNoMoreItems;
  if (children[index]->size() >= bufferLength) return kErrorMoreData;
  name = *children[index];
  return kErrorSuccess;
}

std::uint32_t GetProgramPath(std::wstring& path) {
  if (S().programPathError == 0) path = S().programPath;
  return S().programPathError;
}

bool FormatSystemMessage(std::int32_t code, std::wstring& text) {
  text = L"System message " + std::to_wstring(code) + L".";
  return true;
}

bool GetTotalPhysicalMemory(std::uint64_t& bytes) {
  bytes = S().totalMemory.value_or(bytes);
  return S().totalMemory.has_value();
}

bool ReadEnvironmentVariable(const std::wstring& name, std::wstring& value) {
  const auto found = S().environment.find(Fold(name));
  if (found == S().environment.end() || found->second.empty()) return false;
  value = found->second;
  return true;
}

bool QueryWow64Process(bool& isWow64) {
  ++S().wow64Queries;
  isWow64 = true;
  return true;
}

}  // namespace platform

namespace fake {

void ResetAll() {
  S() = State{};
  ResetFileSystem();
  // The keys a fresh 64-bit prefix already has, so enumeration sees the same siblings.
  Walk(L"0", L"Software", 0, true);
  Walk(L"1", L"Software", 0, true);
}

int Wow64QueryCount() {
  return S().wow64Queries;
}

void PutValue(Hive hive, const std::wstring& path, const std::wstring& name, std::uint32_t type,
              const std::vector<std::uint8_t>& data) {
  S().keys[*Walk(HiveKey(hive), path, kKeyWow64_64Key, true)].values.insert_or_assign(
      Fold(name), Value{type, data});
}

// Test texts stay within the Basic Multilingual Plane: one UTF-16 unit per character.
void PutString(Hive hive, const std::wstring& path, const std::wstring& name,
               const std::wstring& text, std::uint32_t type) {
  std::vector<std::uint8_t> bytes;
  for (const wchar_t c : text + L'\0')
    bytes.insert(bytes.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
  PutValue(hive, path, name, type, bytes);
}

void FailQueries(const std::wstring& name, int count, std::int32_t status) {
  S().queryFailures[name] = {count, status};
}

void FailSets(const std::wstring& name, std::int32_t status) {
  S().setFailures[name] = status;
}

void FailCreate(std::int32_t status) {
  S().createFailure = status;
}

int QueryCount(const std::wstring& name) {
  return S().queryCounts[name];
}

int OpenHandleCount() {
  return static_cast<int>(S().handles.size());
}

void SetProgramPath(const std::wstring& path, std::uint32_t error) {
  S().programPath = path;
  S().programPathError = error;
}

void SetEnvironmentVariable(const std::wstring& name, const std::wstring& value) {
  S().environment[Fold(name)] = value;
}

void SetTotalPhysicalMemory(std::uint64_t bytes, bool available) {
  S().totalMemory = available ? std::optional(bytes) : std::nullopt;
}

}  // namespace fake
