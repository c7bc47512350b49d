// The system for the native build: an in-memory registry standing in for advapi32 (two hives of
// keys that compare names as Wine does, the WOW64 split of HKLM\Software, access checks and
// handle counts) and the process-level answers: the program's path, system messages, memory.
#include <algorithm>
#include <cwctype>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

#include "fakes/fake_platform.h"
#include "platform/files.h"
#include "platform/system.h"

namespace {

using namespace platform;

// Wine orders and matches names folded to lower case, so "_" sorts before the
// letters (Windows folds to upper case and puts it after them; the two agree on
// letters, digits, "-" and ".").
struct NameLess {
  static std::wint_t Fold(wchar_t c) { return std::towlower(static_cast<std::wint_t>(c)); }
  bool operator()(const std::wstring& left, const std::wstring& right) const {
    return std::ranges::lexicographical_compare(left, right, {}, Fold, Fold);
  }
};

struct Value {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

struct Key {
  std::map<std::wstring, Key, NameLess> children;  // in the order RegEnumKeyExW reports them
  std::map<std::wstring, Value, NameLess> values;
  // A WOW64 process's 32-bit view sees this key's Wow6432Node child instead.
  bool redirected = false;
};

struct State {
  Key hives[2];
  std::map<RegistryHandle, std::pair<Key*, std::uint32_t>> handles;  // key and access
  RegistryHandle nextHandle = 0x100;
  int wow64Queries = 0;
  std::map<std::pair<const Key*, std::wstring>, std::pair<int, std::int32_t>>
      queryFailures;  // count, status
  std::map<std::wstring, std::int32_t, NameLess> setFailures;
  std::int32_t createFailure = 0;
  std::map<std::wstring, int, NameLess> queryCounts;
  int openCounts[2] = {};
  std::wstring programPath = L"C:\\Program Files\\Kelvor\\bin\\win\\KelvorStartupSettings.exe";
  std::uint32_t programPathError = 0;
  std::map<std::int32_t, std::wstring> messages;
  std::optional<std::uint64_t> totalMemory = 16ULL << 30;
};

State& S() {
  static State state;
  return state;
}

// Follows `path` from `key`; with `create`, missing keys are made on the way.
// As Wine does it, a WOW64 process without KEY_WOW64_64KEY that reaches a
// redirected key by name lands in its Wow6432Node twin, unless it names
// Wow6432Node next. The key it starts from is redirected only on an explicit
// KEY_WOW64_32KEY.
Key* Walk(Key* key, const std::wstring& path, std::uint32_t access, bool create) {
  std::vector<std::wstring> parts;
  std::wistringstream in(path);
  for (std::wstring part; std::getline(in, part, L'\\');)
    if (!part.empty()) parts.push_back(part);
  auto redirect = [&](std::size_t next) {
    const auto twin = key->children.find(L"Wow6432Node");
    if (key->redirected && twin != key->children.end() &&
        (next == parts.size() || key->children.find(parts[next]) != twin))
      key = &twin->second;
  };
  if ((access & kKeyWow64_32Key) != 0) redirect(0);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (!create && !key->children.contains(parts[i])) return nullptr;
    key = &key->children[parts[i]];
    if ((access & kKeyWow64_64Key) == 0) redirect(i + 1);
  }
  return key;
}

Key* KeyAt(Hive hive, const std::wstring& path, bool create) {
  return Walk(&S().hives[static_cast<int>(hive)], path, kKeyWow64_64Key, create);
}

// The key behind a handle, or null with the status when the handle is unknown
// or lacks `access`.
Key* KeyOf(const RegistryKey& handle, std::uint32_t access, std::int32_t& status) {
  const auto found = S().handles.find(handle.Get());
  status = found == S().handles.end()                  ? kErrorInvalidHandle
           : (found->second.second & access) != access ? kErrorAccessDenied
                                                       : kErrorSuccess;
  return status == kErrorSuccess ? found->second.first : nullptr;
}

std::int32_t Open(Key* from, const std::wstring& path, std::uint32_t access, bool create,
                  RegistryKey& key) {
  Key* const found = Walk(from, path, access, create);
  if (found == nullptr) return kErrorFileNotFound;
  key.Reset(S().nextHandle);  // closes what `key` held, which may be `from`'s handle
  S().handles[S().nextHandle] = {found, access};
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
  ++S().openCounts[static_cast<int>(hive)];
  return Open(&S().hives[static_cast<int>(hive)], path, access, false, key);
}

std::int32_t OpenRegistrySubKey(const RegistryKey& parent, const std::wstring& path,
                                std::uint32_t access, RegistryKey& key) {
  std::int32_t status = kErrorSuccess;
  Key* const from = KeyOf(parent, 0, status);  // opening below a key needs no rights on it
  return from == nullptr ? status : Open(from, path, access, false, key);
}

std::int32_t CreateRegistryKey(Hive hive, const std::wstring& path, std::uint32_t access,
                               RegistryKey& key) {
  if (S().createFailure != 0) return S().createFailure;
  return Open(&S().hives[static_cast<int>(hive)], path, access, true, key);
}

std::int32_t QueryRegistryValue(const RegistryKey& key, const std::wstring& name,
                                std::uint32_t& type, std::uint8_t* data,
                                std::uint32_t& sizeInBytes) {
  ++S().queryCounts[name];
  std::int32_t status = kErrorSuccess;
  const Key* const found = KeyOf(key, kKeyQueryValue, status);
  if (found == nullptr) return status;
  const auto failure = S().queryFailures.find({found, name});
  if (failure != S().queryFailures.end() && failure->second.first-- > 0)
    return failure->second.second;
  const auto value = found->values.find(name);
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
    found->values.insert_or_assign(name, Value{type, {data, data + sizeInBytes}});
  return status;
}

std::int32_t EnumRegistrySubKey(const RegistryKey& key, std::uint32_t index,
                                std::uint32_t bufferLength, std::wstring& name) {
  std::int32_t status = kErrorSuccess;
  const Key* const found = KeyOf(key, kKeyEnumerateSubKeys, status);
  if (found == nullptr) return status;
  if (index >= found->children.size()) return kErrorNoMoreItems;
  const std::wstring& child = std::next(found->children.begin(), index)->first;
  if (child.size() >= bufferLength) return kErrorMoreData;
  name = child;
  return kErrorSuccess;
}

std::uint32_t GetProgramPath(std::wstring& path) {
  if (S().programPathError == 0) path = S().programPath;
  return S().programPathError;
}

bool FormatSystemMessage(std::int32_t code, std::wstring& text) {
  text = S().messages.try_emplace(code, L"System message " + std::to_wstring(code) + L".")
             .first->second;
  return true;
}

bool GetTotalPhysicalMemory(std::uint64_t& bytes) {
  bytes = S().totalMemory.value_or(bytes);
  return S().totalMemory.has_value();
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
  // The keys a fresh 64-bit prefix already has, so enumeration sees the same
  // siblings.
  KeyAt(Hive::CurrentUser, L"Software", true);
  KeyAt(Hive::LocalMachine, L"Software\\Wow6432Node", true);
  KeyAt(Hive::LocalMachine, L"Software", true)->redirected = true;
}

int Wow64QueryCount() {
  return S().wow64Queries;
}

void PutValue(Hive hive, const std::wstring& path, const std::wstring& name, std::uint32_t type,
              const std::vector<std::uint8_t>& data) {
  KeyAt(hive, path, true)->values.insert_or_assign(name, Value{type, data});
}

// Test texts stay within the Basic Multilingual Plane: one UTF-16 unit per
// character.
void PutString(Hive hive, const std::wstring& path, const std::wstring& name,
               const std::wstring& text, std::uint32_t type) {
  std::vector<std::uint8_t> bytes;
  for (const wchar_t c : text + L'\0')
    bytes.insert(bytes.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
  PutValue(hive, path, name, type, bytes);
}

bool GetString(Hive hive, const std::wstring& path, const std::wstring& name, std::wstring& text) {
  const Key* const key = KeyAt(hive, path, false);
  if (key == nullptr || !key->values.contains(name)) return false;
  const Value& value = key->values.at(name);
  if (value.type != kRegSz && value.type != kRegExpandSz) return false;
  text.clear();
  for (std::size_t i = 0; i + 1 < value.data.size() && (value.data[i] | value.data[i + 1]) != 0;
       i += 2)
    text += static_cast<wchar_t>(value.data[i] | value.data[i + 1] << 8);
  return true;
}

void FailQueries(Hive hive, const std::wstring& path, const std::wstring& name, int count,
                 std::int32_t status) {
  S().queryFailures[{KeyAt(hive, path, true), name}] = {count, status};
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

int OpenKeyCount(Hive hive) {
  return S().openCounts[static_cast<int>(hive)];
}

int OpenHandleCount() {
  return static_cast<int>(S().handles.size());
}

void SetProgramPath(const std::wstring& path, std::uint32_t error) {
  S().programPath = path;
  S().programPathError = error;
}

void SetSystemMessage(std::int32_t code, const std::wstring& text) {
  S().messages[code] = text;
}

void SetTotalPhysicalMemory(std::uint64_t bytes, bool available) {
  S().totalMemory = available ? std::optional(bytes) : std::nullopt;
}

}  // namespace fake
