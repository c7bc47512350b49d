// The startup core: path rules, argument tokens, error texts, decoding and both settings stores.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <tuple>
#include <utility>

#include "fakes/fake_platform.h"
#include "platform/files.h"
#include "startup/error_text.h"
#include "startup/registry_store.h"
#include "startup/settings_file.h"

namespace {

using namespace std::string_literals;
using platform::Hive;
const std::wstring kPath = kSettingsRegistryPath, kFile = L"C:\\K\\Kelvor_ss";

class Startup : public testing::Test {
 protected:
  void SetUp() override { fake::ResetAll(); }
  void TearDown() override { EXPECT_EQ(fake::OpenHandleCount(), 0); }
  // Texts hold UTF-16 units on both builds, so expectations are spelled as units.
  static std::wstring Units(std::u16string_view units) { return {units.begin(), units.end()}; }
};

TEST_F(Startup, ArgumentTokens) {
  // Text, then MaxMemoryMB (77: left as it was), SkipFontCheck and the rebuilt string.
  const std::tuple<const wchar_t*, std::int32_t, bool, const wchar_t*> cases[] = {
      {L"-Xfoo -J-Xmx256m  -J-Xmx512m /nofontcheck", 512, true, L" -J-Xmx512m -nofontcheck"},
      {L"-J-Xmx0m -nofontcheckX", 0, true, L" -nofontcheck"},
      {L"-J-Xmx+7mb", 7, false, L" -J-Xmx7m"},  // nothing after the "m" is examined
      {L"-J-Xmx-2147483648m", -2147483647 - 1, false, L""},
      {L"-J-Xmx100m\t-nofontcheck", 100, false, L" -J-Xmx100m"},  // a tab does not split
      {L"-J-Xmxm -J-Xmx x-nofontcheck -nofontchec -J-Xmx 12m", 77, false, L" -J-Xmx77m"},
      // Another unit or an overflow is refused, not taken as a bare number of megabytes.
      {L"-J-Xmx4g -J-Xmx512 -J-Xmx2147483648m -J-Xmx9999999999999m", 77, false, L" -J-Xmx77m"}};
  for (const auto& [text, maxMemory, skipFontCheck, rebuilt] : cases) {
    StartupSettings settings;
    settings.MaxMemoryMB = 77;
    settings.ParseArguments(text);
    EXPECT_EQ(std::tuple(settings.MaxMemoryMB, settings.SkipFontCheck),
              std::tuple(maxMemory, skipFontCheck))
        << text;
    settings.RebuildArguments();
    EXPECT_EQ(settings.Arguments, rebuilt);
  }
  EXPECT_EQ(SplitTokens(L";a\tb,,c ", L",; "), (std::vector<std::wstring>{L"a\tb", L"c"}));
  EXPECT_TRUE(ReadsAsYes(L"y") && ReadsAsYes(L"Yellow") && !ReadsAsYes(L"true"));
}

TEST_F(Startup, ErrorTextComposition) {
  // The text before, the code, the description and the text after.
  const std::tuple<const wchar_t*, std::int32_t, const wchar_t*, const wchar_t*> cases[] = {
      {L"A.\n\n", 9, L"X", L"A.\n\n\nError # 9 :\nX"},
      {L"", 10, L"", L"Error # 10 = 0xa :\n"},
      {L"A", -5, L"X", L"A\nError # -5 :\nX"},
      {L"A", 0, L"X", L"A\nX"},
      {L"A", 0, L"", L"A"}};  // an empty piece adds not even the line end
  for (const auto& [before, code, description, after] : cases) {
    std::wstring errorText = before;
    AppendErrorText(code, description, errorText);
    EXPECT_EQ(errorText, after) << code;
  }
}

TEST_F(Startup, SettingsFileEntries) {
  const std::wstring key99(99, L'k'), value999(999, L'v'), value1000(1000, L'w'),
      huge(1 << 20, L'x');
  const std::tuple<std::wstring, bool, std::wstring> cases[] = {
      {L"Verbose: Yes\nVerbose :Yes\nverbose:Yes\nScale:a:b \r\rVerbose:Yes", false,
       L"a:b \r\rVerbose:Yes"},
      {L"Scale:1\n \t\n\n  Verbose:Yes\nScale:\n", true, L"1"},  // an empty value keeps the field
      {L"Scale:1\n:x\nVerbose:Yes\n", false, L"1"},  // a colon at line start ends it all
      {L"junk\nVerbose:Yes\nScale:3", false, L"3"},  // the key 'junk\nVerbose' is lost
      // Past a limit only that entry is lost, never applied cut short; reading goes on.
      {L"Scale:" + value999 + L"\nScale:" + value1000 + L"\n" + key99 + L"k:1\nVerbose:Yes", true,
       value999},
      {L"Scale:" + huge + L"\nVerbose:Yes\n" + huge, true, L""}};
  for (const auto& [text, verbose, scale] : cases) {
    StartupSettings settings;
    ReadSettingsText(settings, text);
    EXPECT_EQ(std::tuple(settings.Verbose, settings.Scale), std::tuple(verbose, scale))
        << text.substr(0, 40);
  }
}

TEST_F(Startup, SettingsFileLoadAndSave) {
  StartupSettings settings;
  std::wstring errorText;
  fake::SetProgramPath(L"C:\\K\\bin\\win\\kss.exe");
  fake::WriteFile(kFile,
                  "Scale:\xC3\xA9\r\nArguments: -J-Xmx800m\r\nJava:jdk\\j.exe\r\nLegacyMS2:no");
  ASSERT_TRUE(LoadSettingsFromFile(settings, errorText)) << errorText;
  EXPECT_EQ(std::tuple(settings.Scale, settings.MaxMemoryMB, settings.Java, settings.LegacyMS2),
            std::tuple(Units(u"\xE9"), 800, L"C:\\K\\jdk\\j.exe", false));  // Java: resolved
  fake::SetSystemMessage(122, L"Too small.");
  const std::tuple<const wchar_t*, std::uint32_t, std::wstring> failures[] = {
      {L"C:\\a\\b\\prog.exe", 0,
       L"Could not open file \"C:\\Kelvor_ss\" for reading.\n\n\nError # 2 :\n" +
           platform::RuntimeErrorText(2)},
      {L"C:\\b\\prog.exe", 0,
       L"Error loading settings. Kelvor directory structure not as expected."},
      {L"", 122,
       L"Error loading settings. Could not get module filename.\n\n\nError # 122 = 0x7a :\n"
       L"Too small."}};
  for (const auto& [program, error, message] : failures) {
    fake::SetProgramPath(program, error);
    errorText.clear();
    EXPECT_FALSE(LoadSettingsFromFile(settings, errorText));
    EXPECT_EQ(errorText, message);
  }
#ifdef __GLIBC__
  // A read error part way ends the entries like the end of the file; what came before counts.
  cookie_io_functions_t failsSecond{};
  failsSecond.read = [](void* served, char* buffer, std::size_t) -> ssize_t {
    if (std::exchange(*static_cast<bool*>(served), true)) return errno = EIO, -1;
    return std::memcpy(buffer, "Verbose:Yes\n", 12), 12;
  };
  bool served = false;
  const platform::UniqueFile failing(fopencookie(&served, "r", failsSecond));
  EXPECT_EQ(ReadSettingsFile(settings, failing.get()), 0);
  EXPECT_TRUE(settings.Verbose);
#endif
  settings.SetSettings(false, true, false, false, false, true, false, 1024, L"C:\\jdk\\java.exe",
                       L"");
  settings.SettingsFilePath = kFile;
  fake::WriteFile(kFile, std::string(5000, 'z'));  // longer: must be cut
  ASSERT_TRUE(SaveSettingsToFile(settings, errorText));
  EXPECT_EQ(fake::ReadFile(kFile),
            "Arguments: -J-Xmx1024m\r\nJava:C:\\jdk\\java.exe\r\nVerbose:No\r\nAllowUIScale:Yes\r\n"
            "DisableDD2:No\r\nKeepWS:No\r\nLegacyMS2:Yes\r\nPreferIPv4:No\r\n");
}

TEST_F(Startup, RegistryMachineKeyOnlyWithoutUserArguments) {
  // A 32-bit process on 64-bit Windows (the fake's default) sees the machine's 32-bit twin.
  const std::wstring machinePath = L"Software\\Wow6432Node\\ORVEL\\KELVOR";
  fake::PutString(Hive::CurrentUser, kPath, L"Verbose", L"Yes");
  fake::PutString(Hive::CurrentUser, kPath, L"KeepWS", L"Yes");
  fake::PutValue(Hive::CurrentUser, kPath, L"PreferIPv4", platform::kRegDword, {1, 0, 0, 0});
  fake::PutString(Hive::CurrentUser, kPath, L"Java", L"%J%\\java.exe", platform::kRegExpandSz);
  fake::PutString(Hive::LocalMachine, machinePath, L"Verbose", L"No");
  fake::PutString(Hive::LocalMachine, machinePath, L"Arguments", L" -J-Xmx128m");
  StartupSettings settings;
  LoadSettingsFromRegistry(settings);
  // Verbose: the machine's wins; PreferIPv4: a DWORD counts as missing.
  EXPECT_EQ(std::tuple(settings.Verbose, settings.KeepWS, settings.PreferIPv4, settings.Java,
                       settings.MaxMemoryMB),
            std::tuple(false, true, false, L"%J%\\java.exe", 128));
  fake::PutString(Hive::CurrentUser, kPath, L"Arguments", L"");  // empty, but present
  StartupSettings userOnly;
  LoadSettingsFromRegistry(userOnly);
  EXPECT_TRUE(userOnly.Verbose && userOnly.ArgumentsPresent);
  EXPECT_EQ(fake::OpenKeyCount(Hive::LocalMachine), 1);
}

TEST_F(Startup, RegistrySaveReportsTheFirstFailure) {
  const StartupSettings settings;
  std::wstring errorText, text;
  fake::SetSystemMessage(5, L"Access is denied.");
  fake::FailCreate(5);
  EXPECT_FALSE(SaveSettingsToRegistry(settings, errorText));
  EXPECT_EQ(errorText,
            L"Error saving settings. Could not create registry key "
            L"HKCU\\Software\\ORVEL\\KELVOR.\n\n\nError # 5 :\nAccess is denied.");
  fake::FailCreate(0);
  fake::FailSets(L"Java", 5);
  fake::FailSets(L"Scale", 1450);
  errorText.clear();
  EXPECT_FALSE(SaveSettingsToRegistry(settings, errorText));
  EXPECT_EQ(errorText,
            L"Error saving one or more settings to the registry.\n\n\nError # 5 :\n"
            L"Access is denied.");
  EXPECT_TRUE(
      fake::GetString(Hive::CurrentUser, kPath, L"PreferIPv4", text));  // written past the failures
}

}  // namespace
