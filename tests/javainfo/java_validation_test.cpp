// The nine checks on a chosen Java executable, each with its exact reason.
#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_platform.h"
#include "javainfo/java_validation.h"

namespace {

class JavaValidation : public testing::Test {
 protected:
  void SetUp() override {
    fake::ResetAll();
    // A plain home with a release file, and a nested-jre home whose release sits in jre.
    MakeHome(L"C:\\jdk17", L"bin", "JAVA_VERSION=\"17.0.2\"\n");
    MakeHome(L"C:\\old\\jre", L"bin", "JAVA_VERSION=\"1.8.0_292\"\n");
    fake::WriteFile(L"C:\\old\\jre\\bin\\java.dll", "");
    fake::WriteExecutable(L"C:\\old\\bin\\java.exe");
  }
  static void MakeHome(const std::wstring& home, const std::wstring& bin,
                       const std::string& release) {
    fake::WriteFile(home + L"\\" + bin + L"\\java.dll", "");
    fake::WriteExecutable(home + L"\\" + bin + L"\\java.exe");
    fake::WriteExecutable(home + L"\\" + bin + L"\\javaw.exe");
    if (!release.empty()) fake::WriteFile(home + L"\\release", release);
  }
};

TEST_F(JavaValidation, ReasonOfFirstFailingCheck) {
  MakeHome(L"C:\\norel", L"bin", "");
  MakeHome(L"C:\\nokey", L"bin", "IMPLEMENTOR=\"X\"\n");
  MakeHome(L"C:\\one", L"bin", "JAVA_VERSION=\"1\"\n");
  MakeHome(L"C:\\j11", L"bin", "JAVA_VERSION=\"11.0.2\"\n");
  MakeHome(L"C:\\j21", L"bin", "JAVA_VERSION=\"21.0.1\"\n");
  MakeHome(L"C:\\j17", L"bin", "JAVA_VERSION=\"17\"\n");
  MakeHome(L"C:\\nested", L"jre\\bin", "JAVA_VERSION=\"17\"\n");  // release in home, not jre
  MakeHome(L"C:\\BIGBIN", L"BIN", "JAVA_VERSION=\"17\"\n");
  fake::WriteFile(L"C:\\text\\bin\\java.exe", "plain text");
  fake::WriteFile(L"C:\\text\\bin\\java.dll", "");
  fake::WriteExecutable(L"C:\\tools\\java.exe");
  fake::WriteExecutable(L"C:\\jdk17\\bin\\javac.exe");
  fake::WriteExecutable(L"C:\\jdk17\\bin\\JAVA.EXE");
  fake::WriteExecutable(L"C:\\nodll\\bin\\java.exe");
  const std::wstring notInstallation = L"is not in a recognized Java installation";
  const std::wstring noRelease = L"does not appear to have a release indentifier file";
  const struct {
    const wchar_t* path;
    std::wstring reason;  // empty: valid
  } cases[] = {
      {L"C:\\jdk17\\bin\\missing.exe", L"does not exist or could not be accessed"},
      {L"C:\\jdk17\\bin", L"is a directory"},
      {L"C:\\text\\bin\\java.exe", L"does not appear to be an executable file"},
      {L"C:\\tools\\java.exe", notInstallation},
      {L"C:\\BIGBIN\\BIN\\java.exe", notInstallation},
      {L"C:\\nodll\\bin\\java.exe", notInstallation},
      {L"C:\\jdk17\\bin\\javac.exe", L"is not a recognized Java executable"},
      {L"C:\\jdk17\\bin\\JAVA.EXE", L"is not a recognized Java executable"},
      {L"C:\\norel\\bin\\java.exe", noRelease},
      {L"C:\\nokey\\bin\\java.exe", noRelease},
      {L"C:\\nested\\jre\\bin\\java.exe", noRelease},
      {L"C:\\one\\bin\\java.exe", L"appears to have an invalid release indentifier file"},
      {L"C:\\old\\jre\\bin\\java.exe",
       L"has major version number 8, which is lower than the required version (17)"},
      {L"C:\\j11\\bin\\javaw.exe",
       L"has major version number 11, which is lower than the required version (17)"},
      {L"C:\\jdk17\\bin\\java.exe", L""},
      {L"C:\\jdk17\\bin\\javaw.exe", L""},
      {L"C:\\j21\\bin\\java.exe", L""},
      {L"C:\\j17\\bin\\java.exe", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.path);
    std::wstring reason = c.reason.empty() ? L"" : L"sentinel";
    EXPECT_EQ(ValidateJavaExecutable(c.path, reason), c.reason.empty());
    EXPECT_EQ(reason, c.reason);
  }
}

TEST_F(JavaValidation, InstallationLayoutAndName) {
  // The home of C:\old\bin is C:\old, which has jre\bin\java.dll: the nested layout counts.
  EXPECT_TRUE(IsInJavaInstallation(L"C:\\old\\bin\\java.exe"));
  EXPECT_FALSE(IsInJavaInstallation(L"C:/jdk17/bin/java.exe"));  // only backslashes separate
  EXPECT_FALSE(IsJavaExecutableName(L"java.exe"));
  EXPECT_FALSE(IsJavaExecutableName(L"C:\\bin/java.exe"));
}

}  // namespace
