// Version texts, release files, identification and the checks on a chosen Java executable.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "fakes/fake_platform.h"
#include "javainfo/java_identification.h"
#include "javainfo/java_validation.h"
#include "javainfo/java_version.h"
#include "javainfo/release_file.h"

namespace {

// "major|numbers|pre-release|its number|build", e.g. "17|17.0.1.12|3|3|-1".
std::wstring Describe(const JavaVersion& version) {
  std::wstring numbers;
  for (const std::int32_t n : version.numbers)
    numbers += (numbers.empty() ? L"" : L".") + std::to_wstring(n);
  return std::to_wstring(MajorVersion(version)) + L"|" + numbers + L"|" + version.preRelease +
         L"|" + std::to_wstring(version.preReleaseNumber) + L"|" +
         std::to_wstring(version.buildNumber);
}

// Only a first token of 1 marks the legacy form, and only that form drops the 'b' of a build.
TEST(JavaInfo, ParsesBothVersionForms) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"", L"0|||-1|-1"},
      {L"1.8.0_292", L"8|8.0.292||-1|-1"},
      {L"1", L"0|||-1|-1"},
      {L"01.8", L"8|8||-1|-1"},        // a first token reading as 1 is the legacy form too
      {L"17_5.2", L"17|17.5||-1|-1"},  // '_' separates the first token only; 2 ends nothing
      {L".1", L"1|1||-1|-1"},
      {L"17.0_1", L"17|17.0||-1|-1"},
      {L"17..2", L"17|17.2||-1|-1"},
      {L" 17. 2.\t3", L"17|17.2.3||-1|-1"},
      {L"2147483647.2147483648", L"2147483647|2147483647||-1|-1"},
      {L"000000000000000000017", L"17|17||-1|-1"},
      {L"11.0.2+9", L"11|11.0.2.9||-1|-1"},
      {L"17-ea+35", L"17|17||-1|35"},
      {L"17.0.1+12-3", L"17|17.0.1.12|3|3|-1"},
      {L"1.8.0-x-ea-b12", L"8|8.0|ea|-1|12"},
      {L"1.8.0-x+b7", L"8|8.0||-1|7"},
      {L"17-x+b7", L"17|17||-1|-1"},
      {L"17-x+5+6", L"17|17||-1|5"}};
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(Describe(ParseJavaVersion(text)), expected) << "\"" << text << "\"";
}

TEST(JavaInfo, VersionOrder) {
  const wchar_t* const ascending[] = {
      L"1.8.0_292",     L"11.0.2.1",    L"11.0.2+9",    L"17",           L"17-ea+34",
      L"17-ea+35",      L"17.0",        L"17.0.1+12",   L"17.0.1+12-LT", L"17.0.1+12-LTA",
      L"17.0.1+12-LTS", L"17.0.1+12-3", L"17.0.1+12-4", L"17.0.2",       L"17.0.10",
  };
  for (std::size_t i = 0; i < std::size(ascending); ++i)
    for (std::size_t j = 0; j < std::size(ascending); ++j)
      EXPECT_EQ(CompareJavaVersions(ParseJavaVersion(ascending[i]), ParseJavaVersion(ascending[j])),
                (i > j) - (i < j))
          << ascending[i] << " vs " << ascending[j];
}

// An empty version: none found.
TEST(JavaInfo, ReleaseLineRules) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"IMPLEMENTOR=\"X\"\nJAVA_VERSION=\"17.0.2\"\n", L"17.0.2"},
      {L"JAVA_VERSION=\"17-ea\"\n", L"17"},
      {L"JAVA_VERSION=17\nJAVA_VERSION=\"18\"\n", L"18"},
      {L"JAVA_VERSION=\"x\"\nJAVA_VERSION=\"17\"\n", L""},  // the first match decides
      {L"\nJAVA_VERSION=\"17\"\n", L""},
      {L"  JAVA_VERSION=\"17\"\n", L""},
      {L"A=1\n\n\n\t JAVA_VERSION=\"19\"", L"19"},
      {L"A=1\nJAVA_VERSION=\"17.0.2", L"17.0.2"},
      {L"java_version=\"17\"\n", L""},
      {std::wstring(999, L'y') + L"\nJAVA_VERSION=\"17\"", L"17"},
      {std::wstring(1000, L'y') + L"\nJAVA_VERSION=\"17\"", L""},
  };
  for (const auto& [text, expected] : cases) {
    std::wstring version = L"sentinel";
    EXPECT_EQ(ReleaseVersionFromText(text, version), !expected.empty()) << text.substr(0, 40);
    EXPECT_EQ(version, expected) << text.substr(0, 40);
  }
}

