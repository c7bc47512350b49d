// Candidate order, the vendor registry search, the bundled runtime and the whole discovery.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "discovery/java_discovery.h"
#include "discovery/vendor_search.h"
#include "fakes/fake_platform.h"
#include "javainfo/java_identification.h"

namespace {

using platform::Hive;

JavaCandidate Candidate(const wchar_t* label, const wchar_t* version, bool isJdk,
                        bool is64Bit = true, const wchar_t* vendor = L"V",
                        const wchar_t* javawPath = L"C:\\j") {
  return IdentifyJavaInstallation(L"", javawPath, L"p", label, version, vendor, isJdk, is64Bit);
}

// Each entry belongs before the next by one step of the order: default, bundled, kit, preferred
// range, newer (older beyond the range), 64-bit, vendor (a prefix first), javaw.exe path.
TEST(Discovery, EachStepOfTheOrder) {
  const JavaCandidate ordered[] = {
      MakeDefaultCandidate(),
      Candidate(L"Bundled OpenJDK", L"11", false),
      Candidate(L"K", L"21.0.1", true),
      Candidate(L"K", L"17.0.10", true),
      Candidate(L"K", L"17.0.2", true, true, L"IB"),
      Candidate(L"K", L"17.0.2", true, true, L"IBM", L"C:\\A//x"),
      Candidate(L"K", L"17.0.2", true, true, L"IBM", L"C:\\A-x"),
      Candidate(L"K", L"17.0.2", true, false, L"Eclipse"),
      Candidate(L"K", L"26", true),
      Candidate(L"K", L"27", true),
      Candidate(L"R", L"21", false),
      Candidate(L"R", L"28", false),
  };
  for (std::size_t i = 0; i < std::size(ordered); ++i)
    for (std::size_t j = 0; j < std::size(ordered); ++j)
      EXPECT_EQ(CandidateBefore(ordered[i], ordered[j]), i < j) << "#" << i << " #" << j;
}

std::vector<std::wstring> Search(bool underWow64, std::int32_t minimumMajor = 17) {
  std::vector<JavaCandidate> candidates;
  SearchVendorKeysInViews(underWow64, minimumMajor, candidates);
  std::vector<std::wstring> names;
  for (const JavaCandidate& c : candidates)
    names.push_back(c.displayName + (c.is64Bit ? L" 64" : L" 32"));
  return names;
}

// Under WOW64 the 64-bit view comes first; the user's Software key is the same in both views.
// The 1000-character subkey name has no room for its end and is passed over.
TEST(Discovery, VendorKeysInBothViewsAndAllSources) {
  fake::ResetAll();
  fake::WriteExecutable(L"C:\\a\\bin\\javaw.exe");
  fake::WriteExecutable(L"C:\\rel17\\bin\\javaw.exe");
  fake::WriteFile(L"C:\\rel17\\release", "JAVA_VERSION=\"17.0.9\"\n");
  fake::WriteExecutable(L"C:\\nojavaw\\bin\\java.exe");
  const std::wstring longest = L"17" + std::wstring(997, L'x');
  const std::wstring values[][3] = {
      {L"AdoptOpenJDK\\JDK\\17\\openj9\\MSI", L"Path", L"C:\\a"},
      {L"Azul Systems\\Zulu\\zulu-21", L"InstallationPath", L"C:\\a\\"},
      {L"IBM\\Java Runtime Environment\\1.8.0_202", L"JavaHome", L"C:\\a"},
      {L"IBM\\Java Development Kit\\11", L"JavaHome", L"C:\\rel17"},
      {L"JavaSoft\\JDK\\19", L"JavaHome", L"C:\\nojavaw"},
      {L"JavaSoft\\JRE\\" + longest, L"JavaHome", L"C:\\a"},
      {L"JavaSoft\\JRE\\" + longest + L"x", L"JavaHome", L"C:\\a"},
      {L"Wow6432Node\\JavaSoft\\JDK\\22", L"JavaHome", L"C:\\a"},
  };
  for (const auto& [key, name, home] : values)
    fake::PutString(Hive::LocalMachine, L"Software\\" + key, name, home);
  fake::PutString(Hive::CurrentUser, L"Software\\JavaSoft\\JDK\\17.0.2", L"JavaHome", L"C:\\a");
  const std::wstring inA = L"  (C:\\a\\bin\\java.exe) ";
  const std::vector<std::wstring> expected = {L"Oracle JDK  17.0.2" + inA + L"64",
                                              L"AdoptOpenJDK/J9  17" + inA + L"64",
                                              L"Zulu OpenJDK  21" + inA + L"64",
                                              L"Oracle JRE  " + longest + inA + L"64",
                                              L"IBM JDK  17.0.9  (C:\\rel17\\bin\\java.exe) 64",
                                              L"Oracle JDK  17.0.2" + inA + L"32",
                                              L"Oracle JDK  22" + inA + L"32"};
  EXPECT_EQ(Search(true), expected);
  EXPECT_EQ(Search(false), std::vector<std::wstring>(expected.end() - 2, expected.end()));
  EXPECT_EQ(Search(true, 0).size(), expected.size() + 1);  // 1.8.0_202

  // The whole discovery: default entry, bundled runtime, these finds; WOW64 was asked before.
  fake::SetProgramPath(L"C:\\K\\bin\\win\\prog.exe");
  fake::MakeDirectory(L"C:\\K\\bin\\bundled\\java\\bin");
  const bool underWow64 = RunningUnderWow64();
  const int queries = fake::Wow64QueryCount();
  std::vector<JavaCandidate> all;
  FindJavaInstallations(true, 17, all);
  EXPECT_EQ(fake::Wow64QueryCount(), queries);
  ASSERT_EQ(all.size(), 2 + Search(underWow64).size());
  EXPECT_EQ(all[0].displayName, L"[Default]");
  EXPECT_EQ(all[1].displayName, L"Bundled OpenJDK    (C:\\K\\bin\\bundled\\java\\bin\\java.exe)");
  EXPECT_EQ(all[2].displayName, L"Oracle JDK  22  (C:\\a\\bin\\java.exe)");
  EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), CandidateBefore));
  EXPECT_EQ(fake::OpenHandleCount(), 0);
}

}  // namespace
