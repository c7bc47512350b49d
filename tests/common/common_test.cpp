// The helpers shared by the core: Windows path rules, text decoding, registry string values.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "common/registry_string.h"
#include "common/text_encoding.h"
#include "common/windows_path.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_world_test.h"

namespace {

using namespace std::string_literals;
using namespace windows_path;

using Common = FakeWorldTest;

TEST_F(Common, PathRootsParentsAndResolution) {
  // Path, root name and root lengths, parent, absolute, and resolved against "C:\K".
  const std::tuple<const wchar_t*, std::size_t, std::size_t, const wchar_t*, bool, const wchar_t*>
      cases[] = {{L"C:a", 2, 2, L"C:", false, L"C:\\K\\a"},
                 {L"C:/a//b", 2, 3, L"C:/a", true, L"C:/a//b"},
                 {L"\\x", 0, 1, L"\\", false, L"C:\\x"},
                 {L"\\\\srv\\share\\k", 11, 12, L"\\\\srv\\share\\", true, L"\\\\srv\\share\\k"},
                 {L"\\\\?\\C:\\x", 4, 4, L"\\\\?\\C:", true, L"\\\\?\\C:\\x"},
                 {L"1:\\x", 0, 0, L"1:", false, L"C:\\K\\1:\\x"}};
  for (const auto& [path, rootName, root, parent, absolute, resolved] : cases)
    EXPECT_EQ(std::tuple(rootName, root, parent, absolute, resolved),
              std::tuple(RootNameLength(path), RootLength(path), Parent(path), IsAbsolute(path),
                         ResolveAgainst(L"C:\\K", path)))
        << path;
  EXPECT_EQ(ResolveAgainst(L"\\\\srv\\share\\K", L"\\jdk"), L"\\\\srv\\share\\jdk");
  EXPECT_EQ(Join(L"C:\\K", L"x") + L"|" + Join(L"C:/", L"x") + L"|" + Join(L"", L"x"),
            L"C:\\K\\x|C:/x|x");
  EXPECT_EQ(Compare(L"C:\\a\\\\b", L"C:/a/b"), 0);
  EXPECT_LT(Compare(L"C:\\A\\b", L"C:\\A!"), 0);
  // Final paths lose the prefix only where a plain path of under 16 characters reaches them.
  EXPECT_EQ(WithoutLongPathPrefix(L"\\\\?\\UNC\\srv\\s\\k", 16) + L"|" +
                WithoutLongPathPrefix(L"\\\\?\\C:\\x", 16) + L"|" +
                WithoutLongPathPrefix(L"\\\\?\\Volume{1}\\x", 16) + L"|" +
                WithoutLongPathPrefix(L"\\\\?\\C:\\0123456789abcd", 16),
            L"\\\\srv\\s\\k|C:\\x|\\\\?\\Volume{1}\\x|\\\\?\\C:\\0123456789abcd");
}

TEST_F(Common, TextFilesDecodeFromUtf8OrUtf16LittleEndianOnly) {
  // Bytes, and the text they read as (the big-endian refusal is the settings file load's).
  const std::pair<std::string, std::u16string_view> cases[] = {
      {"a\r\nb\rc\r\r\n"s, u"a\nb\rc\r\n"},  // only CR LF pairs fold
      {"\xEF\xBB\xBF\xC3\xA9\xEF\xBB\xBF\xF0\x9F\x98\x80"s, u"\xE9\xFEFF\xD83D\xDE00"},
      {"\xFF\xFEz\0\r\0\n\0\x3D\xD8\x00\xDE!"s, u"z\n\xD83D\xDE00"},
      // Each maximal invalid prefix becomes one U+FFFD: stray, overlong, surrogate, cut.
      {"\x80\xC0\xAF\xED\xA0\x80\xE2\x82x"s, u"\xFFFD\xFFFD\xFFFD\xFFFD\xFFFD\xFFFD\xFFFDx"}};
  for (const auto& [bytes, expected] : cases) {
    std::wstring text;
    EXPECT_EQ(DecodeTextFile(bytes, text), 0);
    EXPECT_EQ(text, Units(expected)) << testing::PrintToString(bytes);
  }
  EXPECT_EQ(EncodeUtf8(Units(u"\xD83D\xDE00\xDE00")), "\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

// Only string types are read, an expandable one as stored; past the first offer of 260
// characters the buffer grows to the size asked for. Writing keeps the terminator.
TEST_F(Common, RegistryStringsOfAnyLengthStringTypesOnlyWrittenWithTheirTerminator) {
  using namespace platform;
  const std::wstring path = L"Software\\K";
  // The text, its type, and whether it is read.
  const std::tuple<std::wstring, std::uint32_t, bool> rows[] = {
      {std::wstring(259, L'a'), kRegSz, true},
      {std::wstring(260, L'b'), kRegSz, true},
      {L"%JAVA_HOME%\\bin", kRegExpandSz, true},
      {L"Ye", kRegDword, false}};
  RegistryKey key;
  ASSERT_EQ(CreateRegistryKey(Hive::CurrentUser, path, kKeyQueryValue | kKeySetValue, key), 0);
  for (const auto& [text, type, read] : rows) {
    fake::PutString(Hive::CurrentUser, path, L"V", text, type);
    std::wstring out = L"sentinel";
    EXPECT_EQ(ReadRegistryString(key, L"V", out), read) << text.size();
    EXPECT_EQ(out, read ? text : L"sentinel") << text.size();
  }
  std::int32_t firstError = 0;
  WriteRegistryString(key, L"W", L"Ab", firstError);
  std::uint8_t data[8] = {};
  std::uint32_t type = 0, size = sizeof data;
  ASSERT_EQ(QueryRegistryValue(key, L"W", type, data, size), 0);
  EXPECT_EQ(std::tuple(type, size, firstError), std::tuple(kRegSz, 6u, 0));
  EXPECT_EQ(std::vector(data, data + 6), (std::vector<std::uint8_t>{'A', 0, 'b', 0, 0, 0}));
}

}  // namespace
