// Candidate order, the vendor registry search, the bundled runtime and the whole discovery.
#include <gtest/gtest.h>

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

// Display name, vendor, then "64" or "32" for the view it came from.
std::vector<std::wstring> Describe(const std::vector<JavaCandidate>& candidates) {
  std::vector<std::wstring> lines;
  for (const JavaCandidate& c : candidates)
    lines.push_back(c.displayName + L"|" + c.vendor + (c.is64Bit ? L"|64" : L"|32"));
  return lines;
}

std::vector<std::wstring> Search(bool underWow64) {
  std::vector<JavaCandidate> candidates;
  SearchVendorKeysInViews(underWow64, 17, candidates);
  return Describe(candidates);
}

// One home per vendor layout, in table order within a view; the user's Software key is shared by
// both views. Subkey names of 1000 characters have no room for their end and are passed over,
// also when they come first.
TEST(Discovery, VendorKeysInBothViewsAndAllSources) {
  fake::ResetAll();
  fake::WriteExecutable(L"C:\\a\\bin\\javaw.exe");
  fake::WriteExecutable(L"C:\\rel\\bin\\javaw.exe");
  fake::WriteFile(L"C:\\rel\\release", "JAVA_VERSION=\"18.0.9\"\n");
  fake::WriteExecutable(L"C:\\nojavaw\\bin\\java.exe");
  const std::wstring longest = L"17" + std::wstring(997, L'x');
  const std::wstring values[][3] = {
      {L"Eclipse Adoptium\\JDK\\17.0.1\\hotspot\\MSI", L"Path", L"C:\\a"},
      {L"AdoptOpenJDK\\JDK\\17.0.2\\hotspot\\MSI", L"Path", L"C:\\a\\"},
      {L"AdoptOpenJDK\\JDK\\17.0.3\\openj9\\MSI", L"Path", L"C:\\a"},
      {L"Microsoft\\JDK\\17.0.4\\hotspot\\MSI", L"Path", L"C:\\a"},
      {L"Azul Systems\\Zulu\\zulu-17.0.5", L"InstallationPath", L"C:\\a"},
      {L"BellSoft\\Liberica\\zulu-17.0.6", L"InstallationPath", L"C:\\a"},
      {L"JavaSoft\\JDK\\17.0.7", L"JavaHome", L"C:\\a"},
      {L"JavaSoft\\JDK\\19", L"JavaHome", L"C:\\nojavaw"},
      {L"JavaSoft\\JRE\\0" + std::wstring(999, L'x'), L"JavaHome", L"C:\\a"},
      {L"JavaSoft\\JRE\\17.0.8", L"JavaHome", L"C:\\a"},
      {L"JavaSoft\\JRE\\" + longest, L"JavaHome", L"C:\\a"},
      {L"JavaSoft\\JRE\\" + longest + L"x", L"JavaHome", L"C:\\a"},
      {L"JavaSoft\\Java Development Kit\\17.0.9", L"JavaHome", L"C:\\a"},
      {L"JavaSoft\\Java Runtime Environment\\1.8.0_202", L"JavaHome", L"C:\\a"},
      {L"IBM\\Java Development Kit\\11", L"JavaHome", L"C:\\rel"},
      {L"IBM\\Java Runtime Environment\\17.0.11", L"JavaHome", L"C:\\a"},
      {L"Wow6432Node\\JavaSoft\\JDK\\22", L"JavaHome", L"C:\\a"},
  };
  for (const auto& [key, name, home] : values)
    fake::PutString(Hive::LocalMachine, L"Software\\" + key, name, home);
  fake::PutString(Hive::CurrentUser, L"Software\\JavaSoft\\JRE\\17.0.12", L"JavaHome", L"C:\\a");
  const std::wstring inA = L"  (C:\\a\\bin\\java.exe)|";
  const std::vector<std::wstring> expected = {
      L"Oracle JRE  17.0.12" + inA + L"Oracle|64",
      L"Eclipse Adoptium  17.0.1" + inA + L"Eclipse|64",
      L"AdoptOpenJDK  17.0.2" + inA + L"AdoptOpenJDK|64",
      L"AdoptOpenJDK/J9  17.0.3" + inA + L"AdoptOpenJDK|64",
      L"Microsoft OpenJDK  17.0.4" + inA + L"Microsoft|64",
      L"Zulu OpenJDK  17.0.5" + inA + L"Azul Systems Inc.|64",
      L"Liberica OpenJDK  17.0.6" + inA + L"BellSoft|64",
      L"Oracle JDK  17.0.7" + inA + L"Oracle|64",
      L"Oracle JRE  17.0.8" + inA + L"Oracle|64",
      L"Oracle JRE  " + longest + inA + L"Oracle|64",
      L"Oracle JDK  17.0.9" + inA + L"Oracle|64",
      L"IBM JDK  18.0.9  (C:\\rel\\bin\\java.exe)|IBM|64",
      L"IBM JRE  17.0.11" + inA + L"IBM|64",
      L"Oracle JRE  17.0.12" + inA + L"Oracle|32",
      L"Oracle JDK  22" + inA + L"Oracle|32"};
  EXPECT_EQ(Search(true), expected);
  EXPECT_EQ(Search(false), std::vector<std::wstring>(expected.end() - 2, expected.end()));

  // The whole discovery: default entry, installed runtime, then the finds of at least 18 sorted
  // (22 before 18, found the other way round); the fake is a WOW64 process, asked once, before.
  fake::SetProgramPath(L"C:\\K\\bin\\win\\prog.exe");
  fake::MakeDirectory(L"C:\\K\\bin\\bundled\\java\\bin");
  RunningUnderWow64();
  const int queries = fake::Wow64QueryCount();
  std::vector<JavaCandidate> all;
  FindJavaInstallations(true, 18, all);
  EXPECT_EQ(fake::Wow64QueryCount(), queries);
  EXPECT_EQ(Describe(all),
            (std::vector<std::wstring>{
                L"[Default]|Oracle|64",
                L"Bundled OpenJDK    (C:\\K\\bin\\bundled\\java\\bin\\java.exe)|Oracle|64",
                L"Oracle JDK  22" + inA + L"Oracle|32",
                L"IBM JDK  18.0.9  (C:\\rel\\bin\\java.exe)|IBM|64"}));
  // A build tree: the runtime lies three levels above the program's bin folder.
  fake::SetProgramPath(L"C:\\t\\a\\b\\bin\\win\\prog.exe");
  fake::MakeDirectory(L"C:\\t\\bundles\\windows\\bundled\\java\\bin");
  fake::MakeDirectory(L"C:\\t\\a\\bundles\\windows\\bundled\\java\\bin");
  all.clear();
  FindRuntimeInInstallation(all);
  EXPECT_EQ(Describe(all),
            std::vector<std::wstring>{L"Bundled OpenJDK    "
                                      L"(C:\\t\\bundles\\windows\\bundled\\java\\bin\\java."
                                      L"exe)|Oracle|64"});
  EXPECT_EQ(fake::OpenHandleCount(), 0);
}

}  // namespace
