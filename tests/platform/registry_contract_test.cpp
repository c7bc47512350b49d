// The registry as the core relies on it: natively against the double, under Wine against the
// real registry, so the double cannot drift from what Windows answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/contract_world.h"
#include "platform/registry.h"

namespace {

using platform::Hive;
using platform::RegistryKey;

constexpr std::uint32_t kSentinel = 0xDEADBEEF;

std::vector<std::uint8_t> Utf16(const std::wstring& text) {  // test texts are ASCII
  std::vector<std::uint8_t> bytes;
  for (const wchar_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.push_back(0);
  }
  bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

std::int32_t Set(const RegistryKey& key, const std::wstring& name, const std::wstring& text) {
  const std::vector<std::uint8_t> bytes = Utf16(text);
  return platform::SetRegistryValue(key, name, platform::kRegSz, bytes.data(),
                                    static_cast<std::uint32_t>(bytes.size()));
}

// The text of a string value, or a status in brackets when it cannot be read.
std::wstring Read(const RegistryKey& key, const std::wstring& name) {
  std::uint8_t data[512];
  std::uint32_t type = 0;
  std::uint32_t size = sizeof data;
  const std::int32_t status = platform::QueryRegistryValue(key, name, type, data, size);
  if (status != 0) return L"[" + std::to_wstring(status) + L"]";
  std::wstring text;
  for (std::size_t i = 0; i + 3 < size; i += 2)
    text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
  return text;  // the terminator left out
}

std::wstring ReadAt(Hive hive, const std::wstring& path, std::uint32_t view,
                    const std::wstring& name) {
  RegistryKey key;
  const std::int32_t status =
      platform::OpenRegistryKey(hive, path, platform::kKeyQueryValue | view, key);
  if (status != 0) return L"[" + std::to_wstring(status) + L"]";
  return Read(key, name);
}

// Every subkey name in order, and the status that ended the enumeration.
std::vector<std::wstring> EnumerateAll(const RegistryKey& key, std::int32_t& status) {
  std::vector<std::wstring> names;
  std::wstring name;
  std::uint32_t index = 0;
  while ((status = platform::EnumRegistrySubKey(key, index++, 1000, name)) == 0)
    names.push_back(name);
  return names;
}

class RegistryContract : public testing::Test {
 protected:
  void SetUp() override {
    contract::ResetWorld();
    path_ = L"Software\\KelvorContractTests\\" + contract::UniqueName(L"run");
  }
  void TearDown() override { EXPECT_EQ(contract::OpenRegistryKeysLeft(), 0); }

  static RegistryKey Open(Hive hive, const std::wstring& path, std::uint32_t access) {
    RegistryKey key;
    EXPECT_EQ(platform::OpenRegistryKey(hive, path, access, key), 0);
    return key;
  }
  RegistryKey Create(Hive hive, const std::wstring& path, std::uint32_t view = 0) {
    RegistryKey key;
    EXPECT_EQ(platform::CreateRegistryKey(hive, path, platform::kKeyWrite | view, key), 0);
    return key;
  }

  std::wstring path_;
};

TEST_F(RegistryContract, QueryAnswersTypeAndSizeOrFileNotFound) {
  RegistryKey key;
  EXPECT_EQ(platform::OpenRegistryKey(Hive::CurrentUser, path_, platform::kKeyQueryValue, key), 2);
  EXPECT_FALSE(key.IsOpen());
  const std::uint8_t dword[] = {0x78, 0x56, 0x34, 0x12};
  ASSERT_EQ(platform::SetRegistryValue(Create(Hive::CurrentUser, path_ + L"\\Mixed\\Case"),
                                       L"Count", platform::kRegDword, dword, 4),
            0);
  key = Open(Hive::CurrentUser, path_ + L"\\MIXED\\case", platform::kKeyQueryValue);
  std::uint32_t type = kSentinel;
  std::uint32_t size = 64;
  std::uint8_t data[64];
  EXPECT_EQ(platform::QueryRegistryValue(key, L"Absent", type, data, size), 2);
  EXPECT_EQ(type, kSentinel);
  EXPECT_EQ(size, 64u);
  size = 0;
  ASSERT_EQ(platform::QueryRegistryValue(key, L"COUNT", type, nullptr, size), 0);
  EXPECT_EQ(type, platform::kRegDword);
  EXPECT_EQ(size, 4u);
}

TEST_F(RegistryContract, TooLittleRoomAnswersMoreDataWithTheNeededSize) {
  const std::wstring home = L"C:\\Program Files\\Java\\jdk-21";
  Set(Create(Hive::CurrentUser, path_), L"JavaHome", home);
  const auto needed = static_cast<std::uint32_t>((home.size() + 1) * 2);

  const RegistryKey key = Open(Hive::CurrentUser, path_, platform::kKeyQueryValue);
  std::vector<std::uint8_t> data(needed);
  std::uint32_t type = kSentinel;
  std::uint32_t size = needed - 1;  // one byte short
  EXPECT_EQ(platform::QueryRegistryValue(key, L"JavaHome", type, data.data(), size), 234);
  EXPECT_EQ(size, needed);
  EXPECT_EQ(type, platform::kRegSz);  // the type comes back even when the data does not
  ASSERT_EQ(platform::QueryRegistryValue(key, L"JavaHome", type, data.data(), size), 0);
  EXPECT_EQ(size, needed);
  EXPECT_EQ(data, Utf16(home));
}

TEST_F(RegistryContract, CallsNeedTheAccessTheKeyWasOpenedWith) {
  Set(Create(Hive::CurrentUser, path_ + L"\\Sub"), L"Value", L"x");
  const RegistryKey enumerateOnly = Open(Hive::CurrentUser, path_, platform::kKeyEnumerateSubKeys);
  std::uint32_t type = kSentinel;
  std::uint32_t size = 0;
  EXPECT_EQ(platform::QueryRegistryValue(enumerateOnly, L"Value", type, nullptr, size), 5);
  EXPECT_EQ(Set(enumerateOnly, L"Value", L"y"), 5);
  const RegistryKey queryOnly = Open(Hive::CurrentUser, path_, platform::kKeyQueryValue);
  std::wstring name = L"untouched";
  EXPECT_EQ(platform::EnumRegistrySubKey(queryOnly, 0, 100, name), 5);
  EXPECT_EQ(name, L"untouched");
  // Opening below a key needs no rights on the parent itself.
  RegistryKey sub;
  EXPECT_EQ(platform::OpenRegistrySubKey(queryOnly, L"Sub", platform::kKeyQueryValue, sub), 0);
  EXPECT_EQ(Read(sub, L"Value"), L"x");
}

TEST_F(RegistryContract, SubkeysEnumerateSortedByLowerCaseNames) {
  // Wine folds to lower case, so "_" sorts before the letters (Windows, folding up, puts it after).
  for (const wchar_t* name :
       {L"zulu-17", L"Beta", L"a_b", L"17.0.2", L"aZ", L"alpha", L"1.8.0_202"})
    Create(Hive::CurrentUser, path_ + L"\\" + name);
  const RegistryKey key = Open(Hive::CurrentUser, path_, platform::kKeyEnumerateSubKeys);
  std::int32_t status = 0;
  const std::vector<std::wstring> names = EnumerateAll(key, status);
  EXPECT_EQ(status, 259);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"1.8.0_202", L"17.0.2", L"a_b", L"alpha", L"aZ",
                                              L"Beta", L"zulu-17"}));
}

