// In-memory registry standing in for advapi32 in the native build: two hives of keys that
// compare names like Windows, the WOW64 split of HKLM\Software, access checks and handle counts.
#include <algorithm>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

#include "fakes/fake_platform.h"
#include "fakes/fake_state.h"
#include "platform/registry.h"

namespace {

using platform::Hive;

struct Value {
  std::wstring name;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

struct Key {
  std::wstring name;
  std::vector<Key> children;  // kept in the order RegEnumKeyExW reports them
  std::vector<Value> values;
  bool redirected = false;  // a 32-bit view of a WOW64 process sees its Wow6432Node child instead
};

// Wine orders subkeys by names folded to lower case, so "_" sorts before the letters (Windows
// folds to upper case and puts it after them; the two agree on letters, digits, "-" and ".").
int CompareNames(const std::wstring& left, const std::wstring& right) {
  const std::size_t common = std::min(left.size(), right.size());
  for (std::size_t i = 0; i < common; ++i) {
    const auto a = static_cast<std::uint32_t>(std::towlower(static_cast<std::wint_t>(left[i])));
    const auto b = static_cast<std::uint32_t>(std::towlower(static_cast<std::wint_t>(right[i])));
    if (a != b) return a < b ? -1 : 1;
  }
  if (left.size() == right.size()) return 0;
  return left.size() < right.size() ? -1 : 1;
}

bool SameName(const std::wstring& left, const std::wstring& right) {
  return CompareNames(left, right) == 0;
}

const std::wstring kWow6432Node = L"Wow6432Node";

struct OpenKey {
  Hive hive;
  std::vector<std::wstring> path;  // where the key physically is, below the hive
  std::uint32_t access;
};

struct QueryFailure {
  Hive hive;
  std::wstring path;
  std::wstring name;
  int remaining;
  std::int32_t status;
};

struct RegistryState {
  Key currentUser;
  Key localMachine;
  std::map<platform::RegistryHandle, OpenKey> handles;
  platform::RegistryHandle nextHandle = 0x100;
  bool wow64 = true;
  bool wow64QueryFails = false;
  int wow64Queries = 0;
  std::vector<QueryFailure> queryFailures;
  std::vector<std::pair<std::wstring, std::int32_t>> setFailures;
  std::int32_t createFailure = 0;
  std::vector<std::pair<std::wstring, int>> queryCounts;
  int openCounts[2] = {0, 0};
};

RegistryState& State() {
  static RegistryState state;
  return state;
}

Key& Root(Hive hive) {
  return hive == Hive::CurrentUser ? State().currentUser : State().localMachine;
}

std::vector<std::wstring> SplitPath(const std::wstring& path) {
  std::vector<std::wstring> parts;
  std::wstring part;
  for (const wchar_t c : path) {
    if (c == L'\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

Key* FindChild(Key& key, const std::wstring& name) {
  for (Key& child : key.children) {
    if (SameName(child.name, name)) return &child;
  }
  return nullptr;
}

Key& AddChild(Key& key, const std::wstring& name) {
  if (Key* existing = FindChild(key, name)) return *existing;
  const auto at = std::find_if(key.children.begin(), key.children.end(), [&](const Key& child) {
    return CompareNames(name, child.name) < 0;
  });
  Key child;
  child.name = name;
  return *key.children.insert(at, std::move(child));
}

// Follows `path` from the key at `start`; with `create`, missing keys are made on the way.
// Returns the physical path of the key reached, or false when a key is missing.
bool Walk(Hive hive, std::vector<std::wstring> start, const std::wstring& path,
          std::uint32_t access, bool create, std::vector<std::wstring>& reached) {
  Key* key = &Root(hive);
  for (const std::wstring& name : start) {
    key = FindChild(*key, name);
    if (key == nullptr) return false;
  }
  // As Wine does it: without KEY_WOW64_64KEY a WOW64 process that reaches a redirected key by
  // name lands in its Wow6432Node twin, unless it names Wow6432Node next. A key it starts from
  // is redirected only on an explicit KEY_WOW64_32KEY.
  const bool view32 = State().wow64 && (access & platform::kKeyWow64_64Key) == 0;
  const std::vector<std::wstring> parts = SplitPath(path);
  auto redirect = [&](std::size_t nextPart) {
    if (!key->redirected) return;
    if (nextPart < parts.size() && SameName(parts[nextPart], kWow6432Node)) return;
    if (Key* node = FindChild(*key, kWow6432Node)) {
      start.push_back(node->name);
      key = node;
    }
  };
  if (State().wow64 && (access & platform::kKeyWow64_32Key) != 0) redirect(0);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    Key* child = FindChild(*key, parts[i]);
    if (child == nullptr) {
      if (!create) return false;
      child = &AddChild(*key, parts[i]);
    }
    key = child;
    start.push_back(child->name);
    if (view32) redirect(i + 1);
  }
  reached = std::move(start);
  return true;
}

Key* Resolve(Hive hive, const std::vector<std::wstring>& path) {
  Key* key = &Root(hive);
  for (const std::wstring& name : path) {
    key = FindChild(*key, name);
    if (key == nullptr) return nullptr;
  }
  return key;
}

Key& MakeKey(Hive hive, const std::wstring& path) {
  Key* key = &Root(hive);
  for (const std::wstring& name : SplitPath(path)) key = &AddChild(*key, name);
  return *key;
}

// The key behind a handle, or null when the handle is unknown, lacks `access`, or its key is gone.
Key* KeyOf(platform::RegistryHandle handle, std::uint32_t access, std::int32_t& status) {
  const auto found = State().handles.find(handle);
  if (found == State().handles.end()) {
    status = platform::kErrorInvalidHandle;
    return nullptr;
  }
  if ((found->second.access & access) != access) {
    status = platform::kErrorAccessDenied;
    return nullptr;
  }
  Key* key = Resolve(found->second.hive, found->second.path);
  status = key != nullptr ? platform::kErrorSuccess : platform::kErrorInvalidHandle;
  return key;
}

Value* FindValue(Key& key, const std::wstring& name) {
  for (Value& value : key.values) {
    if (SameName(value.name, name)) return &value;
  }
  return nullptr;
}

platform::RegistryHandle AddHandle(Hive hive, std::vector<std::wstring> path,
                                   std::uint32_t access) {
  const platform::RegistryHandle handle = State().nextHandle;
  State().nextHandle += 4;
  State().handles[handle] = OpenKey{hive, std::move(path), access};
  return handle;
}

std::int32_t Open(Hive hive, const std::vector<std::wstring>& start, const std::wstring& path,
                  std::uint32_t access, bool create, platform::RegistryKey& key) {
  std::vector<std::wstring> reached;
  if (!Walk(hive, start, path, access, create, reached)) return platform::kErrorFileNotFound;
  key.Reset(AddHandle(hive, std::move(reached), access));
  return platform::kErrorSuccess;
}

std::vector<std::uint8_t> EncodeUtf16(const std::wstring& text) {
  std::vector<std::uint8_t> bytes;
  auto put = [&](std::uint32_t unit) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  };
  for (const wchar_t c : text) {
    const auto point = static_cast<std::uint32_t>(c);
    if (point > 0xFFFF) {
      put(0xD800 + ((point - 0x10000) >> 10));
      put(0xDC00 + ((point - 0x10000) & 0x3FF));
    } else {
      put(point);
    }
  }
  put(0);
  return bytes;
}

std::wstring DecodeUtf16(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::uint32_t> units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<std::uint32_t>(bytes[i] | (bytes[i + 1] << 8)));
  }
  while (!units.empty() && units.back() == 0) units.pop_back();
  std::wstring text;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const std::uint32_t unit = units[i];
    const bool pair = unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size() &&
                      units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000;
    if (pair && sizeof(wchar_t) == 4) {
      text += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else {
      text += static_cast<wchar_t>(unit);
    }
  }
  return text;
}

}  // namespace

