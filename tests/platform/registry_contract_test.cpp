// The registry as the core relies on it: natively against the double, under Wine against the
// real registry, so the double cannot drift from what Windows answers.
#include <gtest/gtest.h>

#include <vector>

#include "platform/contract_world.h"
#include "platform/registry.h"

namespace {

using namespace platform;

const std::wstring kPath = L"Software\\KelvorContractTests";

// DWORD "Which" of kPath\View, opened the way the core walks vendor keys: the key, then a
// subkey in the same view. -1 when anything is missing.
int ReadWhich(Hive hive, const std::wstring& path, std::uint32_t view) {
  RegistryKey parent, key;
  std::uint8_t data[4] = {};
  std::uint32_t type = 0, size = 4;
  if (OpenRegistryKey(hive, path, kKeyEnumerateSubKeys | view, parent) != 0 ||
      OpenRegistrySubKey(parent, L"View", kKeyQueryValue | view, key) != 0 ||
      QueryRegistryValue(key, L"Which", type, data, size) != 0)
    return -1;
  return data[0];
}

TEST(RegistryContract, ViewsValuesAndSubkeysAnswerAsOnWindows) {
  contract::ResetWorld();
  // A 32-bit process on 64-bit Windows: HKLM\Software has two views, HKCU\Software one.
  for (const auto& [hive, view, which] : {std::tuple{Hive::LocalMachine, kKeyWow64_64Key, 64},
                                          {Hive::LocalMachine, 0u, 32},
                                          {Hive::CurrentUser, kKeyWow64_64Key, 1}}) {
    RegistryKey key;
    const std::uint8_t data[] = {static_cast<std::uint8_t>(which), 0, 0, 0};
    ASSERT_EQ(CreateRegistryKey(hive, kPath + L"\\View", kKeyWrite | view, key), 0);
    ASSERT_EQ(SetRegistryValue(key, L"Which", kRegDword, data, 4), 0);
  }
  const std::wstring node = L"Software\\Wow6432Node\\KelvorContractTests";
  EXPECT_EQ(ReadWhich(Hive::LocalMachine, kPath, kKeyWow64_64Key), 64);
  EXPECT_EQ(ReadWhich(Hive::LocalMachine, kPath, 0), 32);
  EXPECT_EQ(ReadWhich(Hive::LocalMachine, node, kKeyWow64_64Key), 32);
  EXPECT_EQ(ReadWhich(Hive::CurrentUser, kPath, kKeyWow64_32Key), 1);
  EXPECT_EQ(ReadWhich(Hive::CurrentUser, node, kKeyWow64_64Key), -1);

  RegistryKey key;
  EXPECT_EQ(OpenRegistryKey(Hive::CurrentUser, kPath + L"\\Absent", kKeyQueryValue, key), 2);
  ASSERT_EQ(OpenRegistryKey(Hive::CurrentUser, kPath + L"\\VIEW", kKeyQueryValue, key), 0);
  std::uint8_t data[4] = {};
  std::uint32_t type = 99, size = 3;
  EXPECT_EQ(QueryRegistryValue(key, L"Absent", type, data, size), 2);
  EXPECT_EQ(std::pair(type, size), std::pair(99u, 3u));  // untouched
  EXPECT_EQ(QueryRegistryValue(key, L"which", type, data, size), 234);
  EXPECT_EQ(std::pair(type, size), std::pair(kRegDword, 4u));  // what a string reader refuses
  EXPECT_EQ(QueryRegistryValue(key, L"Which", type, data, size), 0);
  EXPECT_EQ(data[0], 1);

  for (const wchar_t* name : {L"zulu-17", L"a_b"})
    ASSERT_EQ(CreateRegistryKey(Hive::CurrentUser, kPath + L"\\" + name, kKeyWrite, key), 0);
  ASSERT_EQ(OpenRegistryKey(Hive::CurrentUser, kPath, kKeyEnumerateSubKeys, key), 0);
  std::vector<std::wstring> names;
  std::wstring name;
  std::int32_t status;
  while ((status = EnumRegistrySubKey(key, names.size(), 100, name)) == 0) names.push_back(name);
  EXPECT_EQ(status, 259);
  // Wine sorts names folded to lower case, so "_" comes before the letters.
  EXPECT_EQ(names, (std::vector<std::wstring>{L"a_b", L"View", L"zulu-17"}));
  EXPECT_EQ(EnumRegistrySubKey(key, 1, 4, name), 234);  // no room for the terminator
  EXPECT_EQ(name, L"zulu-17");                          // left as it was
}

}  // namespace
