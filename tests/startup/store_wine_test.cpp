// The settings file on a real Windows file that another handle holds: what only Wine can show.
// Round trips of both stores on the real registry and files are the end-to-end suite's.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "startup/settings_file.h"

TEST(StoreWine, AHeldFileIsNotWritten) {
  StartupSettings settings;
  settings.SettingsFilePath = (std::filesystem::temp_directory_path() / "Kelvor_ss").wstring();
  std::wstring errorText;
  ASSERT_TRUE(SaveSettingsToFile(settings, errorText)) << errorText;
  // Wine enforces read-only files through Unix permissions, which do not bind root; a handle
  // that shares nothing refuses every run.
  const std::unique_ptr<void, decltype(&CloseHandle)> held(
      CreateFileW(settings.SettingsFilePath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                  nullptr),
      &CloseHandle);
  ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(SaveSettingsToFile(settings, errorText));
  EXPECT_EQ(errorText, L"Unable to open settings file \"" + settings.SettingsFilePath +
                           L"\" for writing.\n\n\nError # 13 = 0xd :\nPermission denied");
}
