// The shipped program in settings-file mode: what it shows, what it writes, how it fails.
#include <memory>
#include <string>

#include "e2e_support.h"

namespace e2e {
namespace {

using SettingsFile = ProgramTest;

struct CheckBoxState {
  int id;
  int checked;
};

void ExpectCheckBoxes(HWND window, const std::vector<CheckBoxState>& expected) {
  for (const CheckBoxState& box : expected) {
    EXPECT_EQ(uidriver::GetCheck(GetDlgItem(window, box.id)), box.checked)
        << "check box " << box.id;
  }
}

TEST_F(SettingsFile, ShowsTheFileAndSavesTheEditsInFixedOrder) {
  const std::string memory = std::to_string(DefaultHeapMB() + 100);
  const std::string settings =
      CrLfLines({"Verbose:Yes", "Java:jdk\\bin\\java.exe",
                 "Arguments: -J-Xmx" + memory + "m -nofontcheck -Dx=1", "Scale:2", "KeepWS:yes",
                 "LegacyMS2:No", "PreferIPv4:Y", "DisableDD2:No", "Antialias:Yes"});
  const Installation installation = MakeInstallation(&settings);
  ASSERT_TRUE(MakeJavaHome(Join(installation.base, L"jdk"), "17.0.2"));
  ASSERT_TRUE(Open(installation.program, L"-p"));

  ExpectCheckBoxes(window_, {{IDC_VERBOSE, 1},
                             {IDC_SKIP_FONT_CHECK, 1},
                             {IDC_LEGACY_MERGE_SORT, 0},
                             {IDC_DISABLE_DIRECTDRAW, 0},
                             {IDC_KEEP_WORKING_SET, 1},
                             {IDC_PREFER_IPV4, 1}});
  EXPECT_EQ(uidriver::GetText(Control(IDC_MEMORY_EDIT)),
            std::wstring(memory.begin(), memory.end()));
  EXPECT_EQ(uidriver::GetText(Control(IDC_SCALE_COMBO)), L"2");
  EXPECT_EQ(uidriver::GetComboSelection(Control(IDC_SCALE_COMBO)), 2);
  // The relative path is made absolute against the installation on reading.
  const std::wstring java = Join(installation.base, L"jdk\\bin\\java.exe");
  EXPECT_EQ(uidriver::GetText(Control(IDC_JAVA_COMBO)), java);

  Toggle(IDC_VERBOSE);
  Toggle(IDC_SKIP_FONT_CHECK);
  Toggle(IDC_DISABLE_DIRECTDRAW);
  const std::string newMemory = std::to_string(DefaultHeapMB() + 101);
  Type(IDC_MEMORY_EDIT, std::wstring(newMemory.begin(), newMemory.end()));
  Type(IDC_SCALE_COMBO, L"System Default");
  ASSERT_TRUE(uidriver::PostClick(Control(IDC_OK)));
  ExpectExitCodeZero();
  EXPECT_EQ(uidriver::FindMessageBox(process_.Id()), nullptr);

  EXPECT_EQ(ReadBytes(installation.settingsFile),
            CrLfLines({"Arguments: -J-Xmx" + newMemory + "m", "Java:" + Utf8(java),
                       "Scale:System Default", "Verbose:No", "AllowUIScale:Yes", "DisableDD2:Yes",
                       "KeepWS:Yes", "LegacyMS2:No", "PreferIPv4:Yes"}));
}

TEST_F(SettingsFile, MissingFileIsReportedBeforeAnyWindowAndEndsWithExitCodeZero) {
  const Installation installation = MakeInstallation(nullptr);
  Start(installation.program, L"-p");
  const uidriver::MessageBoxInfo box = NextBox();
  EXPECT_EQ(uidriver::FindTopLevelWindow(process_.Id(), kWindowClass, false), nullptr);
  EXPECT_EQ(box.title, kErrorTitle);
  EXPECT_EQ(box.text, L"Could not open file \"" + installation.settingsFile +
                          L"\" for reading.\n\n\nError # 2 :\n" + RuntimeErrorText(2));
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_TRUE(box.hasIcon);
  EXPECT_EQ(box.buttonIds, std::vector<int>{IDOK});
  Answer(box, IDOK);
  ExpectExitCodeZero();
  EXPECT_EQ(ReadBytes(installation.settingsFile), "<missing>");
}

enum class Protection { ReadOnlyAttribute, OpenedExclusivelyElsewhere };

class UnwritableSettingsFile : public ProgramTest,
                               public testing::WithParamInterface<Protection> {};

TEST_P(UnwritableSettingsFile, IsReportedOnOkAndTheWindowStays) {
  const std::string settings = CrLfLines({"Arguments:", "Verbose:Yes"});
  const Installation installation = MakeInstallation(&settings);
  const wchar_t* path = installation.settingsFile.c_str();
  ASSERT_TRUE(Open(installation.program, L"-p"));
  struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
  };
  std::unique_ptr<void, HandleCloser> lock;
  if (GetParam() == Protection::ReadOnlyAttribute) {
    ASSERT_TRUE(SetFileAttributesW(path, FILE_ATTRIBUTE_READONLY));
    HANDLE probe = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
      CloseHandle(probe);
      SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
      GTEST_SKIP() << "read-only files can be written here (Wine running as root)";
    }
  } else {
    lock.reset(CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(lock.get(), INVALID_HANDLE_VALUE);
  }

  const uidriver::MessageBoxInfo box = OkExpectingBox();
  EXPECT_EQ(box.title, kErrorTitle);
  EXPECT_EQ(box.text, L"Unable to open settings file \"" + installation.settingsFile +
                          L"\" for writing.\n\n\nError # 13 = 0xd :\n" + RuntimeErrorText(13));
  EXPECT_EQ(box.owner, window_);
  EXPECT_TRUE(box.hasIcon);
  Answer(box, IDOK);
  ExpectWindowStaysOpen();

  ASSERT_TRUE(uidriver::PostClick(Control(IDC_CANCEL)));
  ExpectExitCodeZero();
  lock.reset();
  SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadBytes(installation.settingsFile), settings);
}

