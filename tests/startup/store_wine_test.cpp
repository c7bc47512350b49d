// Both settings stores against Wine's real registry and real files: round trips and a held file.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <tuple>

#include "platform/files.h"
#include "startup/registry_store.h"
#include "startup/settings_file.h"

TEST(StoreWine, RoundTripsAndAHeldFile) {
  const auto stored = [](const StartupSettings& s) {
    return std::tuple(s.Verbose, s.AllowUIScale, s.DisableDD2, s.KeepWS, s.SkipFontCheck,
                      s.LegacyMS2, s.PreferIPv4, s.MaxMemoryMB, s.Arguments, s.Java, s.Scale);
  };
  RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsRegistryPath);
  StartupSettings saved, fromRegistry, fromFile;
  // A Java path longer than the registry's first read buffer, and text beyond ASCII.
  saved.SetSettings(false, true, false, true, true, false, true, 3000,
                    std::wstring(300, L'j') + L"\\java.exe", L"\x00e9");
  std::wstring errorText;
  ASSERT_TRUE(SaveSettingsToRegistry(saved, errorText)) << errorText;
  LoadSettingsFromRegistry(fromRegistry);
  EXPECT_EQ(stored(fromRegistry), stored(saved));
  RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsRegistryPath);

  saved.SettingsFilePath = (std::filesystem::temp_directory_path() / "Kelvor_ss").wstring();
  ASSERT_TRUE(SaveSettingsToFile(saved, errorText)) << errorText;
  platform::UniqueFile file;
  ASSERT_EQ(platform::OpenFile(saved.SettingsFilePath, platform::FileAccess::Read, file), 0);
  ASSERT_EQ(ReadSettingsFile(fromFile, file.get()), 0);
  file.reset();
  EXPECT_EQ(stored(fromFile), stored(saved));
  // Wine enforces read-only files through Unix permissions, which do not bind root; a handle
  // that shares nothing refuses every run.
  const std::unique_ptr<void, decltype(&CloseHandle)> held(
      CreateFileW(saved.SettingsFilePath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                  nullptr),
      &CloseHandle);
  ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(SaveSettingsToFile(saved, errorText));
  EXPECT_EQ(errorText, L"Unable to open settings file \"" + saved.SettingsFilePath +
                           L"\" for writing.\n\n\nError # 13 = 0xd :\n" +
                           platform::RuntimeErrorText(13));
}
