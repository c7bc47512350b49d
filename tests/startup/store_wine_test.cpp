// Both settings stores against Wine's real registry and files: round trips, refusals, fallback.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/files.h"
#include "startup/registry_store.h"
#include "startup/settings_file.h"
#include "startup/windows_path.h"

namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};

TEST(StoreWine, RegistryRoundTripAndMachineFallback) {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
    RegDeleteTreeW(root, kSettingsRegistryPath);
  HKEY machine = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSettingsRegistryPath, 0, nullptr, 0, KEY_WRITE,
                            nullptr, &machine, nullptr),
            0);
  RegSetValueExW(machine, L"Verbose", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"Yes"), 8);
  RegSetValueExW(machine, L"Arguments", 0, REG_SZ, reinterpret_cast<const BYTE*>(L" -J-Xmx9m"), 20);
  RegCloseKey(machine);
  StartupSettings fromMachine;
  LoadSettingsFromRegistry(fromMachine);
  EXPECT_TRUE(fromMachine.Verbose);
  EXPECT_EQ(fromMachine.MaxMemoryMB, 9);

  StartupSettings saved;
  saved.SetSettings(false, true, false, true, true, false, true, 3000,
                    std::wstring(300, L'j') + L"\\java.exe", L"\x00e9");
  std::wstring errorText;
  ASSERT_TRUE(SaveSettingsToRegistry(saved, errorText)) << errorText;
  StartupSettings loaded;
  LoadSettingsFromRegistry(loaded);  // the user's key now has "Arguments": no fallback
  EXPECT_EQ(loaded.Arguments, L" -J-Xmx3000m -nofontcheck");
  EXPECT_EQ(loaded.Java, saved.Java);  // longer than the first buffer
  EXPECT_EQ(loaded.Scale, saved.Scale);
  EXPECT_TRUE(loaded.AllowUIScale && loaded.KeepWS && loaded.PreferIPv4 && loaded.SkipFontCheck);
  EXPECT_FALSE(loaded.Verbose || loaded.DisableDD2 || loaded.LegacyMS2);
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
    RegDeleteTreeW(root, kSettingsRegistryPath);
}

TEST(StoreWine, SettingsFileLocationRoundTripAndLockedFile) {
  wchar_t module[MAX_PATH] = {};
  ASSERT_NE(GetModuleFileNameW(nullptr, module, MAX_PATH), 0u);
  std::wstring expected = module;
  for (int level = 0; level < 3; ++level) expected.resize(expected.find_last_of(L"\\/"));
  StartupSettings located;
  std::wstring errorText;
  LoadSettingsFromFile(located, errorText);
  EXPECT_EQ(located.SettingsFilePath, expected + L"\\Kelvor_ss");

  wchar_t temp[MAX_PATH] = {};
  ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
  StartupSettings settings;
  settings.BaseDirectory = temp;
  settings.SettingsFilePath = windows_path::Join(temp, L"Kelvor_ss");
  settings.SetSettings(false, true, false, false, false, true, false, 1024, L"jdk\\java.exe",
                       L"\x00e9");
  errorText.clear();
  ASSERT_TRUE(SaveSettingsToFile(settings, errorText)) << errorText;
  {
    platform::UniqueFile file;
    ASSERT_EQ(platform::OpenFile(settings.SettingsFilePath, platform::FileAccess::Read, file), 0);
    StartupSettings loaded;
    loaded.BaseDirectory = settings.BaseDirectory;
    ASSERT_EQ(ReadSettingsFile(loaded, file.get()), 0);
    EXPECT_EQ(loaded.Java, windows_path::Join(settings.BaseDirectory, L"jdk\\java.exe"));
    EXPECT_EQ(loaded.Scale, settings.Scale);
    EXPECT_EQ(loaded.MaxMemoryMB, 1024);
  }
  // Wine honours share modes but enforces read-only files through Unix permissions, which do
  // not bind root; a lock held by another handle is the refusal every run can see.
  const std::unique_ptr<void, HandleCloser> lock(
      CreateFileW(settings.SettingsFilePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_NE(lock.get(), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(SaveSettingsToFile(settings, errorText));
  EXPECT_EQ(errorText, L"Unable to open settings file \"" + settings.SettingsFilePath +
                           L"\" for writing.\n\n\nError # 13 = 0xd :\n" +
                           platform::RuntimeErrorText(13));
}

}  // namespace
