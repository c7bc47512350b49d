// Decoding text files as the runtime's UTF-8 text mode does, and the UTF-8/UTF-16LE encoders.
#include "startup/text_encoding.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace {

// Decoded texts hold UTF-16 units on both builds, so expectations are spelled as units.
std::wstring Units(std::initializer_list<unsigned> units) {
  std::wstring text;
  for (const unsigned unit : units) text.push_back(static_cast<wchar_t>(unit));
  return text;
}

class TextEncodingTest : public testing::Test {
 protected:
  void SetUp() override { fake::ResetAll(); }
};

TEST_F(TextEncodingTest, DecodesEachEncodingAndFoldsLineEnds) {
  using namespace std::string_literals;
  const struct {
    const char* name;
    std::string bytes;
    std::wstring text;
  } cases[] = {
      {"empty", ""s, L""},
      {"plain UTF-8", "a\r\nb\nc"s, L"a\nb\nc"},
      {"lone CRs stay", "a\rb\r\r\nc\r"s, L"a\rb\r\nc\r"},
      {"UTF-8 mark skipped", "\xEF\xBB\xBFK:\xC3\xA9\r\n"s, Units({'K', ':', 0xE9, '\n'})},
      {"mark only once", "\xEF\xBB\xBF\xEF\xBB\xBF"s, Units({0xFEFF})},
      {"astral as a pair", "\xF0\x9F\x98\x80"s, Units({0xD83D, 0xDE00})},
      {"three-byte", "\xE2\x82\xAC"s, Units({0x20AC})},
      {"UTF-16LE",
       "\xFF\xFE"
       "a\0\r\0\n\0\xE9\0"s,
       Units({'a', '\n', 0xE9})},
      {"UTF-16LE odd byte dropped",
       "\xFF\xFE"
       "a\0b"s,
       L"a"},
      {"UTF-16LE pair kept", "\xFF\xFE\x3D\xD8\x00\xDE"s, Units({0xD83D, 0xDE00})},
      {"UTF-16LE CR at the end", "\xFF\xFE\r\0"s, L"\r"},
      {"NUL is a character", "a\0b"s, Units({'a', 0, 'b'})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring text = L"sentinel";
    EXPECT_EQ(DecodeTextFile(c.bytes, text), 0);
    EXPECT_EQ(text, c.text);
  }
}

TEST_F(TextEncodingTest, InvalidUtf8BecomesReplacementCharacters) {
  const struct {
    const char* bytes;
    std::wstring text;
  } cases[] = {
      {"\x80", Units({0xFFFD})},
      {"\xC0\xAF", Units({0xFFFD, 0xFFFD})},                          // overlong
      {"\xE0\x80\x80", Units({0xFFFD, 0xFFFD, 0xFFFD})},              // overlong three-byte
      {"\xED\xA0\x80", Units({0xFFFD, 0xFFFD, 0xFFFD})},              // an encoded surrogate
      {"\xF4\x90\x80\x80", Units({0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD})},  // past U+10FFFF
      {"\xE2\x82x", Units({0xFFFD, 'x'})},      // cut short: one for the prefix
      {"a\xF0\x9F\x98", Units({'a', 0xFFFD})},  // cut short by the end
      {"\xFF\xFF", Units({0xFFFD, 0xFFFD})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "bytes: " << testing::PrintToString(std::string(c.bytes)));
    std::wstring text;
    EXPECT_EQ(DecodeTextFile(c.bytes, text), 0);
    EXPECT_EQ(text, c.text);
  }
}

TEST_F(TextEncodingTest, RefusesUtf16BigEndianAndLeavesTheText) {
  std::wstring text = L"sentinel";
  EXPECT_EQ(DecodeTextFile(std::string("\xFE\xFF\0a", 4), text), 22);
  EXPECT_EQ(text, L"sentinel");
}

TEST_F(TextEncodingTest, EncodesUtf8CombiningPairs) {
  EXPECT_EQ(EncodeUtf8(Units({'a', 0xE9, 0x20AC, 0xD83D, 0xDE00, '\n'})),
            "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\n");
  // Lone surrogates, in either order, cannot be written as UTF-8.
  EXPECT_EQ(EncodeUtf8(Units({0xDE00, 0xD83D, 'x', 0xD83D})),
            "\xEF\xBF\xBD\xEF\xBF\xBDx\xEF\xBF\xBD");
  std::wstring decoded;
  ASSERT_EQ(DecodeTextFile(EncodeUtf8(Units({0x7FF, 0x800, 0xFFFF, 0xDBFF, 0xDFFF})), decoded), 0);
  EXPECT_EQ(decoded, Units({0x7FF, 0x800, 0xFFFF, 0xDBFF, 0xDFFF}));
}

TEST_F(TextEncodingTest, Utf16LeRoundTripStopsAtTheFirstZero) {
  const std::wstring text = Units({'J', 0xE9, 0xD83D, 0xDE00});
  const std::vector<std::uint8_t> bytes = EncodeUtf16Le(text, true);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'J', 0, 0xE9, 0, 0x3D, 0xD8, 0x00, 0xDE, 0, 0}));
  EXPECT_EQ(EncodeUtf16Le(text, false).size(), 8u);
  EXPECT_EQ(DecodeUtf16Le(bytes.data(), bytes.size()), text);
  EXPECT_EQ(DecodeUtf16Le(bytes.data(), 3), L"J");  // the odd byte is dropped
  const std::uint8_t embedded[] = {'a', 0, 0, 0, 'b', 0};
  EXPECT_EQ(DecodeUtf16Le(embedded, sizeof embedded), L"a");
  EXPECT_EQ(DecodeUtf16Le(nullptr, 0), L"");
}

TEST_F(TextEncodingTest, ReadTextFileDecodesOrGivesTheRuntimeError) {
  fake::WriteFile(L"C:\\jdk\\release", "\xEF\xBB\xBFJAVA_VERSION=\"17\"\r\n");
  std::wstring text = L"sentinel";
  EXPECT_EQ(ReadTextFile(L"C:\\jdk\\release", text), 0);
  EXPECT_EQ(text, L"JAVA_VERSION=\"17\"\n");
  text = L"sentinel";
  EXPECT_EQ(ReadTextFile(L"C:\\jdk\\missing", text), 2);  // ENOENT
  fake::WriteFile(L"C:\\jdk\\big-endian", std::string("\xFE\xFF\0J", 4));
  EXPECT_EQ(ReadTextFile(L"C:\\jdk\\big-endian", text), 22);
  EXPECT_EQ(text, L"sentinel");
}

}  // namespace
