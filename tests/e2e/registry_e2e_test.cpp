// The shipped program in registry mode: the user's key, the machine-wide fallback, the nine values.
#include <string>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr wchar_t kJavaVendorKey[] = L"Software\\JavaSoft\\JDK\\e2e-17";

class RegistryMode : public ProgramTest {
 protected:
  void SetUp() override { RemoveKeys(); }
  void TearDown() override { RemoveKeys(); }
  static void RemoveKeys() {
    DeleteKey(HKEY_CURRENT_USER, kKelvorKey);
    DeleteKey(HKEY_LOCAL_MACHINE, kKelvorKey);
    DeleteKey(HKEY_CURRENT_USER, kJavaVendorKey);
  }
};

RegistryValue Sz(const std::wstring& text) {
  return {REG_SZ, text};
}

TEST_F(RegistryMode, ShowsTheUserKeyAndWritesTheNineValues) {
  const Installation installation = MakeInstallation(nullptr);
  const std::wstring home = Join(installation.base, L"jdk-17");
  ASSERT_TRUE(MakeJavaHome(home, "17.0.2"));
  ASSERT_TRUE(WriteStrings(HKEY_CURRENT_USER, kJavaVendorKey, {{L"JavaHome", home}}));
  const std::wstring java = Join(home, L"bin\\java.exe");
  const std::wstring memory = std::to_wstring(DefaultHeapMB() + 100);
  ASSERT_TRUE(WriteStrings(HKEY_CURRENT_USER, kKelvorKey,
                           {{L"Arguments", L" -J-Xmx" + memory + L"m"},
                            {L"Verbose", L"Yes"},
                            {L"KeepWS", L"y"},
                            {L"AllowUIScale", L"Yes"},
                            {L"Java", java},
                            {L"Scale", L"4"}}));
  // Present in the machine-wide key only; not read, since the user's key has "Arguments".
  ASSERT_TRUE(WriteStrings(HKEY_LOCAL_MACHINE, kKelvorKey, {{L"PreferIPv4", L"Yes"}}));
  ASSERT_TRUE(Open(installation.program, L""));

  for (const auto& [id, checked] : std::vector<std::pair<int, int>>{{IDC_VERBOSE, 1},
                                                                    {IDC_SKIP_FONT_CHECK, 0},
                                                                    {IDC_LEGACY_MERGE_SORT, 1},
                                                                    {IDC_DISABLE_DIRECTDRAW, 0},
                                                                    {IDC_KEEP_WORKING_SET, 1},
                                                                    {IDC_PREFER_IPV4, 0}}) {
    EXPECT_EQ(uidriver::GetCheck(Control(id)), checked) << "check box " << id;
  }
  EXPECT_EQ(uidriver::GetText(Control(IDC_MEMORY_EDIT)), memory);
  EXPECT_EQ(uidriver::GetComboSelection(Control(IDC_SCALE_COMBO)), 4);
  // The registered kit is offered (once per registry view of a 32-bit process on 64-bit
  // Windows) and the stored path selects it.
  const std::wstring entry = L"Oracle JDK  17.0.2  (" + java + L")";
  const std::vector<std::wstring> items = uidriver::GetComboItems(Control(IDC_JAVA_COMBO));
  ASSERT_GE(items.size(), 2u);
  EXPECT_EQ(items[0], L"[Default]");
  EXPECT_EQ(items[1], entry);
  EXPECT_EQ(uidriver::GetComboSelection(Control(IDC_JAVA_COMBO)), 1);
  EXPECT_EQ(uidriver::GetText(Control(IDC_JAVA_COMBO)), entry);

  Toggle(IDC_VERBOSE);
  ASSERT_TRUE(uidriver::PostClick(Control(IDC_OK)));
  ExpectExitCodeZero();
  EXPECT_EQ(ReadValues(HKEY_CURRENT_USER, kKelvorKey),
            (RegistryValues{{L"Arguments", Sz(L" -J-Xmx" + memory + L"m")},
                            {L"Java", Sz(java)},
                            {L"Scale", Sz(L"4")},
                            {L"Verbose", Sz(L"No")},
                            {L"AllowUIScale", Sz(L"No")},
                            {L"DisableDD2", Sz(L"No")},
                            {L"KeepWS", Sz(L"Yes")},
                            {L"LegacyMS2", Sz(L"Yes")},
                            {L"PreferIPv4", Sz(L"No")}}));
  EXPECT_EQ(ReadValues(HKEY_LOCAL_MACHINE, kKelvorKey),
            (RegistryValues{{L"PreferIPv4", Sz(L"Yes")}}));
}

