// The registry store: the user/machine fallback, ReadRegistryString's attempts and growth, saving.
#include "startup/registry_store.h"

#include <gtest/gtest.h>

#include <tuple>

#include "fakes/fake_platform.h"
#include "startup/text_encoding.h"

namespace {

using platform::Hive;

const std::wstring kPath = kSettingsRegistryPath;
// A 32-bit process on 64-bit Windows (the fake's default) sees the machine's 32-bit twin.
const std::wstring kMachinePath = L"Software\\Wow6432Node\\ORVEL\\KELVOR";

class RegistryStoreTest : public testing::Test {
 protected:
  void SetUp() override { fake::ResetAll(); }
  void TearDown() override { EXPECT_EQ(fake::OpenHandleCount(), 0); }
};

TEST_F(RegistryStoreTest, MachineKeyIsReadOnlyWithoutUserArguments) {
  fake::PutString(Hive::CurrentUser, kPath, L"Verbose", L"Yes");
  fake::PutString(Hive::CurrentUser, kPath, L"KeepWS", L"Yes");
  fake::PutValue(Hive::CurrentUser, kPath, L"PreferIPv4", platform::kRegDword, {1, 0, 0, 0});
  fake::PutString(Hive::CurrentUser, kPath, L"Java", L"%J%\\java.exe", platform::kRegExpandSz);
  fake::PutString(Hive::LocalMachine, kMachinePath, L"Verbose", L"No");
  fake::PutString(Hive::LocalMachine, kMachinePath, L"Arguments", L" -J-Xmx128m");
  StartupSettings settings;
  LoadSettingsFromRegistry(settings);
  EXPECT_FALSE(settings.Verbose);  // in both keys: the machine's wins
  EXPECT_TRUE(settings.KeepWS && settings.LegacyMS2);
  EXPECT_FALSE(settings.PreferIPv4);  // a DWORD counts as missing
  EXPECT_EQ(settings.Java, L"%J%\\java.exe");
  EXPECT_EQ(settings.MaxMemoryMB, 128);

  fake::PutString(Hive::CurrentUser, kPath, L"Arguments", L"");  // empty, but present
  StartupSettings userOnly;
  LoadSettingsFromRegistry(userOnly);
  EXPECT_TRUE(userOnly.Verbose && userOnly.ArgumentsPresent);
  EXPECT_EQ(fake::OpenKeyCount(Hive::LocalMachine), 1);
}

TEST_F(RegistryStoreTest, ReadRegistryStringAttemptsAndGrowth) {
  // Length, terminated, failing queries first, then the queries made (0: not read, after 5).
  const std::tuple<std::size_t, bool, int, int> cases[] = {
      {10, true, 4, 5},  {10, true, 5, 0},   {260, false, 0, 1}, {260, true, 0, 2},
      {300, true, 0, 2}, {300, false, 3, 5}, {300, false, 4, 0},
  };
  for (const auto& [length, terminated, failures, queries] : cases) {
    SCOPED_TRACE(testing::Message() << length << " " << terminated << " " << failures);
    fake::ResetAll();
    std::wstring text(length, L'j');
    text.back() = L'!';
    fake::PutValue(Hive::CurrentUser, kPath, L"Java", platform::kRegSz,
                   EncodeUtf16Le(text, terminated));
    fake::FailQueries(Hive::CurrentUser, kPath, L"Java", failures, 1450);
    platform::RegistryKey key;
    ASSERT_EQ(platform::OpenRegistryKey(Hive::CurrentUser, kPath, platform::kKeyQueryValue, key),
              0);
    std::wstring out = L"sentinel";
    EXPECT_EQ(ReadRegistryString(key, L"Java", out), queries != 0);
    EXPECT_EQ(out, queries != 0 ? text : L"sentinel");
    EXPECT_EQ(fake::QueryCount(L"Java"), queries != 0 ? queries : 5);
  }
}

TEST_F(RegistryStoreTest, SaveWritesNineStringsAndReportsTheFirstFailure) {
  StartupSettings settings;
  settings.SetSettings(true, false, false, false, false, true, false, 512, L"", L"");
  std::wstring errorText;
  ASSERT_TRUE(SaveSettingsToRegistry(settings, errorText));
  const std::pair<const wchar_t*, const wchar_t*> expected[] = {
      {L"Arguments", L" -J-Xmx512m"}, {L"Java", L""},         {L"Scale", L""},
      {L"Verbose", L"Yes"},           {L"LegacyMS2", L"Yes"}, {L"PreferIPv4", L"No"}};
  for (const auto& [name, value] : expected) {
    std::wstring text = L"sentinel";
    EXPECT_TRUE(fake::GetString(Hive::CurrentUser, kPath, name, text)) << name;
    EXPECT_EQ(text, value);
  }
  fake::ResetAll();
  fake::SetSystemMessage(5, L"Access is denied.");
  fake::FailCreate(5);
  EXPECT_FALSE(SaveSettingsToRegistry(settings, errorText));
  EXPECT_EQ(errorText,
            L"Error saving settings. Could not create registry key "
            L"HKCU\\Software\\ORVEL\\KELVOR.\n\n\nError # 5 :\nAccess is denied.");
  fake::FailCreate(0);
  fake::FailSets(L"Java", 5);
  fake::FailSets(L"Scale", 1450);
  errorText.clear();
  EXPECT_FALSE(SaveSettingsToRegistry(settings, errorText));
  EXPECT_EQ(errorText,
            L"Error saving one or more settings to the registry.\n\n\nError # 5 :\n"
            L"Access is denied.");
  std::wstring text;
  EXPECT_TRUE(fake::GetString(Hive::CurrentUser, kPath, L"PreferIPv4", text));  // written after
}

}  // namespace
