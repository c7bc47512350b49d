// The settings record: the tokens inside the argument string, Java path resolution, splitting.
#include "startup/startup_settings.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace {

class StartupSettingsTest : public testing::Test {
 protected:
  void SetUp() override { fake::ResetAll(); }
};

TEST_F(StartupSettingsTest, ParseArgumentsTakesTheTwoTokens) {
  const struct {
    const wchar_t* text;
    std::int32_t maxMemory;
    bool skipFontCheck;
  } cases[] = {
      {L"-Xfoo -J-Xmx256m  -J-Xmx512m /nofontcheck", 512, true},  // the later token wins
      {L"-J-Xmx0m", 0, false},
      {L"-J-Xmx-5m", -5, false},
      {L"-J-Xmx+7m", 7, false},
      {L"-J-Xmx512mb", 512, false},  // nothing after the "m" is examined
      {L"-J-Xmx2147483647m", 2147483647, false},
      {L"-J-Xmx-2147483648m", -2147483647 - 1, false},
      {L"-nofontcheckX", 77, true},
      {L"-J-Xmx100m\t-nofontcheck", 100, false},  // a tab does not split tokens
      // Refused memory tokens leave the sentinel.
      {L"-J-Xmxm -J-Xmx x-nofontcheck -nofontchec -NOFONTCHECK", 77, false},
      {L"-J-Xmx4g -J-Xmx512 -J-Xmx+m -J-Xmx 512m -j-Xmx5m", 77, false},
      {L"-J-Xmx2147483648m -J-Xmx-2147483649m -J-Xmx99999999999999999999m", 77, false},
      {L"-J-Xmx 12m", 77, false},
      {L"", 77, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "arguments: " << c.text);
    StartupSettings settings;
    settings.MaxMemoryMB = 77;
    settings.Arguments = L"kept";
    settings.ParseArguments(c.text);
    EXPECT_EQ(settings.MaxMemoryMB, c.maxMemory);
    EXPECT_EQ(settings.SkipFontCheck, c.skipFontCheck);
    EXPECT_EQ(settings.Arguments, L"kept");
  }
}

TEST_F(StartupSettingsTest, ParseArgumentsNeverClearsTheFontCheckSwitch) {
  StartupSettings settings;
  settings.SkipFontCheck = true;
  settings.ParseArguments(L"-J-Xmx64m");
  EXPECT_TRUE(settings.SkipFontCheck);
  EXPECT_EQ(settings.MaxMemoryMB, 64);
}

TEST_F(StartupSettingsTest, RebuildArgumentsWritesOnlyTheTwoTokens) {
  const struct {
    std::int32_t maxMemory;
    bool skipFontCheck;
    const wchar_t* arguments;
  } cases[] = {
      {512, true, L" -J-Xmx512m -nofontcheck"},
      {1024, false, L" -J-Xmx1024m"},
      {0, true, L" -nofontcheck"},
      {-5, false, L""},
      {0, false, L""},
  };
  for (const auto& c : cases) {
    StartupSettings settings;
    settings.Arguments = L"-Xfoo -J-Xmx9m";
    settings.MaxMemoryMB = c.maxMemory;
    settings.SkipFontCheck = c.skipFontCheck;
    settings.RebuildArguments();
    EXPECT_EQ(settings.Arguments, c.arguments);
  }
}

TEST_F(StartupSettingsTest, SetSettingsStoresEveryFieldAndRebuilds) {
  StartupSettings settings;
  settings.ArgumentsPresent = true;
  settings.BaseDirectory = L"C:\\K";
  settings.SettingsFilePath = L"C:\\K\\Kelvor_ss";
  settings.Arguments = L"-Xfoo";
  settings.SetSettings(true, true, true, true, true, false, true, 2048, L"jdk\\java.exe", L"150%");
  EXPECT_TRUE(settings.Verbose && settings.AllowUIScale && settings.DisableDD2 && settings.KeepWS &&
              settings.SkipFontCheck && settings.PreferIPv4);
  EXPECT_FALSE(settings.LegacyMS2);
  EXPECT_EQ(settings.MaxMemoryMB, 2048);
  EXPECT_EQ(settings.Java, L"jdk\\java.exe");  // stored as given, not resolved
  EXPECT_EQ(settings.Scale, L"150%");
  EXPECT_EQ(settings.Arguments, L" -J-Xmx2048m -nofontcheck");
  EXPECT_TRUE(settings.ArgumentsPresent);
  EXPECT_EQ(settings.BaseDirectory, L"C:\\K");
  EXPECT_EQ(settings.SettingsFilePath, L"C:\\K\\Kelvor_ss");
}

TEST_F(StartupSettingsTest, SetJavaResolvesOnlyWhenAskedAndRelative) {
  const struct {
    const wchar_t* text;
    bool resolveRelative;
    const wchar_t* java;
  } cases[] = {
      {L"jdk\\bin\\java.exe", true, L"C:\\K\\jdk\\bin\\java.exe"},
      {L"jdk\\bin\\java.exe", false, L"jdk\\bin\\java.exe"},
      {L"C:\\jdk\\bin\\java.exe", true, L"C:\\jdk\\bin\\java.exe"},
      {L"\\jdk\\java.exe", true, L"C:\\jdk\\java.exe"},
      {L"D:x", true, L"D:x"},
      {L"c:x", true, L"c:x"},
      {L"C:jdk", true, L"C:\\K\\jdk"},
      {L"\\\\server\\share\\java.exe", true, L"\\\\server\\share\\java.exe"},
      {L"", true, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "text: " << c.text);
    StartupSettings settings;
    settings.BaseDirectory = L"C:\\K";
    settings.Java = L"sentinel";
    settings.SetJava(c.text, c.resolveRelative);
    EXPECT_EQ(settings.Java, c.java);
  }
}

TEST_F(StartupSettingsTest, SplitTokensGivesMaximalRuns) {
  const struct {
    const wchar_t* text;
    const wchar_t* delimiters;
    std::vector<std::wstring> tokens;
  } cases[] = {
      {L"", L" ", {}},
      {L"   ", L" ", {}},
      {L"  a  bc ", L" ", {L"a", L"bc"}},
      {L"a\tb c", L" ", {L"a\tb", L"c"}},
      {L";a,,b;", L",;", {L"a", L"b"}},
      {L"abc", L"", {L"abc"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "text: " << c.text);
    EXPECT_EQ(SplitTokens(c.text, c.delimiters), c.tokens);
  }
}

TEST_F(StartupSettingsTest, ReadsAsYesLooksAtTheFirstCharacterOnly) {
  for (const wchar_t* yes : {L"Yes", L"yes", L"Y", L"Yellow"}) EXPECT_TRUE(ReadsAsYes(yes)) << yes;
  for (const wchar_t* no : {L"No", L"true", L"1", L"", L" Yes"}) EXPECT_FALSE(ReadsAsYes(no)) << no;
}

}  // namespace
