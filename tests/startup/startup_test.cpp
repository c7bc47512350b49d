// The startup core: argument tokens, error texts, both settings stores and the command line.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <tuple>
#include <utility>

#include "fakes/fake_platform.h"
#include "fakes/fake_world_test.h"
#include "platform/files.h"
#include "startup/command_line.h"
#include "startup/error_text.h"
#include "startup/registry_store.h"
#include "startup/settings_file.h"

namespace {

using namespace std::string_literals;
using platform::Hive;
const std::wstring kPath = kSettingsRegistryPath, kFile = L"C:\\K\\Kelvor_ss";

using Startup = FakeWorldTest;

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
  // Text, then Verbose, KeepWS and Scale after reading it.
  const std::tuple<std::wstring, bool, bool, std::wstring> cases[] = {
      {L"Verbose: Yes\nVerbose :Yes\nverbose:Yes\nScale:a:b \r\rKeepWS:Yes", false, false,
       L"a:b \r\rKeepWS:Yes"},
      {L"Scale:1\n \t\n\n  Verbose:Yes\nScale:\n", true, false, L"1"},  // empty keeps the field
      {L" Verbose:Yes\nKeepWS:Yes", false, true, L""},  // blanks lead only the first key
      {L"Scale:1\n:Verbose:Yes\nKeepWS:Yes\nScale:2", false, false,
       L"1"},                                               // a colon first ends it all
      {L"junk\nVerbose:Yes\nScale:3", false, false, L"3"},  // the key 'junk\nVerbose' is lost
      // Past a limit only that entry is lost, never applied cut short; reading goes on.
      {L"Scale:" + value999 + L"\nScale:" + value1000 + L"\n" + key99 + L"k:1\nVerbose:Yes", true,
       false, value999},
      {L"Scale:" + huge + L"\nVerbose:Yes\n" + huge, true, false, L""}};
  for (const auto& [text, verbose, keepWS, scale] : cases) {
    StartupSettings settings;
    ReadSettingsText(settings, text);
    EXPECT_EQ(std::tuple(settings.Verbose, settings.KeepWS, settings.Scale),
              std::tuple(verbose, keepWS, scale))
        << text.substr(0, 40);
  }
}

