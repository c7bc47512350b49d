// Runs the kelvor-java-list console tool and reads what it prints through a pipe.
#include <gtest/gtest.h>

#include <string>

#include "../javainfo/java_wine_files.h"

namespace {

std::wstring ToolPath() {
  return java_wine::ProgramDirectory() + L"\\kelvor-java-list.exe";
}

std::string Utf8(const std::wstring& text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length,
                      nullptr, nullptr);
  return bytes;
}

class JavaListWineTest : public testing::Test {
 protected:
  void SetUp() override { java_wine::DeleteVendorKeys(); }
  void TearDown() override { java_wine::DeleteVendorKeys(); }
};

TEST_F(JavaListWineTest, ListsInOrder) {
  const std::wstring root = java_wine::FreshDirectory(L"list \x00e9");
  java_wine::MakeJavaHome(root + L"\\jdk17", "JAVA_VERSION=\"17.0.2\"\n");
  java_wine::MakeJavaHome(root + L"\\jre21", "JAVA_VERSION=\"21\"\n");
  for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    ASSERT_TRUE(java_wine::PutRegistryString(
        HKEY_LOCAL_MACHINE, view, L"Software\\JavaSoft\\JDK\\17", L"JavaHome", root + L"\\jdk17"));
  }
  ASSERT_TRUE(java_wine::PutRegistryString(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY,
                                           L"Software\\JavaSoft\\JRE\\21", L"JavaHome",
                                           root + L"\\jre21"));
  java_wine::ProcessResult result;
  ASSERT_TRUE(java_wine::RunProcess(java_wine::Quoted(ToolPath()), result));
  EXPECT_EQ(result.exitCode, 0u);
  const std::string jdk =
      Utf8(L"Oracle JDK  17.0.2  (" + root + L"\\jdk17\\bin\\java.exe)\tOracle\tkit\t");
  const std::string expected = "[Default]\tOracle\tkit\t64-bit view\tpreferred\r\n" + jdk +
                               "64-bit view\tpreferred\r\n" + jdk + "32-bit view\tpreferred\r\n" +
                               Utf8(L"Oracle JRE  21  (" + root + L"\\jre21\\bin\\java.exe)") +
                               "\tOracle\truntime\t64-bit view\tpreferred\r\n";
  EXPECT_EQ(result.output, expected);
}

TEST_F(JavaListWineTest, ChecksOnePath) {
  const std::wstring root = java_wine::FreshDirectory(L"check");
  java_wine::MakeJavaHome(root + L"\\jdk17", "JAVA_VERSION=\"17\"\n");
  java_wine::MakeJavaHome(root + L"\\jdk11", "JAVA_VERSION=\"11.0.2\"\n");
  const struct {
    std::wstring path;
    DWORD exitCode;
    std::wstring text;
  } cases[] = {
      {root + L"\\jdk17\\bin\\java.exe", 0, L"passes every Java executable check."},
      {root + L"\\jdk11\\bin\\java.exe", 1,
       L"has major version number 11, which is lower than the required version (17)."},
      {root + L"\\\x00fc\\java.exe", 1, L"does not exist or could not be accessed."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.path);
    java_wine::ProcessResult result;
    ASSERT_TRUE(java_wine::RunProcess(
        java_wine::Quoted(ToolPath()) + L" --check " + java_wine::Quoted(c.path), result));
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(result.output, Utf8(L"\"" + c.path + L"\" " + c.text + L"\r\n"));
  }
  java_wine::ProcessResult usage;
  ASSERT_TRUE(java_wine::RunProcess(java_wine::Quoted(ToolPath()) + L" --bogus", usage));
  EXPECT_EQ(usage.exitCode, 2u);
}

}  // namespace
