// The settings file: scanning entries, the location rule, every encoding, messages and saving.
#include "startup/settings_file.h"

#include <gtest/gtest.h>

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
};

StartupSettings ReadText(const std::wstring& text) {
  StartupSettings settings;
  settings.BaseDirectory = L"C:\\K";
  ReadSettingsText(settings, text);
  return settings;
}

TEST_F(SettingsFileTest, ReadsEntriesInAnyOrder) {
  const StartupSettings settings = ReadText(
      L"Verbose:yes\nLegacyMS2:No\nScale:1.5\nJava:jdk\\bin\\java.exe\nAntialias:on\n"
      L"AllowUIScale:Y\nDisableDD2:yellow\nKeepWS:y\nPreferIPv4:Yes\n"
      L"Arguments: -J-Xmx800m -nofontcheck\nVerbose:Yes\n");
  EXPECT_TRUE(settings.Verbose && settings.AllowUIScale && settings.DisableDD2 && settings.KeepWS &&
              settings.PreferIPv4 && settings.SkipFontCheck);
  EXPECT_FALSE(settings.LegacyMS2);
  EXPECT_EQ(settings.Scale, L"1.5");
  EXPECT_EQ(settings.Java, L"C:\\K\\jdk\\bin\\java.exe");
  EXPECT_TRUE(settings.ArgumentsPresent);
  EXPECT_EQ(settings.Arguments, L" -J-Xmx800m -nofontcheck");  // the leading space is kept
  EXPECT_EQ(settings.MaxMemoryMB, 800);
}

// Each case reads one text into default settings and checks the fields it should touch.
TEST_F(SettingsFileTest, MalformedAndEdgeLines) {
  const struct {
    const wchar_t* name;
    const wchar_t* text;
    bool verbose;
    bool legacyMS2;
    const wchar_t* scale;
  } cases[] = {
      {L"empty file", L"", false, true, L""},
      {L"space after colon", L"Verbose: Yes\n", false, true, L""},
      {L"space before colon", L"Verbose :Yes\n", false, true, L""},
      {L"leading space on first line", L" Verbose:Yes\n", false, true, L""},
      {L"indentation later is skipped", L"Scale:2\n \t\n\n  Verbose:Yes", true, true, L"2"},
      {L"empty value keeps the field", L"LegacyMS2:\nVerbose:Yes\n", true, true, L""},
      {L"colon at line start ends reading", L"Scale:1\n:x\nVerbose:Yes\n", false, true, L"1"},
      {L"line without colon joins the next", L"junk\nVerbose:Yes\nScale:3\n", false, true, L"3"},
      {L"no colon at all", L"Verbose", false, true, L""},
      {L"later colons belong to the value", L"Scale:a:b: \n", false, true, L"a:b: "},
      {L"keys are case-sensitive", L"verbose:Yes\nlegacyMS2:No\n", false, true, L""},
      {L"lone CR stays in the value", L"Scale:x\r\rVerbose:Yes\n", false, true,
       L"x\r\rVerbose:Yes"},
      {L"last line without line end", L"LegacyMS2:no", false, false, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name);
    const StartupSettings settings = ReadText(c.text);
    EXPECT_EQ(settings.Verbose, c.verbose);
    EXPECT_EQ(settings.LegacyMS2, c.legacyMS2);
    EXPECT_EQ(settings.Scale, c.scale);
    EXPECT_FALSE(settings.ArgumentsPresent);
  }
}

TEST_F(SettingsFileTest, KeyAndValueLimits) {
  const std::wstring key99(99, L'k');
  const std::wstring value999 = L"1" + std::wstring(998, L'x');
  EXPECT_EQ(ReadText(L"Scale:" + value999 + L"\n").Scale, value999);
  // Over a limit the entry is lost whole, never applied cut short, and reading goes on.
  const StartupSettings overlong =
      ReadText(L"Scale:" + value999 + L"y\n" + key99 + L":a\n" + key99 + L"k:b\nVerbose:Yes\n");
  EXPECT_EQ(overlong.Scale, L"");
  EXPECT_TRUE(overlong.Verbose);
  // A 99-character key is read (and, being unknown, ignored) without ending the reading.
  EXPECT_TRUE(ReadText(key99 + L":x\nVerbose:Yes").Verbose);
}

