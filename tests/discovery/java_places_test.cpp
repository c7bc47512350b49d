// Each place other Java finders look, and what the report says of JAVA_HOME and JDK_HOME.
#include <gtest/gtest.h>

#include "discovery/java_report.h"
#include "fakes/fake_world_test.h"

namespace {

using JavaPlacesTest = FakeWorldTest;

const std::wstring kUser = L"C:\\Users\\u", kLocal = kUser + L"\\AppData\\Local",
                   kUninstall = L"Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

void Home(const std::wstring& home, bool javaw = true) {
  fake::WriteExecutable(home + L"\\bin\\java.exe");
  if (javaw) fake::WriteExecutable(home + L"\\bin\\javaw.exe");
}

std::wstring Found(const JavaReport& report) {
  std::wstring found;
  for (const UnofferedHome& home : report.unoffered) {
    found += home.home + L" <-";
    for (const std::wstring& finder : home.foundBy) found += L" " + finder;
    found += L"\n";
  }
  return found;
}

TEST_F(JavaPlacesTest, EachPlaceNamesItsHomesOnceWithAllTheirFinders) {
  for (const auto& [name, value] : {std::pair{L"USERPROFILE", kUser},
                                    {L"LOCALAPPDATA", kLocal},
                                    {L"ProgramData", std::wstring(L"C:\\ProgramData")},
                                    {L"ProgramW6432", std::wstring(L"C:\\Program Files")}})
    fake::SetEnvironmentVariable(name, value);
  Home(kUser + L"\\.jdks\\corretto-21");
  Home(kUser + L"\\.gradle\\jdks\\adoptium-17\\jdk-17.0.9+9");
  Home(kUser + L"\\.gradle\\jdks\\temurin-21");
  // Scoop's current link and the version it leads to, named by JAVA_HOME: one home, by the link.
  Home(kUser + L"\\scoop\\apps\\temurin21-jdk\\21.0.2");
  fake::MakeDirectoryLink(kUser + L"\\scoop\\apps\\temurin21-jdk\\current",
                          kUser + L"\\scoop\\apps\\temurin21-jdk\\21.0.2");
  fake::SetEnvironmentVariable(L"JAVA_HOME", kUser + L"\\scoop\\apps\\temurin21-jdk\\21.0.2");
  Home(L"C:\\ProgramData\\scoop\\apps\\zulu17-jdk\\current");
  Home(L"C:\\ProgramData\\scoop\\apps\\zulu17-jdk\\17.0.10");  // an older version, left as is
  Home(L"D:\\Java\\jdk-17");
  fake::PutString(platform::Hive::LocalMachine, L"Software\\Wow6432Node\\" + kUninstall + L"{A1}",
                  L"InstallLocation", L"D:\\Java\\jdk-17\\");
  fake::PutString(platform::Hive::CurrentUser, L"Software\\" + kUninstall + L"Editor",
                  L"InstallLocation", L"C:\\Editor");
  Home(kLocal + L"\\Microsoft\\WinGet\\Packages\\Temurin.22_8wekyb3d8bbwe\\jdk-22+36");
  Home(L"C:\\Program Files\\Android\\Android Studio\\jbr");
  Home(L"E:\\AS\\jbr");
  fake::PutString(platform::Hive::LocalMachine, L"Software\\" + kUninstall + L"Android Studio",
                  L"InstallLocation", L"E:\\AS");

  EXPECT_EQ(Found(BuildJavaReport(17)),
            L"C:\\Users\\u\\scoop\\apps\\temurin21-jdk\\current <- JAVA_HOME Scoop\n"
            L"C:\\Users\\u\\.jdks\\corretto-21 <- IDE downloads\n"
            L"C:\\Users\\u\\.gradle\\jdks\\adoptium-17\\jdk-17.0.9+9 <- Gradle\n"
            L"C:\\Users\\u\\.gradle\\jdks\\temurin-21 <- Gradle\n"
            L"C:\\ProgramData\\scoop\\apps\\zulu17-jdk\\current <- Scoop global\n"
            L"D:\\Java\\jdk-17\\ <- installed programs\n"
            L"C:\\Users\\u\\AppData\\Local\\Microsoft\\WinGet\\Packages\\Temurin.22_8wekyb3d8bbwe"
            L"\\jdk-22+36 <- winget\n"
            L"C:\\Program Files\\Android\\Android Studio\\jbr <- Android Studio\n"
            L"E:\\AS\\jbr <- Android Studio\n");
}

TEST_F(JavaPlacesTest, AHomeVariableThatIsNoJavaHomeSaysWhy) {
  Home(L"C:\\jdk");
  Home(L"C:\\jre", false);
  fake::MakeDirectory(L"C:\\Windows");
  const struct {
    const wchar_t* value;
    const wchar_t* problem;
  } cases[] = {
      {L"C:\\jdk", L""},
      {L"C:\\jdk\\", L""},
      {L"C:\\jre", L"a Java home without bin\\javaw.exe, which the window needs"},
      {L"\"C:\\jdk\"", L"the value is in quotes, which Windows takes as part of the folder name"},
      {L"C:\\jdk ",
       L"the value ends in white space, which Windows takes as part of the folder name"},
      {L"C:\\jdk\\bin", L"it names the bin folder; the Java home is the folder above it, C:\\jdk"},
      {L"C:\\absent", L"the folder does not exist"},
      {L"C:\\jdk\\bin\\java.exe", L"it names a file, not a folder"},
      {L"C:\\Windows", L"the folder has no bin\\java.exe"}};
  for (const auto& [value, problem] : cases) {
    fake::SetEnvironmentVariable(L"JDK_HOME", value);
    const JavaReport report = BuildJavaReport(17);
    ASSERT_EQ(report.variables.size(), 1u);
    EXPECT_EQ(report.variables[0].problem, problem) << value;
  }
}

}  // namespace
