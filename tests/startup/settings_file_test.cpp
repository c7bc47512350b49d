// The settings file: scanning entries, the location rule, every encoding, messages and saving.
#include "startup/settings_file.h"

#include <gtest/gtest.h>

#include <tuple>

#include "fakes/fake_platform.h"
#include "platform/files.h"

namespace {

using namespace std::string_literals;

class SettingsFileTest : public testing::Test {
 protected:
  void SetUp() override {
    fake::ResetAll();
    fake::SetProgramPath(L"C:\\K\\bin\\win\\kss.exe");
  }
  static StartupSettings Read(const std::wstring& text) {
    StartupSettings settings;
    settings.BaseDirectory = L"C:\\K";
    ReadSettingsText(settings, text);
    return settings;
  }
  std::wstring Load(const std::string& bytes, StartupSettings& settings) {
    fake::WriteFile(L"C:\\K\\Kelvor_ss", bytes);
    std::wstring errorText;
    const bool loaded = LoadSettingsFromFile(settings, errorText);
    EXPECT_EQ(loaded, errorText.empty());
    return errorText;
  }
};

TEST_F(SettingsFileTest, ReadsEntriesAndSkipsMalformedOnes) {
  const std::tuple<const wchar_t*, bool, const wchar_t*> cases[] = {
      // text, Verbose, Scale
      {L"Verbose: Yes\nVerbose :Yes\nverbose:Yes\nScale:a:b \n", false, L"a:b "},
      {L" Verbose:Yes", false, L""},  // the first line's indentation is part of the key
      {L"Scale:2\n \t\n\n  Verbose:Yes", true, L"2"},
      {L"Verbose:Yes\nScale:1\nScale:\n", true, L"1"},  // an empty value keeps the field
      {L"Scale:1\n:x\nVerbose:Yes\n", false, L"1"},     // a colon at line start ends it all
      {L"junk\nVerbose:Yes\nScale:3", false, L"3"},     // the key 'junk\nVerbose' is lost
      {L"Scale:x\r\rVerbose:Yes", false, L"x\r\rVerbose:Yes"},
  };
  for (const auto& [text, verbose, scale] : cases) {
    const StartupSettings settings = Read(text);
    EXPECT_EQ(settings.Verbose, verbose) << text;
    EXPECT_EQ(settings.Scale, scale) << text;
  }
  const StartupSettings full = Read(L"Arguments: -J-Xmx800m\nJava:jdk\\java.exe\nLegacyMS2:no");
  EXPECT_EQ(full.Arguments, L" -J-Xmx800m");
  EXPECT_EQ(full.MaxMemoryMB, 800);
  EXPECT_EQ(full.Java, L"C:\\K\\jdk\\java.exe");
  EXPECT_FALSE(full.LegacyMS2);
}

TEST_F(SettingsFileTest, LimitsAndHugeLines) {
  const std::wstring key99(99, L'k');
  const std::wstring value999(999, L'v');
  EXPECT_EQ(Read(L"Scale:" + value999).Scale, value999);
  // Past a limit only that entry is lost, never applied cut short; reading goes on.
  const StartupSettings over =
      Read(L"Scale:" + value999 + L"v\n" + key99 + L"k:1\n" + key99 + L":2\nVerbose:Yes");
  EXPECT_EQ(over.Scale, L"");
  EXPECT_TRUE(over.Verbose);
  const std::wstring huge(1 << 20, L'x');
  EXPECT_TRUE(Read(L"Scale:" + huge + L"\nVerbose:Yes\n" + huge).Verbose);
}

TEST_F(SettingsFileTest, LocationAndEncodings) {
  StartupSettings settings;
  const std::string utf16 = "\xFF\xFEV\0e\0r\0b\0o\0s\0e\0:\0Y\0\r\0\n\0S\0c\0a\0l\0e\0:\0\xE9\0"s;
  for (const std::string& bytes :
       {"Verbose:Yes\r\nScale:\xC3\xA9\r\n"s, "\xEF\xBB\xBFVerbose:Yes\nScale:\xC3\xA9"s, utf16}) {
    settings = StartupSettings();
    EXPECT_EQ(Load(bytes, settings), L"");
    EXPECT_TRUE(settings.Verbose);
    EXPECT_EQ(settings.Scale, std::wstring(1, static_cast<wchar_t>(0xE9)));
    EXPECT_EQ(settings.BaseDirectory, L"C:\\K");
  }
  EXPECT_EQ(Load("\xFE\xFF\0V"s, settings),
            L"Could not open file \"C:\\K\\Kelvor_ss\" for reading.\n\n\nError # 22 = 0x16 :\n" +
                platform::RuntimeErrorText(22));
  fake::SetProgramPath(L"C:\\a\\b\\prog.exe");
  EXPECT_EQ(Load("", settings),
            L"Could not open file \"C:\\Kelvor_ss\" for reading.\n\n\n"
            L"Error # 2 :\n" +
                platform::RuntimeErrorText(2));
  fake::SetProgramPath(L"C:\\b\\prog.exe");
  EXPECT_EQ(Load("", settings),
            L"Error loading settings. Kelvor directory structure not as expected.");
  fake::SetSystemMessage(122, L"Too small.");
  fake::SetProgramPath(L"", 122);
  EXPECT_EQ(Load("", settings),
            L"Error loading settings. Could not get module filename.\n\n\n"
            L"Error # 122 = 0x7a :\nToo small.");
}

TEST_F(SettingsFileTest, SavesTheExampleAndReportsAnOpenFailure) {
  StartupSettings settings;
  settings.SetSettings(false, true, false, false, false, true, false, 1024,
                       L"C:\\K\\jdk\\bin\\java.exe", L"");
  settings.SettingsFilePath = L"C:\\K\\Kelvor_ss";
  fake::WriteFile(settings.SettingsFilePath, std::string(5000, 'z'));  // longer: must be cut
  std::wstring errorText;
  ASSERT_TRUE(SaveSettingsToFile(settings, errorText));
  EXPECT_EQ(fake::ReadFile(settings.SettingsFilePath),
            "Arguments: -J-Xmx1024m\r\nJava:C:\\K\\jdk\\bin\\java.exe\r\nVerbose:No\r\n"
            "AllowUIScale:Yes\r\nDisableDD2:No\r\nKeepWS:No\r\nLegacyMS2:Yes\r\nPreferIPv4:No\r\n");
  settings.SettingsFilePath = L"C:\\missing\\Kelvor_ss";
  EXPECT_FALSE(SaveSettingsToFile(settings, errorText));
  EXPECT_EQ(errorText,
            L"Unable to open settings file \"C:\\missing\\Kelvor_ss\" for writing."
            L"\n\n\nError # 2 :\n" +
                platform::RuntimeErrorText(2));
}

}  // namespace