TEST_F(SettingsFileTest, HugeLinesAreSkippedInOnePass) {
  const std::wstring huge(1 << 20, L'x');
  EXPECT_TRUE(ReadText(L"Scale:" + huge + L"\nVerbose:Yes\n").Verbose);
  EXPECT_TRUE(ReadText(L"Verbose:Yes\n" + huge).Verbose);  // an endless key just ends the reading
  EXPECT_EQ(ReadText(L"Scale:7\n" + std::wstring(1 << 20, L'\n') + L"Verbose:Yes").Scale, L"7");
}

TEST_F(SettingsFileTest, LocationIsTwoLevelsAboveTheProgramsFolder) {
  const struct {
    const wchar_t* programPath;
    const wchar_t* baseDirectory;  // null: the directory-structure error
    const wchar_t* settingsFilePath;
  } cases[] = {
      {L"C:\\K\\bin\\win\\kss.exe", L"C:\\K", L"C:\\K\\Kelvor_ss"},
      {L"C:\\a\\b\\prog.exe", L"C:\\", L"C:\\Kelvor_ss"},
      {L"C:/K//bin/win/kss.exe", L"C:/K", L"C:/K\\Kelvor_ss"},
      {L"\\\\srv\\share\\K\\bin\\win\\kss.exe", L"\\\\srv\\share\\K",
       L"\\\\srv\\share\\K\\Kelvor_ss"},
      {L"C:\\b\\prog.exe", nullptr, nullptr},
      {L"prog.exe", nullptr, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "program: " << c.programPath);
    fake::SetProgramPath(c.programPath);
    StartupSettings settings;
    std::wstring errorText;
    const bool loaded = LoadSettingsFromFile(settings, errorText);
    EXPECT_FALSE(loaded);  // no file exists anywhere here
    if (c.baseDirectory == nullptr) {
      EXPECT_EQ(errorText, L"Error loading settings. Kelvor directory structure not as expected.");
      EXPECT_EQ(settings.SettingsFilePath, L"");
    } else {
      EXPECT_EQ(settings.BaseDirectory, c.baseDirectory);
      EXPECT_EQ(settings.SettingsFilePath, c.settingsFilePath);
    }
  }
}

TEST_F(SettingsFileTest, LoadFailureMessages) {
  fake::SetSystemMessage(122, L"The data area passed to a system call is too small.");
  fake::SetProgramPath(L"", 122);
  StartupSettings settings;
  std::wstring errorText = L"sentinel";
  EXPECT_FALSE(LoadSettingsFromFile(settings, errorText));
  EXPECT_EQ(errorText,
            L"sentinelError loading settings. Could not get module filename.\n\n\n"
            L"Error # 122 = 0x7a :\nThe data area passed to a system call is too small.");

  fake::SetProgramPath(L"C:\\K\\bin\\win\\kss.exe");
  errorText.clear();
  EXPECT_FALSE(LoadSettingsFromFile(settings, errorText));
  EXPECT_EQ(errorText, L"Could not open file \"C:\\K\\Kelvor_ss\" for reading.\n\n\nError # 2 :\n" +
                           platform::RuntimeErrorText(2));

  fake::WriteFile(L"C:\\K\\Kelvor_ss", "\xFE\xFF\0V\0e\0r"s);
  errorText.clear();
  EXPECT_FALSE(LoadSettingsFromFile(settings, errorText));
  EXPECT_EQ(errorText,
            L"Could not open file \"C:\\K\\Kelvor_ss\" for reading.\n\n\nError # 22 = 0x16 :\n" +
                platform::RuntimeErrorText(22));
}

