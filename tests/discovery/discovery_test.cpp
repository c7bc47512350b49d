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

JavaCandidate C(const wchar_t* label, const wchar_t* version, bool jdk = true, bool x64 = true,
                const wchar_t* vendor = L"V", const wchar_t* javaw = L"C:\\j") {
  return IdentifyJavaInstallation(L"", javaw, L"p", label, version, vendor, jdk, x64);
}

// Each entry belongs before the next by one step of the order: default, bundled, kit, preferred
// range, newer (older beyond the range), 64-bit, vendor (a prefix first), javaw.exe path.
TEST(Discovery, CandidatesSortByEachStepOfTheOrder) {
  const JavaCandidate ordered[] = {MakeDefaultCandidate(),
                                   C(L"Bundled OpenJDK", L"11", false),
                                   C(L"K", L"21.0.1"),
                                   C(L"K", L"17.0.10"),
                                   C(L"K", L"17.0.2", true, true, L"IB"),
                                   C(L"K", L"17.0.2", true, true, L"IBM", L"C:\\A//x"),
                                   C(L"K", L"17.0.2", true, true, L"IBM", L"C:\\A-x"),
                                   C(L"K", L"17.0.2", true, false, L"Eclipse"),
                                   C(L"K", L"26"),
                                   C(L"K", L"27"),
                                   C(L"R", L"21", false)};
  for (std::size_t i = 0; i < std::size(ordered); ++i)
    for (std::size_t j = 0; j < std::size(ordered); ++j)
      EXPECT_EQ(CandidateBefore(ordered[i], ordered[j]), i < j) << "#" << i << " #" << j;
}

// Display name, vendor, then "64" or "32" for the view it came from; one per line.
std::wstring Describe(const std::vector<JavaCandidate>& candidates) {
  std::wstring lines;
  for (const JavaCandidate& c : candidates)
    lines += c.displayName + L"|" + c.vendor + (c.is64Bit ? L"|64\n" : L"|32\n");
  return lines;
}

// One home per kind of vendor row (a sub-path, a second sub-path under the same key, a name
// prefix, a JRE), in table order within a view; the user's
// Software key is shared by both views. A 1000-character subkey name has no
// room for its end and is passed over, also when it comes first; 999 characters fit.
TEST(Discovery, VendorKeysInBothViewsAndTheWholeDiscovery) {
  fake::ResetAll();
  fake::WriteExecutable(L"C:\\a\\bin\\javaw.exe");
  fake::WriteExecutable(L"C:\\rel\\bin\\javaw.exe");
  fake::WriteFile(L"C:\\rel\\release", "JAVA_VERSION=\"18.0.9\"\n");
  const std::wstring fits = L"17" + std::wstring(997, L'x'), inA = L"  (C:\\a\\bin\\java.exe)";
  // Key below Software, value name, and what it lists as ("" when passed over); home C:\a.
  const std::wstring rows[][3] = {
      {L"AdoptOpenJDK\\JDK\\17.0.3\\openj9\\MSI", L"Path", L"AdoptOpenJDK/J9  17.0.3|AdoptOpenJDK"},
      {L"Azul Systems\\Zulu\\zulu-17.0.5", L"InstallationPath",
       L"Zulu OpenJDK  17.0.5|Azul Systems Inc."},
      {L"JavaSoft\\JRE\\0" + std::wstring(999, L'x'), L"JavaHome", L""},
      {L"JavaSoft\\JRE\\" + fits, L"JavaHome", L"Oracle JRE  " + fits + L"|Oracle"}};
  // The user's key, with a release file that outranks the key's name, seen from both views.
  fake::PutString(Hive::CurrentUser, L"Software\\JavaSoft\\JDK\\11", L"JavaHome", L"C:\\rel");
  const std::wstring user = L"Oracle JDK  18.0.9  (C:\\rel\\bin\\java.exe)|Oracle|";
  std::wstring expected = user + L"64\n";
  for (const auto& [key, name, listed] : rows) {
    fake::PutString(Hive::LocalMachine, L"Software\\" + key, name, L"C:\\a");
    const std::size_t bar = listed.find(L'|');
    if (!listed.empty()) expected += listed.substr(0, bar) + inA + listed.substr(bar) + L"|64\n";
  }
  fake::PutString(Hive::LocalMachine, L"Software\\Wow6432Node\\JavaSoft\\JDK\\22", L"JavaHome",
                  L"C:\\a");
  std::vector<JavaCandidate> both, all, runtime;
  SearchVendorKeysInViews(true, 17, both);
  EXPECT_EQ(Describe(both), expected + user + L"32\nOracle JDK  22" + inA + L"|Oracle|32\n");

  // The bundled runtime of a build tree lies three levels above the program's bin folder, not
  // two. A folder link counts by what it points to: a broken one gives way to the next layout.
  fake::SetProgramPath(L"C:\\t\\a\\b\\bin\\win\\prog.exe");
  fake::MakeDirectory(L"C:\\t\\bundles\\windows\\bundled\\java\\bin");
  fake::MakeDirectory(L"C:\\t\\a\\bundles\\windows\\bundled\\java\\bin");
  fake::MakeLink(L"C:\\t\\a\\b\\bin\\bundled\\java\\bin", L"C:\\gone");
  FindRuntimeInInstallation(runtime);
  EXPECT_EQ(Describe(runtime),
            L"Bundled OpenJDK    (C:\\t\\bundles\\windows\\bundled\\java\\bin\\"
            L"java.exe)|Oracle|64\n");
  // Once the link leads to a folder, the installed layout is there too, and it wins. The whole
  // discovery: default entry, bundled runtime, then the finds of at least 18 sorted (22 first,
  // found last); the fake is a WOW64 process.
  fake::MakeDirectory(L"C:\\gone");
  fake::MakeLink(L"C:\\t\\a\\b\\bin\\bundled\\java\\bin", L"C:\\gone");  // a copy anew
  FindJavaInstallations(true, 18, all);
  EXPECT_EQ(Describe(all),
            L"[Default]|Oracle|64\nBundled OpenJDK    (C:\\t\\a\\b\\bin\\bundled\\java"
            L"\\bin\\java.exe)|Oracle|64\nOracle JDK  22" +
                inA + L"|Oracle|32\n" + user + L"64\n" + user + L"32\n");
  EXPECT_EQ(fake::OpenHandleCount(), 0);
}

}  // namespace
