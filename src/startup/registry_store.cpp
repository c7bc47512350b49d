// Reads and writes the startup settings under the Kelvor registry key.
#include "startup/registry_store.h"

#include "common/registry_string.h"
#include "startup/error_text.h"

void ReadRegistrySettings(StartupSettings& settings, const platform::RegistryKey& key) {
  std::wstring text;
  if (ReadRegistryString(key, L"Arguments", text)) {
    settings.ArgumentsPresent = true;
    settings.Arguments = text;
    settings.ParseArguments(text);
  }
  for (const StoredSwitch& stored : kStoredSwitches) {
    if (ReadRegistryString(key, stored.key, text)) settings.*stored.field = ReadsAsYes(text);
  }
  if (ReadRegistryString(key, L"Java", text)) settings.SetJava(text, false);
  if (ReadRegistryString(key, L"Scale", text)) settings.Scale = text;
}

void LoadSettingsFromRegistry(StartupSettings& settings) {
  {
    platform::RegistryKey userKey;
    if (platform::OpenRegistryKey(platform::Hive::CurrentUser, kSettingsRegistryPath,
                                  platform::kKeyQueryValue, userKey) == platform::kErrorSuccess) {
      ReadRegistrySettings(settings, userKey);
    }
  }
  if (settings.ArgumentsPresent) return;
  // The machine's key stands in for a user who has never saved settings of their own.
  platform::RegistryKey machineKey;
  if (platform::OpenRegistryKey(platform::Hive::LocalMachine, kSettingsRegistryPath,
                                platform::kKeyQueryValue, machineKey) == platform::kErrorSuccess) {
    ReadRegistrySettings(settings, machineKey);
  }
}

bool SaveSettingsToRegistry(const StartupSettings& settings, std::wstring& errorText) {
  std::int32_t firstError = 0;
  {
    platform::RegistryKey key;
    const std::int32_t createStatus = platform::CreateRegistryKey(
        platform::Hive::CurrentUser, kSettingsRegistryPath, platform::kKeyWrite, key);
    if (createStatus != platform::kErrorSuccess) {
      errorText += L"Error saving settings. Could not create registry key HKCU\\";
      errorText += kSettingsRegistryPath;
      errorText += L".\n\n";
      AppendSystemErrorText(createStatus, errorText);
      return false;
    }
    // Every value is attempted, so one refused value does not cost the others.
    WriteRegistryString(key, L"Arguments", settings.Arguments, firstError);
    WriteRegistryString(key, L"Java", settings.Java, firstError);
    WriteRegistryString(key, L"Scale", settings.Scale, firstError);
    for (const StoredSwitch& stored : kStoredSwitches) {
      WriteRegistryString(key, stored.key, settings.*stored.field ? L"Yes" : L"No", firstError);
    }
  }
  if (firstError == 0) return true;
  errorText += L"Error saving one or more settings to the registry.\n\n";
  AppendSystemErrorText(firstError, errorText);
  return false;
}