TEST_F(RegistryContract, EnumerationNeedsRoomForTheNameAndItsTerminator) {
  const std::wstring longName(40, L'n');
  Create(Hive::CurrentUser, path_ + L"\\" + longName);
  Create(Hive::CurrentUser, path_ + L"\\short");
  const RegistryKey key = Open(Hive::CurrentUser, path_, platform::kKeyEnumerateSubKeys);
  std::wstring name = L"untouched";
  EXPECT_EQ(platform::EnumRegistrySubKey(key, 0, 40, name), 234);
  EXPECT_EQ(name, L"untouched");
  EXPECT_EQ(platform::EnumRegistrySubKey(key, 0, 41, name), 0);
  EXPECT_EQ(name, longName);
  // A name that did not fit does not end the enumeration: the next index still answers.
  EXPECT_EQ(platform::EnumRegistrySubKey(key, 1, 6, name), 0);
  EXPECT_EQ(name, L"short");
  EXPECT_EQ(platform::EnumRegistrySubKey(key, 2, 1000, name), 259);
}

// A 32-bit process on 64-bit Windows: what each view shows of both hives.
TEST_F(RegistryContract, MachineSoftwareHasTwoViewsUserSoftwareOne) {
  const std::wstring view = path_ + L"\\View";
  const std::wstring node = L"Software\\Wow6432Node\\KelvorContractTests\\" +
                            path_.substr(path_.rfind(L'\\') + 1) + L"\\View";
  ASSERT_EQ(Set(Create(Hive::LocalMachine, view, platform::kKeyWow64_64Key), L"Which", L"64"), 0);
  ASSERT_EQ(Set(Create(Hive::LocalMachine, view), L"Which", L"32"), 0);
  EXPECT_EQ(ReadAt(Hive::LocalMachine, view, platform::kKeyWow64_64Key, L"Which"), L"64");
  EXPECT_EQ(ReadAt(Hive::LocalMachine, view, 0, L"Which"), L"32");
  EXPECT_EQ(ReadAt(Hive::LocalMachine, view, platform::kKeyWow64_32Key, L"Which"), L"32");
  // Naming the twin directly reaches it from either view, never a twin of the twin.
  EXPECT_EQ(ReadAt(Hive::LocalMachine, node, platform::kKeyWow64_64Key, L"Which"), L"32");
  EXPECT_EQ(ReadAt(Hive::LocalMachine, node, 0, L"Which"), L"32");

  for (const std::uint32_t softwareView : {0u, platform::kKeyWow64_64Key}) {
    SCOPED_TRACE(testing::Message() << "Software opened with view " << softwareView);
    const RegistryKey software =
        Open(Hive::LocalMachine, L"Software", platform::kKeyEnumerateSubKeys | softwareView);
    std::int32_t status = 0;
    const std::vector<std::wstring> names = EnumerateAll(software, status);
    const bool sawTests = std::count(names.begin(), names.end(), L"KelvorContractTests") == 1;
    const bool sawNode = std::count(names.begin(), names.end(), L"Wow6432Node") == 1;
    EXPECT_TRUE(sawTests);
    EXPECT_EQ(sawNode, softwareView != 0);  // the 32-bit view lists the twin's subkeys
  }

  ASSERT_EQ(Set(Create(Hive::CurrentUser, view, platform::kKeyWow64_64Key), L"Which", L"user"), 0);
  EXPECT_EQ(ReadAt(Hive::CurrentUser, view, 0, L"Which"), L"user");
  EXPECT_EQ(ReadAt(Hive::CurrentUser, view, platform::kKeyWow64_32Key, L"Which"), L"user");
  EXPECT_EQ(ReadAt(Hive::CurrentUser, node, platform::kKeyWow64_64Key, L"Which"), L"[2]");
}