TEST_F(RegistryMode, CreatesTheUserKeyWithEmptyTextsWhenNoneExists) {
  const Installation installation = MakeInstallation(nullptr);
  ASSERT_TRUE(Open(installation.program, L""));
  ASSERT_TRUE(uidriver::PostClick(Control(IDC_OK)));
  ExpectExitCodeZero();
  EXPECT_EQ(ReadValues(HKEY_CURRENT_USER, kKelvorKey),
            (RegistryValues{{L"Arguments", Sz(L"")},
                            {L"Java", Sz(L"")},
                            {L"Scale", Sz(L"Default")},
                            {L"Verbose", Sz(L"No")},
                            {L"AllowUIScale", Sz(L"No")},
                            {L"DisableDD2", Sz(L"No")},
                            {L"KeepWS", Sz(L"No")},
                            {L"LegacyMS2", Sz(L"Yes")},
                            {L"PreferIPv4", Sz(L"No")}}));
}

TEST_F(RegistryMode, MachineKeyFillsInWhenTheUserKeyHasNoArguments) {
  const Installation installation = MakeInstallation(nullptr);
  ASSERT_TRUE(
      WriteStrings(HKEY_CURRENT_USER, kKelvorKey, {{L"Verbose", L"Yes"}, {L"KeepWS", L"Yes"}}));
  ASSERT_TRUE(WriteStrings(
      HKEY_LOCAL_MACHINE, kKelvorKey,
      {{L"Arguments", L" -nofontcheck"}, {L"Verbose", L"No"}, {L"PreferIPv4", L"Yes"}}));
  const RegistryValues userBefore = ReadValues(HKEY_CURRENT_USER, kKelvorKey);
  const RegistryValues machineBefore = ReadValues(HKEY_LOCAL_MACHINE, kKelvorKey);
  ASSERT_TRUE(Open(installation.program, L""));

  // The machine-wide key is read over the user's: "Verbose" from there, "KeepWS" kept.
  for (const auto& [id, checked] : std::vector<std::pair<int, int>>{{IDC_VERBOSE, 0},
                                                                    {IDC_SKIP_FONT_CHECK, 1},
                                                                    {IDC_KEEP_WORKING_SET, 1},
                                                                    {IDC_PREFER_IPV4, 1},
                                                                    {IDC_LEGACY_MERGE_SORT, 1}}) {
    EXPECT_EQ(uidriver::GetCheck(Control(id)), checked) << "check box " << id;
  }

  // A refused OK and then Cancel touch neither key.
  Type(IDC_MEMORY_EDIT, L"-1");
  const uidriver::MessageBoxInfo box = OkExpectingBox();
  EXPECT_EQ(box.text, L"Maximum memory use is negative.");
  Answer(box, IDOK);
  ExpectWindowStaysOpen();
  ASSERT_TRUE(uidriver::PostClick(Control(IDC_CANCEL)));
  ExpectExitCodeZero();
  EXPECT_EQ(ReadValues(HKEY_CURRENT_USER, kKelvorKey), userBefore);
  EXPECT_EQ(ReadValues(HKEY_LOCAL_MACHINE, kKelvorKey), machineBefore);
}

}  // namespace
}  // namespace e2e