INSTANTIATE_TEST_SUITE_P(E2e, UnwritableSettingsFile,
                         testing::Values(Protection::ReadOnlyAttribute,
                                         Protection::OpenedExclusivelyElsewhere),
                         [](const auto& param) {
                           return std::string(param.param == Protection::ReadOnlyAttribute
                                                  ? "ReadOnly"
                                                  : "OpenedExclusivelyElsewhere");
                         });

TEST_F(SettingsFile, StartedFromKelvorAsksForARestartAfterSaving) {
  const std::string settings = CrLfLines({"Verbose:Yes"});
  const Installation installation = MakeInstallation(&settings);
  ASSERT_TRUE(Open(installation.program, L"/p -from_kelvor"));
  EXPECT_EQ(uidriver::GetText(Control(IDC_JAVA_COMBO)), L"[Default]");

  const uidriver::MessageBoxInfo box = OkExpectingBox();
  EXPECT_EQ(box.title, L"Kelvor Startup Settings");
  EXPECT_EQ(box.text, L"You must restart Kelvor for changes to take effect.");
  EXPECT_EQ(box.owner, window_);
  EXPECT_FALSE(box.hasIcon);
  EXPECT_EQ(box.buttonIds, std::vector<int>{IDOK});
  // The notice comes after the save; "[Default]" saves no Java line, the shown "Default" a Scale.
  EXPECT_EQ(ReadBytes(installation.settingsFile),
            CrLfLines({"Arguments:", "Scale:Default", "Verbose:Yes", "AllowUIScale:No",
                       "DisableDD2:No", "KeepWS:No", "LegacyMS2:Yes", "PreferIPv4:No"}));
  Answer(box, IDOK);
  ExpectExitCodeZero();
}

TEST_F(SettingsFile, QuestionedEntriesAreSavedOnceTheUserAccepts) {
  const std::string settings = CrLfLines({"Arguments: -nofontcheck", "Java:C:\\nowhere\\java.exe"});
  const Installation installation = MakeInstallation(&settings);
  ASSERT_TRUE(Open(installation.program, L"-p"));
  Type(IDC_MEMORY_EDIT, L"1");

  uidriver::MessageBoxInfo box = OkExpectingBox();
  EXPECT_EQ(box.title, L"Kelvor Startup Settings Warning");
  Answer(box, IDOK);
  const std::wstring javaQuestion =
      L"\"C:\\nowhere\\java.exe\" does not exist or could not be accessed.";
  box = NextBox();
  EXPECT_EQ(box.text, javaQuestion);
  Answer(box, IDTRYAGAIN);  // nothing changed on disk, so the same question comes back
  box = NextBox();
  EXPECT_EQ(box.text, javaQuestion);
  Answer(box, IDCONTINUE);
  ExpectExitCodeZero();

  EXPECT_EQ(ReadBytes(installation.settingsFile),
            CrLfLines({"Arguments: -J-Xmx1m -nofontcheck", "Java:C:\\nowhere\\java.exe",
                       "Scale:Default", "Verbose:No", "AllowUIScale:No", "DisableDD2:No",
                       "KeepWS:No", "LegacyMS2:Yes", "PreferIPv4:No"}));
}

}  // namespace
}  // namespace e2e
