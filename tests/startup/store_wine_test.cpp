// Both settings stores against Wine's real registry and files: round trips, refusals, fallback.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "startup/registry_store.h"
#include "startup/settings_file.h"
#include "startup/text_encoding.h"
#include "startup/windows_path.h"

namespace {

// Closes a raw file handle the test opens to lock a file.
struct ScopedFileHandle {
  explicit ScopedFileHandle(HANDLE opened) : handle(opened) {}
  ~ScopedFileHandle() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
  ScopedFileHandle(const ScopedFileHandle&) = delete;
  ScopedFileHandle& operator=(const ScopedFileHandle&) = delete;
  const HANDLE handle;
};

void DeleteSettingsKeys() {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    RegDeleteTreeW(root, kSettingsRegistryPath);
  }
}

void PutRegistryString(HKEY root, const wchar_t* name, const std::wstring& text,
                       DWORD type = REG_SZ) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, kSettingsRegistryPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  const std::vector<std::uint8_t> data = EncodeUtf16Le(text, true);
  const LONG status =
      RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
  RegCloseKey(key);
  ASSERT_EQ(status, ERROR_SUCCESS);
}

class RegistryStoreWineTest : public testing::Test {
 protected:
  void SetUp() override { DeleteSettingsKeys(); }
  void TearDown() override { DeleteSettingsKeys(); }
};

TEST_F(RegistryStoreWineTest, SaveAndLoadRoundTrip) {
  StartupSettings saved;
  saved.SetSettings(true, true, false, true, true, false, true, 3000,
                    std::wstring(300, L'j') + L"\\java.exe", L"\x00e9");
  std::wstring errorText;
  ASSERT_TRUE(SaveSettingsToRegistry(saved, errorText)) << errorText;

  StartupSettings loaded;
  LoadSettingsFromRegistry(loaded);
  EXPECT_TRUE(loaded.ArgumentsPresent);
  EXPECT_EQ(loaded.Arguments, L" -J-Xmx3000m -nofontcheck");
  EXPECT_EQ(loaded.MaxMemoryMB, 3000);
  EXPECT_TRUE(loaded.SkipFontCheck);
  EXPECT_EQ(loaded.Java, saved.Java);  // longer than the first buffer: it had to grow
  EXPECT_EQ(loaded.Scale, saved.Scale);
  EXPECT_TRUE(loaded.Verbose && loaded.AllowUIScale && loaded.KeepWS && loaded.PreferIPv4);
  EXPECT_FALSE(loaded.DisableDD2 || loaded.LegacyMS2);
}

TEST_F(RegistryStoreWineTest, ReadRegistryStringTypes) {
  PutRegistryString(HKEY_CURRENT_USER, L"Expand", L"%SystemRoot%\\x", REG_EXPAND_SZ);
  PutRegistryString(HKEY_CURRENT_USER, L"Empty", L"");
  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsRegistryPath, 0, KEY_SET_VALUE, &raw), 0);
  const DWORD number = 1;
  RegSetValueExW(raw, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                 sizeof number);
  RegCloseKey(raw);

  platform::RegistryKey key;
  ASSERT_EQ(platform::OpenRegistryKey(platform::Hive::CurrentUser, kSettingsRegistryPath,
                                      platform::kKeyQueryValue, key),
            0);
  std::wstring out = L"sentinel";
  EXPECT_TRUE(ReadRegistryString(key, L"Expand", out));
  EXPECT_EQ(out, L"%SystemRoot%\\x");
  EXPECT_TRUE(ReadRegistryString(key, L"Empty", out));
  EXPECT_EQ(out, L"");
  out = L"sentinel";
  EXPECT_FALSE(ReadRegistryString(key, L"Number", out));
  EXPECT_FALSE(ReadRegistryString(key, L"Missing", out));
  EXPECT_EQ(out, L"sentinel");
}

