// Version texts, release files and the checks on a chosen Java executable.
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "javainfo/java_identification.h"
#include "javainfo/java_validation.h"
#include "javainfo/java_version.h"
#include "javainfo/release_file.h"

namespace {

// Only a first token of 1 marks the legacy form, and only that form drops the 'b' of a build.
TEST(JavaInfo, ParsesBothVersionFormsAndOrdersThem) {
  // Text, then "major|numbers, each with a dot|pre-release|its number|build".
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"1.8.0_292", L"8|8.0.292.||-1|-1"},
      {L"2147483647.2147483648", L"2147483647|2147483647.||-1|-1"},
      {L"11.0.2+9", L"11|11.0.2.9.||-1|-1"},
      {L"17-ea+35", L"17|17.||-1|35"},
      {L"17.0.1+12-3", L"17|17.0.1.12.|3|3|-1"},
      {L"1.8.0-x-ea-b12", L"8|8.0.|ea|-1|12"},
      {L"17-x+b7", L"17|17.||-1|-1"}};
  for (const auto& [text, expected] : cases) {
    const JavaVersion version = ParseJavaVersion(text);
    std::wstring seen = std::to_wstring(MajorVersion(version)) + L"|";
    for (const std::int32_t n : version.numbers) seen += std::to_wstring(n) + L".";
    seen += L"|" + version.preRelease + L"|" + std::to_wstring(version.preReleaseNumber);
    EXPECT_EQ(seen + L"|" + std::to_wstring(version.buildNumber), expected) << '"' << text << '"';
  }
  // Ascending: by the numbers, then the shorter first, then a pre-release, then the build.
  const wchar_t* const ascending[] = {
      L"1.8.0_292",    L"11.0.2.1",      L"11.0.2+9",    L"17",          L"17-ea+35", L"17.0",
      L"17.0.1+12-LT", L"17.0.1+12-LTS", L"17.0.1+12-3", L"17.0.1+12-4", L"17.0.2",   L"17.0.10"};
  for (std::size_t i = 0; i < std::size(ascending); ++i)
    for (std::size_t j = 0; j < std::size(ascending); ++j)
      EXPECT_EQ(CompareJavaVersions(ParseJavaVersion(ascending[i]), ParseJavaVersion(ascending[j])),
                (i > j) - (i < j))
          << ascending[i] << " vs " << ascending[j];
}

// An empty reason: valid. Each path fails its check and, where it can, every later one too, so
// the order of the checks shows. C:\old has only jre\bin\java.dll, and its jre a release file of
// its own; C:\big's key stands past the first 4 KiB, and reading fails on the line after it.
TEST(JavaInfo, ValidationChecksInTurnAndGivesEachReason) {
  fake::ResetAll();
  std::string big;  // five long lines, each short of the line limit
  for (int i = 0; i < 5; ++i) big += "A=" + std::string(990, 'y') + "\n";
  for (const auto& [home, release] : std::initializer_list<std::pair<std::wstring, std::string>>{
           {L"C:\\big", big + "JAVA_VERSION=\"21\"\nIMPLEMENTOR=\"X\"\n"},
           {L"C:\\norel", "IMPLEMENTOR=\"X\"\n"},
           {L"C:\\one", "JAVA_VERSION=\"1\"\n"},
           {L"C:\\old\\jre", "JAVA_VERSION=\"1.8.0_292\"\n"}}) {
    fake::WriteFile(home + L"\\bin\\java.dll", "");
    fake::WriteExecutable(home + L"\\bin\\java.exe");
    fake::WriteFile(home + L"\\release", release);
  }
  fake::WriteFile(L"C:\\old\\release", "JAVA_VERSION=\"17\"\n");
  fake::SetReadFault(big.size() + 20);
  fake::WriteFile(L"C:\\nodll\\bin\\notes.txt", "plain text");
  for (const wchar_t* path : {L"C:\\old\\bin\\java.exe", L"C:\\old\\jre\\bin\\javaw.exe",
                              L"C:\\nodll\\bin\\javac.exe", L"C:\\norel\\bin\\JAVA.EXE"})
    fake::WriteExecutable(path);
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"C:\\nodll\\bin", L"is a directory"},
      {L"C:\\nodll\\bin\\notes.txt", L"does not appear to be an executable file"},
      {L"C:\\nodll\\bin\\javac.exe", L"is not in a recognized Java installation"},
      {L"C:\\norel\\bin\\JAVA.EXE", L"is not a recognized Java executable"},
      {L"C:\\norel\\bin\\java.exe", L"does not appear to have a release indentifier file"},
      {L"C:\\one\\bin\\java.exe", L"appears to have an invalid release indentifier file"},
      {L"C:\\old\\jre\\bin\\javaw.exe",
       L"has major version number 8, which is lower than the required version (17)"},
      {L"C:\\old\\bin\\java.exe", L""},
      {L"C:\\big\\bin\\java.exe", L""}};
  for (const auto& [path, expected] : cases) {
    std::wstring reason = *expected ? L"sentinel" : L"";
    EXPECT_EQ(ValidateJavaExecutable(path, reason), !*expected) << path;
    EXPECT_EQ(reason, expected) << path;
  }
}

