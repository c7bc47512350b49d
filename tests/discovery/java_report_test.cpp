// The support report over a realistic machine: what became of each registration and runtime
// place, the homes other Java finders see, and the tool's renderings of them.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "discovery/java_report.h"
#include "fakes/fake_platform.h"
#include "java_list_output.h"

namespace {

using platform::Hive;

// A home with bin\java.exe (a program image when `image`), bin\java.dll when `dll`, and a
// release file naming `version` when it is not empty; javaw.exe too when `javaw`.
void MakeHome(const std::wstring& home, const char* version, bool javaw, bool image = true,
              bool dll = true) {
  if (image)
    fake::WriteExecutable(home + L"\\bin\\java.exe");
  else
    fake::WriteFile(home + L"\\bin\\java.exe", "text");
  if (javaw) fake::WriteExecutable(home + L"\\bin\\javaw.exe");
  if (dll) fake::WriteFile(home + L"\\bin\\java.dll", "");
  if (*version)
    fake::WriteFile(home + L"\\release", std::string("JAVA_VERSION=\"") + version + "\"\n");
}

const std::wstring kPf = L"C:\\Program Files", kLocal = L"C:\\Users\\u\\AppData\\Local";

void MakeMachine() {
  fake::ResetAll();  // the program runs from C:\Program Files\Kelvor\bin\win
  fake::MakeDirectory(L"C:\\bundles\\windows\\bundled\\java\\bin");
  fake::WriteFile(L"C:\\bundles\\windows\\bundled\\java\\release", "JAVA_VERSION=\"17.0.1\"\n");
  MakeHome(kPf + L"\\Eclipse Adoptium\\jdk-21", "21.0.2", true);
  MakeHome(kPf + L"\\Java\\jdk-11.0.2", "11.0.2", true);
  MakeHome(L"C:\\aoj", "16.0.1", false);
  fake::WriteExecutable(L"C:\\Program Files (x86)\\Java\\jre8\\bin\\javaw.exe");
  const std::wstring values[][3] = {
      {L"Eclipse Adoptium\\JDK\\21.0.2.13\\hotspot\\MSI", L"Path",
       kPf + L"\\Eclipse Adoptium\\jdk-21\\"},
      {L"AdoptOpenJDK\\JDK\\16.0.1\\openj9\\MSI", L"Path", L"C:\\aoj"},
      {L"Microsoft\\JDK\\17.0.9\\hotspot\\MSI", L"Other", L"C:\\ms"},
      {L"JavaSoft\\JDK\\17", L"JavaHome", kPf + L"\\Java\\jdk-17"},
      {L"JavaSoft\\JDK\\11.0.2", L"JavaHome", kPf + L"\\Java\\jdk-11.0.2"},
      {L"Wow6432Node\\JavaSoft\\Java Runtime Environment\\1.8.0_202", L"JavaHome",
       L"C:\\Program Files (x86)\\Java\\jre8"},
  };
  for (const auto& [key, name, home] : values)
    fake::PutString(Hive::LocalMachine, L"Software\\" + key, name, home);
  fake::PutValue(Hive::CurrentUser, L"Software\\Azul Systems\\Zulu\\zulu-17", L"InstallationPath",
                 platform::kRegDword, {1, 0, 0, 0});

  // Homes no installer registered, and one that is registered but also sits in Program Files.
  MakeHome(L"C:\\Users\\u\\.jdks\\corretto-22", "22.0.1", false);
  MakeHome(kPf + L"\\BellSoft\\jdk-21", "", false, false);
  MakeHome(L"C:\\tools\\jdk-17.0.8", "", false);
  MakeHome(kLocal + L"\\Programs\\jdk-23", "23", false);
  MakeHome(kPf + L"\\Vendor\\three\\levels", "21", false);  // too deep to look at
  fake::WriteExecutable(L"C:\\ProgramData\\Oracle\\Java\\javapath\\java.exe");  // a launcher stub
  fake::SetEnvironmentVariable(L"JAVA_HOME", L"C:\\Users\\u\\.jdks\\corretto-22");
  fake::SetEnvironmentVariable(L"JDK_HOME", kPf + L"\\BellSoft\\jdk-21\\");
  fake::SetEnvironmentVariable(L"Path",
                               L"C:\\Windows;\"C:\\tools\\jdk-17.0.8\\bin\\\";"
                               L"C:\\ProgramData\\Oracle\\Java\\javapath");
  fake::SetEnvironmentVariable(L"ProgramW6432", kPf);
  fake::SetEnvironmentVariable(L"ProgramFiles", L"C:\\Program Files (x86)");
  fake::SetEnvironmentVariable(L"LOCALAPPDATA", kLocal);
}

TEST(JavaReport, AccountsForEveryRegistrationPlaceAndUnofferedHome) {
  MakeMachine();
  const JavaReport report = BuildJavaReport(17);

  std::vector<std::wstring> registered;
  for (const RegisteredHome& r : report.registered)
    registered.push_back(r.place + L"|" + r.view + L"|" + r.home + L"|" + OutcomeCode(r.outcome) +
                         L"|" + r.version + L"|" + r.entry + r.reason);
  const std::wstring
      hklm = L"HKEY_LOCAL_MACHINE\\Software\\",
      zulu = L"HKEY_CURRENT_USER\\Software\\Azul Systems\\Zulu\\zulu-17, value InstallationPath|";
  const std::wstring bundled = L"C:\\bundles\\windows\\bundled\\java";
  const std::vector<std::wstring> expected = {
      kPf + L"\\Kelvor\\bin\\bundled\\java\\bin||" + kPf +
          L"\\Kelvor\\bin\\bundled\\java|no-folder||no such folder",
      bundled + L"\\bin||" + bundled + L"|listed|17.0.1|Bundled OpenJDK  17.0.1  (" + bundled +
          L"\\bin\\java.exe)",
      zulu + L"64-bit||no-home-value||the InstallationPath value is not text (type 4)",
      hklm + L"Eclipse Adoptium\\JDK\\21.0.2.13\\hotspot\\MSI, value Path|64-bit|" + kPf +
          L"\\Eclipse Adoptium\\jdk-21\\|listed|21.0.2|Eclipse Adoptium  21.0.2  (" + kPf +
          L"\\Eclipse Adoptium\\jdk-21\\bin\\java.exe)",
      hklm +
          L"AdoptOpenJDK\\JDK\\16.0.1\\hotspot\\MSI, value Path|64-bit||no-subpath-key||no "
          L"hotspot\\MSI key below it, where this layout keeps the home",
      hklm +
          L"AdoptOpenJDK\\JDK\\16.0.1\\openj9\\MSI, value Path|64-bit|C:\\aoj|no-javaw||no "
          L"bin\\javaw.exe in the home",
      hklm +
          L"Microsoft\\JDK\\17.0.9\\hotspot\\MSI, value Path|64-bit||no-home-value||no Path "
          L"value",
      hklm + L"JavaSoft\\JDK\\11.0.2, value JavaHome|64-bit|" + kPf +
          L"\\Java\\jdk-11.0.2|below-minimum|11.0.2|version \"11.0.2\" (from " + kPf +
          L"\\Java\\jdk-11.0.2\\release) is Java 11, below the minimum, Java 17",
      hklm + L"JavaSoft\\JDK\\17, value JavaHome|64-bit|" + kPf +
          L"\\Java\\jdk-17|home-missing||the home folder does not exist",
      zulu + L"32-bit||no-home-value||the InstallationPath value is not text (type 4)",
      hklm +
          L"JavaSoft\\Java Runtime Environment\\1.8.0_202, value JavaHome|32-bit|C:\\Program "
          L"Files (x86)\\Java\\jre8|below-minimum|1.8.0_202|version \"1.8.0_202\" (from the "
          L"key name) is Java 8, below the minimum, Java 17",
  };
  EXPECT_EQ(registered, expected);

  std::vector<std::wstring> unoffered;
  for (const UnofferedHome& u : report.unoffered) {
    std::wstring line = u.home + L"|" + u.version + (u.accepted ? L"|accepted|" : L"|refused|");
    for (const std::wstring& finder : u.foundBy) line += finder + L";";
    unoffered.push_back(line);
  }
  const std::wstring programs = kLocal + L"\\Programs";
  EXPECT_EQ(unoffered, (std::vector<std::wstring>{
                           L"C:\\Users\\u\\.jdks\\corretto-22|22.0.1|accepted|JAVA_HOME;",
                           kPf + L"\\BellSoft\\jdk-21\\||refused|JDK_HOME;" + kPf + L";",
                           L"C:\\tools\\jdk-17.0.8||refused|PATH;",
                           programs + L"\\jdk-23|23|accepted|" + kLocal + L";" + programs + L";"}));
  EXPECT_EQ(report.unoffered[2].use,
            L"choose Browse... and pick C:\\tools\\jdk-17.0.8\\bin\\java.exe; the window questions "
            L"it (it does not appear to have a release indentifier file)");
  EXPECT_EQ(fake::OpenHandleCount(), 0);

  // For people the default entry reads as no choice and the bundled runtime as not from the
  // registry; for scripts the JSON parses and holds the same facts.
  EXPECT_EQ(
      ListText(report.offered),
      L"[Default]\tno Java chosen: the setting stays empty\r\nBundled OpenJDK  17.0.1  (" +
          bundled + L"\\bin\\java.exe)\tOracle\tkit\tin the installation\tpreferred\r\n" +
          L"Eclipse Adoptium  21.0.2  (" + kPf +
          L"\\Eclipse Adoptium\\jdk-21\\bin\\java.exe)\tEclipse\tkit\t64-bit view\tpreferred\r\n");
  const nlohmann::json parsed = nlohmann::json::parse(ReportJson(report));
  EXPECT_EQ(parsed["offered"][0],
            (nlohmann::json{{"name", "[Default]"}, {"origin", "none-chosen"}}));
  EXPECT_EQ(parsed["offered"][2]["major"], 21);
  EXPECT_EQ(parsed["registered"].size(), 11u);
  EXPECT_EQ(parsed["registered"][10]["outcome"], "below-minimum");
  EXPECT_EQ(parsed["unoffered"][1]["foundBy"], (nlohmann::json{"JDK_HOME", "C:\\Program Files"}));
  EXPECT_EQ(
      nlohmann::json::parse(CheckJson(L"C:\\j\xE9\\java.exe", false, L"is a directory")),
      (nlohmann::json{
          {"path", "C:\\j\xC3\xA9\\java.exe"}, {"accepted", false}, {"reason", "is a directory"}}));
}

}  // namespace
