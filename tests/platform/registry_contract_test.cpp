// The registry as the core relies on it: natively against the double, under Wine against the
// real registry, so the double cannot drift from what Windows answers.
#include <gtest/gtest.h>

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
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  std::int32_t status = platform::QueryRegistryValue(key, name, type, nullptr, size);
  if (status != 0) return L"[" + std::to_wstring(status) + L"]";
  std::vector<std::uint8_t> data(size);
  status = platform::QueryRegistryValue(key, name, type, data.data(), size);
  if (status != 0) return L"[" + std::to_wstring(status) + L"]";
  std::wstring text;
  for (std::size_t i = 0; i + 1 < size; i += 2)
    text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

std::wstring ReadAt(Hive hive, const std::wstring& path, std::uint32_t view,
                    const std::wstring& name) {
  RegistryKey key;
  const std::int32_t status =
      platform::OpenRegistryKey(hive, path, platform::kKeyQueryValue | view, key);
  if (status != 0) return L"[" + std::to_wstring(status) + L"]";
  return Read(key, name);
}

class RegistryContract : public testing::Test {
 protected:
  void SetUp() override {
    contract::ResetWorld();
    path_ = L"Software\\KelvorContractTests\\" + contract::UniqueName(L"run");
  }
  void TearDown() override { EXPECT_EQ(contract::OpenRegistryKeysLeft(), 0); }

  RegistryKey Create(Hive hive, const std::wstring& path, std::uint32_t view = 0) {
    RegistryKey key;
    EXPECT_EQ(platform::CreateRegistryKey(hive, path, platform::kKeyWrite | view, key), 0);
    return key;
  }

  std::wstring path_;
};

TEST_F(RegistryContract, MissingKeyAndMissingValueAnswerFileNotFound) {
  RegistryKey key;
  EXPECT_EQ(platform::OpenRegistryKey(Hive::CurrentUser, path_, platform::kKeyQueryValue, key), 2);
  EXPECT_FALSE(key.IsOpen());

  Create(Hive::CurrentUser, path_);
  ASSERT_EQ(platform::OpenRegistryKey(Hive::CurrentUser, path_, platform::kKeyQueryValue, key), 0);
  std::uint32_t type = kSentinel;
  std::uint32_t size = 64;
  std::uint8_t data[64];
  EXPECT_EQ(platform::QueryRegistryValue(key, L"Absent", type, data, size), 2);
  EXPECT_EQ(type, kSentinel);
  EXPECT_EQ(size, 64u);
}

TEST_F(RegistryContract, ValueKeepsItsTypeAndBytes) {
  const RegistryKey writable = Create(Hive::CurrentUser, path_);
  const std::uint8_t dword[] = {0x78, 0x56, 0x34, 0x12};
  ASSERT_EQ(platform::SetRegistryValue(writable, L"Count", platform::kRegDword, dword, 4), 0);

  RegistryKey key;
  ASSERT_EQ(platform::OpenRegistryKey(Hive::CurrentUser, path_, platform::kKeyQueryValue, key), 0);
  std::uint32_t type = kSentinel;
  std::uint32_t size = 0;
  ASSERT_EQ(platform::QueryRegistryValue(key, L"Count", type, nullptr, size), 0);
  EXPECT_EQ(type, platform::kRegDword);
  EXPECT_EQ(size, 4u);
  std::uint8_t read[8] = {};
  size = sizeof read;
  ASSERT_EQ(platform::QueryRegistryValue(key, L"Count", type, read, size), 0);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(std::vector<std::uint8_t>(read, read + 4), std::vector<std::uint8_t>(dword, dword + 4));
}

TEST_F(RegistryContract, TooLittleRoomAnswersMoreDataWithTheNeededSize) {
  const std::wstring home = L"C:\\Program Files\\Java\\jdk-21";
  Set(Create(Hive::CurrentUser, path_), L"JavaHome", home);
  const auto needed = static_cast<std::uint32_t>((home.size() + 1) * 2);

  RegistryKey key;
  ASSERT_EQ(platform::OpenRegistryKey(Hive::CurrentUser, path_, platform::kKeyQueryValue, key), 0);
  for (const std::uint32_t room : {2u, needed - 1}) {
    SCOPED_TRACE(testing::Message() << "room " << room);
    std::vector<std::uint8_t> data(room);
    std::uint32_t type = kSentinel;
    std::uint32_t size = room;
    EXPECT_EQ(platform::QueryRegistryValue(key, L"JavaHome", type, data.data(), size), 234);
    EXPECT_EQ(size, needed);
    EXPECT_EQ(type, platform::kRegSz);  // the type comes back even when the data does not
  }
  std::vector<std::uint8_t> data(needed);
  std::uint32_t type = kSentinel;
  std::uint32_t size = needed;
  ASSERT_EQ(platform::QueryRegistryValue(key, L"JavaHome", type, data.data(), size), 0);
  EXPECT_EQ(size, needed);
  EXPECT_EQ(data, Utf16(home));
}

