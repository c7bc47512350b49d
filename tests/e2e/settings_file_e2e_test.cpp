// The shipped program in settings-file mode: what it shows and writes, every way of leaving
// without a save, and files that no editor would write.
#include <memory>
#include <random>
#include <set>

#include "e2e_support.h"

namespace e2e {
namespace {

using SettingsFile = ProgramTest;

TEST_F(SettingsFile, ShowsTheFileSavesTheEditsInFixedOrderAndAsksForARestart) {
  // Memory above any machine's default heap, so that OK asks no question.
  const std::string settings = CrLfLines(
      {"Verbose:Yes", "Java:jdk\\bin\\java.exe", "Arguments: -J-Xmx4000000m -nofontcheck -Dx=1",
       "Scale:2", "KeepWS:yes", "LegacyMS2:No", "PreferIPv4:Y", "DisableDD2:No", "Antialias:Yes"});
  const Installation installation = MakeInstallation(&settings);
  ASSERT_TRUE(MakeJavaHome(installation.base + L"\\jdk", "17.0.2"));
  // What a crashed save left is neither read nor touched; a hidden file stays hidden.
  const std::wstring leftover = installation.settingsFile + L".saving-1.tmp";
  ASSERT_TRUE(WriteBytes(leftover, "Verbose:No\r\n"));
  ASSERT_TRUE(SetFileAttributesW(installation.settingsFile.c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(Start(installation, L"/p -from_kelvor"));

  // The relative path is made absolute against the installation on reading.
  const std::filesystem::path java = installation.base + L"\\jdk\\bin\\java.exe";
  EXPECT_EQ(Shown(), L"110011|4000000|" + java.wstring());
  EXPECT_EQ(uidriver::GetComboSelection(Control(IDC_SCALE_COMBO)), 2);

  for (const int id : {IDC_VERBOSE, IDC_SKIP_FONT_CHECK, IDC_DISABLE_DIRECTDRAW}) Toggle(id);
  Type(IDC_MEMORY_EDIT, L"4000001");
  Type(IDC_SCALE_COMBO, L"System Default");
  Press(IDC_OK);
  // The notice comes after the save.
  const uidriver::MessageBoxInfo box = NextBox(window_);
  EXPECT_EQ(Describe(box),
            L"Kelvor Startup Settings|You must restart Kelvor for changes to take "
            L"effect.|1 no icon");
  EXPECT_EQ(
      ReadBytes(installation.settingsFile),
      CrLfLines({"Arguments: -J-Xmx4000001m",
                 "Java:" + std::string(reinterpret_cast<const char*>(java.u8string().c_str())),
                 "Scale:System Default", "Verbose:No", "AllowUIScale:Yes", "DisableDD2:Yes",
                 "KeepWS:Yes", "LegacyMS2:No", "PreferIPv4:Yes"}));
  EXPECT_EQ(ReadBytes(leftover), "Verbose:No\r\n");
  EXPECT_EQ(GetFileAttributesW(installation.settingsFile.c_str()) & FILE_ATTRIBUTE_HIDDEN,
            DWORD{FILE_ATTRIBUTE_HIDDEN});
  EXPECT_TRUE(uidriver::PressMessageBoxButton(box.window, IDOK));
  ExpectExitCodeZero();
}

TEST_F(SettingsFile, UnreadableFileIsReportedBeforeAnyWindowAndEndsWithExitCodeZero) {
  for (const bool folder : {false, true}) {
    SCOPED_TRACE(folder ? "a folder in place of the file" : "no file");
    const Installation installation = MakeInstallation(nullptr);
    if (folder) std::filesystem::create_directories(installation.settingsFile);
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

// The full volume is a small tmpfs that scripts/with-full-volume.sh mounts for this suite.
TEST_F(SettingsFile, AFailedSaveKeepsTheOldFileAndTheWindow) {
  const std::string settings = CrLfLines({"Arguments: -J-Xmx4000000m", "Verbose:Yes"});
  wchar_t volume[MAX_PATH] = {},
          refused[512] = L"KELVOR_FULL_VOLUME is not set (scripts/with-full-volume.sh mounts one)";
  const DWORD length = GetEnvironmentVariableW(L"KELVOR_FULL_VOLUME", volume, MAX_PATH);
  for (const char fault : {'r', 'h', 'f'}) {  // read-only, held open, on a full volume
    SCOPED_TRACE(fault);
    if (fault == 'f' && (length == 0 || length >= MAX_PATH)) {
      GetEnvironmentVariableW(L"KELVOR_FULL_VOLUME_REFUSED", refused, 512);
      ADD_FAILURE() << "no full volume to save on: " << refused;
      continue;
    }
    const std::filesystem::path root =
        L"Z:" + std::filesystem::path(volume).make_preferred().wstring();
    const Installation installation = MakeInstallation(&settings, fault == 'f' ? root : L"");
    const std::wstring& file = installation.settingsFile;
    ASSERT_TRUE(fault != 'r' || SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    // Sharing all but deletion: opening would succeed, only the replacing move is refused.
    const std::unique_ptr<void, decltype(&CloseHandle)> held(
        fault == 'h' ? CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr)
                     : nullptr,
        &CloseHandle);
    if (fault == 'f') {  // whole pages, then the bytes of a last one
      std::ofstream filler(root / "filler", std::ios::binary);
      for (const std::size_t size : {4096, 1})
        for (filler.clear(); filler.write(std::string(size, 'f').data(), size).flush();) {
        }
    }
    ASSERT_TRUE(Start(installation, L"-p"));
    Press(IDC_OK);
    const uidriver::MessageBoxInfo box = NextBox(window_);
    EXPECT_EQ(
        Describe(box),
        kErrorTitle +
            (fault == 'f' ? L"|Error writing settings file \"" + file +
                                L"\".\n\n\nError # 28 = 0x1c :\n" + _wcserror(28)
                          : L"|Unable to open settings file \"" + file +
                                L"\" for writing.\n\n\nError # 13 = 0xd :\n" + _wcserror(13)) +
            L"|1 icon");
    EXPECT_TRUE(uidriver::PressMessageBoxButton(box.window, IDOK));
    Sleep(500);  // a program that wrongly quits does so at once; give it that moment
    EXPECT_TRUE(process_.IsRunning() && IsWindowVisible(window_));
    ExpectExitCodeZero(IDC_CANCEL);
    EXPECT_EQ(ReadBytes(file), settings);
    std::set<std::wstring> names;  // no file of the save's own left
    for (const auto& entry : std::filesystem::directory_iterator(installation.base))
      names.insert(entry.path().filename());
    EXPECT_EQ(names, (std::set<std::wstring>{L"bin", L"Kelvor_ss"}));
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);  // the next row reuses the folder
    if (fault == 'f')
      std::filesystem::remove_all(root / "SettingsFile"), std::filesystem::remove(root / "filler");
  }
}

TEST_F(SettingsFile, DamagedFilesKeepTheEntriesBeforeTheDamageAndLeavingSavesNothing) {
  std::mt19937 random(7);  // a fixed seed, so a failure can be replayed byte for byte
  std::string noise(4 * 1024 * 1024, '\0');
  for (char& byte : noise) byte = static_cast<char>(random());
  const std::string valid = CrLfLines({"Arguments: -J-Xmx1234m", "Verbose:Yes"});
  bool closeBox = false;  // else Cancel, row by row
  for (const std::string& settings :
       {valid + noise, valid + "Comment:" + std::string(1024 * 1024, 'x'),
        valid + std::string(1024 * 1024, ':'),
        "\xFF\xFE" + Utf16Le(L"Verbose:Yes\r\nArguments: -J-Xmx1234m\r\n") + "S"}) {
    SCOPED_TRACE(testing::PrintToString(settings.substr(valid.size(), 12)));
    const Installation installation = MakeInstallation(&settings);
    ASSERT_TRUE(Start(installation, L"-p"));
    EXPECT_EQ(uidriver::FindMessageBox(process_.Id()), nullptr);
    EXPECT_EQ(Shown(), L"101000|1234|[Default]");
    Toggle(IDC_PREFER_IPV4);  // an edit that leaving must not save
    EXPECT_TRUE((closeBox = !closeBox) ? uidriver::PressCloseBox(window_)
                                       : uidriver::PostClick(Control(IDC_CANCEL)));
    ExpectExitCodeZero();
    EXPECT_EQ(ReadBytes(installation.settingsFile), settings);
  }
}

}  // namespace
}  // namespace e2e