TEST_F(RegistryStoreWineTest, MachineKeyFillsInOnlyWithoutUserArguments) {
  PutRegistryString(HKEY_LOCAL_MACHINE, L"Arguments", L" -J-Xmx256m");
  PutRegistryString(HKEY_LOCAL_MACHINE, L"Verbose", L"No");
  PutRegistryString(HKEY_CURRENT_USER, L"Verbose", L"Yes");
  PutRegistryString(HKEY_CURRENT_USER, L"KeepWS", L"Yes");
  StartupSettings settings;
  LoadSettingsFromRegistry(settings);
  EXPECT_EQ(settings.MaxMemoryMB, 256);
  EXPECT_FALSE(settings.Verbose);
  EXPECT_TRUE(settings.KeepWS);

  PutRegistryString(HKEY_CURRENT_USER, L"Arguments", L"");
  StartupSettings userOnly;
  LoadSettingsFromRegistry(userOnly);
  EXPECT_EQ(userOnly.MaxMemoryMB, 0);
  EXPECT_TRUE(userOnly.Verbose);
}

class SettingsFileWineTest : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    directory_ = windows_path::Join(temp, L"kelvor_store_test");
    CreateDirectoryW(directory_.c_str(), nullptr);
    settings_.SettingsFilePath = windows_path::Join(directory_, L"Kelvor_ss");
    settings_.BaseDirectory = directory_;
    SetFileAttributesW(settings_.SettingsFilePath.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(settings_.SettingsFilePath.c_str());
  }
  void TearDown() override {
    SetFileAttributesW(settings_.SettingsFilePath.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(settings_.SettingsFilePath.c_str());
    RemoveDirectoryW(directory_.c_str());
  }
  std::string FileBytes() {
    platform::UniqueFile file;
    std::string bytes;
    bool truncated = false;
    if (platform::OpenFile(settings_.SettingsFilePath, platform::FileAccess::Read, file) == 0) {
      platform::ReadFileBytes(file.get(), 1 << 20, bytes, truncated);
    }
    return bytes;
  }
  void WriteBytes(const std::string& bytes) {
    platform::UniqueFile file;
    ASSERT_EQ(platform::OpenFile(settings_.SettingsFilePath, platform::FileAccess::Write, file), 0);
    ASSERT_EQ(platform::WriteFileBytes(file.get(), bytes), 0);
  }
  // Reads the file back through the same open and read as the load uses.
  int ReadBack(StartupSettings& settings) {
    platform::UniqueFile file;
    const int openError =
        platform::OpenFile(settings_.SettingsFilePath, platform::FileAccess::Read, file);
    return openError != 0 ? openError : ReadSettingsFile(settings, file.get());
  }

  std::wstring directory_;
  StartupSettings settings_;
};

TEST_F(SettingsFileWineTest, SaveWritesCrLfUtf8WithoutMarkAndReadsBack) {
  settings_.SetSettings(false, true, false, false, false, true, false, 1024, L"jdk\\bin\\java.exe",
                        L"\x00e9");
  std::wstring errorText;
  ASSERT_TRUE(SaveSettingsToFile(settings_, errorText)) << errorText;
  EXPECT_EQ(FileBytes(),
            "Arguments: -J-Xmx1024m\r\nJava:jdk\\bin\\java.exe\r\nScale:\xC3\xA9\r\nVerbose:No\r\n"
            "AllowUIScale:Yes\r\nDisableDD2:No\r\nKeepWS:No\r\nLegacyMS2:Yes\r\nPreferIPv4:No\r\n");
  StartupSettings loaded;
  loaded.BaseDirectory = directory_;
  ASSERT_EQ(ReadBack(loaded), 0);
  EXPECT_EQ(loaded.Java, windows_path::Join(directory_, L"jdk\\bin\\java.exe"));
  EXPECT_EQ(loaded.Scale, L"\x00e9");
  EXPECT_EQ(loaded.MaxMemoryMB, 1024);
}

