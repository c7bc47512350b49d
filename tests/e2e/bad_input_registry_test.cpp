// The shipped program against a registry that no installer would leave: settings of the wrong
// value types, an oversized path, a vendor key with thousands of version subkeys, and Java homes
// whose release file is a folder or has an oversized first line.
#include <algorithm>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "e2e_support.h"

namespace e2e {
namespace {

struct RegKeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueRegKey = std::unique_ptr<std::remove_pointer_t<HKEY>, RegKeyCloser>;

constexpr wchar_t kAdoptiumKey[] = L"Software\\Eclipse Adoptium";
constexpr wchar_t kJavaSoftKey[] = L"Software\\JavaSoft";
constexpr wchar_t kOracleJdkKey[] = L"Software\\JavaSoft\\JDK";
constexpr DWORD kLongestKeyName = 255;  // what RegCreateKeyExW accepts for one name

bool WriteRaw(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
              const std::vector<BYTE>& data) {
  HKEY opened = nullptr;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const UniqueRegKey key(opened);
  return RegSetValueExW(key.get(), name.c_str(), 0, type, data.data(),
                        static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

std::vector<BYTE> Utf16Bytes(const std::wstring& text, int terminators) {
  std::vector<BYTE> bytes;
  for (const wchar_t unit : text) {
    bytes.push_back(static_cast<BYTE>(unit & 0xFF));
    bytes.push_back(static_cast<BYTE>(unit >> 8));
  }
  bytes.insert(bytes.end(), static_cast<std::size_t>(terminators) * 2, 0);
  return bytes;
}

void RemoveKeys() {
  DeleteKey(HKEY_CURRENT_USER, kKelvorKey);
  DeleteKey(HKEY_LOCAL_MACHINE, kKelvorKey);
  DeleteKey(HKEY_CURRENT_USER, kJavaSoftKey);
  DeleteKey(HKEY_CURRENT_USER, kAdoptiumKey);
}

class BadRegistry : public ProgramTest {
 protected:
  void SetUp() override { RemoveKeys(); }
  void TearDown() override { RemoveKeys(); }
  void CancelAndExpectExitCodeZero() {
    ASSERT_TRUE(uidriver::PostClick(Control(IDC_CANCEL)));
    ExpectExitCodeZero();
  }
};

// Each wrong type carries data that would read as the intended text if the type were ignored:
// a DWORD holding the first character reads as that one-character string.
struct WrongType {
  const char* name;
  DWORD type;
  std::vector<BYTE> (*encode)(const std::wstring& text);
};

const WrongType kWrongTypes[] = {
    {"REG_DWORD", REG_DWORD,
     [](const std::wstring& text) {
       return std::vector<BYTE>{static_cast<BYTE>(text.at(0)), 0, 0, 0};
     }},
    {"REG_BINARY", REG_BINARY, [](const std::wstring& text) { return Utf16Bytes(text, 1); }},
    {"REG_MULTI_SZ", REG_MULTI_SZ, [](const std::wstring& text) { return Utf16Bytes(text, 2); }},
};

class WrongValueTypes : public BadRegistry, public testing::WithParamInterface<WrongType> {};

// Values that differ from the defaults, so that reading any of them shows on the window.
const std::vector<std::pair<std::wstring, std::wstring>> kUnusualSettings = {
    {L"Arguments", L" -J-Xmx555m -nofontcheck"},
    {L"Verbose", L"Yes"},
    {L"AllowUIScale", L"Yes"},
    {L"DisableDD2", L"Yes"},
    {L"KeepWS", L"Yes"},
    {L"LegacyMS2", L"No"},
    {L"PreferIPv4", L"Yes"},
    {L"Java", L"C:\\typed\\java.exe"},
    {L"Scale", L"3"},
};

TEST_P(WrongValueTypes, EveryValueOfTheWrongTypeCountsAsMissing) {
  for (const auto& [name, text] : kUnusualSettings) {
    ASSERT_TRUE(
        WriteRaw(HKEY_CURRENT_USER, kKelvorKey, name, GetParam().type, GetParam().encode(text)));
  }
  const Installation installation = MakeInstallation(nullptr);
  ASSERT_TRUE(Open(installation.program, L""));
  EXPECT_EQ(uidriver::FindMessageBox(process_.Id()), nullptr);
  EXPECT_EQ(uidriver::GetText(Control(IDC_MEMORY_EDIT)), L"");
  for (const auto& [id, checked] : std::vector<std::pair<int, int>>{{IDC_VERBOSE, 0},
                                                                    {IDC_SKIP_FONT_CHECK, 0},
                                                                    {IDC_LEGACY_MERGE_SORT, 1},
                                                                    {IDC_DISABLE_DIRECTDRAW, 0},
                                                                    {IDC_KEEP_WORKING_SET, 0},
                                                                    {IDC_PREFER_IPV4, 0}}) {
    EXPECT_EQ(uidriver::GetCheck(Control(id)), checked) << "check box " << id;
  }
  EXPECT_EQ(uidriver::GetText(Control(IDC_JAVA_COMBO)), L"[Default]");
  EXPECT_NE(uidriver::GetText(Control(IDC_SCALE_COMBO)), L"3");
  CancelAndExpectExitCodeZero();
  // Cancel writes nothing: the values keep their wrong types.
  const RegistryValues after = ReadValues(HKEY_CURRENT_USER, kKelvorKey);
  ASSERT_EQ(after.size(), kUnusualSettings.size());
  for (const auto& [name, value] : after) EXPECT_EQ(value.type, GetParam().type) << name.c_str();
}

TEST_P(WrongValueTypes, ValidValuesReadBeforeTheWrongOnesAreShown) {
  // "Arguments" and "Verbose" are read first; the rest are of the wrong type.
  ASSERT_TRUE(WriteStrings(HKEY_CURRENT_USER, kKelvorKey,
                           {{L"Arguments", L" -J-Xmx1234m"}, {L"Verbose", L"Yes"}}));
  for (std::size_t i = 2; i < kUnusualSettings.size(); ++i) {
    const auto& [name, text] = kUnusualSettings[i];
    ASSERT_TRUE(
        WriteRaw(HKEY_CURRENT_USER, kKelvorKey, name, GetParam().type, GetParam().encode(text)));
  }
  const Installation installation = MakeInstallation(nullptr);
  ASSERT_TRUE(Open(installation.program, L""));
  EXPECT_EQ(uidriver::GetText(Control(IDC_MEMORY_EDIT)), L"1234");
  EXPECT_EQ(uidriver::GetCheck(Control(IDC_VERBOSE)), BST_CHECKED);
  EXPECT_EQ(uidriver::GetCheck(Control(IDC_LEGACY_MERGE_SORT)), BST_CHECKED);
  EXPECT_EQ(uidriver::GetCheck(Control(IDC_PREFER_IPV4)), BST_UNCHECKED);
  EXPECT_EQ(uidriver::GetText(Control(IDC_JAVA_COMBO)), L"[Default]");
  CancelAndExpectExitCodeZero();
}

INSTANTIATE_TEST_SUITE_P(Types, WrongValueTypes, testing::ValuesIn(kWrongTypes),
                         [](const testing::TestParamInfo<WrongType>& type) {
                           return std::string(type.param.name).substr(4);  // no "REG_"
                         });

TEST_F(BadRegistry, A64KiBJavaValueIsReadWithoutHarm) {
  // 32767 characters and the terminator: 64 KiB of string data.
  const std::wstring java = L"C:\\" + std::wstring(32767 - 3 - 9, L'j') + L"\\java.exe";
  ASSERT_TRUE(
      WriteStrings(HKEY_CURRENT_USER, kKelvorKey,
                   {{L"Arguments", L" -J-Xmx1234m"}, {L"Verbose", L"Yes"}, {L"Java", java}}));
  const Installation installation = MakeInstallation(nullptr);
  ASSERT_TRUE(Open(installation.program, L""));
  EXPECT_EQ(uidriver::GetText(Control(IDC_MEMORY_EDIT)), L"1234");
  EXPECT_EQ(uidriver::GetCheck(Control(IDC_VERBOSE)), BST_CHECKED);
  // The combobox may hold less than the whole path, but what it shows is the path's start.
  const std::wstring shown = uidriver::GetText(Control(IDC_JAVA_COMBO));
  EXPECT_GE(shown.size(), 3u);
  EXPECT_TRUE(java.starts_with(shown)) << shown.size() << " characters shown";
  CancelAndExpectExitCodeZero();
}

// The discovery is the same in both modes; each mode starts from its own store.
class BadDiscovery : public BadRegistry, public testing::WithParamInterface<const wchar_t*> {
 protected:
  Installation StartInstallation() {
    const bool fileMode = std::wstring(GetParam()) == L"-p";
    const std::string settings = CrLfLines({"Verbose:Yes"});
    if (!fileMode) {
      EXPECT_TRUE(WriteStrings(HKEY_CURRENT_USER, kKelvorKey, {{L"Verbose", L"Yes"}}));
    }
    return MakeInstallation(fileMode ? &settings : nullptr);
  }
  // Opens the window and returns the Java list, after checking the stored setting is shown.
  std::vector<std::wstring> OpenAndListJava(const Installation& installation) {
    if (!Open(installation.program, GetParam())) return {};
    EXPECT_EQ(uidriver::GetCheck(Control(IDC_VERBOSE)), BST_CHECKED);
    return uidriver::GetComboItems(Control(IDC_JAVA_COMBO));
  }
};

std::wstring OracleEntry(const std::wstring& home, const std::wstring& version) {
  return L"Oracle JDK  " + version + L"  (" + Join(home, L"bin\\java.exe") + L")";
}

bool Contains(const std::vector<std::wstring>& items, const std::wstring& item) {
  return std::find(items.begin(), items.end(), item) != items.end();
}

TEST_P(BadDiscovery, ThousandsOfVersionSubkeysWithLongestNames) {
  const Installation installation = StartInstallation();
  // A valid kit under a vendor key searched before the crowded one.
  const std::wstring adoptium = Join(installation.base, L"adoptium-17");
  ASSERT_TRUE(MakeJavaHome(adoptium, "17.0.5"));
  ASSERT_TRUE(WriteStrings(HKEY_CURRENT_USER,
                           std::wstring(kAdoptiumKey) + L"\\JDK\\17.0.5\\hotspot\\MSI",
                           {{L"Path", adoptium}}));
  // 3000 versions whose homes do not exist, names of the longest length without a value, and
  // one longest name that leads to a real kit.
  for (int i = 0; i < 3000; ++i) {
    const std::wstring subkey = std::wstring(kOracleJdkKey) + L"\\17.0." + std::to_wstring(i);
    ASSERT_TRUE(WriteStrings(HKEY_CURRENT_USER, subkey,
                             {{L"JavaHome", L"C:\\nowhere\\" + std::to_wstring(i)}}));
  }
  for (int i = 0; i < 20; ++i) {
    std::wstring name = L"17." + std::to_wstring(i) + L".";
    while (name.size() < kLongestKeyName) name += L"1234567890";
    name.resize(kLongestKeyName);
    ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, std::wstring(kOracleJdkKey) + L"\\" + name,
                         L"Unrelated", REG_SZ, Utf16Bytes(L"x", 1)));
  }
  const std::wstring longHome = Join(installation.base, L"long-21");
  ASSERT_TRUE(MakeJavaHome(longHome, "21.0.1"));
  ASSERT_TRUE(WriteStrings(
      HKEY_CURRENT_USER, std::wstring(kOracleJdkKey) + L"\\" + std::wstring(kLongestKeyName, L'9'),
      {{L"JavaHome", longHome}}));

  const std::vector<std::wstring> items = OpenAndListJava(installation);
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items[0], L"[Default]");
  const std::wstring adoptiumEntry =
      L"Eclipse Adoptium  17.0.5  (" + Join(adoptium, L"bin\\java.exe") + L")";
  const std::wstring longEntry = OracleEntry(longHome, L"21.0.1");
  EXPECT_TRUE(Contains(items, adoptiumEntry));
  EXPECT_TRUE(Contains(items, longEntry));
  for (const std::wstring& item : items) {
    EXPECT_TRUE(item == L"[Default]" || item == adoptiumEntry || item == longEntry)
        << "unexpected entry " << testing::PrintToString(item);
  }
  CancelAndExpectExitCodeZero();
}

TEST_P(BadDiscovery, BadReleaseFilesFallBackToTheSubkeyVersion) {
  const Installation installation = StartInstallation();
  const std::wstring good = Join(installation.base, L"good");
  const std::wstring folder = Join(installation.base, L"release-folder");
  const std::wstring longLine = Join(installation.base, L"release-long-line");
  for (const std::wstring& home : {good, folder, longLine})
    ASSERT_TRUE(MakeJavaHome(home, "17.0.5"));
  ASSERT_TRUE(DeleteFileW(Join(folder, L"release").c_str()));
  ASSERT_TRUE(MakeFolders(Join(folder, L"release")));
  // The key would name 22, but it comes after a first line too long for the reader.
  ASSERT_TRUE(WriteBytes(
      Join(longLine, L"release"),
      "IMPLEMENTOR=\"" + std::string(100 * 1024, 'x') + "\"\r\nJAVA_VERSION=\"22\"\r\n"));
  ASSERT_TRUE(WriteStrings(HKEY_CURRENT_USER, std::wstring(kOracleJdkKey) + L"\\17.0.5",
                           {{L"JavaHome", good}}));
  ASSERT_TRUE(WriteStrings(HKEY_CURRENT_USER, std::wstring(kOracleJdkKey) + L"\\17.0.6",
                           {{L"JavaHome", folder}}));
  ASSERT_TRUE(WriteStrings(HKEY_CURRENT_USER, std::wstring(kOracleJdkKey) + L"\\17.0.7",
                           {{L"JavaHome", longLine}}));

  const std::vector<std::wstring> items = OpenAndListJava(installation);
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items[0], L"[Default]");
  EXPECT_TRUE(Contains(items, OracleEntry(good, L"17.0.5")));
  EXPECT_TRUE(Contains(items, OracleEntry(folder, L"17.0.6")));
  EXPECT_TRUE(Contains(items, OracleEntry(longLine, L"17.0.7")));
  CancelAndExpectExitCodeZero();
}

INSTANTIATE_TEST_SUITE_P(Modes, BadDiscovery, testing::Values(L"", L"-p"),
                         [](const testing::TestParamInfo<const wchar_t*>& mode) {
                           return std::wstring(mode.param).empty() ? std::string("Registry")
                                                                   : std::string("SettingsFile");
                         });

}  // namespace
}  // namespace e2e
