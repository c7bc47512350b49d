// Candidate ordering, the vendor registry search and the runtime inside the installation.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "discovery/bundled_runtime.h"
#include "discovery/java_discovery.h"
#include "discovery/vendor_search.h"
#include "fakes/fake_platform.h"
#include "javainfo/java_identification.h"

namespace {

using platform::Hive;

JavaCandidate Candidate(const wchar_t* label, const wchar_t* version, bool isJdk,
                        bool is64Bit = true, const wchar_t* vendor = L"V",
                        const wchar_t* javawPath = L"C:\\j\\bin\\javaw.exe") {
  return IdentifyJavaInstallation(L"", javawPath, L"C:\\j\\bin\\java.exe", label, version, vendor,
                                  isJdk, is64Bit);
}

TEST(CandidateOrder, EachStepDecidesAndSortingRestoresTheOrder) {
  // Each entry belongs right before the next, decided by one step of the ordering.
  const std::vector<JavaCandidate> ordered = {
      MakeDefaultCandidate(),
      Candidate(L"Bundled OpenJDK", L"11", false),  // before every kit, however new
      Candidate(L"K", L"21.0.1", true),
      Candidate(L"K", L"17.0.10", true),
      Candidate(L"K", L"17.0.2", true, true, L"IB", L"C:\\A//x"),
      Candidate(L"K", L"17.0.2", true, true, L"IBM", L"C:\\A//x"),  // a prefix first
      Candidate(L"K", L"17.0.2", true, true, L"IBM", L"C:\\A-x"),   // a separator run first
      Candidate(L"K", L"17.0.2", true, true, L"IBM", L"C:\\B\\bin\\javaw.exe"),
      Candidate(L"K", L"17.0.2", true, false, L"Eclipse"),
      Candidate(L"K", L"26", true),  // beyond the preferred range the older comes first
      Candidate(L"K", L"27", true),
      Candidate(L"R", L"21", false),
      Candidate(L"R", L"28", false),
  };
  for (std::size_t i = 0; i + 1 < ordered.size(); ++i) {
    EXPECT_TRUE(CandidateBefore(ordered[i], ordered[i + 1])) << "#" << i;
    EXPECT_FALSE(CandidateBefore(ordered[i + 1], ordered[i])) << "#" << i;
    EXPECT_FALSE(CandidateBefore(ordered[i], ordered[i])) << "#" << i;
  }
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    std::vector<JavaCandidate> list = ordered;
    std::shuffle(list.begin(), list.end(), random);
    std::sort(list.begin(), list.end(), CandidateBefore);
    for (std::size_t i = 0; i < list.size(); ++i) {
      EXPECT_FALSE(CandidateBefore(list[i], ordered[i]) || CandidateBefore(ordered[i], list[i]))
          << "round " << round << " #" << i;
    }
  }
}

class Discovery : public testing::Test {
 protected:
  void SetUp() override { fake::ResetAll(); }
  void TearDown() override { EXPECT_EQ(fake::OpenHandleCount(), 0); }

  // A Java home with bin\javaw.exe and, when `release` is given, a release file.
  static void MakeHome(const std::wstring& home, const char* release = nullptr) {
    fake::WriteExecutable(home + L"\\bin\\javaw.exe");
    fake::WriteExecutable(home + L"\\bin\\java.exe");
    if (release) fake::WriteFile(home + L"\\release", release);
  }
  static std::vector<JavaCandidate> Search(bool underWow64, std::int32_t minimumMajor = 17) {
    std::vector<JavaCandidate> candidates;
    SearchVendorKeysInViews(underWow64, minimumMajor, candidates);
    return candidates;
  }
  static std::vector<std::wstring> Names(const std::vector<JavaCandidate>& candidates) {
    std::vector<std::wstring> names;
    for (const JavaCandidate& candidate : candidates) names.push_back(candidate.displayName);
    return names;
  }
};

TEST_F(Discovery, ViewsAndHives) {
  MakeHome(L"C:\\jdk17");
  MakeHome(L"C:\\jdk21");
  // The user's Software key is shared by both views; the machine's has a 32-bit twin.
  fake::PutString(Hive::CurrentUser, L"Software\\JavaSoft\\JDK\\17.0.2", L"JavaHome", L"C:\\jdk17");
  fake::PutString(Hive::LocalMachine, L"Software\\JavaSoft\\JDK\\21", L"JavaHome", L"C:\\jdk21");
  fake::PutString(Hive::LocalMachine, L"Software\\Wow6432Node\\JavaSoft\\JDK\\19", L"JavaHome",
                  L"C:\\jdk21");
  const std::vector<JavaCandidate> found = Search(true);
  const std::wstring jdk17 = L"Oracle JDK  17.0.2  (C:\\jdk17\\bin\\java.exe)";
  EXPECT_EQ(Names(found),
            (std::vector<std::wstring>{jdk17, L"Oracle JDK  21  (C:\\jdk21\\bin\\java.exe)", jdk17,
                                       L"Oracle JDK  19  (C:\\jdk21\\bin\\java.exe)"}));
  ASSERT_EQ(found.size(), 4u);
  EXPECT_TRUE(found[0].is64Bit && found[1].is64Bit);
  EXPECT_FALSE(found[2].is64Bit || found[3].is64Bit);
  EXPECT_EQ(found[0].javaPath, L"C:\\jdk17\\bin\\java.exe");
  EXPECT_TRUE(found[0].javawPath.ends_with(L"jdk17\\bin\\javaw.exe"));

  fake::SetWow64(false);  // a 64-bit system's own view, or 32-bit Windows: one search per hive
  const std::vector<JavaCandidate> once = Search(false);
  ASSERT_EQ(once.size(), 2u);
  EXPECT_FALSE(once[0].is64Bit || once[1].is64Bit);
}