TEST_F(RegistryContract, OpensBelowAKeyStayInTheKeysViewUnlessAskedFor32) {
  const std::wstring run = path_.substr(std::wstring(L"Software\\").size());
  ASSERT_EQ(Set(Create(Hive::LocalMachine, path_ + L"\\View", platform::kKeyWow64_64Key), L"Which",
                L"64"),
            0);
  ASSERT_EQ(Set(Create(Hive::LocalMachine, path_ + L"\\View"), L"Which", L"32"), 0);

  struct Case {
    const wchar_t* parent;
    std::uint32_t parentView;
    std::wstring sub;
    std::uint32_t subView;
    const wchar_t* which;
  };
  const Case cases[] = {
      // The 64-bit Software key stays itself below; only an explicit KEY_WOW64_32KEY leaves it.
      {L"Software", platform::kKeyWow64_64Key, run + L"\\View", platform::kKeyWow64_64Key, L"64"},
      {L"Software", platform::kKeyWow64_64Key, run + L"\\View", 0, L"64"},
      {L"Software", platform::kKeyWow64_64Key, run + L"\\View", platform::kKeyWow64_32Key, L"32"},
      // Opened in the 32-bit view, Software is its Wow6432Node twin.
      {L"Software", 0, run + L"\\View", platform::kKeyWow64_64Key, L"32"},
      {L"Software", 0, run + L"\\View", 0, L"32"},
      // A key already inside one view stays there.
      {L"Software\\KelvorContractTests", platform::kKeyWow64_64Key,
       path_.substr(path_.rfind(L'\\') + 1) + L"\\View", 0, L"64"},
      {L"Software\\KelvorContractTests", 0, path_.substr(path_.rfind(L'\\') + 1) + L"\\View",
       platform::kKeyWow64_64Key, L"32"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "parent view " << c.parentView << ", sub view " << c.subView);
    const RegistryKey parent =
        Open(Hive::LocalMachine, c.parent, platform::kKeyEnumerateSubKeys | c.parentView);
    RegistryKey sub;
    ASSERT_EQ(
        platform::OpenRegistrySubKey(parent, c.sub, platform::kKeyQueryValue | c.subView, sub), 0);
    EXPECT_EQ(Read(sub, L"Which"), c.which);
  }
}

}  // namespace
