// Composing error texts: the "Error # " line, the separators and the system's descriptions.
#include "startup/error_text.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "platform/files.h"

namespace {

class ErrorTextTest : public testing::Test {
 protected:
  void SetUp() override { fake::ResetAll(); }
};

TEST_F(ErrorTextTest, AppendErrorTextComposesThePiece) {
  const struct {
    const wchar_t* before;
    std::int32_t code;
    const wchar_t* description;
    const wchar_t* after;
  } cases[] = {
      {L"", 2, L"X", L"Error # 2 :\nX"},
      {L"", 9, L"X", L"Error # 9 :\nX"},
      {L"", 10, L"X", L"Error # 10 = 0xa :\nX"},
      {L"", 1410, L"X", L"Error # 1410 = 0x582 :\nX"},
      {L"", 2147483647, L"", L"Error # 2147483647 = 0x7fffffff :\n"},
      {L"", -2147483647 - 1, L"X", L"Error # -2147483648 :\nX"},
      {L"", -5, L"X", L"Error # -5 :\nX"},
      {L"A.\n\n", 5, L"X", L"A.\n\n\nError # 5 :\nX"},
      {L"A", 0, L"X", L"A\nX"},
      {L"A", 0, L"", L"A"},  // an empty piece adds not even the line end
      {L"", 0, L"X", L"X"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "code: " << c.code);
    std::wstring errorText = c.before;
    AppendErrorText(c.code, c.description, errorText);
    EXPECT_EQ(errorText, c.after);
  }
}

TEST_F(ErrorTextTest, SystemMessagesAndTheirAbsence) {
  fake::SetSystemMessage(5, L"Access is denied.");
  fake::SetSystemMessage(1410, L"", false);
  EXPECT_EQ(SystemMessageText(5), L"Access is denied.");
  EXPECT_EQ(SystemMessageText(1410), L"<failed to get error message>");

  std::wstring errorText = L"Saving failed.\n\n";
  AppendSystemErrorText(1410, errorText);
  EXPECT_EQ(errorText,
            L"Saving failed.\n\n\nError # 1410 = 0x582 :\n<failed to get error message>");
}

TEST_F(ErrorTextTest, RuntimeErrorTextUsesTheRuntimesDescription) {
  std::wstring errorText = L"Could not open.\n\n";
  AppendRuntimeErrorText(13, errorText);
  EXPECT_EQ(errorText,
            L"Could not open.\n\n\nError # 13 = 0xd :\n" + platform::RuntimeErrorText(13));
}

TEST_F(ErrorTextTest, SystemErrorBoxText) {
  fake::SetSystemMessage(1410, L"Class already exists.");
  EXPECT_EQ(ComposeSystemErrorBoxText(L"Class registration failed.", 1410),
            L"Class registration failed.\n\n\nError # 1410 = 0x582 :\nClass already exists.");
  fake::SetSystemMessage(0, L"The operation completed successfully.");
  EXPECT_EQ(ComposeSystemErrorBoxText(L"M.", 0), L"M.\n\n\nThe operation completed successfully.");
}

}  // namespace
