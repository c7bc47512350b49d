// The shipped program in settings-file mode: what it shows and writes, every way of leaving
// without a save, and files that no editor would write.
#include <memory>
#include <random>

#include "e2e_support.h"

namespace e2e {
namespace {

using SettingsFile = ProgramTest;

TEST_F(SettingsFile, ShowsTheFileSavesTheEditsInFixedOrderAndAsksForARestart) {
  const DWORDLONG memory = DefaultHeapMB() + 100;
  const std::string settings =
      CrLfLines({"Verbose:Yes", "Java:jdk\\bin\\java.exe",
                 "Arguments: -J-Xmx" + std::to_string(memory) + "m -nofontcheck -Dx=1", "Scale:2",
                 "KeepWS:yes", "LegacyMS2:No", "PreferIPv4:Y", "DisableDD2:No", "Antialias:Yes"});
  const Installation installation = MakeInstallation(&settings);
  ASSERT_TRUE(MakeJavaHome(installation.base + L"\\jdk", "17.0.2"));
  ASSERT_TRUE(Start(installation, L"/p -from_kelvor"));

  // The relative path is made absolute against the installation on reading.
  const std::filesystem::path java = installation.base + L"\\jdk\\bin\\java.exe";
  EXPECT_EQ(Shown(), L"110011|" + std::to_wstring(memory) + L"|" + java.wstring());
  EXPECT_EQ(uidriver::GetComboSelection(Control(IDC_SCALE_COMBO)), 2);

  for (const int id : {IDC_VERBOSE, IDC_SKIP_FONT_CHECK, IDC_DISABLE_DIRECTDRAW}) Toggle(id);
  Type(IDC_MEMORY_EDIT, std::to_wstring(memory + 1));
  Type(IDC_SCALE_COMBO, L"System Default");
  Press(IDC_OK);
  // The notice comes after the save.
  const uidriver::MessageBoxInfo box = NextBox(window_);
  EXPECT_EQ(Describe(box),
            L"Kelvor Startup Settings|You must restart Kelvor for changes to take "
            L"effect.|1 no icon");
  EXPECT_EQ(
      ReadBytes(installation.settingsFile),
      CrLfLines({"Arguments: -J-Xmx" + std::to_string(memory + 1) + "m",
                 "Java:" + std::string(reinterpret_cast<const char*>(java.u8string().c_str())),
                 "Scale:System Default", "Verbose:No", "AllowUIScale:Yes", "DisableDD2:Yes",
                 "KeepWS:Yes", "LegacyMS2:No", "PreferIPv4:Yes"}));
  EXPECT_TRUE(uidriver::PressMessageBoxButton(box.window, IDOK));
  ExpectExitCodeZero();
}

TEST_F(SettingsFile, UnreadableFileIsReportedBeforeAnyWindowAndEndsWithExitCodeZero) {
  for (const bool folder : {false, true}) {
    SCOPED_TRACE(folder ? "a folder in place of the file" : "no file");
    const Installation installation = MakeInstallation(nullptr);
    ASSERT_TRUE(!folder || MakeFolders(installation.settingsFile));
    ASSERT_TRUE(Start(installation, L"-p", false));
    const uidriver::MessageBoxInfo box = NextBox(nullptr);
    EXPECT_EQ(uidriver::FindTopLevelWindow(process_.Id(), L"KelvorSSClass", false), nullptr);
    EXPECT_EQ(Describe(box), kErrorTitle +
                                 (L"|Could not open file \"" + installation.settingsFile +
                                  L"\" for reading.\n\n\nError # ") +
                                 (folder ? L"13 = 0xd :\n" + std::wstring(_wcserror(13))
                                         : L"2 :\n" + std::wstring(_wcserror(2))) +
                                 L"|1 icon");
    EXPECT_TRUE(uidriver::PressMessageBoxButton(box.window, IDOK));
    ExpectExitCodeZero();
  }
}

TEST_F(SettingsFile, LeavingWithoutOkOrARefusedOkSavesNothing) {
  const std::string settings = CrLfLines({"Arguments: -J-Xmx4096m", "Verbose:Yes"});
  const std::wstring file = MakeInstallation(&settings).settingsFile;  // the same for every row
  const struct {
    const char* name;
    int press;              // IDC_CANCEL, IDC_OK, or 0 for the close box
    const wchar_t* memory;  // pasted: the edit only keeps digits out of typing
    const wchar_t* java;
    std::wstring box;  // the one OK shows, described; its default button is the answer
  } cases[] = {
      {"Cancel", IDC_CANCEL, L"8192", L"", L""},
      {"close box", 0, L"8192", L"", L""},
      {"not a number", IDC_OK, L"abc", L"",
       L"Invalid Setting|Maximum memory use is not a number.|1 icon"},
      {"negative", IDC_OK, L"-5", L"", L"Invalid Setting|Maximum memory use is negative.|1 icon"},
      {"memory question", IDC_OK, L"1", L"",
       L"Kelvor Startup Settings Warning|Maximum memory use setting (1 megabytes) is less than the "
       L"default that Java will probably use (" +
           std::to_wstring(DefaultHeapMB()) + L" megabytes). Continue anyway?|1 2 icon"},
      {"Java question", IDC_OK, L"", L"C:\\nowhere\\java.exe",
       L"Questionable Setting|\"C:\\nowhere\\java.exe\" does not exist or could not be "
       L"accessed.|2 10 11 icon"},
      {"file held open elsewhere", IDC_OK, L"", L"",
       kErrorTitle + (L"|Unable to open settings file \"" + file +
                      L"\" for writing.\n\n\nError # 13 = 0xd :\n" + _wcserror(13) + L"|1 icon")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Installation installation = MakeInstallation(&settings);
    ASSERT_TRUE(Start(installation, L"-p"));
    std::unique_ptr<void, decltype(&CloseHandle)> lock(nullptr, &CloseHandle);
    if (c.box.find(L"|Unable") != std::wstring::npos)
      lock.reset(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    Toggle(IDC_PREFER_IPV4);
    Type(IDC_MEMORY_EDIT, c.memory);
    if (*c.java != L'\0') Type(IDC_JAVA_COMBO, c.java);
    EXPECT_TRUE(c.press == 0 ? uidriver::PressCloseBox(window_)
                             : uidriver::PostClick(Control(c.press)));
    if (c.press == IDC_OK) {
      const uidriver::MessageBoxInfo box = NextBox(window_);
      EXPECT_EQ(Describe(box), c.box);
      const int answer = box.buttonIds.size() == 1 ? IDOK : IDCANCEL;
      EXPECT_EQ(box.defaultButtonId, answer);
      EXPECT_TRUE(uidriver::PressMessageBoxButton(box.window, answer));
      Sleep(500);  // a program that wrongly quits does so at once; give it that moment
      EXPECT_TRUE(process_.IsRunning() && IsWindowVisible(window_));
      EXPECT_EQ(uidriver::FindMessageBox(process_.Id()), nullptr) << "a box is still open";
      // The entries are left as the user made them, for another try.
      EXPECT_EQ(Shown(),
                L"101001|" + std::wstring(c.memory) + L"|" + (*c.java ? c.java : L"[Default]"));
    }
    ExpectExitCodeZero(c.press == IDC_OK ? IDC_CANCEL : 0);
    lock.reset();
    EXPECT_EQ(ReadBytes(installation.settingsFile), settings);
  }
}

TEST_F(SettingsFile, DamagedFilesKeepTheEntriesBeforeTheDamage) {
  std::mt19937 random(7);  // a fixed seed, so a failure can be replayed byte for byte
  std::string noise(4 * 1024 * 1024, '\0');
  for (char& byte : noise) byte = static_cast<char>(random());
  const std::string valid = CrLfLines({"Arguments: -J-Xmx1234m", "Verbose:Yes"});
  for (const std::string& settings :
       {valid + noise, valid + "Comment:" + std::string(1024 * 1024, 'x'),
        valid + std::string(1024 * 1024, ':'),
        "\xFF\xFE" + Utf16Le(L"Verbose:Yes\r\nArguments: -J-Xmx1234m\r\n") + "S"}) {
    SCOPED_TRACE(testing::PrintToString(settings.substr(valid.size(), 12)));
    const Installation installation = MakeInstallation(&settings);
    ASSERT_TRUE(Start(installation, L"-p"));
    EXPECT_EQ(uidriver::FindMessageBox(process_.Id()), nullptr);
    EXPECT_EQ(Shown(), L"101000|1234|[Default]");
    ExpectExitCodeZero(IDC_CANCEL);
    EXPECT_EQ(ReadBytes(installation.settingsFile), settings);
  }
}

}  // namespace
}  // namespace e2e
