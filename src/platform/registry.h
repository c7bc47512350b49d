// What the core may ask of the Windows registry; the bodies are registry_win.cpp and a test fake.
#pragma once

#include <cstdint>
#include <string>

#include "platform/unique_handle.h"

namespace platform {

enum class Hive { CurrentUser, LocalMachine };

// Win32 values, spelled out here because the core never includes <windows.h>.
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kKeyWow64_64Key = 0x0100;  // a 32-bit process must ask for 64
inline constexpr std::uint32_t kKeyWow64_32Key = 0x0200;
inline constexpr std::uint32_t kKeyWrite = 0x20006;

inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorAccessDenied = 5;
inline constexpr std::int32_t kErrorInvalidHandle = 6;
inline constexpr std::int32_t kErrorMoreData = 234;
inline constexpr std::int32_t kErrorNoMoreItems = 259;

// An open registry key. The value is an HKEY on Windows and a fake's index elsewhere;
// 0 means no key. Closing is RegCloseKey.
using RegistryHandle = std::uintptr_t;
void CloseRegistryKey(RegistryHandle handle);

struct RegistryKeyTraits {
  using Handle = RegistryHandle;
  static RegistryHandle Invalid() { return 0; }
  static void Close(RegistryHandle handle) { CloseRegistryKey(handle); }
};
// Owns one open key; a copy would close it twice.
using RegistryKey = UniqueHandle<RegistryKeyTraits>;

// Each call returns the Win32 status (0 on success). Out-parameters are left untouched on failure.

// RegOpenKeyExW below a hive; `access` may carry a kKeyWow64_* view flag.
std::int32_t OpenRegistryKey(Hive hive, const std::wstring& path, std::uint32_t access,
                             RegistryKey& key);
// RegOpenKeyExW below an open key.
std::int32_t OpenRegistrySubKey(const RegistryKey& parent, const std::wstring& path,
                                std::uint32_t access, RegistryKey& key);
// RegCreateKeyExW: non-volatile, no class, no security attributes.
std::int32_t CreateRegistryKey(Hive hive, const std::wstring& path, std::uint32_t access,
                               RegistryKey& key);
// RegQueryValueExW. `sizeInBytes` is the room offered in `data` (which may be null with room 0)
// and comes back as the size written or, with kErrorMoreData, the size needed. String data is
// UTF-16LE bytes, whatever the width of wchar_t.
std::int32_t QueryRegistryValue(const RegistryKey& key, const std::wstring& name,
                                std::uint32_t& type, std::uint8_t* data,
                                std::uint32_t& sizeInBytes);
// RegSetValueExW with raw bytes.
std::int32_t SetRegistryValue(const RegistryKey& key, const std::wstring& name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t sizeInBytes);
// RegEnumKeyExW into a buffer of `bufferLength` characters (terminator included): kErrorMoreData
// when the name does not fit, kErrorNoMoreItems past the last subkey.
std::int32_t EnumRegistrySubKey(const RegistryKey& key, std::uint32_t index,
                                std::uint32_t bufferLength, std::wstring& name);

}  // namespace platform
