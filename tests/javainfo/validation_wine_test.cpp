// Validation of a chosen Java executable against real files and GetBinaryTypeW under Wine.
#include <gtest/gtest.h>

#include <string>

#include "java_wine_files.h"
#include "javainfo/java_validation.h"

namespace {

TEST(ValidationWineTest, RealFilesAndImages) {
  const std::wstring root = java_wine::FreshDirectory(L"validation");
  java_wine::MakeJavaHome(root + L"\\jdk17", "IMPLEMENTOR=\"X\"\r\nJAVA_VERSION=\"17.0.2\"\r\n");
  java_wine::MakeJavaHome(root + L"\\jdk8", "JAVA_VERSION=\"1.8.0_292\"\n");
  java_wine::MakeJavaHome(root + L"\\norelease", "");
  java_wine::MakeJavaHome(root + L"\\nested\\jre", "");
  java_wine::WriteFile(root + L"\\nested\\release", "JAVA_VERSION=\"17\"\n");  // not jre's
  java_wine::MakeJavaHome(root + L"\\nested17\\jre", "JAVA_VERSION=\"21\"\n");
  java_wine::WriteFile(root + L"\\text\\bin\\java.dll", "");
  java_wine::WriteFile(root + L"\\text\\bin\\java.exe", "not a program\r\n");
  java_wine::CopyTinyJava(root + L"\\tools\\java.exe");
  java_wine::CopyTinyJava(root + L"\\jdk17\\bin\\javac.exe");

  const struct {
    const wchar_t* relative;
    std::wstring reason;
  } cases[] = {
      {L"\\jdk17\\bin\\missing.exe", L"does not exist or could not be accessed"},
      {L"\\jdk17\\bin", L"is a directory"},
      {L"\\text\\bin\\java.exe", L"does not appear to be an executable file"},
      {L"\\tools\\java.exe", L"is not in a recognized Java installation"},
      {L"\\jdk17\\bin\\javac.exe", L"is not a recognized Java executable"},
      {L"\\norelease\\bin\\java.exe", L"does not appear to have a release indentifier file"},
      {L"\\nested\\jre\\bin\\java.exe", L"does not appear to have a release indentifier file"},
      {L"\\jdk8\\bin\\javaw.exe",
       L"has major version number 8, which is lower than the required version (17)"},
      {L"\\jdk17\\bin\\java.exe", L""},
      {L"\\jdk17\\bin\\javaw.exe", L""},
      {L"\\nested17\\jre\\bin\\java.exe", L""},
  };
  for (const auto& c : cases) {
    const std::wstring path = root + c.relative;
    SCOPED_TRACE(testing::Message() << path);
    std::wstring reason;
    EXPECT_EQ(ValidateJavaExecutable(path, reason), c.reason.empty());
    EXPECT_EQ(reason, c.reason);
  }
}

}  // namespace
