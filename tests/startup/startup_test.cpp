// The startup core: argument tokens, both settings stores and the command line.
#include <gtest/gtest.h>

#include <cerrno>
#include <tuple>

#include "common/registry_string.h"
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
const std::wstring kFile = L"C:\\K\\Kelvor_ss";

using Startup = FakeWorldTest;

// The nine values of the user's key as "value|" each, in the order they are saved.
std::wstring SavedRegistryValues() {
  platform::RegistryKey key;
  OpenRegistryKey(Hive::CurrentUser, kSettingsRegistryPath, platform::kKeyQueryValue, key);
  std::wstring values;
  for (const wchar_t* name : {L"Arguments", L"Java", L"Scale", L"Verbose", L"AllowUIScale",
                              L"DisableDD2", L"KeepWS", L"LegacyMS2", L"PreferIPv4"}) {
    std::wstring value = L"<missing>";
    ReadRegistryString(key, name, value);
    values += value + L"|";
  }
  return values;
}

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
  for (const auto& [text, maxMemory, skipFontCheck, rebuilt] : cases) {
    StartupSettings settings;
    settings.MaxMemoryMB = 77;
    settings.ParseArguments(text);
    settings.RebuildArguments();
    EXPECT_EQ(std::tuple(settings.MaxMemoryMB, settings.SkipFontCheck, settings.Arguments),
              std::tuple(maxMemory, skipFontCheck, rebuilt))
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
    StartupSettings settings;
    ReadSettingsText(settings, text);
    EXPECT_EQ(std::tuple(settings.Verbose, settings.KeepWS, settings.Scale),
              std::tuple(verbose, keepWS, scale))
        << text;
  }
}

TEST_F(Startup, SettingsFileLoadResolvesARelativeJavaAndDescribesAnUnreadableFile) {
  StartupSettings settings;
  std::wstring errorText;
  fake::SetProgramPath(L"C:\\K\\bin\\win\\kss.exe");
  fake::WriteFile(kFile,
                  "Scale:\xC3\xA9\r\nArguments: -J-Xmx800m\r\nJava:jdk\\j.exe\r\nLegacyMS2:no");
  ASSERT_TRUE(LoadSettingsFromFile(settings, errorText)) << errorText;
  EXPECT_EQ(std::tuple(settings.Scale, settings.MaxMemoryMB, settings.Java, settings.LegacyMS2),
            std::tuple(Units(u"\xE9"), 800, L"C:\\K\\jdk\\j.exe", false));  // Java: resolved
  // Program path, the settings file's bytes, and the text of the refusal.
  const std::tuple<const wchar_t*, std::string, std::wstring> failures[] = {
      {L"C:\\K\\bin\\win\\kss.exe", "\xFE\xFF\0V\0e\0r\0b\0o\0s\0e\0:\0Y"s,
       L"Could not open file \"C:\\K\\Kelvor_ss\" for reading.\n\n\nError # 22 = 0x16 :\n"
       L"Invalid argument"},
      {L"C:\\a\\b\\prog.exe", "",
       L"Could not open file \"C:\\Kelvor_ss\" for reading.\n\n\nError # 2 :\n"
       L"No such file or directory"}};
  for (const auto& [program, bytes, message] : failures) {
    fake::SetProgramPath(program);
    fake::WriteFile(kFile, bytes);
    StartupSettings refused;
    errorText.clear();
    EXPECT_FALSE(LoadSettingsFromFile(refused, errorText));
    EXPECT_EQ(std::pair(errorText, refused.Verbose), std::pair(message, false));
  }
}

TEST(SettingsFileSaveWay, KeepsLinksHardLinksAndRefusals) {
  const struct {
    SaveFacts facts;
    SaveWay way;
  } cases[] = {
      {{}, SaveWay::MoveIntoPlace},
      {{.isLink = true}, SaveWay::Refuse},  // leads nowhere
      {{.folderRefusesNewFile = true}, SaveWay::Refuse},
      {{.exists = true}, SaveWay::ReplaceBeside},
      {{.exists = true, .isLink = true}, SaveWay::ReplaceBeside},  // beside the file it leads to
      {{.exists = true, .readOnly = true, .folderRefusesNewFile = true}, SaveWay::Refuse},
      {{.exists = true, .linkCount = 2}, SaveWay::WriteInPlace},
      {{.exists = true, .folderRefusesNewFile = true}, SaveWay::WriteInPlace},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseSaveWay(c.facts), c.way) << "row " << &c - cases;
  }
}

