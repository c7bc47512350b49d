// Reads and writes the startup settings under the Kelvor registry key, and reads any string value.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"
#include "startup/startup_settings.h"

// Below HKEY_CURRENT_USER (read and written) and HKEY_LOCAL_MACHINE (read only).
inline constexpr wchar_t kSettingsRegistryPath[] = L"Software\\ORVEL\\KELVOR";

// Reads the user's key, then the machine's key over it when the user's key gave no "Arguments".
// Reports nothing: what cannot be read keeps its value.
void LoadSettingsFromRegistry(StartupSettings& settings);

// Reads the nine values from one open key; a value that cannot be read leaves its field alone.
void ReadRegistrySettings(StartupSettings& settings, const platform::RegistryKey& key);

// Writes the nine values under the user's key. False after appending to `errorText`; values
// written before a failure stay written.
bool SaveSettingsToRegistry(const StartupSettings& settings, std::wstring& errorText);

// Reads a REG_SZ or REG_EXPAND_SZ value (taken literally) of any length, in up to 5 queries.
// True with `out` set, or false with `out` untouched (missing, another type, or unreadable).
bool ReadRegistryString(const platform::RegistryKey& key, const std::wstring& name,
                        std::wstring& out);

// Writes `text` as REG_SZ with its terminator; the first failing status lands in `firstError`
// (which the caller starts at 0) and later ones do not replace it.
void WriteRegistryString(const platform::RegistryKey& key, const std::wstring& name,
                         const std::wstring& text, std::int32_t& firstError);
