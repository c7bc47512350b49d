// Decoding text files as the runtime's UTF-8 text mode does, and the UTF-8/UTF-16LE encoders.
#include "startup/text_encoding.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using namespace std::string_literals;

// Decoded texts hold UTF-16 units on both builds, so expectations are spelled as units.
std::wstring Units(std::initializer_list<unsigned> units) {
  std::wstring text;
  for (const unsigned unit : units) text.push_back(static_cast<wchar_t>(unit));
  return text;
}

TEST(TextEncoding, DecodesEachEncodingAndFoldsLineEnds) {
  const std::pair<std::string, std::wstring> cases[] = {
      {"a\r\nb\rc\r\r\n"s, L"a\nb\rc\r\n"},                          // only CR LF pairs fold
      {"\xEF\xBB\xBF\xC3\xA9\xEF\xBB\xBF"s, Units({0xE9, 0xFEFF})},  // the mark skipped once
      {"\xE2\x82\xAC\xF0\x9F\x98\x80"s, Units({0x20AC, 0xD83D, 0xDE00})},
      {"\xFF\xFE"
       "a\0\r\0\n\0\x3D\xD8\x00\xDE!"s,
       Units({'a', '\n', 0xD83D, 0xDE00})},
      // Each maximal invalid prefix becomes one U+FFFD: stray, overlong, surrogate, too large.
      {"\x80\xC0\xAF"s, Units({0xFFFD, 0xFFFD, 0xFFFD})},
      {"\xED\xA0\x80\xF4\x90"s, Units({0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD})},
      {"\xE2\x82x\xF0\x9F\x98"s, Units({0xFFFD, 'x', 0xFFFD})},
  };
  for (const auto& [bytes, expected] : cases) {
    std::wstring text = L"sentinel";
    EXPECT_EQ(DecodeTextFile(bytes, text), 0);
    EXPECT_EQ(text, expected) << testing::PrintToString(bytes);
  }
  std::wstring text = L"sentinel";
  EXPECT_EQ(DecodeTextFile("\xFE\xFF\0a"s, text), 22);
  EXPECT_EQ(text, L"sentinel");
}

TEST(TextEncoding, EncodesUtf8CombiningPairs) {
  EXPECT_EQ(EncodeUtf8(Units({'a', 0xE9, 0x20AC, 0xD83D, 0xDE00, '\n', 0xDE00, 0xD83D})),
            "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\n\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
