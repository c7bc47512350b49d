// Version texts of both forms, their order and their major number.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "javainfo/java_version.h"

namespace {

TEST(JavaVersion, ParsesTokens) {
  const struct {
    const wchar_t* text;
    std::vector<std::int32_t> numbers;
    const wchar_t* preRelease;
    std::int32_t preReleaseNumber;
    std::int32_t buildNumber;
  } cases[] = {
      {L"", {}, L"", -1, -1},
      {L"17.0.2", {17, 0, 2}, L"", -1, -1},
      {L"21", {21}, L"", -1, -1},
      {L"1.8.0_292", {8, 0, 292}, L"", -1, -1},
      {L"1", {}, L"", -1, -1},
      {L"01.8", {8}, L"", -1, -1},
      {L"17..2", {17, 2}, L"", -1, -1},
      {L".5", {5}, L"", -1, -1},
      {L".1", {1}, L"", -1, -1},  // only a first token of 1 marks the legacy form
      {L"17.", {17}, L"", -1, -1},
      {L"17_5.2", {17, 5}, L"", -1, -1},
      {L"17.0_1", {17, 0}, L"", -1, -1},
      {L"11.0.2+9", {11, 0, 2, 9}, L"", -1, -1},
      {L"17-ea+35", {17}, L"", -1, 35},
      {L"17.0.1+12-LTS", {17, 0, 1, 12}, L"LTS", -1, -1},
      {L"17.0.1+12-3", {17, 0, 1, 12}, L"3", 3, -1},
      {L"1.8.0-x-ea-b12", {8, 0}, L"ea", -1, 12},
      {L"1.8.0-x+b7", {8, 0}, L"", -1, 7},   // legacy: 'b' dropped after '+' too
      {L"17-x+b7", {17}, L"", -1, -1},       // current form keeps the 'b', so no number
      {L"17-x+5+6", {17}, L"", -1, 5},       // a second build token is ignored
      {L"99999999999.1", {1}, L"", -1, -1},  // out of range: skipped
      {L"2147483647.2147483648", {2147483647}, L"", -1, -1},
      {L"000000000000000000017", {17}, L"", -1, -1},  // leading zeros do not overflow
      {L" 17. 2.\t3", {17, 2, 3}, L"", -1, -1},       // leading white space is skipped
      {L"0b12.4", {0, 4}, L"", -1, -1},
      {L"08", {8}, L"", -1, -1},
      {L"ea.17", {17}, L"", -1, -1},
      {L"17+-x", {17}, L"x", -1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "text: \"" << c.text << "\"");
    const JavaVersion version = ParseJavaVersion(c.text);
    EXPECT_EQ(version.numbers, c.numbers);
    EXPECT_EQ(version.preRelease, c.preRelease);
    EXPECT_EQ(version.preReleaseNumber, c.preReleaseNumber);
    EXPECT_EQ(version.buildNumber, c.buildNumber);
  }
}

TEST(JavaVersion, MajorVersionOfBothForms) {
  const struct {
    const wchar_t* text;
    int major;
  } cases[] = {
      {L"17.0.2", 17}, {L"21", 21}, {L"1.8.0_292", 8}, {L"1", 0}, {L"", 0}, {L"ea", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "text: " << c.text);
    EXPECT_EQ(MajorVersion(ParseJavaVersion(c.text)), c.major);
  }
}

TEST(JavaVersion, ComparesInBothDirections) {
  // Each row: older, newer (or equal when `equal`).
  const struct {
    const wchar_t* older;
    const wchar_t* newer;
    bool equal;
  } cases[] = {
      {L"17", L"17.0", false},
      {L"11.0.2.1", L"11.0.2+9", false},
      {L"17", L"17", true},
      {L"17.0.2", L"17.0.10", false},
      {L"1.8.0_292", L"17", false},
      {L"17.0.1+12-3", L"17.0.1+12-4", false},     // pre-release numbers
      {L"17.0.1+12-x", L"17.0.1+12-2", false},     // no number (-1) is lower than any
      {L"17.0.1+12", L"17.0.1+12-LTS", false},     // empty pre-release is older
      {L"17.0.1+12-LT", L"17.0.1+12-LTS", false},  // a prefix is older
      {L"17.0.1+12-LTA", L"17.0.1+12-LTB", false},
      {L"17-ea+34", L"17-ea+35", false},  // equal pre-release: build decides
      {L"17.0.1-ea", L"17.0.1-ea", true},
      {L"17.0.1+12-a", L"17.0.1+12-\u00e9", false},  // code units compare unsigned
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.older << " vs " << c.newer);
    const JavaVersion older = ParseJavaVersion(c.older);
    const JavaVersion newer = ParseJavaVersion(c.newer);
    EXPECT_EQ(CompareJavaVersions(older, newer), c.equal ? 0 : -1);
    EXPECT_EQ(CompareJavaVersions(newer, older), c.equal ? 0 : 1);
  }
}

}  // namespace
