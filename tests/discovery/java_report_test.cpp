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

const std::wstring kPf = L"C:\\Program Files", kLocal = L"C:\\Users\\u\\AppData\\Local";

// A home with bin\java.exe (a program image for `machine` unless `text`), bin\java.dll and,
// given a version, a release file; javaw.exe too when `javaw`.
void Home(const std::wstring& home, const char* version, bool javaw = false, bool text = false,
          std::uint16_t machine = 0x14C) {
  text ? fake::WriteFile(home + L"\\bin\\java.exe", "text")
       : fake::WriteExecutable(home + L"\\bin\\java.exe", machine);
  if (javaw) fake::WriteExecutable(home + L"\\bin\\javaw.exe");
  fake::WriteFile(home + L"\\bin\\java.dll", "");
  if (*version)
    fake::WriteFile(home + L"\\release", std::string("JAVA_VERSION=\"") + version + "\"\n");
}

TEST(JavaReport, AccountsForEveryRegistrationPlaceAndUnofferedHome) {
  fake::ResetAll();  // the program runs from C:\Program Files\Kelvor\bin\win
  fake::SetWindowsMachine({.nativeMachine = 0xAA64});
  Home(L"C:\\bundles\\windows\\bundled\\java", "17.0.1", false, false, 0xAA64);
  Home(kPf + L"\\Eclipse Adoptium\\jdk-21", "21.0.2", true, false, 0x8664);
  Home(kPf + L"\\Java\\jdk-11.0.2", "11.0.2", true);
  Home(L"C:\\aoj", "16.0.1");
  fake::WriteExecutable(L"C:\\Program Files (x86)\\Java\\jre8\\bin\\javaw.exe");
  const std::wstring values[][3] = {
      {L"Eclipse Adoptium\\JDK\\21.0.2.13\\hotspot\\MSI", L"Path",
       kPf + L"\\Eclipse Adoptium\\jdk-21\\"},
      {L"AdoptOpenJDK\\JDK\\16.0.1\\openj9\\MSI", L"Path", L"C:\\aoj"},
      {L"Microsoft\\JDK\\17.0.9\\hotspot\\MSI", L"Other", L"C:\\ms"},
      {L"JavaSoft\\JDK\\17", L"JavaHome", kPf + L"\\Java\\jdk-17"},
      {L"JavaSoft\\JDK\\11.0.2", L"JavaHome", kPf + L"\\Java\\jdk-11.0.2"},
      {L"Wow6432Node\\JavaSoft\\Java Runtime Environment\\1.8.0_202", L"JavaHome",
       L"C:\\Program Files (x86)\\Java\\jre8"}};
  for (const auto& [key, name, home] : values)
    fake::PutString(platform::Hive::LocalMachine, L"Software\\" + key, name, home);
  fake::PutValue(platform::Hive::CurrentUser, L"Software\\Azul Systems\\Zulu\\zulu-17",
                 L"InstallationPath", platform::kRegDword, {1, 0, 0, 0});
  // Homes no installer registered, and one that is registered but also sits in Program Files.
  Home(L"C:\\Users\\u\\.jdks\\corretto-22", "22.0.1", false, false, 0x8664);
  Home(kPf + L"\\BellSoft\\jdk-21", "", false, true);
  Home(L"C:\\tools\\jdk-17.0.8", "");
  Home(kLocal + L"\\Programs\\jdk-23", "23");
  Home(kPf + L"\\Vendor\\three\\levels", "21");                                 // too deep
  fake::WriteExecutable(L"C:\\ProgramData\\Oracle\\Java\\javapath\\java.exe");  // a stub
  fake::SetEnvironmentVariable(L"JAVA_HOME", L"C:\\Users\\u\\.jdks\\corretto-22");
  fake::SetEnvironmentVariable(L"JDK_HOME", kPf + L"\\BellSoft\\jdk-21\\");
  fake::SetEnvironmentVariable(
      L"Path",
      L"C:\\Windows;\"C:\\tools\\jdk-17.0.8\\bin\\\";C:\\ProgramData\\Oracle\\Java\\javapath");
  fake::SetEnvironmentVariable(L"ProgramW6432", kPf);
  fake::SetEnvironmentVariable(L"ProgramFiles", L"C:\\Program Files (x86)");
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
            L"no-home-value 64-bit   -\n"
            L"below-minimum 64-bit C:\\Program Files\\Java\\jdk-11.0.2 11.0.2 x86\n"
            L"home-missing 64-bit C:\\Program Files\\Java\\jdk-17  -\n"
            L"no-home-value 32-bit   -\n"
            L"below-minimum 32-bit C:\\Program Files (x86)\\Java\\jre8 1.8.0_202 unknown\n");
  std::wstring homes;
  for (const UnofferedHome& u : report.unoffered) {
    homes += u.home + L" " + u.version + L" " + MachineName(u.machine) +
             (u.accepted ? L" accepted" : L" refused");
    for (const std::wstring& finder : u.foundBy) homes += L" " + finder;
    homes += L"\n";
  }
  EXPECT_EQ(homes,
            L"C:\\Users\\u\\.jdks\\corretto-22 22.0.1 x64 accepted JAVA_HOME\n"
            L"C:\\Program Files\\BellSoft\\jdk-21\\  unknown refused JDK_HOME C:\\Program Files\n"
            L"C:\\tools\\jdk-17.0.8  x86 refused PATH\n"
            L"C:\\Users\\u\\AppData\\Local\\Programs\\jdk-23 23 x86 accepted "
            L"C:\\Users\\u\\AppData\\Local C:\\Users\\u\\AppData\\Local\\Programs\n");
  EXPECT_EQ(report.unoffered[2].use,
            L"choose Browse... and pick C:\\tools\\jdk-17.0.8\\bin\\java.exe; the window questions "
            L"it (it does not appear to have a release indentifier file)");
  EXPECT_EQ(fake::OpenHandleCount(), 0);

  // For people the default entry reads as no choice and the bundled runtime as not from the
  // registry; for scripts the JSON parses and holds the same facts, UTF-8 encoded.
  EXPECT_EQ(ListText(report.offered),
            L"[Default]\tno Java chosen: the setting stays empty\r\nBundled OpenJDK  17.0.1  "
            L"(C:\\bundles\\windows\\bundled\\java\\bin\\java.exe)\tOracle\tkit\tarm64\tin the "
            L"installation\tpreferred\r\nEclipse Adoptium  21.0.2  (C:\\Program Files\\Eclipse "
            L"Adoptium\\jdk-21\\bin\\java.exe)\tEclipse\tkit\tx64, runs emulated\t64-bit "
            L"view\tpreferred\r\n");
  EXPECT_TRUE(ReportText(report).starts_with(
      L"Windows runs on arm64: Java built for x86 or x64 runs emulated, more slowly.\r\n"));
  const nlohmann::ordered_json parsed = nlohmann::ordered_json::parse(ReportJson(report));
  EXPECT_EQ(parsed["offered"][0],
            (nlohmann::ordered_json{{"name", "[Default]"}, {"origin", "none-chosen"}}));
  EXPECT_EQ(parsed["registered"][2]["reason"], "the InstallationPath value is not text (type 4)");
  EXPECT_FALSE(parsed["registered"][2].contains("machine"));  // no home, no machine
  EXPECT_EQ(parsed.begin().key(), "system");
  EXPECT_EQ(parsed["system"]["machine"], "arm64");
  EXPECT_EQ(parsed["offered"][2]["runs"], "emulated");
  EXPECT_EQ(parsed["unoffered"][0]["machine"], "x64");
}

