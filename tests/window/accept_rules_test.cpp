// Rules behind the window's entries: memory entry, default heap, Java and scale matching.
#include "window/accept_rules.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace {

// A candidate with just the fields the window uses.
JavaCandidate Entry(const std::wstring& javaw, const std::wstring& java, const std::wstring& name) {
  JavaCandidate candidate;
  candidate.javawPath = javaw;
  candidate.javaPath = java;
  candidate.displayName = name;
  return candidate;
}

TEST(ReadMemoryEntry, ReadsLikePercentD) {
  using enum MemoryEntryKind;
  const struct {
    const wchar_t* text;
    MemoryEntryKind kind;
    std::int32_t megabytes;
  } cases[] = {
      {L"", Empty, 0},
      {L"2048", Value, 2048},
      {L"0", Value, 0},
      {L" 42", Value, 42},
      {L"\t\r\n\v\f7", Value, 7},
      {L"+5", Value, 5},
      {L"512MB", Value, 512},
      {L"-0", Value, 0},
      {L"-5", Negative, 0},
      {L"abc", NotANumber, 0},
      {L" ", NotANumber, 0},
      {L"- 5", NotANumber, 0},
      {L"+-5", NotANumber, 0},
      {L"2147483647", Value, 2147483647},
      {L"2147483648", NotANumber, 0},
      {L"99999999999999999999999", NotANumber, 0},
      {L"-99999999999", Negative, 0},
  };
  for (const auto& c : cases) {
    const MemoryEntry entry = ReadMemoryEntry(c.text);
    EXPECT_EQ(entry.kind, c.kind) << "\"" << c.text << "\"";
    EXPECT_EQ(entry.megabytes, c.megabytes) << "\"" << c.text << "\"";
  }
}

TEST(DefaultHeap, HalfBelow192MegabytesThenAQuarter) {
  const std::pair<std::uint64_t, std::uint64_t> cases[] = {
      {8000000000, 2000}, {150000000, 75}, {191999999, 95}, {192000000, 48}, {999999, 0},
  };
  for (const auto& [bytes, heap] : cases) EXPECT_EQ(DefaultHeapMBForMemory(bytes), heap) << bytes;
  fake::ResetAll();
  fake::SetTotalPhysicalMemory(8000000000);
  EXPECT_EQ(DefaultHeapMB(), 2000u);
  fake::SetTotalPhysicalMemory(8000000000, false);
  EXPECT_EQ(DefaultHeapMB(), 0u);
}

TEST(MemoryQuestion, BelowNinetyPercentOfTheDefaultAndItsTexts) {
  EXPECT_FALSE(MemoryBelowDefault(1800, 2000));
  EXPECT_TRUE(MemoryBelowDefault(1799, 2000));
  EXPECT_TRUE(MemoryBelowDefault(67, 75));
  EXPECT_FALSE(MemoryBelowDefault(68, 75));
  EXPECT_FALSE(MemoryBelowDefault(0, 0));
  EXPECT_EQ(MemoryQuestionText(1799, 2000),
            L"Maximum memory use setting (1799 megabytes) is less than the default that Java "
            L"will probably use (2000 megabytes). Continue anyway?");
  EXPECT_EQ(QuestionableJavaText(L"C:\\Java", L"is a directory"), L"\"C:\\Java\" is a directory.");
}

TEST(JavaMatching, ExactTextsAndTheFirstMatchWins) {
  auto candidate = [](const std::wstring& home, const std::wstring& name) {
    return Entry(home + L"\\javaw.exe", home + L"\\java.exe", name);
  };
  const std::vector<JavaCandidate> list = {
      Entry(L"", L"", L"[Default]"), candidate(L"C:\\J21", L"Temurin 21"),
      candidate(L"C:\\J21", L"Twin"), candidate(L"C:\\J17", L"Zulu 17")};
  const std::pair<const wchar_t*, std::optional<std::size_t>> byPath[] = {
      {L"", 0},
      {L"C:\\J21\\javaw.exe", 1},
      {L"C:\\J17\\java.exe", 3},
      {L"c:\\J17\\java.exe", std::nullopt},
      {L"C:/J17/java.exe", std::nullopt},
  };
  for (const auto& [path, index] : byPath)
    EXPECT_EQ(FindCandidateByPath(list, path), index) << path;
  EXPECT_EQ(JavaChoiceFromText(list, L"[Default]"), L"");
  EXPECT_EQ(JavaChoiceFromText(list, L"Zulu 17"), L"C:\\J17\\java.exe");
  EXPECT_EQ(JavaChoiceFromText(list, L"zulu 17"), L"zulu 17");
}

TEST(UIScale, ItemsMatchingAndTheSystemDefaultPrefix) {
  EXPECT_EQ(ScaleItems(), (std::vector<std::wstring>{L"Default", L"1", L"2", L"3", L"4", L"5", L"6",
                                                     L"7", L"8"}));
  const std::pair<const wchar_t*, std::size_t> items[] = {
      {L"4", 4}, {L"8", 8}, {L"", 0}, {L"4.0", 0}, {L"default", 0}, {L"System Default", 0},
  };
  for (const auto& [text, index] : items) EXPECT_EQ(ScaleItemIndex(text), index) << text;
  const std::pair<const wchar_t*, bool> allows[] = {
      {L"System Default", true},  {L"System Default 2", true}, {L"System Defaul", false},
      {L"system default", false}, {L"Default", false},         {L" System Default", false},
  };
  for (const auto& [text, allowed] : allows) EXPECT_EQ(AllowsUIScale(text), allowed) << text;
}

}  // namespace