TEST_F(SettingsFileWineTest, ReadsUtf16AndRefusesBigEndian) {
  WriteBytes(std::string("\xFF\xFEK\0e\0e\0p\0W\0S\0:\0Y\0\r\0\n\0", 24));
  StartupSettings loaded;
  EXPECT_EQ(ReadBack(loaded), 0);
  EXPECT_TRUE(loaded.KeepWS);
  WriteBytes(std::string("\xFE\xFF\0K", 4));
  EXPECT_EQ(ReadBack(loaded), 22);
}

TEST_F(SettingsFileWineTest, ReadOnlyFileCannotBeSaved) {
  WriteBytes("Verbose:Yes\r\n");
  ASSERT_TRUE(SetFileAttributesW(settings_.SettingsFilePath.c_str(), FILE_ATTRIBUTE_READONLY));
  {
    // Wine enforces the attribute through Unix permissions, which do not bind root.
    const ScopedFileHandle probe(CreateFileW(settings_.SettingsFilePath.c_str(), GENERIC_WRITE, 0,
                                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                             nullptr));
    if (probe.handle != INVALID_HANDLE_VALUE) GTEST_SKIP() << "read-only files are writable here";
  }
  std::wstring errorText;
  EXPECT_FALSE(SaveSettingsToFile(settings_, errorText));
  EXPECT_EQ(errorText, L"Unable to open settings file \"" + settings_.SettingsFilePath +
                           L"\" for writing.\n\n\nError # 13 = 0xd :\n" +
                           platform::RuntimeErrorText(13));
  EXPECT_EQ(FileBytes(), "Verbose:Yes\r\n");
}

TEST_F(SettingsFileWineTest, DirectoryInThePlaceOfTheFileCannotBeSaved) {
  ASSERT_TRUE(CreateDirectoryW(settings_.SettingsFilePath.c_str(), nullptr));
  std::wstring errorText;
  EXPECT_FALSE(SaveSettingsToFile(settings_, errorText));
  RemoveDirectoryW(settings_.SettingsFilePath.c_str());
  EXPECT_EQ(errorText, L"Unable to open settings file \"" + settings_.SettingsFilePath +
                           L"\" for writing.\n\n\nError # 13 = 0xd :\n" +
                           platform::RuntimeErrorText(13));
}

TEST_F(SettingsFileWineTest, LockedFileCanNeitherBeReadNorSaved) {
  WriteBytes("Verbose:Yes\r\n");
  const ScopedFileHandle lock(CreateFileW(settings_.SettingsFilePath.c_str(),
                                          GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_NE(lock.handle, INVALID_HANDLE_VALUE);
  std::wstring errorText;
  EXPECT_FALSE(SaveSettingsToFile(settings_, errorText));
  EXPECT_EQ(errorText, L"Unable to open settings file \"" + settings_.SettingsFilePath +
                           L"\" for writing.\n\n\nError # 13 = 0xd :\n" +
                           platform::RuntimeErrorText(13));
  StartupSettings loaded;
  EXPECT_EQ(ReadBack(loaded), 13);
}

TEST(SettingsFileLocationWineTest, BaseDirectoryIsThreeStepsAboveTheProgram) {
  wchar_t module[MAX_PATH] = {};
  ASSERT_NE(GetModuleFileNameW(nullptr, module, MAX_PATH), 0u);
  std::wstring expected = module;
  for (int level = 0; level < 3; ++level) expected.resize(expected.find_last_of(L"\\/"));
  StartupSettings settings;
  std::wstring errorText;
  const bool loaded = LoadSettingsFromFile(settings, errorText);
  EXPECT_EQ(settings.BaseDirectory, expected);
  EXPECT_EQ(settings.SettingsFilePath, expected + L"\\Kelvor_ss");
  if (GetFileAttributesW(settings.SettingsFilePath.c_str()) == INVALID_FILE_ATTRIBUTES) {
    EXPECT_FALSE(loaded);
    EXPECT_EQ(errorText, L"Could not open file \"" + settings.SettingsFilePath +
                             L"\" for reading.\n\n\nError # 2 :\n" + platform::RuntimeErrorText(2));
  }
}

}  // namespace