// What --why says of the saved Java: [Default], an entry, a path the window matches only
// exactly, a home it does not offer, and a home an update renamed, beside its likely update of
// the same naming and major. The last reads the installation's settings file, as -p does.
TEST(SavedChoice, SaysWhatTheWindowShowsAndTheLikelyUpdateOfAMissingHome) {
  fake::ResetAll();
  const std::wstring adoptium = kPf + L"\\Eclipse Adoptium\\jdk-21.0.2.13-hotspot";
  Home(adoptium, "21.0.2", true, false, 0x8664);
  fake::PutString(platform::Hive::LocalMachine,
                  L"Software\\Eclipse Adoptium\\JDK\\21.0.2.13\\hotspot\\MSI", L"Path", adoptium);
  for (const wchar_t* sibling : {L"jdk-17.0.9.9-hotspot", L"openjdk-21.0.3", L"jdk-21.0.3"})
    Home(kPf + L"\\Eclipse Adoptium\\" + sibling, "21.0.3");  // the last is the update
  // Archives that name their machine: only the x64 build of the same major is the update.
  for (const wchar_t* sibling : {L"zulu21.32-jdk21.0.2-win_x64", L"zulu21.32-jdk21.0.2-win_i686",
                                 L"zulu17.46-jdk17.0.9-win_x64"})
    Home(kPf + L"\\Zulu\\" + sibling, "21", false, false,
         std::wstring(sibling).ends_with(L"x64") ? 0x8664 : 0x14C);
  Home(kLocal + L"\\Programs\\jdk-22", "");
  fake::SetEnvironmentVariable(L"LOCALAPPDATA", kLocal);
  fake::SetEnvironmentVariable(L"ProgramW6432", kPf);
  const std::wstring header =
      L"\r\nThe saved Java, from HKEY_CURRENT_USER\\Software\\ORVEL\\KELVOR "
      L"(HKEY_LOCAL_MACHINE's when the user's has no Arguments):\r\n  ";
  const std::wstring update = L"    likely update (same vendor, major and machine): " + kPf;
  const std::wstring cases[][2] = {
      {L"", L"none: the window shows [Default]\r\n"},
      {adoptium + L"\\bin\\javaw.exe", adoptium +
                                           L"\\bin\\javaw.exe  [x86]\r\n    the window "
                                           L"selects its entry \"Eclipse Adoptium  21.0.2  (" +
                                           adoptium + L"\\bin\\java.exe)\"\r\n"},
      {adoptium + L"/bin/java.exe",
       adoptium +
           L"/bin/java.exe  [x64]\r\n    not offered, so the window shows the path itself: "
           L"the window matches the saved text exactly, and its entry \"Eclipse Adoptium  "
           L"21.0.2  (" +
           adoptium +
           L"\\bin\\java.exe)\" spells this path with other letter "
           L"case or separators\r\n    OK questions it: it is not in a recognized Java "
           L"installation\r\n"},
      {kLocal + L"\\Programs\\jdk-22\\bin\\java.exe",
       kLocal + L"\\Programs\\jdk-22\\bin\\java.exe  [x86]\r\n    not offered, so the window shows "
                L"the path itself: not registered by an installer under a vendor key the window "
                L"reads\r\n    OK questions it: it does not appear to have a release indentifier "
                L"file\r\n"},
      {L"\\Program Files\\Eclipse Adoptium\\jdk-21.0.1.12-hotspot\\bin\\javaw.exe",
       kPf +
           L"\\Eclipse Adoptium\\jdk-21.0.1.12-hotspot\\bin\\javaw.exe  [machine unknown]\r\n    "
           L"no longer exists: the window shows the path itself and OK questions it\r\n" +
           update + L"\\Eclipse Adoptium\\jdk-21.0.2.13-hotspot\\bin\\javaw.exe  [x64]\r\n" +
           update + L"\\Eclipse Adoptium\\jdk-21.0.3\\bin\\javaw.exe  [x86]\r\n"},
      {kPf + L"\\Zulu\\zulu21.30-jdk21.0.1-win_x64\\bin\\java.exe",
       kPf +
           L"\\Zulu\\zulu21.30-jdk21.0.1-win_x64\\bin\\java.exe  [x64]\r\n    no longer exists: "
           L"the window shows the path itself and OK questions it\r\n" +
           update + L"\\Zulu\\zulu21.32-jdk21.0.2-win_x64\\bin\\java.exe  [x64]\r\n"}};
  for (const auto& [java, expected] : cases) {
    const bool fromFile = java.starts_with(L"\\");  // on the installation's drive
    if (fromFile)
      fake::WriteFile(kPf + L"\\Kelvor\\Kelvor_ss", "Java:" + EncodeUtf8(java) + "\r\n");
    else
      fake::PutString(platform::Hive::CurrentUser, L"Software\\ORVEL\\KELVOR", L"Java", java);
    JavaReport report = BuildJavaReport(17);
    report.saved = ExplainSavedJava(LoadSavedSettings(fromFile), report);
    const std::wstring text = ReportText(report);
    EXPECT_EQ(
        text.substr(text.find(L"\r\nThe saved Java")),
        (fromFile ? L"\r\nThe saved Java, from " + kPf + L"\\Kelvor\\Kelvor_ss:\r\n  " : header) +
            expected);
  }
}

