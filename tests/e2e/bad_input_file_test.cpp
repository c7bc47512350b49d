// The shipped program against settings files that no editor would write: huge, random, a
// folder, or UTF-16 cut off mid-character. It must open (or refuse with its error box), and a
// valid entry ahead of the damage must survive.
#include <random>
#include <string>

#include "e2e_support.h"

namespace e2e {
namespace {

using BadSettingsFile = ProgramTest;

// Random bytes from a fixed seed, so a failure can be replayed byte for byte.
std::string RandomBytes(std::size_t size) {
  std::mt19937 random(7);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes;
}

std::string Utf16Le(const std::wstring& text) {
  std::string bytes;
  for (const wchar_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>((unit >> 8) & 0xFF);
  }
  return bytes;
}

TEST_F(BadSettingsFile, DamagedContentKeepsTheEntriesBeforeIt) {
  const struct {
    const char* name;
    std::string damage;
  } cases[] = {
      {"4 MB of random bytes", RandomBytes(4 * 1024 * 1024)},
      {"a 1 MB line", "Comment:" + std::string(1024 * 1024, 'x')},
      {"a 1 MB line of colons", std::string(1024 * 1024, ':')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string settings = CrLfLines({"Arguments: -J-Xmx1234m", "Verbose:Yes"}) + c.damage;
    const Installation installation = MakeInstallation(&settings);
    ASSERT_TRUE(Open(installation.program, L"-p"));
    EXPECT_EQ(uidriver::FindMessageBox(process_.Id()), nullptr);
    EXPECT_EQ(uidriver::GetText(Control(IDC_MEMORY_EDIT)), L"1234");
    EXPECT_EQ(uidriver::GetCheck(Control(IDC_VERBOSE)), BST_CHECKED);
    ASSERT_TRUE(uidriver::PostClick(Control(IDC_CANCEL)));
    ExpectExitCodeZero();
    // Cancel leaves the file exactly as it was.
    EXPECT_EQ(ReadBytes(installation.settingsFile), settings);
  }
}

TEST_F(BadSettingsFile, Utf16WithAnOddByteCountIsReadUpToTheLastWholeCharacter) {
  const std::string settings =
      "\xFF\xFE" + Utf16Le(L"Verbose:Yes\r\nArguments: -J-Xmx4321m\r\nScale:2\r\n") + "S";
  const Installation installation = MakeInstallation(&settings);
  ASSERT_TRUE(Open(installation.program, L"-p"));
  EXPECT_EQ(uidriver::GetCheck(Control(IDC_VERBOSE)), BST_CHECKED);
  EXPECT_EQ(uidriver::GetText(Control(IDC_MEMORY_EDIT)), L"4321");
  EXPECT_EQ(uidriver::GetText(Control(IDC_SCALE_COMBO)), L"2");
  ASSERT_TRUE(uidriver::PostClick(Control(IDC_CANCEL)));
  ExpectExitCodeZero();
}

TEST_F(BadSettingsFile, AFolderInPlaceOfTheFileIsReportedAndEndsWithExitCodeZero) {
  const Installation installation = MakeInstallation(nullptr);
  ASSERT_TRUE(MakeFolders(installation.settingsFile));
  Start(installation.program, L"-p");
  const uidriver::MessageBoxInfo box = NextBox();
  EXPECT_EQ(box.title, kErrorTitle);
  EXPECT_TRUE(box.text.starts_with(L"Could not open file \"" + installation.settingsFile +
                                   L"\" for reading.\n\n"))
      << testing::PrintToString(box.text);
  EXPECT_EQ(box.buttonIds, std::vector<int>{IDOK});
  Answer(box, IDOK);
  ExpectExitCodeZero();
}

}  // namespace
}  // namespace e2e
