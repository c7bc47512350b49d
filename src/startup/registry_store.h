// Reads and writes the startup settings under the Kelvor registry key.
#pragma once

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
