// Reads and writes the startup settings under the Kelvor registry key, and reads any string value.
#include "startup/registry_store.h"

#include <algorithm>
#include <vector>

#include "startup/error_text.h"
#include "startup/text_encoding.h"

namespace {

constexpr int kQueryAttempts = 5;
constexpr std::size_t kInitialCharacters = 261;  // one more than offered: a zero always follows
constexpr std::uint32_t kLargestValueBytes = 0x7FFFFFF0u;

}  // namespace

bool ReadRegistryString(const platform::RegistryKey& key, const std::wstring& name,
                        std::wstring& out) {
  std::vector<std::uint8_t> buffer(kInitialCharacters * 2, 0);
  std::uint32_t offered = (kInitialCharacters - 1) * 2;
  for (int attempt = 0; attempt < kQueryAttempts; ++attempt) {
    std::uint32_t type = 0;
    std::uint32_t size = offered;
    const std::int32_t status = platform::QueryRegistryValue(key, name, type, buffer.data(), size);
    if (status == platform::kErrorSuccess) {
      if (type != platform::kRegSz && type != platform::kRegExpandSz) return false;
      // Only what this query wrote: a shorter value must not pick up an earlier attempt's bytes.
      out = DecodeUtf16Le(buffer.data(), std::min<std::size_t>(size, buffer.size()));
      return true;
    }
    // A size no registry value can have would wrap the growth arithmetic of a 32-bit build.
    if (status == platform::kErrorMoreData && size > offered && size < kLargestValueBytes) {
      buffer.resize((std::size_t{size} / 2 + 1) * 2, 0);
      offered = size;
    }
  }
  return false;
}

void WriteRegistryString(const platform::RegistryKey& key, const std::wstring& name,
                         const std::wstring& text, std::int32_t& firstError) {
  const std::vector<std::uint8_t> data = EncodeUtf16Le(text, true);
  const std::int32_t status = platform::SetRegistryValue(key, name, platform::kRegSz, data.data(),
                                                         static_cast<std::uint32_t>(data.size()));
  if (status != platform::kErrorSuccess && firstError == 0) firstError = status;
}

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
