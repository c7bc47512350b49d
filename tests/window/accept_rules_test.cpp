// Rules behind the window's entries: default heap, Java and scale matching. The memory entry's
// reading is checked against its rule by fuzz/memory_entry_fuzzer.cpp, boundaries in its seeds.
#include "window/accept_rules.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

TEST(DefaultHeap, HalfBelow192MegabytesThenAQuarterAndTheQuestionBelowNinetyPercent) {
  const std::pair<std::uint64_t, std::uint64_t> heaps[] = {
      {8000000000, 2000}, {150000000, 75}, {191999999, 95}, {192000000, 48}, {999999, 0}};
  for (const auto& [bytes, heap] : heaps) EXPECT_EQ(DefaultHeapMBForMemory(bytes), heap) << bytes;
  fake::ResetAll();
  fake::SetTotalPhysicalMemory(8000000000);
  EXPECT_EQ(DefaultHeapMB(), 2000u);
  fake::SetTotalPhysicalMemory(8000000000, false);
  EXPECT_EQ(DefaultHeapMB(), 0u);
  const std::tuple<int, std::uint64_t, bool> questions[] = {
      {1800, 2000, false}, {1799, 2000, true}, {67, 75, true}, {68, 75, false}, {0, 0, false}};
  for (const auto& [mb, heap, asks] : questions) EXPECT_EQ(MemoryBelowDefault(mb, heap), asks);
  EXPECT_EQ(MemoryQuestionText(1799, 2000),
            L"Maximum memory use setting (1799 megabytes) is less than the default that Java "
            L"will probably use (2000 megabytes). Continue anyway?");
  EXPECT_EQ(QuestionableJavaText(L"C:\\Java", L"is a directory"), L"\"C:\\Java\" is a directory.");
}

TEST(JavaMatching, ExactTextsAndTheFirstMatchWins) {
  const wchar_t* rows[][2] = {{L"", L"[Default]"},
                              {L"C:\\J21\\", L"Temurin 21"},
                              {L"C:\\J21\\", L"Twin"},
                              {L"C:\\J17\\", L"Zulu 17"}};
  std::vector<JavaCandidate> list(std::size(rows));
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::wstring home = rows[i][0];
    list[i].displayName = rows[i][1];
    list[i].javawPath = home.empty() ? home : home + L"javaw.exe";
    list[i].javaPath = home.empty() ? home : home + L"java.exe";
  }
  const std::pair<const wchar_t*, std::size_t> found[] = {
      {L"", 0}, {L"C:\\J21\\javaw.exe", 1}, {L"C:\\J17\\java.exe", 3}};
  for (const auto& [path, index] : found) EXPECT_EQ(FindCandidateByPath(list, path), index) << path;
  for (const wchar_t* path : {L"c:\\J17\\java.exe", L"C:/J17/java.exe"})
    EXPECT_FALSE(FindCandidateByPath(list, path)) << path;
  EXPECT_EQ(JavaChoiceFromText(list, L"[Default]"), L"");
  EXPECT_EQ(JavaChoiceFromText(list, L"Zulu 17"), L"C:\\J17\\java.exe");
  EXPECT_EQ(JavaChoiceFromText(list, L"zulu 17"), L"zulu 17");
}

TEST(UIScale, ItemsMatchingAndTheSystemDefaultPrefix) {
  EXPECT_EQ(ScaleItems(), (std::vector<std::wstring>{L"Default", L"1", L"2", L"3", L"4", L"5", L"6",
                                                     L"7", L"8"}));
  const std::pair<const wchar_t*, std::size_t> items[] = {
      {L"4", 4}, {L"8", 8}, {L"", 0}, {L"4.0", 0}, {L"default", 0}, {L"System Default", 0}};
  for (const auto& [text, index] : items) EXPECT_EQ(ScaleItemIndex(text), index) << text;
  const std::pair<const wchar_t*, bool> allows[] = {
      {L"System Default", true},  {L"System Default 2", true}, {L"System Defaul", false},
      {L"system default", false}, {L"Default", false},         {L" System Default", false}};
  for (const auto& [text, allowed] : allows) EXPECT_EQ(AllowsUIScale(text), allowed) << text;
}