// Other vendors' installers under Oracle's keys, told apart by the java.exe path: the first row
// that matches, case-sensitive, and only for the vendor "Oracle" exactly.
TEST(JavaInfo, OracleVendorIsCorrectedByTheFirstNameInTheJavaPath) {
  const struct {
    const wchar_t *path, *vendor = L"Oracle", *corrected;  // corrected: vendor|label
  } rows[] = {
      {.path = L"C:\\Zulu\\bin\\java.exe", .corrected = L"Azul Systems Inc.|Zulu OpenJDK"},
      {.path = L"C:\\Corretto", .corrected = L"Amazon.com Inc.|Corretto OpenJDK"},
      {.path = L"C:\\AdoptOpenJDK\\OpenJ9", .corrected = L"AdoptOpenJDK|AdoptOpenJDK"},
      {.path = L"C:\\AdoptOpenJDK\\openj9", .corrected = L"AdoptOpenJDK|AdoptOpenJDK/J9"},
      {.path = L"C:\\RedHat", .corrected = L"Red Hat|Red Hat OpenJDK"},
      {.path = L"C:\\BellSoft", .corrected = L"BellSoft|Liberica OpenJDK"},
      {.path = L"C:\\SapMachine", .corrected = L"Sap SE|SapMachine OpenJDK"},
      {.path = L"C:\\Microsoft", .corrected = L"Microsoft|Microsoft OpenJDK"},
      {.path = L"C:\\zulu", .corrected = L"Oracle|L"},
      {.path = L"C:\\Zulu", .vendor = L"Oracle Corporation", .corrected = L"Oracle Corporation|L"}};
  for (const auto& row : rows) {
    std::wstring vendor = row.vendor, label = L"L";
    CorrectOracleVendor(row.path, vendor, label);
    EXPECT_EQ(vendor + L"|" + label, row.corrected) << row.path;
  }
}

// The release file's JAVA_VERSION line: the first line unindented and not blank, later ones may
// be indented; the first match wins; the value ends at its first character that is not a digit,
// '.' or '_'; a line of more than 999 characters before the key ends the search.
TEST(JavaInfo, ReleaseVersionComesFromTheFirstJavaVersionLine) {
  const std::string line999 = std::string(999, 'x') + "\r\n", key = "JAVA_VERSION=\"";
  // Bytes, and the version read ("": none).
  const std::pair<std::string, const wchar_t*> rows[] = {
      {"\r\n" + key + "17\"", L""},
      {"  " + key + "17\"", L""},
      {"A=\"1\"\r\n\r\n \t" + key + "17\"\r\n", L"17"},
      {key + "21.0.1+12\"\r\n" + key + "17\"", L"21.0.1"},
      {"JAVA_VERSION=17\r\n" + key + "1.8.0_292\"", L"1.8.0_292"},
      {key + "\"", L""},
      {line999 + key + "17\"", L"17"},
      {"x" + line999 + key + "17\"", L""}};
  for (const auto& [bytes, expected] : rows) {
    fake::WriteFile(L"C:\\r\\release", bytes);
    std::wstring version = L"sentinel";
    EXPECT_EQ(ReadReleaseVersion(L"C:\\r", version), *expected != 0) << bytes;
    EXPECT_EQ(version, expected) << bytes;
  }
}

// Major versions up to 25 are preferred, and so is a version without numbers.
TEST(JavaInfo, PreferredRangeEndsAt25) {
  for (const auto& [text, preferred] : {std::pair{L"25.0.2", true}, {L"26", false}, {L"", true}}) {
    const JavaCandidate c = IdentifyJavaInstallation(L"", L"w", L"p", L"K", text, L"V", true, true);
    EXPECT_EQ(c.inPreferredRange, preferred) << text;
  }
}

}  // namespace