TEST_F(Startup, SettingsFileLoad) {
  StartupSettings settings;
  std::wstring errorText;
  fake::SetProgramPath(L"C:\\K\\bin\\win\\kss.exe");
  fake::WriteFile(kFile,
                  "Scale:\xC3\xA9\r\nArguments: -J-Xmx800m\r\nJava:jdk\\j.exe\r\nLegacyMS2:no");
  ASSERT_TRUE(LoadSettingsFromFile(settings, errorText)) << errorText;
  EXPECT_EQ(std::tuple(settings.Scale, settings.MaxMemoryMB, settings.Java, settings.LegacyMS2),
            std::tuple(Units(u"\xE9"), 800, L"C:\\K\\jdk\\j.exe", false));  // Java: resolved
  // Program path (or its error), the settings file's bytes, and the text of the refusal.
  const std::tuple<const wchar_t*, std::uint32_t, std::string, std::wstring> failures[] = {
      {L"C:\\K\\bin\\win\\kss.exe", 0, "\xFE\xFF\0V\0e\0r\0b\0o\0s\0e\0:\0Y"s,
       L"Could not open file \"C:\\K\\Kelvor_ss\" for reading.\n\n\nError # 22 = 0x16 :\n"
       L"Invalid argument"},
      {L"C:\\a\\b\\prog.exe", 0, "",
       L"Could not open file \"C:\\Kelvor_ss\" for reading.\n\n\nError # 2 :\n"
       L"No such file or directory"},
      {L"C:\\b\\prog.exe", 0, "",
       L"Error loading settings. Kelvor directory structure not as expected."},
      {L"", 122, "",
       L"Error loading settings. Could not get module filename.\n\n\nError # 122 = 0x7a :\n"
       L"System message 122."}};
  for (const auto& [program, error, bytes, message] : failures) {
    fake::SetProgramPath(program, error);
    fake::WriteFile(kFile, bytes);
    StartupSettings refused;
    errorText.clear();
    EXPECT_FALSE(LoadSettingsFromFile(refused, errorText));
    EXPECT_EQ(errorText, message);
    EXPECT_FALSE(refused.Verbose);
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
}

TEST_F(Startup, SettingsFileSave) {
  StartupSettings bare, full;
  bare.SetSettings(true, false, true, false, false, false, true, 0, L"", Units(u"\xE9"));
  full.SetSettings(false, true, false, true, true, true, false, 1024, L"C:\\jdk\\java.exe", L"");
  const std::pair<const StartupSettings*, std::string> cases[] = {
      {&bare,
       "Arguments:\r\nScale:\xC3\xA9\r\nVerbose:Yes\r\nAllowUIScale:No\r\nDisableDD2:Yes\r\n"
       "KeepWS:No\r\nLegacyMS2:No\r\nPreferIPv4:Yes\r\n"},
      {&full,
       "Arguments: -J-Xmx1024m -nofontcheck\r\nJava:C:\\jdk\\java.exe\r\nVerbose:No\r\n"
       "AllowUIScale:Yes\r\nDisableDD2:No\r\nKeepWS:Yes\r\nLegacyMS2:Yes\r\nPreferIPv4:No\r\n"}};
  const std::wstring leftover = kFile + L".saving-1.tmp";  // as a crash would leave it
  fake::WriteFile(leftover, "left");
  for (const auto& [settings, bytes] : cases) {
    StartupSettings saved = *settings;
    saved.SettingsFilePath = kFile;
    fake::WriteFile(kFile, std::string(5000, 'z'));  // longer: must be cut
    std::wstring errorText;
    ASSERT_TRUE(SaveSettingsToFile(saved, errorText)) << errorText;
    EXPECT_EQ(fake::ReadFile(kFile), bytes);
  }
  EXPECT_EQ(fake::ReadFile(leftover), "left");
  // Each failure leaves the old file whole and no file of its own behind.
  const std::wstring unable = L"Unable to open settings file \"",
                     error13 = L"\n\n\nError # 13 = 0xd :\n";
  std::vector<std::pair<std::wstring, std::wstring>> failures = {
      {L"C:\\K\\Kelvor_ss",
       unable + L"C:\\K\\Kelvor_ss\" for writing." + error13 + L"Permission denied"},
      {L"C:\\K\\sub", unable + L"C:\\K\\sub\" for writing." + error13 + L"Permission denied"},
      {L"C:\\none\\Kelvor_ss",
       unable + L"C:\\none\\Kelvor_ss\" for writing.\n\n\nError # 2 :\nNo such file or directory"}};
#ifdef __linux__
  failures.emplace_back(
      L"C:\\K\\Kelvor_ss",
      L"Error writing settings file \"C:\\K\\Kelvor_ss\".\n\n\nError # 28 = 0x1c :\n"
      L"No space left on device");
#endif
  fake::MakeDirectory(L"C:\\K\\sub");
  platform::ChangeFileAttributes(kFile, platform::kFileAttributeReadOnly);
  for (const auto& [path, message] : failures) {
    SCOPED_TRACE(testing::PrintToString(message.substr(0, 48)));
    full.SettingsFilePath = path;
#ifdef __linux__
    fake::SetVolumeFull(message.starts_with(L"Error writing"));
#endif
    std::wstring errorText;
    EXPECT_FALSE(SaveSettingsToFile(full, errorText));
    EXPECT_EQ(errorText, message);
    EXPECT_EQ(fake::ReadFile(kFile), cases[1].second);
    EXPECT_EQ(fake::ListFolder(L"C:\\K"),
              (std::vector<std::string>{"Kelvor_ss", "Kelvor_ss.saving-1.tmp", "sub"}));
    platform::ChangeFileAttributes(kFile, 0x80);  // only the first is read-only
  }
}

TEST_F(Startup, RegistryMachineKeyOnlyWithoutUserArguments) {
  // A 32-bit process on 64-bit Windows (the fake's default) sees the machine's 32-bit twin.
  const std::wstring machinePath = L"Software\\Wow6432Node\\ORVEL\\KELVOR";
  fake::PutString(Hive::CurrentUser, kPath, L"Verbose", L"Yes");
  fake::PutString(Hive::CurrentUser, kPath, L"KeepWS", L"Yes");
  fake::PutString(Hive::CurrentUser, kPath, L"Java", L"%J%\\java.exe", platform::kRegExpandSz);
  fake::PutString(Hive::LocalMachine, machinePath, L"Verbose", L"No");
  fake::PutString(Hive::LocalMachine, machinePath, L"Arguments", L" -J-Xmx128m");
  StartupSettings settings;
  LoadSettingsFromRegistry(settings);
  EXPECT_EQ(std::tuple(settings.Verbose, settings.KeepWS, settings.Java, settings.MaxMemoryMB),
            std::tuple(false, true, L"%J%\\java.exe", 128));     // Verbose: the machine's wins
  fake::PutString(Hive::CurrentUser, kPath, L"Arguments", L"");  // empty, but present
  StartupSettings userOnly;
  LoadSettingsFromRegistry(userOnly);
  EXPECT_TRUE(userOnly.Verbose && userOnly.ArgumentsPresent && userOnly.MaxMemoryMB == 0);
}

TEST_F(Startup, RegistrySaveReportsTheFirstFailure) {
  StartupSettings settings;
  settings.PreferIPv4 = true;
  std::wstring errorText;
  fake::FailCreate(5);
  EXPECT_FALSE(SaveSettingsToRegistry(settings, errorText));
  EXPECT_EQ(errorText,
            L"Error saving settings. Could not create registry key "
            L"HKCU\\Software\\ORVEL\\KELVOR.\n\n\nError # 5 :\nSystem message 5.");
  fake::FailCreate(0);
  fake::FailSets(L"Java", 5);
  fake::FailSets(L"Scale", 1450);
  errorText.clear();
  EXPECT_FALSE(SaveSettingsToRegistry(settings, errorText));
  EXPECT_EQ(errorText,
            L"Error saving one or more settings to the registry.\n\n\nError # 5 :\n"
            L"System message 5.");
  StartupSettings loaded;  // what came after the failures was still written
  LoadSettingsFromRegistry(loaded);
  EXPECT_TRUE(loaded.PreferIPv4 && loaded.ArgumentsPresent);
}

TEST(StartupCommandLine, OnlyExactOptionsAfterDashOrSlash) {
  // Each row expects: started from Kelvor, then use the settings file.
  const std::pair<std::vector<std::wstring>, std::pair<bool, bool>> cases[] = {
      {{L"prog", L"/p"}, {false, true}},
      {{L"prog", L"/from_kelvor", L"-p"}, {true, true}},
      {{L"prog", L"p", L"-P", L"-pp", L"--p", L"-", L"", L"/From_Kelvor", L"-from_kelvorX"}, {}},
      {{L"-p"}, {}},  // the program's own name is never an option
  };
  for (const auto& [arguments, expected] : cases) {
    CommandLineOptions options;
    ParseCommandLine(arguments, options);
    EXPECT_EQ(std::pair(options.StartedFromKelvor, options.UseSettingsFile), expected)
        << arguments.back();
  }
}

}  // namespace
