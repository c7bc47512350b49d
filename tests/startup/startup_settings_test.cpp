// The settings record: the tokens inside the argument string, Java path resolution, splitting.
#include "startup/startup_settings.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(StartupSettings, ParseThenRebuildArguments) {
  // Text, then MaxMemoryMB (77: left as it was), SkipFontCheck and the rebuilt string.
  const std::tuple<const wchar_t*, std::int32_t, bool, const wchar_t*> cases[] = {
      {L"-Xfoo -J-Xmx256m  -J-Xmx512m /nofontcheck", 512, true, L" -J-Xmx512m -nofontcheck"},
      {L"-J-Xmx0m", 0, false, L""},
      {L"-J-Xmx-5m -nofontcheckX", -5, true, L" -nofontcheck"},
      {L"-J-Xmx+7mb", 7, false, L" -J-Xmx7m"},  // nothing after the "m" is examined
      {L"-J-Xmx-2147483648m", -2147483647 - 1, false, L""},
      {L"-J-Xmx100m\t-nofontcheck", 100, false, L" -J-Xmx100m"},  // a tab does not split
      {L"-J-Xmxm -J-Xmx x-nofontcheck -nofontchec -J-Xmx 12m", 77, false, L" -J-Xmx77m"},
      // Another unit or an overflow is refused, not taken as a bare number of megabytes.
      {L"-J-Xmx4g -J-Xmx512 -J-Xmx2147483648m -J-Xmx9999999999999m", 77, false, L" -J-Xmx77m"},
  };
  for (const auto& [text, maxMemory, skipFontCheck, rebuilt] : cases) {
    SCOPED_TRACE(testing::Message() << "arguments: " << text);
    StartupSettings settings;
    settings.MaxMemoryMB = 77;
    settings.Arguments = L"kept";
    settings.ParseArguments(text);
    EXPECT_EQ(settings.Arguments, L"kept");
    EXPECT_EQ(settings.MaxMemoryMB, maxMemory);
    EXPECT_EQ(settings.SkipFontCheck, skipFontCheck);
    settings.RebuildArguments();
    EXPECT_EQ(settings.Arguments, rebuilt);
  }
}

TEST(StartupSettings, SetJavaSplitTokensAndYes) {
  const std::tuple<const wchar_t*, bool, const wchar_t*> javaCases[] = {
      {L"jdk\\java.exe", true, L"C:\\K\\jdk\\java.exe"},
      {L"jdk\\java.exe", false, L"jdk\\java.exe"},
      {L"\\jdk\\java.exe", true, L"C:\\jdk\\java.exe"},
      {L"D:\\java.exe", true, L"D:\\java.exe"},
  };
  for (const auto& [text, resolveRelative, java] : javaCases) {
    StartupSettings settings;
    settings.BaseDirectory = L"C:\\K";
    settings.SetJava(text, resolveRelative);
    EXPECT_EQ(settings.Java, java) << text;
  }
  EXPECT_EQ(SplitTokens(L"   ", L" "), std::vector<std::wstring>{});
  EXPECT_EQ(SplitTokens(L"  a\tb  c ", L" "), (std::vector<std::wstring>{L"a\tb", L"c"}));
  EXPECT_EQ(SplitTokens(L";a,,b", L",;"), (std::vector<std::wstring>{L"a", L"b"}));
  for (const wchar_t* yes : {L"Yes", L"y", L"Yellow"}) EXPECT_TRUE(ReadsAsYes(yes)) << yes;
  for (const wchar_t* no : {L"No", L"true", L"", L" Yes"}) EXPECT_FALSE(ReadsAsYes(no)) << no;
}

}  // namespace
