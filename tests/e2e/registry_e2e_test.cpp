// The shipped program in registry mode: the user's key, the machine-wide fallback, the nine
// values, and keys that no installer would leave.
#include <set>

#include "e2e_support.h"

namespace e2e {
namespace {

using RegistryMode = ProgramTest;
using Entries = std::vector<std::wstring>;

constexpr wchar_t kOracleJdkKey[] = L"Software\\JavaSoft\\JDK\\";

TEST_F(RegistryMode, ShowsTheUserKeyAndWritesTheNineValues) {
  const Installation installation = MakeInstallation(nullptr);
  const std::wstring home = installation.base + L"\\jdk-17", java = home + L"\\bin\\java.exe";
  ASSERT_TRUE(MakeJavaHome(home, "17.0.2"));
  ASSERT_TRUE(WriteValues(HKEY_CURRENT_USER, {L"JavaHome=" + home},
                          kOracleJdkKey + std::wstring(L"e2e-17")));
  const std::wstring memory = L"4000000";  // above any machine's default heap: no question
  ASSERT_TRUE(WriteValues(HKEY_CURRENT_USER,
                          {L"Arguments= -J-Xmx" + memory + L"m", L"Verbose=Yes", L"KeepWS=y",
                           L"AllowUIScale=Yes", L"Java=" + java, L"Scale=4"}));
  // Present in the machine-wide key only; not read, since the user's key has "Arguments".
  ASSERT_TRUE(WriteValues(HKEY_LOCAL_MACHINE, {L"PreferIPv4=Yes"}));
  ASSERT_TRUE(Start(installation, L""));

  // The registered kit is offered, after "[Default]", and the stored path selects it.
  EXPECT_EQ(Shown(), L"101010|" + memory + L"|Oracle JDK  17.0.2  (" + java + L")");
  EXPECT_EQ(uidriver::GetComboSelection(Control(IDC_JAVA_COMBO)), 1);
  EXPECT_EQ(uidriver::GetComboSelection(Control(IDC_SCALE_COMBO)), 4);

  Toggle(IDC_VERBOSE);
  Press(IDC_OK);
  ExpectExitCodeZero();
  EXPECT_EQ(ReadSettings(HKEY_CURRENT_USER),
            (Entries{L"Arguments= -J-Xmx" + memory + L"m", L"Java=" + java, L"Scale=4",
                     L"Verbose=No", L"AllowUIScale=No", L"DisableDD2=No", L"KeepWS=Yes",
                     L"LegacyMS2=Yes", L"PreferIPv4=No"}));
  EXPECT_EQ(ReadSettings(HKEY_LOCAL_MACHINE), Entries{L"PreferIPv4=Yes"});
}

TEST_F(RegistryMode, MachineKeyFillsInWhenTheUserKeyHasNoArguments) {
  const Entries user = {L"Verbose=Yes", L"KeepWS=Yes"};
  const Entries machine = {L"Arguments= -nofontcheck", L"Verbose=No", L"PreferIPv4=Yes"};
  ASSERT_TRUE(WriteValues(HKEY_CURRENT_USER, user));
  ASSERT_TRUE(WriteValues(HKEY_LOCAL_MACHINE, machine));
  ASSERT_TRUE(Start(MakeInstallation(nullptr), L""));
  // The machine-wide key is read over the user's: "Verbose" from there, "KeepWS" kept.
  EXPECT_EQ(Shown(), L"011011||[Default]");
  ExpectExitCodeZero(IDC_CANCEL);
  EXPECT_EQ(ReadSettings(HKEY_CURRENT_USER), user);
  EXPECT_EQ(ReadSettings(HKEY_LOCAL_MACHINE), machine);
}

TEST_F(RegistryMode, ValuesOfTheWrongTypeCountAsMissing) {
  // Unlike the defaults, so that reading any of them would show on the window.
  const Entries unusual({L"Arguments= -J-Xmx555m -nofontcheck", L"Java=C:\\typed\\java.exe",
                         L"Scale=3", L"Verbose=Yes", L"AllowUIScale=Yes", L"DisableDD2=Yes",
                         L"KeepWS=Yes", L"LegacyMS2=No", L"PreferIPv4=Yes"});
  // 32767 characters and the terminator: 64 KiB of string data.
  const std::wstring longJava = L"C:\\" + std::wstring(32767 - 3 - 9, L'j') + L"\\java.exe";
  // Each holds data that would read as the intended text if its type were ignored.
  for (const DWORD type : {REG_DWORD, REG_BINARY, REG_MULTI_SZ}) {
    // All nine of the wrong type; then "Arguments", "Verbose" and a 64 KiB "Java" valid.
    for (const bool someValid : {false, true}) {
      SCOPED_TRACE(testing::Message() << "type " << type << (someValid ? " and valid ones" : ""));
      ASSERT_TRUE(WriteValues(HKEY_CURRENT_USER, unusual, kKelvorKey, type));
      ASSERT_TRUE(!someValid ||
                  WriteValues(HKEY_CURRENT_USER, {unusual[0], unusual[3], L"Java=" + longJava}));
      const Entries before = ReadSettings(HKEY_CURRENT_USER);
      ASSERT_TRUE(Start(MakeInstallation(nullptr), L""));
      EXPECT_EQ(uidriver::FindMessageBox(process_.Id()), nullptr);
      EXPECT_NE(uidriver::GetComboSelection(Control(IDC_SCALE_COMBO)), 3);
      // The combobox may hold less than a 64 KiB path, but what it shows is the path's start.
      const std::wstring java = Text(IDC_JAVA_COMBO);
      EXPECT_TRUE(!someValid || (java.size() >= 3 && longJava.starts_with(java)))
          << testing::PrintToString(java.substr(0, 20));
      EXPECT_EQ(Shown(), someValid ? L"111000|555|" + java : L"001000||[Default]");
      ExpectExitCodeZero(IDC_CANCEL);
      EXPECT_EQ(ReadSettings(HKEY_CURRENT_USER), before);
    }
  }
}

TEST_F(RegistryMode, CrowdedVendorKeysAndBadReleaseFilesLeaveTheGoodKitsOffered) {
  const Installation installation = MakeInstallation(nullptr);
  ASSERT_TRUE(WriteValues(HKEY_CURRENT_USER, {L"Verbose=Yes"}));
  // A valid kit under a vendor key searched before the crowded one.
  const std::wstring adoptium = installation.base + L"\\adoptium-17";
  ASSERT_TRUE(MakeJavaHome(adoptium, "17.0.5"));
  ASSERT_TRUE(WriteValues(HKEY_CURRENT_USER, {L"Path=" + adoptium},
                          L"Software\\Eclipse Adoptium\\JDK\\17.0.5\\hotspot\\MSI"));
  std::set<std::wstring> expected = {
      L"[Default]", L"Eclipse Adoptium  17.0.5  (" + adoptium + L"\\bin\\java.exe)"};
  // 3000 versions whose homes do not exist, the first 20 under keys of the longest name (255).
  for (int i = 0; i < 3000; ++i) {
    std::wstring name = L"16.0." + std::to_wstring(i);
    if (i < 20) name.resize(255, L'1');
    ASSERT_TRUE(WriteValues(HKEY_CURRENT_USER, {L"JavaHome=C:\\nowhere\\" + std::to_wstring(i)},
                            kOracleJdkKey + name));
  }
  // Real kits under a longest name, and under two keys whose release files are a folder or have
  // a first line too long for the reader (with "22" after it): their key names the version.
  const std::pair<std::wstring, std::wstring> kits[] = {
      {std::wstring(255, L'9'), L"21.0.1"}, {L"17.0.6", L"17.0.6"}, {L"17.0.7", L"17.0.7"}};
  for (std::size_t i = 0; i < std::size(kits); ++i) {
    const std::wstring home = installation.base + L"\\kit" + std::to_wstring(i);
    ASSERT_TRUE(MakeJavaHome(home, "21.0.1"));
    ASSERT_TRUE(
        WriteValues(HKEY_CURRENT_USER, {L"JavaHome=" + home}, kOracleJdkKey + kits[i].first));
    expected.insert(L"Oracle JDK  " + kits[i].second + L"  (" + home + L"\\bin\\java.exe)");
  }
  const std::wstring folderRelease = installation.base + L"\\kit1\\release";
  ASSERT_TRUE(DeleteFileW(folderRelease.c_str()) &&
              std::filesystem::create_directories(folderRelease));
  ASSERT_TRUE(WriteBytes(
      installation.base + L"\\kit2\\release",
      "IMPLEMENTOR=\"" + std::string(100 * 1024, 'x') + "\"\r\nJAVA_VERSION=\"22\"\r\n"));

  ASSERT_TRUE(Start(installation, L""));
  EXPECT_EQ(uidriver::GetCheck(Control(IDC_VERBOSE)), BST_CHECKED);
  const Entries items = uidriver::GetComboItems(Control(IDC_JAVA_COMBO));
  EXPECT_EQ(items.empty() ? L"" : items[0], L"[Default]");
  // A kit may be offered once per registry view of a 32-bit process on 64-bit Windows.
  EXPECT_EQ(std::set<std::wstring>(items.begin(), items.end()), expected);
  ExpectExitCodeZero(IDC_CANCEL);
}

}  // namespace
}  // namespace e2e
