// The shipped program in registry mode: the user's key, the machine-wide fallback, the nine
// values, and keys that no installer would leave.
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "e2e_support.h"

namespace e2e {
namespace {

using RegistryMode = ProgramTest;

RegistryValues Strings(const std::map<std::wstring, std::wstring>& texts) {
  RegistryValues values;
  for (const auto& [name, text] : texts) values[name] = {REG_SZ, text};
  return values;
}

std::wstring OracleEntry(const std::wstring& version, const std::wstring& home) {
  return L"Oracle JDK  " + version + L"  (" + Join(home, L"bin\\java.exe") + L")";
}

TEST_F(RegistryMode, ShowsTheUserKeyAndWritesTheNineValues) {
  const Installation installation = MakeInstallation(nullptr);
  const std::wstring home = Join(installation.base, L"jdk-17");
  ASSERT_TRUE(MakeJavaHome(home, "17.0.2"));
  ASSERT_TRUE(WriteStrings(HKEY_CURRENT_USER, std::wstring(kOracleJdkKey) + L"\\e2e-17",
                           {{L"JavaHome", home}}));
  const std::wstring java = Join(home, L"bin\\java.exe");
  const std::wstring memory = std::to_wstring(DefaultHeapMB() + 100);
  const std::wstring arguments = L" -J-Xmx" + memory + L"m";
  ASSERT_TRUE(WriteStrings(HKEY_CURRENT_USER, kKelvorKey,
                           {{L"Arguments", arguments},
                            {L"Verbose", L"Yes"},
                            {L"KeepWS", L"y"},
                            {L"AllowUIScale", L"Yes"},
                            {L"Java", java},
                            {L"Scale", L"4"}}));
  // Present in the machine-wide key only; not read, since the user's key has "Arguments".
  ASSERT_TRUE(WriteStrings(HKEY_LOCAL_MACHINE, kKelvorKey, {{L"PreferIPv4", L"Yes"}}));
  ASSERT_TRUE(Open(installation.program, L""));

  ExpectChecks({1, 0, 1, 0, 1, 0});
  EXPECT_EQ(Text(IDC_MEMORY_EDIT), memory);
  EXPECT_EQ(uidriver::GetComboSelection(Control(IDC_SCALE_COMBO)), 4);
  // The registered kit is offered and the stored path selects it.
  const std::vector<std::wstring> items = uidriver::GetComboItems(Control(IDC_JAVA_COMBO));
  ASSERT_GE(items.size(), 2u);
  EXPECT_EQ(items[0], L"[Default]");
  EXPECT_EQ(items[1], OracleEntry(L"17.0.2", home));
  EXPECT_EQ(uidriver::GetComboSelection(Control(IDC_JAVA_COMBO)), 1);

  Toggle(IDC_VERBOSE);
  Click(IDC_OK);
  ExpectExitCodeZero();
  EXPECT_EQ(ReadValues(HKEY_CURRENT_USER, kKelvorKey), Strings({{L"Arguments", arguments},
                                                                {L"Java", java},
                                                                {L"Scale", L"4"},
                                                                {L"Verbose", L"No"},
                                                                {L"AllowUIScale", L"No"},
                                                                {L"DisableDD2", L"No"},
                                                                {L"KeepWS", L"Yes"},
                                                                {L"LegacyMS2", L"Yes"},
                                                                {L"PreferIPv4", L"No"}}));
  EXPECT_EQ(ReadValues(HKEY_LOCAL_MACHINE, kKelvorKey), Strings({{L"PreferIPv4", L"Yes"}}));
}

TEST_F(RegistryMode, MachineKeyFillsInWhenTheUserKeyHasNoArguments) {
  const Installation installation = MakeInstallation(nullptr);
  ASSERT_TRUE(
      WriteStrings(HKEY_CURRENT_USER, kKelvorKey, {{L"Verbose", L"Yes"}, {L"KeepWS", L"Yes"}}));
  ASSERT_TRUE(WriteStrings(
      HKEY_LOCAL_MACHINE, kKelvorKey,
      {{L"Arguments", L" -nofontcheck"}, {L"Verbose", L"No"}, {L"PreferIPv4", L"Yes"}}));
  const RegistryValues user = ReadValues(HKEY_CURRENT_USER, kKelvorKey);
  const RegistryValues machine = ReadValues(HKEY_LOCAL_MACHINE, kKelvorKey);
  ASSERT_TRUE(Open(installation.program, L""));
  // The machine-wide key is read over the user's: "Verbose" from there, "KeepWS" kept.
  ExpectChecks({0, 1, 1, 0, 1, 1});
  CancelAndExpectExitCodeZero();
  EXPECT_EQ(ReadValues(HKEY_CURRENT_USER, kKelvorKey), user);
  EXPECT_EQ(ReadValues(HKEY_LOCAL_MACHINE, kKelvorKey), machine);
}

TEST_F(RegistryMode, ValuesOfTheWrongTypeCountAsMissing) {
  // Unlike the defaults, so that reading any of them would show on the window.
  const std::pair<std::wstring, std::wstring> settings[] = {
      {L"Arguments", L" -J-Xmx555m -nofontcheck"},
      {L"Verbose", L"Yes"},
      {L"AllowUIScale", L"Yes"},
      {L"DisableDD2", L"Yes"},
      {L"KeepWS", L"Yes"},
      {L"LegacyMS2", L"No"},
      {L"PreferIPv4", L"Yes"},
      {L"Java", L"C:\\typed\\java.exe"},
      {L"Scale", L"3"}};
  // 32767 characters and the terminator: 64 KiB of string data.
  const std::wstring longJava = L"C:\\" + std::wstring(32767 - 3 - 9, L'j') + L"\\java.exe";
  // Each wrong type holds data that would read as the intended text if the type were ignored.
  const struct {
    const char* name;
    DWORD type;
    std::size_t terminators;
  } types[] = {{"REG_DWORD", REG_DWORD, 0},
               {"REG_BINARY", REG_BINARY, 1},
               {"REG_MULTI_SZ", REG_MULTI_SZ, 2}};
  for (const auto& type : types) {
    // First all nine of the wrong type; then "Arguments", "Verbose" and a 64 KiB "Java" valid
    // among the others.
    for (const bool someValid : {false, true}) {
      SCOPED_TRACE(std::string(type.name) + (someValid ? " among valid values" : ""));
      RegDeleteTreeW(HKEY_CURRENT_USER, kKelvorKey);
      for (const auto& [name, text] : settings) {
        const bool valid = someValid && (name == L"Arguments" || name == L"Verbose");
        const bool java = someValid && name == L"Java";
        const std::wstring data = type.type == REG_DWORD
                                      ? text.substr(0, 1) + L'\0'
                                      : text + std::wstring(type.terminators, L'\0');
        ASSERT_TRUE(
            valid || java
                ? WriteStrings(HKEY_CURRENT_USER, kKelvorKey, {{name, java ? longJava : text}})
                : WriteValue(HKEY_CURRENT_USER, kKelvorKey, name, type.type, Utf16Le(data)));
      }
      const RegistryValues before = ReadValues(HKEY_CURRENT_USER, kKelvorKey);
      const Installation installation = MakeInstallation(nullptr);
      ASSERT_TRUE(Open(installation.program, L""));
      EXPECT_EQ(uidriver::FindMessageBox(process_.Id()), nullptr);
      EXPECT_EQ(Text(IDC_MEMORY_EDIT), someValid ? L"555" : L"");
      ExpectChecks({someValid, someValid, 1, 0, 0, 0});
      EXPECT_NE(uidriver::GetComboSelection(Control(IDC_SCALE_COMBO)), 3);
      // The combobox may hold less than a 64 KiB path, but what it shows is the path's start.
      const std::wstring java = Text(IDC_JAVA_COMBO);
      EXPECT_TRUE(someValid ? java.size() >= 3 && longJava.starts_with(java) : java == L"[Default]")
          << testing::PrintToString(java.substr(0, 20));
      CancelAndExpectExitCodeZero();
      EXPECT_EQ(ReadValues(HKEY_CURRENT_USER, kKelvorKey), before);
    }
  }
}

TEST_F(RegistryMode, CrowdedVendorKeysAndBadReleaseFilesLeaveTheGoodKitsOffered) {
  const Installation installation = MakeInstallation(nullptr);
  ASSERT_TRUE(WriteStrings(HKEY_CURRENT_USER, kKelvorKey, {{L"Verbose", L"Yes"}}));
  // A valid kit under a vendor key searched before the crowded one.
  const std::wstring adoptium = Join(installation.base, L"adoptium-17");
  ASSERT_TRUE(MakeJavaHome(adoptium, "17.0.5"));
  ASSERT_TRUE(WriteStrings(HKEY_CURRENT_USER,
                           std::wstring(kAdoptiumKey) + L"\\JDK\\17.0.5\\hotspot\\MSI",
                           {{L"Path", adoptium}}));
  std::set<std::wstring> expected = {
      L"[Default]", L"Eclipse Adoptium  17.0.5  (" + Join(adoptium, L"bin\\java.exe") + L")"};
  // 3000 versions whose homes do not exist, and keys of the longest name (255) without a value.
  const std::wstring jdk = std::wstring(kOracleJdkKey) + L"\\";
  for (int i = 0; i < 3000; ++i) {
    ASSERT_TRUE(WriteStrings(HKEY_CURRENT_USER, jdk + L"16.0." + std::to_wstring(i),
                             {{L"JavaHome", L"C:\\nowhere\\" + std::to_wstring(i)}}));
  }
  for (int i = 0; i < 20; ++i) {
    std::wstring name = L"17." + std::to_wstring(i) + L".";
    name.resize(255, L'1');
    ASSERT_TRUE(WriteStrings(HKEY_CURRENT_USER, jdk + name, {{L"Unrelated", L"x"}}));
  }
  // Real kits under a longest name, and under two keys whose release files are a folder or have
  // a first line too long for the reader (with "22" after it): their key names the version.
  const std::pair<std::wstring, std::wstring> kits[] = {
      {std::wstring(255, L'9'), L"21.0.1"}, {L"17.0.6", L"17.0.6"}, {L"17.0.7", L"17.0.7"}};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::wstring home = Join(installation.base, L"kit" + std::to_wstring(i));
    ASSERT_TRUE(MakeJavaHome(home, "21.0.1"));
    ASSERT_TRUE(WriteStrings(HKEY_CURRENT_USER, jdk + kits[i].first, {{L"JavaHome", home}}));
    expected.insert(OracleEntry(kits[i].second, home));
  }
  const std::wstring folderRelease = Join(installation.base, L"kit1\\release");
  ASSERT_TRUE(DeleteFileW(folderRelease.c_str()) && MakeFolders(folderRelease));
  ASSERT_TRUE(WriteBytes(
      Join(installation.base, L"kit2\\release"),
      "IMPLEMENTOR=\"" + std::string(100 * 1024, 'x') + "\"\r\nJAVA_VERSION=\"22\"\r\n"));

  ASSERT_TRUE(Open(installation.program, L""));
  EXPECT_EQ(uidriver::GetCheck(Control(IDC_VERBOSE)), BST_CHECKED);
  const std::vector<std::wstring> items = uidriver::GetComboItems(Control(IDC_JAVA_COMBO));
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items[0], L"[Default]");
  // A kit may be offered once per registry view of a 32-bit process on 64-bit Windows.
  EXPECT_EQ(std::set<std::wstring>(items.begin(), items.end()), expected);
  CancelAndExpectExitCodeZero();
}

}  // namespace
}  // namespace e2e
