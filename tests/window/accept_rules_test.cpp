// Rules behind the window's entries: the memory entry, default heap, Java and scale matching.
#include "window/accept_rules.h"

#include <gtest/gtest.h>

// "%d": blanks, one sign, digits, the rest ignored. Beyond 32 bits a value is refused, as
// negative when it has a minus sign. (Letters and a plain negative: the window's OK test.)
TEST(MemoryEntry, ReadAsScanfReadsADecimalInteger) {
  using enum MemoryEntryKind;
  // clang-format off
  const std::tuple<const wchar_t*, MemoryEntryKind, std::int32_t> rows[] = {  // text, kind, MB
      {L"", Empty, 0},
      {L" \t\n42", Value, 42},
      {L"+7", Value, 7},
      {L"512MB", Value, 512},
      {L"-0", Value, 0},
      {L"- 5", NotANumber, 0},
      {L"\xFF11", NotANumber, 0},  // a full-width digit
      {L"2147483647", Value, 2147483647},
      {L"2147483648", NotANumber, 0},
      {L"-99999999999", Negative, 0}};
  // clang-format on
  for (const auto& [text, kind, megabytes] : rows) {
    EXPECT_EQ(ReadMemoryEntry(text).kind, kind) << text;
    EXPECT_EQ(ReadMemoryEntry(text).megabytes, megabytes) << text;
  }
}

TEST(DefaultHeap, HalfBelow192MegabytesThenAQuarterAndAskedBelowNinetyPercent) {
  const std::pair<std::uint64_t, std::uint64_t> heaps[] = {
      {8000000000, 2000}, {191999999, 95}, {192000000, 48}, {999999, 0}};
  for (const auto& [bytes, heap] : heaps) EXPECT_EQ(DefaultHeapMBForMemory(bytes), heap) << bytes;
  const std::tuple<int, std::uint64_t, bool> asks[] = {
      {1800, 2000, false}, {1799, 2000, true}, {67, 75, true}, {68, 75, false}, {0, 0, false}};
  for (const auto& [mb, heap, ask] : asks) EXPECT_EQ(MemoryBelowDefault(mb, heap), ask) << mb;
}

// The text shown maps back to a path: "[Default]" to none, a listed name to its java.exe, and any
// other text, differing in case only, to itself. A stored path selects the first entry with it
// as javaw.exe or else java.exe, exactly.
TEST(JavaMatching, TextsMapBackToPathsAndPathsToEntries) {
  std::vector<JavaCandidate> list(3);
  std::tie(list[0].displayName, list[1].displayName) = std::pair(L"[Default]", L"Zulu 17");
  list[1].javaPath = L"C:\\J17\\java.exe";
  std::tie(list[1].javawPath, list[2].javaPath) =
      std::pair(L"C:\\J17\\javaw.exe", L"C:\\J17\\javaw.exe");
  for (const auto& [text, java] :
       {std::pair{L"[Default]", L""}, {L"Zulu 17", L"C:\\J17\\java.exe"}, {L"zulu 17", L"zulu 17"}})
    EXPECT_EQ(JavaChoiceFromText(list, text), java) << text;
  const std::pair<const wchar_t*, std::optional<std::size_t>> paths[] = {
      {L"", 0},
      {L"C:\\J17\\javaw.exe", 1},
      {L"C:\\J17\\java.exe", 1},
      {L"c:\\J17\\java.exe", std::nullopt},
      {L"C:/J17/java.exe", std::nullopt}};
  for (const auto& [path, index] : paths) EXPECT_EQ(FindCandidateByPath(list, path), index) << path;
}

TEST(UIScale, ItemMatchingAndTheSystemDefaultPrefix) {
  const std::pair<const wchar_t*, std::size_t> items[] = {{L"4", 4}, {L"4.0", 0}, {L"", 0}};
  for (const auto& [text, index] : items) EXPECT_EQ(ScaleItemIndex(text), index) << text;
  for (const auto& [text, allows] :
       {std::pair{L"System Default 2", true}, {L"system default", false}})
    EXPECT_EQ(AllowsUIScale(text), allows) << text;
}
