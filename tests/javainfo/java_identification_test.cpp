// Vendor correction, display names and the preferred range of identified installations.
#include <gtest/gtest.h>

#include <string>

#include "discovery/java_candidate.h"
#include "fakes/fake_platform.h"
#include "javainfo/java_identification.h"

namespace {

class JavaIdentification : public testing::Test {
 protected:
  void SetUp() override { fake::ResetAll(); }
};

TEST_F(JavaIdentification, CorrectsOracleVendorByPath) {
  const struct {
    const wchar_t* path;
    const wchar_t* vendor;
    const wchar_t* expectedVendor;
    const wchar_t* expectedLabel;
  } cases[] = {
      {L"C:\\Zulu\\bin\\java.exe", L"Oracle", L"Azul Systems Inc.", L"Zulu OpenJDK"},
      {L"C:\\Zulu\\Corretto\\bin\\java.exe", L"Oracle", L"Azul Systems Inc.", L"Zulu OpenJDK"},
      {L"C:\\Corretto\\bin\\java.exe", L"Oracle", L"Amazon.com Inc.", L"Corretto OpenJDK"},
      {L"C:\\AdoptOpenJDK\\bin\\java.exe", L"Oracle", L"AdoptOpenJDK", L"AdoptOpenJDK"},
      {L"C:\\AdoptOpenJDK\\x-openj9\\bin\\java.exe", L"Oracle", L"AdoptOpenJDK",
       L"AdoptOpenJDK/J9"},
      {L"C:\\AdoptOpenJDK\\OpenJ9\\bin\\java.exe", L"Oracle", L"AdoptOpenJDK", L"AdoptOpenJDK"},
      {L"C:\\RedHat\\bin\\java.exe", L"Oracle", L"Red Hat", L"Red Hat OpenJDK"},
      {L"C:\\BellSoft\\bin\\java.exe", L"Oracle", L"BellSoft", L"Liberica OpenJDK"},
      {L"C:\\SapMachine\\bin\\java.exe", L"Oracle", L"Sap SE", L"SapMachine OpenJDK"},
      {L"C:\\Microsoft\\bin\\java.exe", L"Oracle", L"Microsoft", L"Microsoft OpenJDK"},
      {L"C:\\zulu\\bin\\java.exe", L"Oracle", L"Oracle", L"Label"},
      {L"C:\\Zulu\\bin\\java.exe", L"Oracle Corporation", L"Oracle Corporation", L"Label"},
      {L"C:\\Zulu\\bin\\java.exe", L"oracle", L"oracle", L"Label"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.path << " / " << c.vendor);
    std::wstring vendor = c.vendor;
    std::wstring label = L"Label";
    CorrectOracleVendor(c.path, vendor, label);
    EXPECT_EQ(vendor, c.expectedVendor);
    EXPECT_EQ(label, c.expectedLabel);
  }
}

TEST_F(JavaIdentification, DefaultEntry) {
  const JavaCandidate candidate = MakeDefaultCandidate();
  EXPECT_EQ(candidate.displayName, L"[Default]");
  EXPECT_TRUE(candidate.version.numbers.empty() && candidate.javaPath.empty());
  EXPECT_EQ(candidate.vendor, L"Oracle");
  EXPECT_TRUE(candidate.isJdk && candidate.is64Bit && candidate.inPreferredRange);
}

TEST_F(JavaIdentification, ReleaseFileVersionWinsAndNamesTheEntry) {
  const std::wstring home = L"C:\\Program Files\\Java\\jdk-17.0.2";
  fake::WriteFile(home + L"\\release", "JAVA_VERSION=\"17.0.2\"\n");
  const JavaCandidate candidate =
      IdentifyJavaInstallation(home, home + L"\\bin\\javaw.exe", home + L"\\bin\\java.exe",
                               L"Oracle JDK", L"17.0.2.8", L"Oracle", true, false);
  EXPECT_EQ(candidate.displayName,
            L"Oracle JDK  17.0.2  (C:\\Program Files\\Java\\jdk-17.0.2\\bin\\java.exe)");
  EXPECT_EQ(candidate.version.numbers, (std::vector<std::int32_t>{17, 0, 2}));
  EXPECT_EQ(candidate.javawPath, home + L"\\bin\\javaw.exe");
  EXPECT_FALSE(candidate.is64Bit);
}

TEST_F(JavaIdentification, DisplayNameAndPreferredRange) {
  fake::WriteFile(L"C:\\r26\\release", "JAVA_VERSION=\"26\"\n");
  const struct {
    const wchar_t* home;
    const wchar_t* versionText;
    const wchar_t* label;
    const wchar_t* javaPath;
    const wchar_t* displayName;
    bool inPreferredRange;
  } cases[] = {
      {L"", L"", L"IBM JRE", L"C:\\x\\java.exe", L"IBM JRE    (C:\\x\\java.exe)", true},
      {L"", L"25.0.2", L"L", L"p", L"L  25.0.2  (p)", true},
      {L"", L"26.0.1", L"L", L"p", L"L  26.0.1  (p)", false},
      {L"", L"1.8.0_292", L"L", L"p", L"L  1.8.0_292  (p)", true},
      {L"C:\\r26", L"17", L"L", L"p", L"L  26  (p)", false},
      {L"C:\\missing", L"17", L"L", L"p", L"L  17  (p)", true},
      {L"", L"26", L"", L"p", L"[Default]", true},  // an empty label names the default entry
      {L"C:\\Microsoft\\bundled\\java", L"", L"Bundled OpenJDK", L"C:\\Microsoft\\java.exe",
       L"Microsoft OpenJDK    (C:\\Microsoft\\java.exe)", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.displayName);
    const JavaCandidate candidate = IdentifyJavaInstallation(c.home, L"w", c.javaPath, c.label,
                                                             c.versionText, L"Oracle", true, true);
    EXPECT_EQ(candidate.displayName, c.displayName);
    EXPECT_EQ(candidate.inPreferredRange, c.inPreferredRange);
  }
}

}  // namespace