TEST_F(Discovery, RegistryRowsAndSkips) {
  fake::SetWow64(false);
  MakeHome(L"C:\\a");
  MakeHome(L"C:\\rel17", "JAVA_VERSION=\"17.0.9\"\n");
  fake::WriteExecutable(L"C:\\nojavaw\\bin\\java.exe");
  const std::wstring tooLong = L"17" + std::wstring(998, L'x');  // 1000: no room for the end
  const std::wstring longest = L"17" + std::wstring(997, L'x');
  const struct {
    const wchar_t* key;
    const wchar_t* valueName;
    const wchar_t* home;
    std::uint32_t type;
  } values[] = {
      {L"Software\\AdoptOpenJDK\\JDK\\17\\openj9\\MSI", L"Path", L"C:\\a", platform::kRegSz},
      {L"Software\\Azul Systems\\Zulu\\zulu-21", L"InstallationPath", L"C:\\a\\", platform::kRegSz},
      {L"Software\\Azul Systems\\Zulu\\22", L"InstallationPath", L"C:\\a", platform::kRegSz},
      {L"Software\\BellSoft\\Liberica\\zulu-18", L"InstallationPath", L"C:\\a",
       platform::kRegExpandSz},
      {L"Software\\IBM\\Java Runtime Environment\\1.8.0_202", L"JavaHome", L"C:\\a",
       platform::kRegSz},
      {L"Software\\IBM\\Java Development Kit\\ea", L"JavaHome", L"C:\\a", platform::kRegSz},
      {L"Software\\IBM\\Java Development Kit\\11", L"JavaHome", L"C:\\rel17", platform::kRegSz},
      {L"Software\\JavaSoft\\JDK\\19", L"JavaHome", L"C:\\nojavaw", platform::kRegSz},
      {L"Software\\JavaSoft\\JDK\\20", L"JavaHome", L"%ProgramFiles%\\a", platform::kRegExpandSz},
      {L"Software\\JavaSoft\\JDK\\23", L"Home", L"C:\\a", platform::kRegSz},  // wrong value name
      {L"Software\\JavaSoft\\JRE\\24", L"JavaHome", L"C:\\a", platform::kRegDword},
  };
  for (const auto& v : values)
    fake::PutString(Hive::CurrentUser, v.key, v.valueName, v.home, v.type);
  for (const std::wstring& name : {tooLong, longest}) {
    fake::PutString(Hive::CurrentUser, L"Software\\JavaSoft\\JRE\\" + name, L"JavaHome", L"C:\\a");
  }

  EXPECT_EQ(Names(Search(false)), (std::vector<std::wstring>{
                                      L"AdoptOpenJDK/J9  17  (C:\\a\\bin\\java.exe)",
                                      L"Zulu OpenJDK  22  (C:\\a\\bin\\java.exe)",
                                      L"Zulu OpenJDK  21  (C:\\a\\bin\\java.exe)",
                                      L"Liberica OpenJDK  18  (C:\\a\\bin\\java.exe)",
                                      L"Oracle JRE  " + longest + L"  (C:\\a\\bin\\java.exe)",
                                      L"IBM JDK  17.0.9  (C:\\rel17\\bin\\java.exe)",
                                  }));
  EXPECT_EQ(Search(false, 0).size(), 8u);  // 1.8.0_202 and ea pass a minimum of 0
}

TEST_F(Discovery, Wow64AskedOnce) {
  const int before = fake::Wow64QueryCount();
  const bool answer = RunningUnderWow64();
  EXPECT_LE(fake::Wow64QueryCount() - before, 1);
  const int afterFirst = fake::Wow64QueryCount();
  std::vector<JavaCandidate> candidates;
  SearchVendorKeys(17, candidates);
  EXPECT_EQ(RunningUnderWow64(), answer);
  EXPECT_EQ(fake::Wow64QueryCount(), afterFirst);
}

TEST_F(Discovery, FindFileGrowsItsBuffer) {
  const std::wstring deep = L"C:\\" + std::wstring(130, L'd') + L"\\" + std::wstring(130, L'e');
  fake::WriteExecutable(deep + L"\\javaw.exe");
  std::wstring found = L"sentinel";
  ASSERT_TRUE(FindFileInDirectory(deep, L"javaw.exe", found));
  EXPECT_GT(found.size(), 260u);
  EXPECT_EQ(found.substr(found.size() - 10), L"\\javaw.exe");
  EXPECT_FALSE(FindFileInDirectory(deep, L"java.exe", found));
  EXPECT_EQ(found, L"");
}