namespace platform {

void CloseRegistryKey(RegistryHandle handle) {
  State().handles.erase(handle);
}

std::int32_t OpenRegistryKey(Hive hive, const std::wstring& path, std::uint32_t access,
                             RegistryKey& key) {
  ++State().openCounts[hive == Hive::CurrentUser ? 0 : 1];
  return Open(hive, {}, path, access, false, key);
}

std::int32_t OpenRegistrySubKey(const RegistryKey& parent, const std::wstring& path,
                                std::uint32_t access, RegistryKey& key) {
  const auto found = State().handles.find(parent.Get());
  if (found == State().handles.end()) return kErrorInvalidHandle;
  const OpenKey opened = found->second;  // `key` may be `parent`'s twin; copy before Reset
  if (Resolve(opened.hive, opened.path) == nullptr) return kErrorInvalidHandle;
  return Open(opened.hive, opened.path, path, access, false, key);
}

std::int32_t CreateRegistryKey(Hive hive, const std::wstring& path, std::uint32_t access,
                               RegistryKey& key) {
  if (State().createFailure != 0) return State().createFailure;
  return Open(hive, {}, path, access, true, key);
}

std::int32_t QueryRegistryValue(const RegistryKey& key, const std::wstring& name,
                                std::uint32_t& type, std::uint8_t* data,
                                std::uint32_t& sizeInBytes) {
  RegistryState& state = State();
  auto count = std::find_if(state.queryCounts.begin(), state.queryCounts.end(),
                            [&](const auto& entry) { return SameName(entry.first, name); });
  if (count == state.queryCounts.end()) {
    state.queryCounts.emplace_back(name, 1);
  } else {
    ++count->second;
  }
  std::int32_t status = kErrorSuccess;
  Key* found = KeyOf(key.Get(), kKeyQueryValue, status);
  if (found == nullptr) return status;
  const OpenKey& opened = state.handles.at(key.Get());
  for (QueryFailure& failure : state.queryFailures) {
    if (failure.remaining > 0 && failure.hive == opened.hive && SameName(failure.name, name) &&
        Resolve(failure.hive, SplitPath(failure.path)) == found) {
      --failure.remaining;
      return failure.status;
    }
  }
  const Value* value = FindValue(*found, name);
  if (value == nullptr) return kErrorFileNotFound;
  const auto size = static_cast<std::uint32_t>(value->data.size());
  if (data != nullptr && size > sizeInBytes) {
    type = value->type;
    sizeInBytes = size;
    return kErrorMoreData;
  }
  if (data != nullptr) std::copy(value->data.begin(), value->data.end(), data);
  type = value->type;
  sizeInBytes = size;
  return kErrorSuccess;
}

std::int32_t SetRegistryValue(const RegistryKey& key, const std::wstring& name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t sizeInBytes) {
  for (const auto& [failingName, status] : State().setFailures) {
    if (SameName(failingName, name)) return status;
  }
  std::int32_t status = kErrorSuccess;
  Key* found = KeyOf(key.Get(), kKeySetValue, status);
  if (found == nullptr) return status;
  Value* value = FindValue(*found, name);
  if (value == nullptr) {
    found->values.push_back(Value{name, 0, {}});
    value = &found->values.back();
  }
  value->type = type;
  value->data.assign(data, data + sizeInBytes);
  return kErrorSuccess;
}

std::int32_t EnumRegistrySubKey(const RegistryKey& key, std::uint32_t index,
                                std::uint32_t bufferLength, std::wstring& name) {
  std::int32_t status = kErrorSuccess;
  Key* found = KeyOf(key.Get(), kKeyEnumerateSubKeys, status);
  if (found == nullptr) return status;
  if (index >= found->children.size()) return kErrorNoMoreItems;
  const std::wstring& childName = found->children[index].name;
  if (childName.size() >= bufferLength) return kErrorMoreData;
  name = childName;
  return kErrorSuccess;
}

}  // namespace platform