// Rows: path, vendor, corrected "vendor|label"; the first product named in the path wins.
TEST(JavaInfo, VendorCorrection) {
  const wchar_t* const cases[][3] = {
      {L"C:\\Zulu\\Corretto", L"Oracle", L"Azul Systems Inc.|Zulu OpenJDK"},
      {L"C:\\Corretto", L"Oracle", L"Amazon.com Inc.|Corretto OpenJDK"},
      {L"C:\\AdoptOpenJDK\\x-openj9", L"Oracle", L"AdoptOpenJDK|AdoptOpenJDK/J9"},
      {L"C:\\AdoptOpenJDK\\OpenJ9", L"Oracle", L"AdoptOpenJDK|AdoptOpenJDK"},
      {L"C:\\zulu", L"Oracle", L"Oracle|L"},
      {L"C:\\Zulu", L"Oracle Corporation", L"Oracle Corporation|L"},
  };
  for (const auto& [path, vendorIn, expected] : cases) {
    std::wstring vendor = vendorIn, label = L"L";
    CorrectOracleVendor(path, vendor, label);
    EXPECT_EQ(vendor + L"|" + label, expected) << path;
  }
}

// A release file's version wins over the registry's.
TEST(JavaInfo, DisplayNameAndPreferredRange) {
  fake::ResetAll();
  fake::WriteFile(L"C:\\r26\\release", "JAVA_VERSION=\"26\"\n");
  const struct {
    const wchar_t *home, *version, *label, *javaPath, *displayName;
    bool preferred;
  } cases[] = {
      {L"", L"", L"IBM JRE", L"p", L"IBM JRE    (p)", true},
      {L"", L"25.0.2", L"L", L"p", L"L  25.0.2  (p)", true},
      {L"", L"26.0.1", L"L", L"p", L"L  26.0.1  (p)", false},
      {L"C:\\r26", L"17", L"L", L"p", L"L  26  (p)", false},
      {L"C:\\missing", L"17", L"L", L"p", L"L  17  (p)", true},
      {L"", L"26", L"", L"p", L"[Default]", true},
      {L"", L"17", L"Oracle JDK", L"Microsoft", L"Microsoft OpenJDK  17  (Microsoft)", true},
  };
  for (const auto& c : cases) {
    const JavaCandidate candidate = IdentifyJavaInstallation(c.home, L"w", c.javaPath, c.label,
                                                             c.version, L"Oracle", true, true);
    EXPECT_EQ(candidate.displayName, c.displayName);
    EXPECT_EQ(candidate.inPreferredRange, c.preferred) << c.displayName;
  }
}

// An empty reason: valid. Each path fails its check and, where it can, every later one too, so
// the order of the checks shows. C:\\old has jre\\bin\\java.dll, and its jre a release file of its
// own; C:\\big's key stands past the first 4 KiB.
TEST(JavaInfo, ValidationReasons) {
  fake::ResetAll();
  const std::string longLine = "A=" + std::string(990, 'y') + "\n";
  for (const auto& [home, release] : std::initializer_list<std::pair<std::wstring, std::string>>{
           {L"C:\\big",
            longLine + longLine + longLine + longLine + longLine + "JAVA_VERSION=\"21\"\n"},
           {L"C:\\norel", "IMPLEMENTOR=\"X\"\n"},
           {L"C:\\one", "JAVA_VERSION=\"1\"\n"},
           {L"C:\\old\\jre", "JAVA_VERSION=\"1.8.0_292\"\n"}}) {
    fake::WriteFile(home + L"\\bin\\java.dll", "");
    fake::WriteExecutable(home + L"\\bin\\java.exe");
    fake::WriteFile(home + L"\\release", release);
  }
  fake::WriteFile(L"C:\\old\\release", "JAVA_VERSION=\"17\"\n");
  fake::WriteFile(L"C:\\nodll\\bin\\notes.txt", "plain text");
  for (const wchar_t* path : {L"C:\\old\\bin\\java.exe", L"C:\\old\\jre\\bin\\javaw.exe",
                              L"C:\\nodll\\bin\\javac.exe", L"C:\\norel\\bin\\JAVA.EXE"})
    fake::WriteExecutable(path);
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"C:\\nodll\\bin\\missing.exe", L"does not exist or could not be accessed"},
      {L"C:\\nodll\\bin", L"is a directory"},
      {L"C:\\nodll\\bin\\notes.txt", L"does not appear to be an executable file"},
      {L"C:\\nodll\\bin\\javac.exe", L"is not in a recognized Java installation"},
      {L"C:\\norel\\bin\\JAVA.EXE", L"is not a recognized Java executable"},
      {L"C:\\norel\\bin\\java.exe", L"does not appear to have a release indentifier file"},
      {L"C:\\one\\bin\\java.exe", L"appears to have an invalid release indentifier file"},
      {L"C:\\old\\jre\\bin\\javaw.exe",
       L"has major version number 8, which is lower than the required version (17)"},
      {L"C:\\old\\bin\\java.exe", L""},
      {L"C:\\big\\bin\\java.exe", L""},
  };
  for (const auto& [path, expected] : cases) {
    std::wstring reason = *expected ? L"sentinel" : L"";
    EXPECT_EQ(ValidateJavaExecutable(path, reason), !*expected) << path;
    EXPECT_EQ(reason, expected) << path;
  }
}

}  // namespace
