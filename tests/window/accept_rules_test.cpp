// Rules behind the window's entries: default heap, Java and scale matching. The memory entry's
// reading is checked against its rule by fuzz/memory_entry_fuzzer.cpp, boundaries in its seeds.
#include "window/accept_rules.h"

#include <gtest/gtest.h>

TEST(DefaultHeap, HalfBelow192MegabytesThenAQuarterAndAskedBelowNinetyPercent) {
  const std::pair<std::uint64_t, std::uint64_t> heaps[] = {
      {8000000000, 2000}, {191999999, 95}, {192000000, 48}, {999999, 0}};
  for (const auto& [bytes, heap] : heaps) EXPECT_EQ(DefaultHeapMBForMemory(bytes), heap) << bytes;
  const std::tuple<int, std::uint64_t, bool> asks[] = {
      {1800, 2000, false}, {1799, 2000, true}, {67, 75, true}, {68, 75, false}, {0, 0, false}};
  for (const auto& [mb, heap, ask] : asks) EXPECT_EQ(MemoryBelowDefault(mb, heap), ask) << mb;
}

// The text shown maps back to a path: "[Default]" to none, a listed name to its java.exe, and any
// other text, differing in case only, to itself.
TEST(JavaMatching, TextsMapBackToPaths) {
  std::vector<JavaCandidate> list(2);
  std::tie(list[0].displayName, list[1].displayName) = std::pair(L"[Default]", L"Zulu 17");
  list[1].javaPath = L"C:\\J17\\java.exe";
  for (const auto& [text, java] :
       {std::pair{L"[Default]", L""}, {L"Zulu 17", L"C:\\J17\\java.exe"}, {L"zulu 17", L"zulu 17"}})
    EXPECT_EQ(JavaChoiceFromText(list, text), java) << text;
}

TEST(UIScale, ItemMatchingAndTheSystemDefaultPrefix) {
  const std::pair<const wchar_t*, std::size_t> items[] = {
      {L"4", 4}, {L"8", 8}, {L"", 0}, {L"4.0", 0}, {L"default", 0}, {L"System Default", 0}};
  for (const auto& [text, index] : items) EXPECT_EQ(ScaleItemIndex(text), index) << text;
  for (const wchar_t* text : {L"System Default", L"System Default 2"})
    EXPECT_TRUE(AllowsUIScale(text)) << text;
  for (const wchar_t* text : {L"System Defaul", L"system default", L" System Default"})
    EXPECT_FALSE(AllowsUIScale(text)) << text;
}
