// The JAVA_VERSION line of a release file: line rules over text, then through a real read.
#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_platform.h"
#include "javainfo/release_file.h"

namespace {

TEST(ReleaseFile, LineRules) {
  const std::wstring longLine(1000, L'x');
  const struct {
    const wchar_t* name;
    std::wstring text;
    const wchar_t* version;  // nullptr: no version
  } cases[] = {
      {L"second line", L"IMPLEMENTOR=\"X\"\nJAVA_VERSION=\"17.0.2\"\n", L"17.0.2"},
      {L"legacy", L"JAVA_VERSION=\"1.8.0_292\"", L"1.8.0_292"},
      {L"cut at '-'", L"JAVA_VERSION=\"17-ea\"", L"17"},
      {L"cut at '+'", L"JAVA_VERSION=\"21.0.1+12\"", L"21.0.1"},
      {L"empty value", L"JAVA_VERSION=\"\"\n", nullptr},
      {L"letters", L"JAVA_VERSION=\"ea\"\n", nullptr},
      {L"no quote", L"JAVA_VERSION=17\nJAVA_VERSION=\"18\"\n", L"18"},
      {L"blank first line", L"\nJAVA_VERSION=\"17\"\n", nullptr},
      {L"empty text", L"", nullptr},
      {L"indented third line", L"A=1\nB=2\n  JAVA_VERSION=\"17\"\n", L"17"},
      {L"indented first line", L"  JAVA_VERSION=\"17\"\n", nullptr},
      {L"blank lines between", L"A=1\n\n\n\t JAVA_VERSION=\"19\"", L"19"},
      {L"first match only", L"JAVA_VERSION=\"x\"\nJAVA_VERSION=\"17\"\n", nullptr},
      {L"no closing quote", L"A=1\nJAVA_VERSION=\"17.0.2", L"17.0.2"},
      {L"key absent", L"A=1\nB=2\n", nullptr},
      {L"lower-case key", L"java_version=\"17\"\n", nullptr},
      {L"long line before", L"A=" + longLine + L"\nJAVA_VERSION=\"17\"", nullptr},
      {L"999 fits", std::wstring(999, L'y') + L"\nJAVA_VERSION=\"17\"", L"17"},
      {L"1000 does not", std::wstring(1000, L'y') + L"\nJAVA_VERSION=\"17\"", nullptr},
      {L"CR before LF", L"A=1\r\nJAVA_VERSION=\"17\"", L"17"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name);
    std::wstring version = L"sentinel";
    EXPECT_EQ(ReleaseVersionFromText(c.text, version), c.version != nullptr);
    EXPECT_EQ(version, c.version ? c.version : L"");
  }
}

class ReleaseFileRead : public testing::Test {
 protected:
  void SetUp() override { fake::ResetAll(); }
};

TEST_F(ReleaseFileRead, DecodesAndJoins) {
  fake::WriteFile(L"C:\\jdk\\release",
                  "\xEF\xBB\xBFIMPLEMENTOR=\"A\"\r\nJAVA_VERSION=\"17.0.2\"\r\n");
  std::string utf16 = "\xFF\xFE";
  for (const char c : std::string("JAVA_VERSION=\"16\"")) utf16 += {c, '\0'};
  fake::WriteFile(L"C:\\j16\\release", utf16);
  const struct {
    const wchar_t* home;
    const wchar_t* version;
  } cases[] = {
      {L"C:\\jdk", L"17.0.2"},    // UTF-8 with BOM and CR LF
      {L"C:\\jdk\\", L"17.0.2"},  // no second separator
      {L"C:\\j16", L"16"},        // UTF-16LE
      {L"C:\\none", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.home);
    std::wstring version = L"sentinel";
    EXPECT_EQ(ReadReleaseVersion(c.home, version), c.version != nullptr);
    EXPECT_EQ(version, c.version ? c.version : L"");
  }
}

}  // namespace
