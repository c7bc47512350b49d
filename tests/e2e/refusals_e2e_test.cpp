// Every way of leaving without a save (Cancel, the close box, a refused OK) writes nothing.
#include <algorithm>
#include <string>

#include "e2e_support.h"

namespace e2e {
namespace {

const std::string kSettings = CrLfLines({"Arguments: -J-Xmx4096m", "Verbose:Yes", "LegacyMS2:No"});

enum class Leave { CancelButton, CloseBox, CloseMessage };

struct LeaveCase {
  const char* name;
  Leave how;
};

class LeavingSavesNothing : public ProgramTest, public testing::WithParamInterface<LeaveCase> {};

TEST_P(LeavingSavesNothing, AndEndsWithExitCodeZero) {
  const Installation installation = MakeInstallation(&kSettings);
  ASSERT_TRUE(Open(installation.program, L"-p"));
  Toggle(IDC_VERBOSE);
  Type(IDC_MEMORY_EDIT, L"8192");
  switch (GetParam().how) {
    case Leave::CancelButton: ASSERT_TRUE(uidriver::PostClick(Control(IDC_CANCEL))); break;
    case Leave::CloseBox: ASSERT_TRUE(uidriver::PressCloseBox(window_)); break;
    case Leave::CloseMessage: ASSERT_TRUE(uidriver::PostClose(window_)); break;
  }
  ExpectExitCodeZero();
  EXPECT_EQ(ReadBytes(installation.settingsFile), kSettings);
}

INSTANTIATE_TEST_SUITE_P(E2e, LeavingSavesNothing,
                         testing::Values(LeaveCase{"CancelButton", Leave::CancelButton},
                                         LeaveCase{"CloseBox", Leave::CloseBox},
                                         LeaveCase{"CloseMessage", Leave::CloseMessage}),
                         [](const auto& param) { return std::string(param.param.name); });

std::wstring MemoryQuestion() {
  return L"Maximum memory use setting (1 megabytes) is less than the default that Java will "
         L"probably use (" +
         std::to_wstring(DefaultHeapMB()) + L" megabytes). Continue anyway?";
}

struct RefusalCase {
  const char* name;
  const wchar_t* memory;  // pasted: the edit only keeps digits out of typing
  const wchar_t* java;    // nullptr leaves "[Default]"
  std::wstring (*text)();
  const wchar_t* title;
  std::vector<int> buttons;
  int defaultButton;
  int answer;
};

class RefusedOkSavesNothing : public ProgramTest,
                              public testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusedOkSavesNothing, ShowsItsBoxAndKeepsTheWindow) {
  const RefusalCase& refusal = GetParam();
  const Installation installation = MakeInstallation(&kSettings);
  ASSERT_TRUE(Open(installation.program, L"-p"));
  Toggle(IDC_PREFER_IPV4);
  Type(IDC_MEMORY_EDIT, refusal.memory);
  if (refusal.java != nullptr) Type(IDC_JAVA_COMBO, refusal.java);

  uidriver::MessageBoxInfo box = OkExpectingBox();
  EXPECT_EQ(box.title, refusal.title);
  EXPECT_EQ(box.text, refusal.text());
  EXPECT_EQ(box.owner, window_);
  EXPECT_TRUE(box.hasIcon);
  std::sort(box.buttonIds.begin(), box.buttonIds.end());
  EXPECT_EQ(box.buttonIds, refusal.buttons);
  EXPECT_EQ(box.defaultButtonId, refusal.defaultButton);
  Answer(box, refusal.answer);
  ExpectWindowStaysOpen();
  EXPECT_EQ(ReadBytes(installation.settingsFile), kSettings);
  // The entries are left as the user made them, for another try.
  EXPECT_EQ(uidriver::GetText(Control(IDC_MEMORY_EDIT)), refusal.memory);
  EXPECT_EQ(uidriver::GetCheck(Control(IDC_PREFER_IPV4)), BST_CHECKED);

  ASSERT_TRUE(uidriver::PostClick(Control(IDC_CANCEL)));
  ExpectExitCodeZero();
  EXPECT_EQ(ReadBytes(installation.settingsFile), kSettings);
}

INSTANTIATE_TEST_SUITE_P(
    E2e, RefusedOkSavesNothing,
    testing::Values(
        RefusalCase{"MemoryNotANumber",
                    L"abc",
                    nullptr,
                    [] { return std::wstring(L"Maximum memory use is not a number."); },
                    L"Invalid Setting",
                    {IDOK},
                    IDOK,
                    IDOK},
        RefusalCase{"MemoryNegative",
                    L"-5",
                    nullptr,
                    [] { return std::wstring(L"Maximum memory use is negative."); },
                    L"Invalid Setting",
                    {IDOK},
                    IDOK,
                    IDOK},
        RefusalCase{"MemoryBelowDefaultCancelled",
                    L"1",
                    nullptr,
                    MemoryQuestion,
                    L"Kelvor Startup Settings Warning",
                    {IDOK, IDCANCEL},
                    IDCANCEL,
                    IDCANCEL},
        RefusalCase{"MissingJavaCancelled",
                    L"",
                    L"C:\\nowhere\\java.exe",
                    [] {
                      return std::wstring(
                          L"\"C:\\nowhere\\java.exe\" does not exist or could not be accessed.");
                    },
                    L"Questionable Setting",
                    {IDCANCEL, IDTRYAGAIN, IDCONTINUE},
                    IDCANCEL,
                    IDCANCEL},
        RefusalCase{"DirectoryAsJavaCancelled",
                    L"",
                    L"C:\\windows",
                    [] { return std::wstring(L"\"C:\\windows\" is a directory."); },
                    L"Questionable Setting",
                    {IDCANCEL, IDTRYAGAIN, IDCONTINUE},
                    IDCANCEL,
                    IDCANCEL}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace e2e
