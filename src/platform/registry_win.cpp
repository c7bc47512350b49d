// The registry seam over advapi32.
#include <windows.h>

#include <vector>

#include "platform/registry.h"
#include "platform/unique_handle_win.h"

namespace platform {
namespace {

HKEY RootOf(Hive hive) {
  return hive == Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

HKEY ToHkey(RegistryHandle handle) {
  return reinterpret_cast<HKEY>(handle);
}

// Hands a freshly opened key to the caller's owner, closing whatever it held before.
std::int32_t Adopt(LONG status, UniqueRegKey& opened, RegistryKey& key) {
  if (status != ERROR_SUCCESS) return status;
  key.Reset(reinterpret_cast<RegistryHandle>(opened.Release()));
  return ERROR_SUCCESS;
}

}  // namespace

void CloseRegistryKey(RegistryHandle handle) {
  RegCloseKey(ToHkey(handle));
}

std::int32_t OpenRegistryKey(Hive hive, const std::wstring& path, std::uint32_t access,
                             RegistryKey& key) {
  HKEY raw = nullptr;
  const LONG status = RegOpenKeyExW(RootOf(hive), path.c_str(), 0, access, &raw);
  UniqueRegKey opened(status == ERROR_SUCCESS ? raw : nullptr);
  return Adopt(status, opened, key);
}

std::int32_t OpenRegistrySubKey(const RegistryKey& parent, const std::wstring& path,
                                std::uint32_t access, RegistryKey& key) {
  HKEY raw = nullptr;
  const LONG status = RegOpenKeyExW(ToHkey(parent.Get()), path.c_str(), 0, access, &raw);
  UniqueRegKey opened(status == ERROR_SUCCESS ? raw : nullptr);
  return Adopt(status, opened, key);
}

std::int32_t CreateRegistryKey(Hive hive, const std::wstring& path, std::uint32_t access,
                               RegistryKey& key) {
  HKEY raw = nullptr;
  const LONG status = RegCreateKeyExW(RootOf(hive), path.c_str(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, access, nullptr, &raw, nullptr);
  UniqueRegKey opened(status == ERROR_SUCCESS ? raw : nullptr);
  return Adopt(status, opened, key);
}

std::int32_t QueryRegistryValue(const RegistryKey& key, const std::wstring& name,
                                std::uint32_t& type, std::uint8_t* data,
                                std::uint32_t& sizeInBytes) {
  DWORD valueType = 0;
  DWORD size = sizeInBytes;
  const LONG status =
      RegQueryValueExW(ToHkey(key.Get()), name.c_str(), nullptr, &valueType, data, &size);
  if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
    type = valueType;
    sizeInBytes = size;
  }
  return status;
}

std::int32_t SetRegistryValue(const RegistryKey& key, const std::wstring& name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t sizeInBytes) {
  return RegSetValueExW(ToHkey(key.Get()), name.c_str(), 0, type, data, sizeInBytes);
}

std::int32_t EnumRegistrySubKey(const RegistryKey& key, std::uint32_t index,
                                std::uint32_t bufferLength, std::wstring& name) {
  std::vector<wchar_t> buffer(bufferLength + 1);  // never empty, whatever the caller offers
  DWORD length = bufferLength;
  const LONG status = RegEnumKeyExW(ToHkey(key.Get()), index, buffer.data(), &length, nullptr,
                                    nullptr, nullptr, nullptr);
  if (status == ERROR_SUCCESS) name.assign(buffer.data(), length);
  return status;
}

}  // namespace platform
