// The startup core: argument tokens, both settings stores and the command line.
#include <gtest/gtest.h>

#include <cerrno>
#include <tuple>

#include "fakes/fake_platform.h"
#include "fakes/fake_world_test.h"
#include "startup/command_line.h"
#include "startup/error_text.h"
#include "startup/registry_store.h"
#include "startup/settings_file.h"

namespace {

using namespace std::string_literals;
const std::wstring kFile = L"C:\\K\\Kelvor_ss";

using Startup = FakeWorldTest;

TEST_F(Startup, MemoryAndFontCheckTokensAreTakenFromTheArgumentsAndRebuilt) {
  // Text, then MaxMemoryMB (77: left as it was), SkipFontCheck and the rebuilt string.
  const std::tuple<const wchar_t*, std::int32_t, bool, const wchar_t*> cases[] = {
      {L"-Xfoo -J-Xmx256m  -J-Xmx512m /nofontcheckX", 512, true, L" -J-Xmx512m -nofontcheck"},
      {L"-J-Xmx-2147483648m", -2147483647 - 1, false, L""},
      // A tab does not split; white space before the number is skipped, as "%d" skips it.
      {L"-J-Xmx\t\n\v\f\r100m\t-nofontcheck -J-Xmx-\t5m", 100, false, L" -J-Xmx100m"},
      // Another unit or an overflow is refused, not taken as a bare number of megabytes.
      {L"-J-Xmxm -J-Xmx 12m -nofontchec -J-Xmx4g -J-Xmx512 -J-Xmx2147483648m", 77, false,
       L" -J-Xmx77m"}};
  for (const auto& [text, memory, skip, rebuilt] : cases) {
    StartupSettings s;
    s.MaxMemoryMB = 77;
    s.ParseArguments(text);
    s.RebuildArguments();
    EXPECT_EQ(std::tuple(s.MaxMemoryMB, s.SkipFontCheck, s.Arguments),
              std::tuple(memory, skip, rebuilt))
        << text;
  }
}

TEST_F(Startup, SettingsFileReadsKeyColonValueLinesUntilALeadingColon) {
  // Text, then Verbose, KeepWS and Scale after reading it.
  const std::tuple<std::wstring, bool, bool, std::wstring> cases[] = {
      {L"Verbose :Yes\nverbose:Yes\nScale:a:b \r\rKeepWS:Yes", false, false, L"a:b \r\rKeepWS:Yes"},
      {L"Scale:1\n \t\n\n  Verbose:Yellow\nScale:\n", true, false, L"1"},  // empty keeps it
      {L" Verbose:Yes\nKeepWS:Yes", false, true, L""},  // blanks lead only the first key
      {L"Scale:1\n:Verbose:Yes\nKeepWS:Yes\nScale:2", false, false, L"1"},  // a colon ends it
      // The longest key and value read whole.
      {std::wstring(99, L'k') + L":v\nVerbose:Y\nScale:" + std::wstring(999, L's'), true, false,
       std::wstring(999, L's')}};
  for (const auto& [text, verbose, keepWS, scale] : cases) {
    StartupSettings s;
    ReadSettingsText(s, text);
    EXPECT_EQ(std::tuple(s.Verbose, s.KeepWS, s.Scale), std::tuple(verbose, keepWS, scale)) << text;
  }
}

// The settings file lies two folders above the program's, and each of the three steps up must
// leave something after the root.
TEST_F(Startup, SettingsFileLoadDescribesEachFailure) {
  fake::WriteFile(kFile, "\xFE\xFF\0V\0e\0r\0b\0o\0s\0e\0:\0Y"s);  // UTF-16, big-endian
  // The program's path (none: it cannot be got, 122) and the text of the refusal.
  const std::pair<const wchar_t*, std::wstring> failures[] = {
      {L"C:\\K\\bin\\win\\kss.exe",
       L"Could not open file \"C:\\K\\Kelvor_ss\" for reading.\n\n\nError # 22 = 0x16 :\n"
       L"Invalid argument"},
      {L"\\\\srv\\share\\b\\prog.exe",
       L"Error loading settings. Kelvor directory structure not as expected."},
      {L"",
       L"Error loading settings. Could not get module filename.\n\n\n"
       L"Error # 122 = 0x7a :\nSystem message 122."}};
  for (const auto& [program, message] : failures) {
    fake::SetProgramPath(program, *program ? 0 : 122);
    StartupSettings settings;
    std::wstring errorText;
    EXPECT_FALSE(LoadSettingsFromFile(settings, errorText)) << program;
    EXPECT_EQ(errorText, message) << program;
  }
}

// Each save row saves the lines in their order (no Java line, a UTF-8 scale) over an old file of
// `before` ("": none), on a full volume or not, in a folder that refuses new files or not, beside
// a crash's leftover. Nothing but the file and the leftover is left in the folder, and an old
// file's permissions stay, as ReplaceFileW keeps its security where a move would not.
TEST_F(Startup, SettingsFileSaveChoosesItsWayAndKeepsTheFileWhereAndWhatItIs) {
  // The way, from what the platform reports: hard links kept, refusals early.
  const std::pair<SaveFacts, SaveWay> cases[] = {
      {{}, SaveWay::MoveIntoPlace},
      {{.isLink = true}, SaveWay::Refuse},  // leads nowhere
      {{.exists = true}, SaveWay::ReplaceBeside},
      {{.exists = true, .readOnly = true, .folderRefusesNewFile = true}, SaveWay::Refuse},
      {{.exists = true, .linkCount = 2}, SaveWay::WriteInPlace},
      {{.exists = true, .folderRefusesNewFile = true}, SaveWay::WriteInPlace}};
  for (const auto& c : cases) EXPECT_EQ(ChooseSaveWay(c.first), c.second) << "row " << &c - cases;
  const std::string saved =
      "Arguments: -J-Xmx64m\r\nScale:\xC3\xA9\r\nVerbose:Yes\r\nAllowUIScale:No\r\n"
      "DisableDD2:Yes\r\nKeepWS:No\r\nLegacyMS2:No\r\nPreferIPv4:Yes\r\n";
  const std::tuple<const char*, std::string, bool, bool> rows[] = {
      {"new", "", false, false},
      {"replaced", "old", false, false},
      {"in place, longer", "z", false, true},
      {"full, in place, shorter", "Arguments:" + std::string(200, 'x'), true, true}};
  for (const auto& [row, before, volumeFull, refusing] : rows) {
    SCOPED_TRACE(row);
    fake::ResetAll();
    fake::WriteFile(kFile + L".saving-1.tmp", "left");
    if (!before.empty()) fake::WriteFile(kFile, before);
#ifdef __linux__  // the doubles keep permissions only on Linux
    if (!before.empty()) fake::SetPermissions(kFile, 0604);
#endif
    if (refusing) fake::RefuseNewFiles(L"C:\\K");
    fake::SetVolumeFull(volumeFull);
    StartupSettings settings;
    settings.SettingsFilePath = kFile;
    settings.SetSettings(true, false, true, false, false, false, true, 64, L"", Units(u"\xE9"));
    std::wstring errorText;
    EXPECT_TRUE(SaveSettingsToFile(settings, errorText)) << errorText;
    EXPECT_EQ(fake::ReadFile(kFile), saved);
    EXPECT_EQ(fake::ListFolder(L"C:\\K").size(), 2u);
    EXPECT_EQ(fake::ReadFile(kFile + L".saving-1.tmp"), "left");
#ifdef __linux__
    EXPECT_TRUE(before.empty() || fake::Permissions(kFile) == 0604);
#endif
  }
}

TEST(StartupCommandLine, OnlyExactOptionsAfterDashOrSlash) {
  // Each row expects: started from Kelvor, then use the settings file.
  const std::pair<std::vector<std::wstring>, std::pair<bool, bool>> cases[] = {
      {{L"prog", L"/from_kelvor", L"-p"}, {true, true}},
      {{L"prog", L"p", L"-P", L"-pp", L"--p", L"-", L"", L"/From_Kelvor", L"-from_kelvorX"}, {}},
      {{L"-p"}, {}}};  // the program's own name is never an option
  for (const auto& [arguments, expected] : cases) {
    CommandLineOptions options;
    ParseCommandLine(arguments, options);
    EXPECT_EQ(std::pair(options.StartedFromKelvor, options.UseSettingsFile), expected)
        << arguments.back();
  }
}

// A refused value costs only itself, and the first refusal's code is the one described (a
// refused key is seen end to end, with its text and nothing written).
TEST_F(Startup, RegistrySaveFailuresAreDescribedAndSpareTheOtherValues) {
  StartupSettings settings, saved;
  settings.SetSettings(true, false, false, true, false, false, true, 64, L"C:\\j.exe", L"2");
  std::wstring errorText;
  fake::RefuseRegistryValue(L"Java", 1450);
  fake::RefuseRegistryValue(L"KeepWS", 5);
  EXPECT_FALSE(SaveSettingsToRegistry(settings, errorText));
  EXPECT_EQ(errorText,
            L"Error saving one or more settings to the registry.\n\n\nError # 1450 = 0x5aa :\n"
            L"System message 1450.");
  LoadSettingsFromRegistry(saved);  // Java and KeepWS missing, the values after each written
  EXPECT_EQ(std::tuple(saved.Java, saved.Scale, saved.KeepWS, saved.LegacyMS2, saved.PreferIPv4),
            std::tuple(L"", L"2", false, false, true));
}

// One switch at a time, so that two swapped anywhere show: SetSettings sets that one alone, and
// each store gives it back alone; the font check travels inside the arguments.
TEST_F(Startup, EachSwitchAloneThroughSetSettingsAndBothStores) {
  using S = StartupSettings;
  bool S::*const fields[] = {&S::Verbose,       &S::AllowUIScale, &S::DisableDD2, &S::KeepWS,
                             &S::SkipFontCheck, &S::LegacyMS2,    &S::PreferIPv4};  // as passed
  fake::SetProgramPath(L"C:\\K\\bin\\win\\kss.exe");
  fake::MakeDirectory(L"C:\\K");
  for (int row = 0; row < 7; ++row) {
    S settings, fromRegistry, fromFile;
    settings.SettingsFilePath = kFile;
    settings.SetSettings(row == 0, row == 1, row == 2, row == 3, row == 4, row == 5, row == 6, 0,
                         L"", L"");
    EXPECT_EQ(settings.Arguments, row == 4 ? L" -nofontcheck" : L"") << row;
    std::wstring error;
    ASSERT_TRUE(SaveSettingsToRegistry(settings, error) && SaveSettingsToFile(settings, error) &&
                LoadSettingsFromFile(fromFile, error))
        << error;
    LoadSettingsFromRegistry(fromRegistry);
    for (int field = 0; field < 7; ++field)
      for (const S* read : {&settings, &fromRegistry, &fromFile})
        EXPECT_EQ(read->*fields[field], field == row) << "row " << row << ", field " << field;
  }
}

// The "Error # " line: hexadecimal from 10 up (below it: the load's "Error # 2"), none for a
// negative code or 0; a line end only between pieces; a code without a system message still named.
TEST(ErrorText, LineGivesHexFromTenNoLineForCodeZeroAndTheRuntimeNumberAsItsTableMapsIt) {
  // Code, description, the text before and after.
  const std::tuple<std::int32_t, const wchar_t*, const wchar_t*, const wchar_t*> lines[] = {
      {10, L"X", L"", L"Error # 10 = 0xa :\nX"},
      {11, L"X", L"A.\n\n", L"A.\n\n\nError # 11 = 0xb :\nX"},
      {-5, L"X", L"", L"Error # -5 :\nX"},
      {0, L"X", L"A", L"A\nX"},
      {0, L"", L"A", L"A"}};
  for (const auto& [code, description, before, after] : lines) {
    std::wstring text = before;
    AppendErrorText(code, description, text);
    EXPECT_EQ(text, after) << code;
  }
  std::wstring text;
  AppendSystemErrorText(0x20000005, text);
  EXPECT_EQ(text, L"Error # 536870917 = 0x20000005 :\n<failed to get error message>");
  // The runtime's number for a system code, as its own table maps it (unlisted: EINVAL).
  const std::pair<std::uint32_t, int> numbers[] = {{17, EXDEV},    {19, EACCES},   {36, EACCES},
                                                   {188, ENOEXEC}, {202, ENOEXEC}, {203, EINVAL}};
  for (const auto& [code, number] : numbers) EXPECT_EQ(RuntimeErrorNumber(code), number) << code;
}

}  // namespace
