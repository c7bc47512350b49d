// Java discovery against Wine's real registry views and folders, and the bundled runtime seen
// from a copy of this program placed inside a fake installation.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../javainfo/java_wine_files.h"
#include "discovery/bundled_runtime.h"
#include "discovery/vendor_search.h"

namespace {

class DiscoveryWineTest : public testing::Test {
 protected:
  void SetUp() override {
    java_wine::DeleteVendorKeys();
    root_ = java_wine::FreshDirectory(L"discovery");
  }
  void TearDown() override { java_wine::DeleteVendorKeys(); }

  // Only what this test registered: the prefix may hold other finds.
  std::vector<JavaCandidate> Mine(const std::vector<JavaCandidate>& all) const {
    std::vector<JavaCandidate> mine;
    for (const JavaCandidate& candidate : all) {
      if (candidate.javaPath.starts_with(root_)) mine.push_back(candidate);
    }
    return mine;
  }

  std::wstring root_;
};

TEST_F(DiscoveryWineTest, BothViewsBothHives) {
  ASSERT_TRUE(RunningUnderWow64()) << "a 32-bit test in a 64-bit prefix";
  const std::wstring jdk17 = root_ + L"\\jdk17";
  const std::wstring jdk21 = root_ + L"\\jdk21";
  const std::wstring ibm = root_ + L"\\ibm";
  const std::wstring old = root_ + L"\\old";
  const std::wstring noJavaw = root_ + L"\\nojavaw";
  java_wine::MakeJavaHome(jdk17, "JAVA_VERSION=\"17.0.2\"\n");
  java_wine::MakeJavaHome(jdk21, "JAVA_VERSION=\"21.0.1\"\n");
  java_wine::MakeJavaHome(ibm, "JAVA_VERSION=\"17.0.5\"\n");
  java_wine::MakeJavaHome(old, "");
  java_wine::CopyTinyJava(noJavaw + L"\\bin\\java.exe");

  const struct {
    HKEY root;
    REGSAM view;
    const wchar_t* key;
    const wchar_t* name;
    std::wstring home;
  } values[] = {
      {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"Software\\JavaSoft\\JDK\\17.0.2", L"JavaHome", jdk17},
      {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, L"Software\\JavaSoft\\JDK\\17.0.2", L"JavaHome", jdk17},
      {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"Software\\JavaSoft\\JRE\\18", L"JavaHome", noJavaw},
      {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"Software\\IBM\\Java Development Kit\\1.8.0_202",
       L"JavaHome", old},
      {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"Software\\IBM\\Java Development Kit\\11", L"JavaHome",
       ibm},
      {HKEY_CURRENT_USER, KEY_WOW64_64KEY, L"Software\\Eclipse Adoptium\\JDK\\21\\hotspot\\MSI",
       L"Path", jdk21 + L"\\"},
  };
  for (const auto& v : values) {
    ASSERT_TRUE(java_wine::PutRegistryString(v.root, v.view, v.key, v.name, v.home)) << v.key;
  }

  std::vector<JavaCandidate> found;
  SearchVendorKeys(17, found);
  found = Mine(found);
  // Search order: 64-bit view (user, then machine), then the process's own view.
  const struct {
    std::wstring displayName;
    bool is64Bit;
  } expected[] = {
      {L"Eclipse Adoptium  21.0.1  (" + jdk21 + L"\\bin\\java.exe)", true},
      {L"Oracle JDK  17.0.2  (" + jdk17 + L"\\bin\\java.exe)", true},
      {L"IBM JDK  17.0.5  (" + ibm + L"\\bin\\java.exe)", true},
      {L"Eclipse Adoptium  21.0.1  (" + jdk21 + L"\\bin\\java.exe)", false},
      {L"Oracle JDK  17.0.2  (" + jdk17 + L"\\bin\\java.exe)", false},
  };
  ASSERT_EQ(found.size(), std::size(expected));
  for (std::size_t i = 0; i < found.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "#" << i);
    EXPECT_EQ(found[i].displayName, expected[i].displayName);
    EXPECT_EQ(found[i].is64Bit, expected[i].is64Bit);
  }
  // SearchPathW hands back the path it found; only the case of the letters may differ.
  EXPECT_EQ(CompareStringOrdinal(found[1].javawPath.c_str(), -1,
                                 (jdk17 + L"\\bin\\javaw.exe").c_str(), -1, TRUE),
            CSTR_EQUAL);
}

// Runs inside a copy of this program placed in a fake installation by the test below; the
// expected java.exe path (or "none") comes through the environment.
TEST(BundledRuntimeChild, FindsWhatTheParentExpects) {
  const wchar_t* expected = _wgetenv(L"KELVOR_EXPECT_BUNDLED_JAVA");
  if (expected == nullptr) GTEST_SKIP() << "runs only as a child of BundledRuntimeLayouts";
  std::vector<JavaCandidate> candidates;
  FindRuntimeInInstallation(candidates);
  if (std::wstring(expected) == L"none") {
    EXPECT_TRUE(candidates.empty());
    return;
  }
  ASSERT_EQ(candidates.size(), 1u);
  EXPECT_EQ(candidates[0].javaPath, expected);
  EXPECT_EQ(candidates[0].displayName,
            L"Bundled OpenJDK  17.0.1  (" + std::wstring(expected) + L")");
}

TEST_F(DiscoveryWineTest, BundledRuntimeLayouts) {
  const std::wstring layout1 = root_ + L"\\one\\K\\bin\\bundled\\java";
  const std::wstring layout2 = root_ + L"\\two\\bundles\\windows\\bundled\\java";
  const struct {
    std::wstring program;
    std::wstring home;  // empty: nothing to find
  } cases[] = {
      {root_ + L"\\one\\K\\bin\\win\\prog.exe", layout1},
      {root_ + L"\\two\\a\\b\\c\\bin\\prog.exe", layout2},
      {root_ + L"\\three\\K\\bin\\win\\prog.exe", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.program);
    std::filesystem::create_directories(std::filesystem::path(c.program).parent_path());
    std::filesystem::copy_file(java_wine::ProgramPath(), c.program);
    if (!c.home.empty()) {
      std::filesystem::create_directories(c.home + L"\\bin");
      java_wine::WriteFile(c.home + L"\\release", "JAVA_VERSION=\"17.0.1\"\r\n");
    }
    const std::wstring expected = c.home.empty() ? L"none" : c.home + L"\\bin\\java.exe";
    SetEnvironmentVariableW(L"KELVOR_EXPECT_BUNDLED_JAVA", expected.c_str());
    java_wine::ProcessResult result;
    const bool ran = java_wine::RunProcess(
        java_wine::Quoted(c.program) + L" --gtest_filter=BundledRuntimeChild.*", result);
    SetEnvironmentVariableW(L"KELVOR_EXPECT_BUNDLED_JAVA", nullptr);
    ASSERT_TRUE(ran);
    EXPECT_EQ(result.exitCode, 0u) << result.output;
    EXPECT_NE(result.output.find("[  PASSED  ] 1 test"), std::string::npos) << result.output;
  }
}

}  // namespace