TEST_F(RegistryContract, KeyAndValueNamesIgnoreCase) {
  Set(Create(Hive::CurrentUser, path_ + L"\\Mixed\\Case"), L"JavaHome", L"C:\\jdk");
  std::wstring upper = path_ + L"\\MIXED\\case";
  for (wchar_t& c : upper) c = static_cast<wchar_t>(c >= L'a' && c <= L'z' ? c - 32 : c);
  EXPECT_EQ(ReadAt(Hive::CurrentUser, upper, 0, L"javahome"), L"C:\\jdk");
}

TEST_F(RegistryContract, CallsNeedTheAccessTheKeyWasOpenedWith) {
  Set(Create(Hive::CurrentUser, path_ + L"\\Sub"), L"Value", L"x");
  RegistryKey enumerateOnly;
  ASSERT_EQ(platform::OpenRegistryKey(Hive::CurrentUser, path_, platform::kKeyEnumerateSubKeys,
                                      enumerateOnly),
            0);
  std::uint32_t type = kSentinel;
  std::uint32_t size = 0;
  EXPECT_EQ(platform::QueryRegistryValue(enumerateOnly, L"Value", type, nullptr, size), 5);
  EXPECT_EQ(Set(enumerateOnly, L"Value", L"y"), 5);
  RegistryKey queryOnly;
  ASSERT_EQ(
      platform::OpenRegistryKey(Hive::CurrentUser, path_, platform::kKeyQueryValue, queryOnly), 0);
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
  RegistryKey key;
  ASSERT_EQ(
      platform::OpenRegistryKey(Hive::CurrentUser, path_, platform::kKeyEnumerateSubKeys, key), 0);
  std::vector<std::wstring> names;
  std::int32_t status = 0;
  for (std::uint32_t index = 0; index < 20; ++index) {
    std::wstring name;
    status = platform::EnumRegistrySubKey(key, index, 1000, name);
    if (status != 0) break;
    names.push_back(name);
  }
  EXPECT_EQ(status, 259);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"1.8.0_202", L"17.0.2", L"a_b", L"alpha", L"aZ",
                                              L"Beta", L"zulu-17"}));
}

TEST_F(RegistryContract, EnumerationNeedsRoomForTheNameAndItsTerminator) {
  const std::wstring longName(40, L'n');
  Create(Hive::CurrentUser, path_ + L"\\" + longName);
  Create(Hive::CurrentUser, path_ + L"\\short");
  RegistryKey key;
  ASSERT_EQ(
      platform::OpenRegistryKey(Hive::CurrentUser, path_, platform::kKeyEnumerateSubKeys, key), 0);
  std::wstring name = L"untouched";
  EXPECT_EQ(platform::EnumRegistrySubKey(key, 0, 40, name), 234);
  EXPECT_EQ(name, L"untouched");
  EXPECT_EQ(platform::EnumRegistrySubKey(key, 0, 41, name), 0);
  EXPECT_EQ(name, longName);
  // A name that did not fit does not end the enumeration: the next index still answers.
  EXPECT_EQ(platform::EnumRegistrySubKey(key, 1, 6, name), 0);
  EXPECT_EQ(name, L"short");
  EXPECT_EQ(platform::EnumRegistrySubKey(key, 2, 1000, name), 259);
  EXPECT_EQ(platform::EnumRegistrySubKey(key, 7, 1000, name), 259);
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
    RegistryKey software;
    ASSERT_EQ(platform::OpenRegistryKey(Hive::LocalMachine, L"Software",
                                        platform::kKeyEnumerateSubKeys | softwareView, software),
              0);
    bool sawTests = false;
    bool sawNode = false;
    std::wstring name;
    for (std::uint32_t index = 0; platform::EnumRegistrySubKey(software, index, 300, name) == 0;
         ++index) {
      sawTests = sawTests || name == L"KelvorContractTests";
      sawNode = sawNode || name == L"Wow6432Node";
    }
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
    RegistryKey parent;
    ASSERT_EQ(platform::OpenRegistryKey(Hive::LocalMachine, c.parent,
                                        platform::kKeyEnumerateSubKeys | c.parentView, parent),
              0);
    RegistryKey sub;
    ASSERT_EQ(
        platform::OpenRegistrySubKey(parent, c.sub, platform::kKeyQueryValue | c.subView, sub), 0);
    EXPECT_EQ(Read(sub, L"Which"), c.which);
  }
}

TEST_F(RegistryContract, CreateOpensAnExistingKeyWithoutLosingItsValues) {
  ASSERT_EQ(Set(Create(Hive::CurrentUser, path_), L"Kept", L"yes"), 0);
  ASSERT_EQ(Set(Create(Hive::CurrentUser, path_), L"Added", L"too"), 0);
  EXPECT_EQ(ReadAt(Hive::CurrentUser, path_, 0, L"Kept"), L"yes");
  EXPECT_EQ(ReadAt(Hive::CurrentUser, path_, 0, L"Added"), L"too");
}

}  // namespace