TEST_F(SettingsFileTest, LoadsEveryEncoding) {
  const std::string utf8Body = "Verbose:Yes\r\nScale:\xC3\xA9\r\n";
  const std::string utf16Body = "V\0e\0r\0b\0o\0s\0e\0:\0Y\0\r\0\n\0S\0c\0a\0l\0e\0:\0\xE9\0"s;
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"UTF-8", utf8Body},
      {"UTF-8 with mark", "\xEF\xBB\xBF" + utf8Body},
      {"UTF-16LE with mark", "\xFF\xFE"s + utf16Body},
      {"LF line ends", "Verbose:Yes\nScale:\xC3\xA9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fake::WriteFile(L"C:\\K\\Kelvor_ss", c.bytes);
    StartupSettings settings;
    std::wstring errorText;
    EXPECT_TRUE(LoadSettingsFromFile(settings, errorText));
    EXPECT_EQ(errorText, L"");
    EXPECT_TRUE(settings.Verbose);
    EXPECT_EQ(settings.Scale, std::wstring(1, static_cast<wchar_t>(0xE9)));
  }
}

TEST_F(SettingsFileTest, EmptyFileLoadsWithDefaults) {
  fake::WriteFile(L"C:\\K\\Kelvor_ss", "");
  StartupSettings settings;
  std::wstring errorText;
  EXPECT_TRUE(LoadSettingsFromFile(settings, errorText));
  EXPECT_TRUE(settings.LegacyMS2);
  EXPECT_FALSE(settings.ArgumentsPresent);
  EXPECT_EQ(settings.Java, L"");
}

TEST_F(SettingsFileTest, SavesTheExampleByteForByte) {
  StartupSettings settings;
  settings.SettingsFilePath = L"C:\\K\\Kelvor_ss";
  settings.Arguments = L" -J-Xmx1024m";
  settings.Java = L"C:\\K\\jdk\\bin\\java.exe";
  settings.AllowUIScale = true;
  fake::WriteFile(settings.SettingsFilePath, std::string(5000, 'z'));  // longer: must be cut
  std::wstring errorText;
  ASSERT_TRUE(SaveSettingsToFile(settings, errorText));
  EXPECT_EQ(fake::ReadFile(settings.SettingsFilePath),
            "Arguments: -J-Xmx1024m\r\nJava:C:\\K\\jdk\\bin\\java.exe\r\nVerbose:No\r\n"
            "AllowUIScale:Yes\r\nDisableDD2:No\r\nKeepWS:No\r\nLegacyMS2:Yes\r\nPreferIPv4:No\r\n");
  EXPECT_EQ(errorText, L"");
}

TEST_F(SettingsFileTest, SaveThenLoadGivesTheSameRecord) {
  StartupSettings saved;
  saved.SetSettings(true, false, true, false, true, false, true, 4096, L"C:\\K\\jdk\\bin\\java.exe",
                    L"\x00e9:2");
  saved.SettingsFilePath = L"C:\\K\\Kelvor_ss";
  fake::MakeDirectory(L"C:\\K");
  std::wstring errorText;
  ASSERT_TRUE(SaveSettingsToFile(saved, errorText));
  StartupSettings loaded;
  ASSERT_TRUE(LoadSettingsFromFile(loaded, errorText)) << errorText;
  EXPECT_EQ(SettingsFileContent(loaded), SettingsFileContent(saved));
  EXPECT_EQ(loaded.MaxMemoryMB, 4096);
  EXPECT_TRUE(loaded.SkipFontCheck);
}

TEST_F(SettingsFileTest, SaveWritesAtLeastSevenLines) {
  const StartupSettings settings;
  EXPECT_EQ(SettingsFileContent(settings),
            L"Arguments:\nVerbose:No\nAllowUIScale:No\nDisableDD2:No\nKeepWS:No\n"
            L"LegacyMS2:Yes\nPreferIPv4:No\n");
}

TEST_F(SettingsFileTest, SaveFailsWhenTheFileCannotBeOpened) {
  StartupSettings settings;
  settings.SettingsFilePath = L"C:\\missing\\Kelvor_ss";
  std::wstring errorText = L"A.";
  EXPECT_FALSE(SaveSettingsToFile(settings, errorText));
  EXPECT_EQ(errorText,
            L"A.Unable to open settings file \"C:\\missing\\Kelvor_ss\" for writing.\n\n\n"
            L"Error # 2 :\n" +
                platform::RuntimeErrorText(2));
}

}  // namespace