// Each row saves the lines in their order (no Java line, a UTF-8 scale) over an old
// file of `before` (null: none), on a full volume or not, in a folder that takes new files or not,
// beside a crash's leftover: the file's bytes after, and the error text (empty on success).
// Nothing but the file and the leftover is left in the folder.
TEST_F(Startup, SettingsFileSaveKeepsTheFileWhereAndWhatItIs) {
  const std::string saved =
      "Arguments: -J-Xmx64m\r\nScale:\xC3\xA9\r\nVerbose:Yes\r\nAllowUIScale:No\r\n"
      "DisableDD2:Yes\r\nKeepWS:No\r\nLegacyMS2:No\r\nPreferIPv4:Yes\r\n";
  const char* const longer =
      "Arguments:this old file is longer than the saved content, which "
      "ends here and must not keep the rest of these words around";
  const std::wstring full =
      L"Error writing settings file \"C:\\K\\Kelvor_ss\".\n\n\nError # 28 = "
      L"0x1c :\nNo space left on device";
  const struct {
    const char *row, *before;
    bool volumeFull, refusing;
    std::string after;
    std::wstring error;
  } cases[] = {
      {"new", nullptr, false, false, saved, L""},
      {"replaced", "z", false, false, saved, L""},
      {"in place, longer", "z", false, true, saved, L""},
      {"in place, shorter", longer, false, true, saved, L""},
      {"full, in place", "z", true, true, "z", full},
      {"full, shorter", longer, true, true, saved, L""},
      {"full, beside", "z", true, false, "z", full},
      {"refused, none", nullptr, false, true, "",
       L"Unable to open settings file \"C:\\K\\Kelvor_ss\" for writing.\n\n\nError # 13 = 0xd :\n"
       L"Permission denied"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    fake::ResetAll();
    fake::WriteFile(kFile + L".saving-1.tmp", "left");
    if (c.before != nullptr) fake::WriteFile(kFile, c.before);
    if (c.refusing) fake::RefuseNewFiles(L"C:\\K");
    fake::SetVolumeFull(c.volumeFull);
    StartupSettings settings;
    settings.SetSettings(true, false, true, false, false, false, true, 64, L"", Units(u"\xE9"));
    settings.SettingsFilePath = kFile;
    std::wstring errorText;
    EXPECT_EQ(SaveSettingsToFile(settings, errorText), c.error.empty());
    EXPECT_EQ(errorText, c.error);
    EXPECT_EQ(fake::ReadFile(kFile), c.after);
    EXPECT_EQ(fake::ListFolder(L"C:\\K").size(), c.after.empty() ? 1u : 2u);
    EXPECT_EQ(fake::ReadFile(kFile + L".saving-1.tmp"), "left");
  }
}

#ifdef __linux__  // the doubles make links and keep permissions only on Linux
// A link's target takes the content in its own folder; another hard link keeps seeing it; a
// replaced file keeps its security.
TEST_F(Startup, SettingsFileSaveFollowsLinksAndKeepsIdentity) {
  StartupSettings settings;
  settings.SettingsFilePath = kFile;
  std::wstring errorText;
  fake::WriteFile(L"C:\\T\\Kelvor_ss", "old");
  fake::MakeDirectory(L"C:\\K");
  fake::MakeLink(kFile, L"C:\\T\\Kelvor_ss");
  fake::MakeHardLink(L"C:\\T\\other", L"C:\\T\\Kelvor_ss");
  ASSERT_TRUE(SaveSettingsToFile(settings, errorText)) << errorText;
  EXPECT_EQ(fake::ReadFile(L"C:\\T\\other").substr(0, 11), "Arguments:\r");
  EXPECT_EQ(fake::ListFolder(L"C:\\K"), std::vector<std::string>{"Kelvor_ss"});
  std::uint32_t attributes = 0;
  EXPECT_TRUE(platform::GetFileAttributes(kFile, attributes) &&
              (attributes & platform::kFileAttributeReparsePoint) != 0);
  fake::WriteFile(L"C:\\T\\alone", "old");
  fake::SetPermissions(L"C:\\T\\alone", 0604);
  settings.SettingsFilePath = L"C:\\T\\alone";
  ASSERT_TRUE(SaveSettingsToFile(settings, errorText)) << errorText;
  EXPECT_EQ(fake::Permissions(L"C:\\T\\alone"), 0604);
}
#endif

TEST(ErrorText, RuntimeNumbersAsTheRuntimeMapsSystemCodes) {
  const struct {
    std::uint32_t code;
    int number;
  } cases[] = {{2, ENOENT},    {3, ENOENT},   {5, EACCES},      {12, EINVAL},   {17, EXDEV},
               {19, EACCES},   {32, EACCES},  {36, EACCES},     {37, EINVAL},   {39, EINVAL},
               {80, EEXIST},   {112, ENOSPC}, {145, ENOTEMPTY}, {187, EINVAL},  {188, ENOEXEC},
               {202, ENOEXEC}, {203, EINVAL}, {206, ENOENT},    {1816, ENOMEM}, {1175, EINVAL}};
  for (const auto& c : cases) EXPECT_EQ(RuntimeErrorNumber(c.code), c.number) << c.code;
}

TEST_F(Startup, RegistryStoreReadsTheMachineKeyOnlyWithoutUserArguments) {
  // A 32-bit process on 64-bit Windows (the fake's default) sees the machine's 32-bit twin.
  const std::wstring machinePath = L"Software\\Wow6432Node\\ORVEL\\KELVOR";
  fake::PutString(Hive::CurrentUser, kSettingsRegistryPath, L"Verbose", L"Yes");
  fake::PutString(Hive::CurrentUser, kSettingsRegistryPath, L"KeepWS", L"Yes");
  fake::PutString(Hive::LocalMachine, machinePath, L"Verbose", L"No");
  fake::PutString(Hive::LocalMachine, machinePath, L"Arguments", L" -J-Xmx128m");
  StartupSettings settings;
  LoadSettingsFromRegistry(settings);
  EXPECT_FALSE(settings.Verbose);  // the machine's wins
  EXPECT_TRUE(settings.KeepWS);
  EXPECT_EQ(settings.MaxMemoryMB, 128);
  fake::PutString(Hive::CurrentUser, kSettingsRegistryPath, L"Arguments", L"");  // present
  StartupSettings userOnly;
  LoadSettingsFromRegistry(userOnly);
  EXPECT_TRUE(userOnly.Verbose);
  EXPECT_TRUE(userOnly.ArgumentsPresent);
  EXPECT_EQ(userOnly.MaxMemoryMB, 0);
}

TEST(StartupCommandLine, OnlyExactOptionsAfterDashOrSlash) {
  // Each row expects: started from Kelvor, then use the settings file.
  const std::pair<std::vector<std::wstring>, std::pair<bool, bool>> cases[] = {
      {{L"prog", L"/p"}, {false, true}},
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

// A refused key writes nothing; a refused value costs only itself, and the first refusal's code
// is the one described.
TEST_F(Startup, RegistrySaveFailuresAreDescribedAndSpareTheOtherValues) {
  StartupSettings settings;
  settings.SetSettings(true, false, false, false, false, true, false, 64, L"C:\\j.exe", L"2");
  std::wstring createText, writeText;
  fake::MakeVolatileRegistryKey(Hive::CurrentUser, L"Software\\ORVEL");
  EXPECT_FALSE(SaveSettingsToRegistry(settings, createText));
  EXPECT_EQ(createText,
            L"Error saving settings. Could not create registry key HKCU\\Software\\ORVEL\\KELVOR."
            L"\n\n\nError # 1021 = 0x3fd :\nSystem message 1021.");
  EXPECT_EQ(SavedRegistryValues(),
            L"<missing>|<missing>|<missing>|<missing>|<missing>|"
            L"<missing>|<missing>|<missing>|<missing>|");
  fake::ResetAll();
  fake::RefuseRegistryValue(L"Java", 1450);
  fake::RefuseRegistryValue(L"KeepWS", 5);
  EXPECT_FALSE(SaveSettingsToRegistry(settings, writeText));
  EXPECT_EQ(writeText,
            L"Error saving one or more settings to the registry.\n\n\nError # 1450 = 0x5aa :\n"
            L"System message 1450.");
  EXPECT_EQ(SavedRegistryValues(), L" -J-Xmx64m|<missing>|2|Yes|No|No|<missing>|Yes|No|");
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
    settings.SetSettings(row == 0, row == 1, row == 2, row == 3, row == 4, row == 5, row == 6, 0,
                         L"", L"");
    EXPECT_EQ(settings.Arguments, row == 4 ? L" -nofontcheck" : L"") << row;
    settings.SettingsFilePath = kFile;
    std::wstring errorText;
    ASSERT_TRUE(SaveSettingsToRegistry(settings, errorText) &&
                SaveSettingsToFile(settings, errorText) &&
                LoadSettingsFromFile(fromFile, errorText))
        << errorText;
    LoadSettingsFromRegistry(fromRegistry);
    for (int field = 0; field < 7; ++field)
      for (const S* read : {&settings, &fromRegistry, &fromFile})
        EXPECT_EQ(read->*fields[field], field == row) << "row " << row << ", field " << field;
  }
}

// The "Error # " line: hexadecimal from 10 up, none for a negative code or 0; a line end only
// between pieces; a code without a system message still named.
TEST_F(Startup, ErrorLineGivesHexFromTenAndNoLineForCodeZero) {
  const struct {
    std::int32_t code;
    const wchar_t* description;
    const wchar_t* before;
    const wchar_t* after;
  } rows[] = {{.code = 9, .description = L"X", .before = L"", .after = L"Error # 9 :\nX"},
              {.code = 10, .description = L"X", .before = L"", .after = L"Error # 10 = 0xa :\nX"},
              {.code = 11,
               .description = L"X",
               .before = L"A.\n\n",
               .after = L"A.\n\n\nError # 11 = 0xb :\nX"},
              {.code = -5, .description = L"X", .before = L"", .after = L"Error # -5 :\nX"},
              {.code = 0, .description = L"X", .before = L"A", .after = L"A\nX"},
              {.code = 0, .description = L"", .before = L"A", .after = L"A"}};
  for (const auto& row : rows) {
    std::wstring text = row.before;
    AppendErrorText(row.code, row.description, text);
    EXPECT_EQ(text, row.after) << row.code;
  }
  std::wstring text;
  AppendSystemErrorText(0x20000005, text);
  EXPECT_EQ(text, L"Error # 536870917 = 0x20000005 :\n<failed to get error message>");
}

// The settings file lies two folders above the program's, and each of the three steps up must
// leave something after the root.
TEST_F(Startup, SettingsFileLocationNeedsTwoFoldersAboveTheProgram) {
  const std::wstring misplaced =
      L"Error loading settings. Kelvor directory structure not as expected.";
  const struct {
    const wchar_t* program;
    std::uint32_t error = 0;
    std::wstring message;
  } rows[] = {{.program = L"C:\\b\\prog.exe", .message = misplaced},
              {.program = L"\\\\srv\\share\\b\\prog.exe", .message = misplaced},
              {.program = L"",
               .error = 122,
               .message = L"Error loading settings. Could not get module filename.\n\n\n"
                          L"Error # 122 = 0x7a :\nSystem message 122."}};
  for (const auto& row : rows) {
    fake::SetProgramPath(row.program, row.error);
    StartupSettings settings;
    std::wstring errorText;
    EXPECT_FALSE(LoadSettingsFromFile(settings, errorText));
    EXPECT_EQ(errorText, row.message) << row.program;
  }
}

}  // namespace