namespace fake {

void ResetRegistry() {
  State() = RegistryState{};
  // The keys a fresh 64-bit prefix already has, so enumeration sees the same siblings.
  MakeKey(Hive::CurrentUser, L"Software");
  MakeKey(Hive::LocalMachine, L"Software\\Wow6432Node");
  MakeKey(Hive::LocalMachine, L"Software").redirected = true;
}

void SetWow64(bool isWow64, bool queryFails) {
  State().wow64 = isWow64;
  State().wow64QueryFails = queryFails;
}

int Wow64QueryCount() {
  return State().wow64Queries;
}

bool AnswerWow64Query(bool& isWow64) {
  ++State().wow64Queries;
  if (State().wow64QueryFails) return false;
  isWow64 = State().wow64;
  return true;
}

void PutValue(Hive hive, const std::wstring& path, const std::wstring& name, std::uint32_t type,
              const std::vector<std::uint8_t>& data) {
  Key& key = MakeKey(hive, path);
  Value* value = FindValue(key, name);
  if (value == nullptr) {
    key.values.push_back(Value{name, type, data});
  } else {
    value->type = type;
    value->data = data;
  }
}

void PutString(Hive hive, const std::wstring& path, const std::wstring& name,
               const std::wstring& text, std::uint32_t type) {
  PutValue(hive, path, name, type, EncodeUtf16(text));
}

void PutKey(Hive hive, const std::wstring& path) {
  MakeKey(hive, path);
}

bool GetString(Hive hive, const std::wstring& path, const std::wstring& name, std::wstring& text) {
  Key* key = Resolve(hive, SplitPath(path));
  const Value* value = key != nullptr ? FindValue(*key, name) : nullptr;
  if (value == nullptr ||
      (value->type != platform::kRegSz && value->type != platform::kRegExpandSz))
    return false;
  text = DecodeUtf16(value->data);
  return true;
}

bool KeyExists(Hive hive, const std::wstring& path) {
  return Resolve(hive, SplitPath(path)) != nullptr;
}

void FailQueries(Hive hive, const std::wstring& path, const std::wstring& name, int count,
                 std::int32_t status) {
  State().queryFailures.push_back(QueryFailure{hive, path, name, count, status});
}

void FailSets(const std::wstring& name, std::int32_t status) {
  State().setFailures.emplace_back(name, status);
}

void FailCreate(std::int32_t status) {
  State().createFailure = status;
}

int QueryCount(const std::wstring& name) {
  for (const auto& [counted, count] : State().queryCounts) {
    if (SameName(counted, name)) return count;
  }
  return 0;
}

int OpenKeyCount(Hive hive) {
  return State().openCounts[hive == Hive::CurrentUser ? 0 : 1];
}

int OpenHandleCount() {
  return static_cast<int>(State().handles.size());
}

}  // namespace fake
