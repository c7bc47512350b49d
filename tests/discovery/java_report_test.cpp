// The support report over a realistic machine: what became of each registration and runtime
// place, the homes other Java finders see, and the tool's renderings of them.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "discovery/java_report.h"
#include "fakes/fake_platform.h"
#include "java_list/java_list_output.h"

namespace {

const std::wstring kPf = L"C:\\Program Files", kUser = L"C:\\Users\\u",
                   kLocal = kUser + L"\\AppData\\Local",
                   kScoop = kUser + L"\\scoop\\apps\\temurin21",
                   kUninstall = L"Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// A home with bin\java.exe (a program image for `machine`), bin\java.dll and, given a version,
// a release file; javaw.exe too when `javaw`.
void Home(const std::wstring& home, const char* version, bool javaw = false,
          std::uint16_t machine = 0x14C) {
  fake::WriteExecutable(home + L"\\bin\\java.exe", machine);
  if (javaw) fake::WriteExecutable(home + L"\\bin\\javaw.exe");
  fake::WriteFile(home + L"\\bin\\java.dll", "");
  if (*version)
    fake::WriteFile(home + L"\\release", std::string("JAVA_VERSION=\"") + version + "\"\n");
}

TEST(JavaReport, AccountsForEveryRegistrationPlaceAndUnofferedHome) {
  fake::ResetAll();  // the program runs from C:\Program Files\Kelvor\bin\win
  fake::SetWindowsMachine({.nativeMachine = 0xAA64, .windows11 = true});
  Home(L"C:\\bundles\\windows\\bundled\\java", "17.0.1", false, 0xAA64);
  Home(kPf + L"\\Eclipse Adoptium\\jdk-21", "21.0.2", true, 0x8664);
  Home(kPf + L"\\Java\\jdk-11.0.2", "11.0.2", true);
  Home(L"C:\\aoj", "16.0.1");
  const std::wstring values[][3] = {
      {L"Eclipse Adoptium\\JDK\\21.0.2.13\\hotspot\\MSI", L"Path",
       kPf + L"\\Eclipse Adoptium\\jdk-21\\"},
      {L"AdoptOpenJDK\\JDK\\16.0.1\\openj9\\MSI", L"Path", L"C:\\aoj"},
      {L"JavaSoft\\JDK\\17", L"JavaHome", kPf + L"\\Java\\jdk-17"},
      {L"JavaSoft\\JDK\\11.0.2", L"JavaHome", kPf + L"\\Java\\jdk-11.0.2"},
      // Installed programs: one offered, one in the 32-bit view.
      {kUninstall + L"Temurin", L"InstallLocation", kPf + L"\\Eclipse Adoptium\\jdk-21"},
      {L"Wow6432Node\\" + kUninstall + L"{A1}", L"InstallLocation", L"D:\\Java\\jdk-17\\"}};
  for (const auto& [key, name, home] : values)
    fake::PutString(platform::Hive::LocalMachine, L"Software\\" + key, name, home);
  fake::PutValue(platform::Hive::CurrentUser, L"Software\\Azul Systems\\Zulu\\zulu-17",
                 L"InstallationPath", platform::kRegDword, {1, 0, 0, 0});
  // Homes no installer registered, and one that is registered but also sits in Program Files.
  Home(L"C:\\Users\\u\\.jdks\\corretto-22", "22.0.1", false, 0x8664);
  Home(kPf + L"\\BellSoft\\jdk-21", "");
  fake::WriteFile(kPf + L"\\BellSoft\\jdk-21\\bin\\java.exe", "text");          // no program
  Home(kPf + L"\\Vendor\\three\\levels", "21");                                 // too deep
  fake::WriteExecutable(L"C:\\ProgramData\\Oracle\\Java\\javapath\\java.exe");  // a stub
  // Scoop's zulu17\17.0.10 is kept by Scoop but listed only by its current link.
  for (const std::wstring& home : std::initializer_list<std::wstring>{
           L"C:\\tools\\jdk-17.0.8", L"D:\\Java\\jdk-17", kPf + L"\\Android\\Android Studio\\jbr",
           L"C:\\ProgramData\\scoop\\apps\\zulu17\\current",
           L"C:\\ProgramData\\scoop\\apps\\zulu17\\17.0.10", kUser + L"\\.gradle\\jdks\\temurin-21",
           kScoop + L"\\21.0.2",
           kLocal + L"\\Microsoft\\WinGet\\Packages\\Temurin.22_8wekyb3d8bbwe\\jdk-22"})
    Home(home, "");
  // Scoop's current link, and PATH naming the version it leads to: one home, by the link.
  fake::MakeLink(kScoop + L"\\current", kScoop + L"\\21.0.2");
  fake::SetEnvironmentVariable(L"JAVA_HOME", L"C:\\Users\\u\\.jdks\\corretto-22");
  fake::SetEnvironmentVariable(L"JDK_HOME", kPf + L"\\BellSoft\\jdk-21\\");
  fake::SetEnvironmentVariable(
      L"Path",
      L"C:\\Windows;\"C:\\tools\\jdk-17.0.8\\bin\\\";C:\\ProgramData\\Oracle\\Java\\javapath;" +
          kScoop + L"\\21.0.2\\bin");
  fake::SetEnvironmentVariable(L"USERPROFILE", kUser);
  fake::SetEnvironmentVariable(L"ProgramData", L"C:\\ProgramData");
  fake::SetEnvironmentVariable(L"ProgramW6432", kPf);
  fake::SetEnvironmentVariable(L"LOCALAPPDATA", kLocal);

  const JavaReport report = BuildJavaReport(17);
  std::wstring rows;
  for (const RegisteredHome& r : report.registered)
    rows += OutcomeCode(r.outcome) + (L" " + r.view + L" " + r.home + L" " + r.version + L" ") +
            (HasHome(r) ? MachineName(r.machine) : L"-") + L"\n";
  EXPECT_EQ(rows,
            L"no-folder  C:\\Program Files\\Kelvor\\bin\\bundled\\java  -\n"
            L"listed  C:\\bundles\\windows\\bundled\\java 17.0.1 arm64\n"
            L"no-home-value 64-bit   -\n"
            L"listed 64-bit C:\\Program Files\\Eclipse Adoptium\\jdk-21\\ 21.0.2 x64\n"
            L"no-subpath-key 64-bit   -\n"
            L"no-javaw 64-bit C:\\aoj  x86\n"
            L"below-minimum 64-bit C:\\Program Files\\Java\\jdk-11.0.2 11.0.2 x86\n"
            L"home-missing 64-bit C:\\Program Files\\Java\\jdk-17  -\n"
            L"no-home-value 32-bit   -\n");
  std::wstring homes;
  for (const UnofferedHome& u : report.unoffered) {
    homes += u.home + L" " + u.version + L" " + MachineName(u.machine) +
             (u.accepted ? L" accepted" : L" refused");
    for (const std::wstring& finder : u.foundBy) homes += L" " + finder;
    homes += L"\n";
  }
  EXPECT_EQ(homes,
            L"C:\\Users\\u\\.jdks\\corretto-22 22.0.1 x64 accepted JAVA_HOME IDE downloads\n"
            L"C:\\Program Files\\BellSoft\\jdk-21\\  unknown refused JDK_HOME C:\\Program Files\n"
            L"C:\\tools\\jdk-17.0.8  x86 refused PATH\n"
            L"C:\\Users\\u\\scoop\\apps\\temurin21\\current  x86 refused PATH Scoop\n"
            L"C:\\Users\\u\\.gradle\\jdks\\temurin-21  x86 refused Gradle\n"
            L"C:\\ProgramData\\scoop\\apps\\zulu17\\current  x86 refused Scoop global\n"
            L"D:\\Java\\jdk-17\\  x86 refused installed programs\n"
            L"C:\\Users\\u\\AppData\\Local\\Microsoft\\WinGet\\Packages\\Temurin.22_8wekyb3d8bbwe"
            L"\\jdk-22  x86 refused winget\n"
            L"C:\\Program Files\\Android\\Android Studio\\jbr  x86 refused Android Studio\n");
  EXPECT_EQ(fake::OpenHandleCount(), 0);

  // For people an x64 Java on arm64 reads as emulated; for scripts the JSON parses and holds
  // the same facts, one check per section.
  EXPECT_TRUE(ListText(report.offered)
                  .ends_with(L"\tEclipse\tkit\tx64, runs emulated\t64-bit view\tpreferred\r\n"));
  EXPECT_TRUE(ReportText(report).starts_with(L"Windows runs on arm64: "));
  const nlohmann::ordered_json parsed = nlohmann::ordered_json::parse(ReportJson(report));
  EXPECT_EQ(parsed.begin().key() + parsed.begin()->dump(), "system{\"machine\":\"arm64\"}");
  EXPECT_EQ(parsed["offered"][2]["runs"], "emulated");
  EXPECT_EQ(parsed["registered"][2]["reason"], "the InstallationPath value is not text (type 4)");
  EXPECT_EQ(parsed["unoffered"][0]["machine"], "x64");
}

// What --why says of the saved Java: [Default], an entry, a home it does not offer, and a home an
// update renamed, beside its likely update of the same naming and major. The last reads the
// installation's settings file, as -p does.
TEST(SavedChoice, SaysWhatTheWindowShowsAndTheLikelyUpdateOfAMissingHome) {
  fake::ResetAll();
  const std::wstring adoptium = kPf + L"\\Eclipse Adoptium\\jdk-21.0.2.13-hotspot";
  Home(adoptium, "21.0.2", true, 0x8664);
  fake::PutString(platform::Hive::LocalMachine,
                  L"Software\\Eclipse Adoptium\\JDK\\21.0.2.13\\hotspot\\MSI", L"Path", adoptium);
  for (const wchar_t* sibling : {L"jdk-17.0.9.9-hotspot", L"openjdk-21.0.3", L"jdk-21.0.3"})
    Home(kPf + L"\\Eclipse Adoptium\\" + sibling, "21.0.3");  // the last is the update
  // Archives that name their machine: only the x64 build of the same major is the update.
  for (const wchar_t* sibling : {L"zulu21.32-jdk21.0.2-win_x64", L"zulu21.32-jdk21.0.2-win_i686",
                                 L"zulu17.46-jdk17.0.9-win_x64"})
    Home(kPf + L"\\Zulu\\" + sibling, "21", false,
         std::wstring(sibling).ends_with(L"x64") ? 0x8664 : 0x14C);
  Home(kPf + L"\\jdk-22", "22");
  fake::SetEnvironmentVariable(L"ProgramW6432", kPf);
  const std::wstring entry = L"\"Eclipse Adoptium  21.0.2  (" + adoptium + L"\\bin\\java.exe)\"",
                     gone =
                         L"no longer exists: the window shows the path itself and OK "
                         L"questions it\r\n    likely update (same vendor, major and machine): ";
  // The saved text (in the settings file when it starts at the root of the drive), then what
  // follows it in the report.
  const std::wstring cases[][2] = {
      {L"", L"none: the window shows [Default]\r\n"},
      {adoptium + L"\\bin\\javaw.exe", L"  [x86]\r\n    the window selects its entry " + entry},
      {kPf + L"\\jdk-22\\bin\\java.exe",
       L"  [x86]\r\n    not offered, so the window shows the path itself: not registered by an "
       L"installer under a vendor key the window reads\r\n    OK accepts it"},
      {L"\\Program Files\\Eclipse Adoptium\\jdk-21.0.1.12-hotspot\\bin\\javaw.exe",
       L"  [machine unknown]\r\n    " + gone + adoptium + L"\\bin\\javaw.exe  [x64], offered as " +
           entry + L"\r\n" + gone.substr(gone.find(L"    likely")) + kPf +
           L"\\Eclipse Adoptium\\jdk-21.0.3\\bin\\javaw.exe  [x86]"},
      {kPf + L"\\Zulu\\zulu21.30-jdk21.0.1-win_x64\\bin\\java.exe",
       L"  [x64]\r\n    " + gone + kPf +
           L"\\Zulu\\zulu21.32-jdk21.0.2-win_x64\\bin\\java.exe  [x64]"}};
  for (const auto& [java, rest] : cases) {
    const bool fromFile = java.starts_with(L"\\");
    if (fromFile)
      fake::WriteFile(kPf + L"\\Kelvor\\Kelvor_ss", "Java:" + EncodeUtf8(java) + "\r\n");
    else
      fake::PutString(platform::Hive::CurrentUser, L"Software\\ORVEL\\KELVOR", L"Java", java);
    JavaReport report = BuildJavaReport(17);
    report.saved = ExplainSavedJava(LoadSavedSettings(fromFile), report);
    // After the line naming where the settings came from (the registry still holds the previous
    // case's path when the file is read).
    const std::wstring text = ReportText(report);
    EXPECT_EQ(text.substr(text.find(L":\r\n  ", text.find(L"\r\nThe saved Java"))),
              std::wstring(L":\r\n  ") + (fromFile ? L"C:" : L"") + java + rest +
                  (java.empty() ? L"" : L"\r\n"));
    EXPECT_EQ(nlohmann::json::parse(ReportJson(report))["savedJava"]["path"],
              EncodeUtf8((fromFile ? L"C:" : L"") + java));
  }
}

// --try: the command line Kelvor's start makes of the saved heap, and each way a JVM answers
// (the Wine test shows a JVM's own error lines, from a real process).
TEST(JavaTrial, ReportsTheVersionLineOrTheJvmsOwnErrorsAndWhetherItWasContained) {
  fake::ResetAll();
  const std::wstring java = L"C:\\jdk\\bin\\java.exe";
  fake::WriteExecutable(java);
  fake::PutString(platform::Hive::CurrentUser, L"Software\\ORVEL\\KELVOR", L"Arguments",
                  L" -J-Xmx4096m");
  const SavedSettings saved = LoadSavedSettings(false);
  const std::wstring ran = L"  ran: \"" + java +
                           L"\" -Xmx4096m -version (the maximum heap saved in "
                           L"HKEY_CURRENT_USER\\Software\\ORVEL\\KELVOR)\r\n";
  using Outcome = platform::ProcessRun::Outcome;
  // How the run ended, its exit code, start error, output, standard error, whether it had a job
  // of its own and why not; what the tool says before the command line.
  const std::pair<platform::ProcessRun, std::wstring> cases[] = {
      {{Outcome::Exited, 0, 0, "", "\r\nopenjdk version \"21\"\r\nOpenJDK VM\r\n", true, 0},
       L"starts: openjdk version \"21\"\r\n"},
      {{Outcome::TimedOut, 0, 0, "", "", true, 0},
       L"did not finish within 20 seconds and was ended\r\n"},
      {{Outcome::NotStarted, 0, 3}, L"could not be started: error 3 (System message 3.)\r\n"}};
  for (const auto& [run, expected] : cases) {
    fake::SetProcessRun(run);
    const JavaTrial trial = TryJava(java, saved.settings.MaxMemoryMB);
    EXPECT_EQ(TrialText(trial, saved), L"\"" + java + L"\" " + expected + ran);
    EXPECT_EQ(nlohmann::json::parse(TrialJson(trial, saved))["exitCode"], trial.run.exitCode);
  }
  EXPECT_TRUE(TrialText(TryJava(L"", 0), saved).starts_with(L"No Java is saved"));
}

TEST(JavaReport, AHomeVariableThatIsNoJavaHomeSaysWhy) {
  fake::ResetAll();
  Home(L"C:\\jdk", "", true);
  Home(L"C:\\jre", "");
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"C:\\jre", L"a Java home without bin\\javaw.exe, which the window needs"},
      {L"\"C:\\jdk\"", L"the value is in quotes, which Windows takes as part of the folder name"},
      {L"C:\\jdk\\bin", L"it names the bin folder; the Java home is the folder above it, C:\\jdk"},
      {L"C:\\absent", L"the folder does not exist"}};
  for (const auto& [value, problem] : cases) {
    fake::SetEnvironmentVariable(L"JDK_HOME", value);
    EXPECT_EQ(BuildJavaReport(17).variables.at(0).problem, problem) << value;
  }
}

// Console output goes in pieces; a piece never ends between the two halves of a surrogate pair.
TEST(JavaListOutput, ConsolePiecesNeverEndInsideASurrogatePair) {
  const struct {
    std::u16string_view text;
    std::size_t limit, length;
  } rows[] = {{.text = u"abcde", .limit = 4, .length = 4},
              {.text = u"abc\xD83D\xDE00", .limit = 4, .length = 3},  // the pair waits
              {.text = u"\xD83D\xDE00", .limit = 1, .length = 1}};    // one unit still moves on
  for (const auto& row : rows)
    EXPECT_EQ(ConsolePieceLength(std::wstring(row.text.begin(), row.text.end()), row.limit),
              row.length);
}

}  // namespace