TEST_F(Discovery, BundledRuntimeLayouts) {
  const std::wstring layout1 = L"C:\\Apps\\Editor\\bundled\\java\\bin";
  const std::wstring layout2 = L"D:\\w\\bundles\\windows\\bundled\\java\\bin";
  const struct {
    const wchar_t* program;  // nullptr: the program's path cannot be had
    std::vector<std::wstring> directories;
    const wchar_t* javaPath;  // nullptr: no candidate
  } cases[] = {
      {L"C:\\Apps\\Editor\\bin\\prog.exe",
       {layout1},
       L"C:\\Apps\\Editor\\bundled\\java\\bin\\java.exe"},
      {L"D:\\w\\a\\b\\c\\bin\\prog.exe",
       {layout2},
       L"D:\\w\\bundles\\windows\\bundled\\java\\bin\\java.exe"},
      {L"D:\\w\\a\\b\\c\\bin\\prog.exe",
       {layout2, L"D:\\w\\a\\b\\c\\bundled\\java\\bin"},
       L"D:\\w\\a\\b\\c\\bundled\\java\\bin\\java.exe"},
      {L"C:\\bin\\prog.exe", {L"C:\\bundled\\java\\bin"}, L"C:\\bundled\\java\\bin\\java.exe"},
      {L"C:\\bin\\prog.exe", {L"C:\\bundles\\windows\\bundled\\java\\bin"}, nullptr},
      {L"C:\\prog.exe", {L"C:\\bundled\\java\\bin"}, nullptr},
      {L"C:\\Apps\\Editor\\bin\\prog.exe", {}, nullptr},
      {nullptr, {layout1}, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.program ? c.program : L"(none)"));
    fake::ResetAll();
    fake::SetProgramPath(c.program ? c.program : L"", c.program ? 0 : 2);
    for (const std::wstring& directory : c.directories) fake::MakeDirectory(directory);
    std::vector<JavaCandidate> candidates;
    FindRuntimeInInstallation(candidates);
    ASSERT_EQ(candidates.size(), c.javaPath ? 1u : 0u);
    if (!c.javaPath) continue;
    EXPECT_EQ(candidates[0].javaPath, c.javaPath);
    EXPECT_EQ(candidates[0].displayName, std::wstring(L"Bundled OpenJDK    (") + c.javaPath + L")");
    EXPECT_TRUE(candidates[0].isJdk && candidates[0].is64Bit && candidates[0].vendor == L"Oracle");
  }
  // A file where layout 1's bin directory would be does not count; layout 2 is tried.
  fake::ResetAll();
  fake::SetProgramPath(L"C:\\x\\y\\z\\bin\\prog.exe");
  fake::WriteFile(L"C:\\x\\y\\z\\bundled\\java\\bin", "a file");
  fake::MakeDirectory(L"C:\\bundles\\windows\\bundled\\java\\bin");
  std::vector<JavaCandidate> candidates;
  FindRuntimeInInstallation(candidates);
  ASSERT_EQ(candidates.size(), 1u);
  EXPECT_EQ(candidates[0].javaPath, L"C:\\bundles\\windows\\bundled\\java\\bin\\java.exe");
}

TEST_F(Discovery, FindJavaInstallationsOrdersAllSources) {
  fake::SetWow64(false);
  fake::SetProgramPath(L"C:\\K\\bin\\win\\prog.exe");
  fake::MakeDirectory(L"C:\\K\\bin\\bundled\\java\\bin");
  fake::WriteFile(L"C:\\K\\bin\\bundled\\java\\release", "JAVA_VERSION=\"11\"");
  MakeHome(L"C:\\jdk21");
  MakeHome(L"C:\\jre22");
  fake::PutString(Hive::LocalMachine, L"Software\\JavaSoft\\JRE\\22", L"JavaHome", L"C:\\jre22");
  fake::PutString(Hive::LocalMachine, L"Software\\JavaSoft\\JDK\\21", L"JavaHome", L"C:\\jdk21");
  fake::PutString(Hive::LocalMachine, L"Software\\JavaSoft\\JDK\\16", L"JavaHome", L"C:\\jdk21");
  std::vector<JavaCandidate> candidates;
  FindJavaInstallations(true, 17, candidates);
  // Without WOW64 in the fake both views are one, so the cached answer only doubles finds.
  ASSERT_GE(candidates.size(), 4u);
  EXPECT_EQ(candidates[0].displayName, L"[Default]");
  EXPECT_EQ(candidates[1].displayName,
            L"Bundled OpenJDK  11  (C:\\K\\bin\\bundled\\java\\bin\\java.exe)");
  EXPECT_EQ(candidates[2].displayName, L"Oracle JDK  21  (C:\\jdk21\\bin\\java.exe)");
  EXPECT_EQ(candidates.back().displayName, L"Oracle JRE  22  (C:\\jre22\\bin\\java.exe)");
  for (const JavaCandidate& candidate : candidates) EXPECT_NE(MajorVersion(candidate.version), 16);
}

}  // namespace
