// Composing error texts: the "Error # " line, the separators and the system's descriptions.
#include "startup/error_text.h"

#include <gtest/gtest.h>

#include <tuple>

#include "fakes/fake_platform.h"
#include "platform/files.h"

namespace {

TEST(ErrorText, ComposesPiecesAndDescriptions) {
  // The text before, the code, the description and the text after.
  const std::tuple<const wchar_t*, std::int32_t, const wchar_t*, const wchar_t*> cases[] = {
      {L"", 2, L"X", L"Error # 2 :\nX"},
      {L"", 10, L"X", L"Error # 10 = 0xa :\nX"},
      {L"", 2147483647, L"", L"Error # 2147483647 = 0x7fffffff :\n"},
      {L"", -5, L"X", L"Error # -5 :\nX"},
      {L"A.\n\n", 5, L"X", L"A.\n\n\nError # 5 :\nX"},
      {L"A", 0, L"X", L"A\nX"},
      {L"A", 0, L"", L"A"},  // an empty piece adds not even the line end
  };
  for (const auto& [before, code, description, after] : cases) {
    std::wstring errorText = before;
    AppendErrorText(code, description, errorText);
    EXPECT_EQ(errorText, after) << code;
  }
  fake::ResetAll();
  fake::SetSystemMessage(1410, L"Class already exists.");
  fake::SetSystemMessage(5, L"", false);
  EXPECT_EQ(ComposeSystemErrorBoxText(L"Class registration failed.", 1410),
            L"Class registration failed.\n\n\nError # 1410 = 0x582 :\nClass already exists.");
  EXPECT_EQ(ComposeSystemErrorBoxText(L"M.", 5),
            L"M.\n\n\nError # 5 :\n<failed to get error message>");
  std::wstring errorText;
  AppendRuntimeErrorText(13, errorText);
  EXPECT_EQ(errorText, L"Error # 13 = 0xd :\n" + platform::RuntimeErrorText(13));
}

}  // namespace