// --try: the command line Kelvor's start makes of the saved heap, and each way a JVM answers.
TEST(JavaTrial, ReportsTheVersionLineOrTheJvmsOwnErrorsAndWhetherItWasContained) {
  fake::ResetAll();
  const std::wstring java = L"C:\\jdk\\bin\\java.exe";
  fake::WriteExecutable(java);
  fake::PutString(platform::Hive::CurrentUser, L"Software\\ORVEL\\KELVOR", L"Arguments",
                  L" -J-Xmx4096m");
  const SavedSettings saved = LoadSavedSettings(false);
  using Outcome = platform::ProcessRun::Outcome;
  const std::wstring ran =
      L"  ran: \"C:\\jdk\\bin\\java.exe\" -Xmx4096m -version (the heap as "
      L"saved in " +
      saved.source + L")\r\n";
  const struct {
    platform::ProcessRun run;
    std::wstring path, expected;
  } cases[] = {
      {{.outcome = Outcome::Exited,
        .errors = "\r\nopenjdk version \"21\"\r\nOpenJDK VM\r\n",
        .inJob = true},
       java,
       L"\"C:\\jdk\\bin\\java.exe\" starts: openjdk version \"21\"\r\n" + ran},
      {{.outcome = Outcome::Exited,
        .exitCode = 1,
        .errors = "Error occurred during initialization of VM\r\nCould not reserve enough "
                  "space for object heap\r\n",
        .inJob = true},
       java,
       L"\"C:\\jdk\\bin\\java.exe\" does not start: exit code 1\r\n  Error occurred during "
       L"initialization of VM\r\n  Could not reserve enough space for object heap\r\n" +
           ran},
      {{.outcome = Outcome::TimedOut, .jobError = 5},
       java,
       L"\"C:\\jdk\\bin\\java.exe\" did not finish within 20 seconds and was ended\r\n" + ran +
           L"  not in a job of its own (error 5 (System message 5.)): before Windows 8 "
           L"a program inside another job cannot be given one, so only the time limit ended "
           L"it, and what it started itself may have outlived it\r\n"},
      {{},
       L"C:\\gone\\java.exe",
       L"\"C:\\gone\\java.exe\" could not be started: error 2 (System "
       L"message 2.)\r\n  ran: \"C:\\gone\\java.exe\" -Xmx4096m "
       L"-version (the heap as saved in " +
           saved.source + L")\r\n"},
      {{},
       L"",
       L"No Java is saved (the window shows [Default]) and no PATH was given: nothing to "
       L"try.\r\n"}};
  for (const auto& [run, path, expected] : cases) {
    fake::SetProcessRun(run);
    const JavaTrial trial = TryJava(path, saved.settings.MaxMemoryMB);
    EXPECT_EQ(TrialText(trial, saved), expected);
    EXPECT_EQ(nlohmann::json::parse(TrialJson(trial, saved))["starts"], trial.starts);
  }
  EXPECT_EQ(fake::LastCommandLine(), L"\"C:\\gone\\java.exe\" -Xmx4096m -version");
}

}  // namespace
