// Rules behind the window's entries: default heap, Java and scale matching. The memory entry's
// reading is checked against its rule by fuzz/memory_entry_fuzzer.cpp, boundaries in its seeds.
#include "window/accept_rules.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

TEST(DefaultHeap, HalfBelow192MegabytesThenAQuarterAndAskedBelowNinetyPercent) {
  const std::pair<std::uint64_t, std::uint64_t> heaps[] = {
      {8000000000, 2000}, {191999999, 95}, {192000000, 48}, {999999, 0}};
  for (const auto& [bytes, heap] : heaps) EXPECT_EQ(DefaultHeapMBForMemory(bytes), heap) << bytes;
  fake::ResetAll();
  fake::SetTotalPhysicalMemory(8000000000);
  EXPECT_EQ(DefaultHeapMB(), 2000u);
  fake::SetTotalPhysicalMemory(8000000000, false);
  EXPECT_EQ(DefaultHeapMB(), 0u);
  const std::tuple<int, std::uint64_t, bool> asks[] = {
      {1800, 2000, false}, {1799, 2000, true}, {67, 75, true}, {68, 75, false}, {0, 0, false}};
  for (const auto& [mb, heap, ask] : asks) EXPECT_EQ(MemoryBelowDefault(mb, heap), ask) << mb;
}

TEST(JavaMatching, ExactTextsAndTheFirstMatchWins) {
  std::vector<JavaCandidate> list(4);  // [Default], then J21 twice (the first wins), then J17
  for (std::size_t i = 1; i < 4; ++i) {
    const std::wstring home = i < 3 ? L"C:\\J21\\" : L"C:\\J17\\";
    std::tie(list[i].javawPath, list[i].javaPath) =
        std::pair(home + L"javaw.exe", home + L"java.exe");
  }
  std::tie(list[0].displayName, list[3].displayName) = std::pair(L"[Default]", L"Zulu 17");
  const std::pair<const wchar_t*, std::size_t> found[] = {
      {L"", 0}, {L"C:\\J21\\javaw.exe", 1}, {L"C:\\J17\\java.exe", 3}};
  for (const auto& [path, index] : found) EXPECT_EQ(FindCandidateByPath(list, path), index) << path;
  for (const wchar_t* path : {L"c:\\J17\\java.exe", L"C:/J17/java.exe"})
    EXPECT_FALSE(FindCandidateByPath(list, path)) << path;
  for (const auto& [text, java] :
       {std::pair{L"[Default]", L""}, {L"Zulu 17", L"C:\\J17\\java.exe"}, {L"zulu 17", L"zulu 17"}})
    EXPECT_EQ(JavaChoiceFromText(list, text), java) << text;
}

TEST(UIScale, ItemsMatchingAndTheSystemDefaultPrefix) {
  EXPECT_EQ(ScaleItems(), (std::vector<std::wstring>{L"Default", L"1", L"2", L"3", L"4", L"5", L"6",
                                                     L"7", L"8"}));
  const std::pair<const wchar_t*, std::size_t> items[] = {
      {L"4", 4}, {L"8", 8}, {L"", 0}, {L"4.0", 0}, {L"default", 0}, {L"System Default", 0}};
  for (const auto& [text, index] : items) EXPECT_EQ(ScaleItemIndex(text), index) << text;
  for (const wchar_t* text : {L"System Default", L"System Default 2"})
    EXPECT_TRUE(AllowsUIScale(text)) << text;
  for (const wchar_t* text : {L"System Defaul", L"system default", L" System Default"})
    EXPECT_FALSE(AllowsUIScale(text)) << text;
}
