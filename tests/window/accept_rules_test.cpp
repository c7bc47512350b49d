// Rules behind the window's entries: memory entry, default heap, Java and scale matching.
#include "window/accept_rules.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace {

TEST(ReadMemoryEntry, ReadsLikePercentD) {
  const struct {
    const wchar_t* text;
    MemoryEntryKind kind;
    std::int32_t megabytes;
  } cases[] = {
      {L"", MemoryEntryKind::Empty, 0},
      {L"2048", MemoryEntryKind::Value, 2048},
      {L"0", MemoryEntryKind::Value, 0},
      {L" 42", MemoryEntryKind::Value, 42},
      {L"\t\r\n\v\f7", MemoryEntryKind::Value, 7},
      {L"+5", MemoryEntryKind::Value, 5},
      {L"512MB", MemoryEntryKind::Value, 512},
      {L"00012", MemoryEntryKind::Value, 12},
      {L"-5", MemoryEntryKind::Negative, 0},
      {L"-0", MemoryEntryKind::Value, 0},
      {L"abc", MemoryEntryKind::NotANumber, 0},
      {L" ", MemoryEntryKind::NotANumber, 0},
      {L"-", MemoryEntryKind::NotANumber, 0},
      {L"- 5", MemoryEntryKind::NotANumber, 0},
      {L"+-5", MemoryEntryKind::NotANumber, 0},
      {L"2147483647", MemoryEntryKind::Value, 2147483647},
      {L"2147483648", MemoryEntryKind::NotANumber, 0},
      {L"9999999999", MemoryEntryKind::NotANumber, 0},
      {L"99999999999999999999999999", MemoryEntryKind::NotANumber, 0},
      {L"-2147483648", MemoryEntryKind::Negative, 0},
      {L"-99999999999", MemoryEntryKind::Negative, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "text: \"" << c.text << "\"");
    const MemoryEntry entry = ReadMemoryEntry(c.text);
    EXPECT_EQ(entry.kind, c.kind);
    EXPECT_EQ(entry.megabytes, c.megabytes);
  }
}

TEST(DefaultHeap, HalfBelow192MegabytesThenAQuarter) {
  const struct {
    std::uint64_t bytes;
    std::uint64_t heap;
  } cases[] = {
      {8000000000, 2000},  {150000000, 75},
      {191999999, 95},     {192000000, 48},
      {999999, 0},         {0, 0},
      {1000000, 0},        {3000000, 1},
      {17179869184, 4294}, {0xFFFFFFFFFFFFFFFF, 18446744073709 / 4},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DefaultHeapMBForMemory(c.bytes), c.heap) << c.bytes << " bytes";
  }
}

TEST(DefaultHeap, ComesFromThePlatformOrIsZero) {
  fake::ResetAll();
  fake::SetTotalPhysicalMemory(8000000000);
  EXPECT_EQ(DefaultHeapMB(), 2000u);
  fake::SetTotalPhysicalMemory(8000000000, false);
  EXPECT_EQ(DefaultHeapMB(), 0u);
}

TEST(MemoryQuestion, AskedBelowNinetyPercentOfTheDefault) {
  EXPECT_FALSE(MemoryBelowDefault(1800, 2000));
  EXPECT_TRUE(MemoryBelowDefault(1799, 2000));
  EXPECT_TRUE(MemoryBelowDefault(67, 75));
  EXPECT_FALSE(MemoryBelowDefault(68, 75));
  EXPECT_TRUE(MemoryBelowDefault(0, 1));
  EXPECT_FALSE(MemoryBelowDefault(0, 0));
  EXPECT_EQ(MemoryQuestionText(1799, 2000),
            L"Maximum memory use setting (1799 megabytes) is less than the default that Java "
            L"will probably use (2000 megabytes). Continue anyway?");
}

TEST(QuestionableJava, QuotesThePathAndEndsTheReason) {
  EXPECT_EQ(QuestionableJavaText(L"C:\\Java", L"is a directory"), L"\"C:\\Java\" is a directory.");
}

std::vector<JavaCandidate> SampleCandidates() {
  JavaCandidate none;
  none.displayName = L"[Default]";
  JavaCandidate first;
  first.javawPath = L"C:\\J21\\bin\\javaw.exe";
  first.javaPath = L"C:\\J21\\bin\\java.exe";
  first.displayName = L"Temurin JDK 21";
  JavaCandidate twin = first;  // the same installation listed twice: the first one wins
  twin.displayName = L"Temurin JDK 21 again";
  JavaCandidate other;
  other.javawPath = L"C:\\J17\\bin\\javaw.exe";
  other.javaPath = L"C:\\J17\\bin\\java.exe";
  other.displayName = L"Zulu JRE 17";
  return {none, first, twin, other};
}

TEST(JavaMatching, ByPathExactlyAndFirstMatchWins) {
  const std::vector<JavaCandidate> candidates = SampleCandidates();
  const struct {
    const wchar_t* path;
    std::optional<std::size_t> index;
  } cases[] = {
      {L"", 0},
      {L"C:\\J21\\bin\\javaw.exe", 1},
      {L"C:\\J21\\bin\\java.exe", 1},
      {L"C:\\J17\\bin\\java.exe", 3},
      {L"c:\\J17\\bin\\java.exe", std::nullopt},
      {L"C:/J17/bin/java.exe", std::nullopt},
      {L"C:\\J17\\bin\\java.exe ", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindCandidateByPath(candidates, c.path), c.index) << "path: " << c.path;
  }
  EXPECT_EQ(FindCandidateByPath({}, L""), std::nullopt);
}

TEST(JavaMatching, ChoiceFromComboText) {
  const std::vector<JavaCandidate> candidates = SampleCandidates();
  EXPECT_EQ(JavaChoiceFromText(candidates, L"[Default]"), L"");
  EXPECT_EQ(JavaChoiceFromText(candidates, L""), L"");
  EXPECT_EQ(JavaChoiceFromText(candidates, L"Zulu JRE 17"), L"C:\\J17\\bin\\java.exe");
  EXPECT_EQ(JavaChoiceFromText(candidates, L"zulu jre 17"), L"zulu jre 17");
  EXPECT_EQ(JavaChoiceFromText(candidates, L"D:\\x\\java.exe"), L"D:\\x\\java.exe");
}

TEST(ScaleItems, NineItemsAndExactMatching) {
  const std::vector<std::wstring> expected{L"Default", L"1", L"2", L"3", L"4",
                                           L"5",       L"6", L"7", L"8"};
  EXPECT_EQ(ScaleItems(), expected);
  const struct {
    const wchar_t* text;
    std::size_t index;
  } cases[] = {
      {L"4", 4},   {L"8", 8},       {L"Default", 0},        {L"", 0},
      {L"4.0", 0}, {L"default", 0}, {L"System Default", 0}, {L" 4", 0},
      {L"9", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ScaleItemIndex(c.text), c.index) << c.text;
}

TEST(AllowsUIScale, FirstFourteenCharactersAreSystemDefault) {
  const struct {
    const wchar_t* text;
    bool allowed;
  } cases[] = {
      {L"System Default", true},
      {L"System Defaults", true},
      {L"System Default 2", true},
      {L"System Defaul", false},
      {L"system default", false},
      {L"Default", false},
      {L"2", false},
      {L"", false},
      {L" System Default", false},
  };
  for (const auto& c : cases) EXPECT_EQ(AllowsUIScale(c.text), c.allowed) << c.text;
}

}  // namespace
