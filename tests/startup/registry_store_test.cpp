// The registry store: the user/machine fallback, ReadRegistryString's attempts and growth, saving.
#include "startup/registry_store.h"

#include <gtest/gtest.h>

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

platform::RegistryKey OpenForQuery(Hive hive) {
  platform::RegistryKey key;
  EXPECT_EQ(platform::OpenRegistryKey(hive, kPath, platform::kKeyQueryValue, key), 0);
  return key;
}

TEST_F(RegistryStoreTest, NoKeysKeepEveryDefault) {
  StartupSettings settings;
  LoadSettingsFromRegistry(settings);
  EXPECT_TRUE(settings.LegacyMS2);
  EXPECT_FALSE(settings.Verbose || settings.ArgumentsPresent);
  EXPECT_EQ(fake::OpenKeyCount(Hive::CurrentUser), 1);
  EXPECT_EQ(fake::OpenKeyCount(Hive::LocalMachine), 1);
}

TEST_F(RegistryStoreTest, UsersKeyWithArgumentsIsEnough) {
  const struct {
    const wchar_t* name;
    const wchar_t* text;
  } values[] = {
      {L"Arguments", L" -J-Xmx512m -nofontcheck"},
      {L"Verbose", L"Yes"},
      {L"AllowUIScale", L"y"},
      {L"DisableDD2", L"Yes"},
      {L"KeepWS", L"Yes"},
      {L"LegacyMS2", L"No"},
      {L"PreferIPv4", L"Yes"},
      {L"Java", L"jdk\\bin\\java.exe"},
      {L"Scale", L"125%"},
  };
  for (const auto& v : values) fake::PutString(Hive::CurrentUser, kPath, v.name, v.text);
  fake::PutString(Hive::LocalMachine, kMachinePath, L"Scale", L"machine");
  StartupSettings settings;
  settings.BaseDirectory = L"C:\\K";
  LoadSettingsFromRegistry(settings);
  EXPECT_EQ(fake::OpenKeyCount(Hive::LocalMachine), 0);
  EXPECT_TRUE(settings.ArgumentsPresent);
  EXPECT_EQ(settings.Arguments, L" -J-Xmx512m -nofontcheck");
  EXPECT_EQ(settings.MaxMemoryMB, 512);
  EXPECT_TRUE(settings.SkipFontCheck);
  EXPECT_TRUE(settings.Verbose && settings.AllowUIScale && settings.DisableDD2 && settings.KeepWS &&
              settings.PreferIPv4);
  EXPECT_FALSE(settings.LegacyMS2);
  EXPECT_EQ(settings.Java, L"jdk\\bin\\java.exe");  // the registry never resolves
  EXPECT_EQ(settings.Scale, L"125%");
}

TEST_F(RegistryStoreTest, MachineKeyIsReadOverTheUsersWithoutArguments) {
  fake::PutString(Hive::CurrentUser, kPath, L"Verbose", L"Yes");
  fake::PutString(Hive::CurrentUser, kPath, L"KeepWS", L"Yes");
  fake::PutString(Hive::LocalMachine, kMachinePath, L"Verbose", L"No");
  fake::PutString(Hive::LocalMachine, kMachinePath, L"Arguments", L"");
  StartupSettings settings;
  LoadSettingsFromRegistry(settings);
  EXPECT_FALSE(settings.Verbose);          // present in both: the machine's wins
  EXPECT_TRUE(settings.KeepWS);            // only the user's: kept
  EXPECT_TRUE(settings.ArgumentsPresent);  // an empty "Arguments" counts
}

TEST_F(RegistryStoreTest, UnreadableUserArgumentsFallBackToTheMachine) {
  fake::PutString(Hive::CurrentUser, kPath, L"Arguments", L" -J-Xmx64m");
  fake::FailQueries(Hive::CurrentUser, kPath, L"Arguments", 5, platform::kErrorAccessDenied);
  fake::PutString(Hive::LocalMachine, kMachinePath, L"Arguments", L" -J-Xmx128m");
  StartupSettings settings;
  LoadSettingsFromRegistry(settings);
  EXPECT_EQ(settings.Arguments, L" -J-Xmx128m");
  EXPECT_EQ(settings.MaxMemoryMB, 128);
}

TEST_F(RegistryStoreTest, YesNoValuesAndTypes) {
  fake::PutString(Hive::CurrentUser, kPath, L"Verbose", L"");
  fake::PutValue(Hive::CurrentUser, kPath, L"KeepWS", platform::kRegDword, {1, 0, 0, 0});
  fake::PutString(Hive::CurrentUser, kPath, L"PreferIPv4", L"Yes", platform::kRegExpandSz);
  fake::PutString(Hive::CurrentUser, kPath, L"Java", L"%JAVA_HOME%\\bin\\java.exe",
                  platform::kRegExpandSz);
  StartupSettings settings;
  settings.Verbose = true;
  settings.KeepWS = true;
  ReadRegistrySettings(settings, OpenForQuery(Hive::CurrentUser));
  EXPECT_FALSE(settings.Verbose);  // an empty text reads as no
  EXPECT_TRUE(settings.KeepWS);    // a DWORD counts as missing
  EXPECT_TRUE(settings.PreferIPv4);
  EXPECT_TRUE(settings.LegacyMS2);
  EXPECT_EQ(settings.Java, L"%JAVA_HOME%\\bin\\java.exe");  // taken literally
}

TEST_F(RegistryStoreTest, ReadRegistryStringMakesFiveAttempts) {
  const struct {
    int failures;
    bool read;
  } cases[] = {{0, true}, {4, true}, {5, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "failures: " << c.failures);
    fake::ResetAll();
    fake::PutString(Hive::CurrentUser, kPath, L"Scale", L"150%");
    fake::FailQueries(Hive::CurrentUser, kPath, L"Scale", c.failures, 1450);
    std::wstring out = L"sentinel";
    EXPECT_EQ(ReadRegistryString(OpenForQuery(Hive::CurrentUser), L"Scale", out), c.read);
    EXPECT_EQ(out, c.read ? L"150%" : L"sentinel");
    EXPECT_EQ(fake::QueryCount(L"Scale"), c.read ? c.failures + 1 : 5);
  }
}

TEST_F(RegistryStoreTest, ReadRegistryStringMissingAndWrongTypes) {
  fake::PutValue(Hive::CurrentUser, kPath, L"Binary", platform::kRegBinary, {'a', 0, 0, 0});
  fake::PutValue(Hive::CurrentUser, kPath, L"Multi", platform::kRegMultiSz, {'a', 0, 0, 0, 0, 0});
  const platform::RegistryKey key = OpenForQuery(Hive::CurrentUser);
  std::wstring out = L"sentinel";
  EXPECT_FALSE(ReadRegistryString(key, L"Missing", out));
  EXPECT_EQ(fake::QueryCount(L"Missing"), 5);
  EXPECT_FALSE(ReadRegistryString(key, L"Binary", out));
  EXPECT_EQ(fake::QueryCount(L"Binary"), 1);  // another type gives up at once
  EXPECT_FALSE(ReadRegistryString(key, L"Multi", out));
  EXPECT_EQ(out, L"sentinel");
}

TEST_F(RegistryStoreTest, ReadRegistryStringGrowsForLongValues) {
  const struct {
    std::size_t length;
    bool terminated;
    int queries;
  } cases[] = {
      {259, true, 1}, {260, false, 1}, {260, true, 2},
      {300, true, 2}, {300, false, 2}, {40000, true, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "length: " << c.length << " terminated: " << c.terminated);
    fake::ResetAll();
    std::wstring text(c.length, L'j');
    text.back() = L'!';
    fake::PutValue(Hive::CurrentUser, kPath, L"Java", platform::kRegSz,
                   EncodeUtf16Le(text, c.terminated));
    std::wstring out;
    EXPECT_TRUE(ReadRegistryString(OpenForQuery(Hive::CurrentUser), L"Java", out));
    EXPECT_EQ(out, text);
    EXPECT_EQ(fake::QueryCount(L"Java"), c.queries);
  }
}

TEST_F(RegistryStoreTest, SaveWritesAllNineAsStrings) {
  StartupSettings settings;
  settings.SetSettings(true, false, false, true, false, true, false, 512, L"", L"");
  std::wstring errorText;
  ASSERT_TRUE(SaveSettingsToRegistry(settings, errorText));
  EXPECT_EQ(errorText, L"");
  const struct {
    const wchar_t* name;
    const wchar_t* text;
  } expected[] = {
      {L"Arguments", L" -J-Xmx512m"},
      {L"Java", L""},
      {L"Scale", L""},
      {L"Verbose", L"Yes"},
      {L"AllowUIScale", L"No"},
      {L"DisableDD2", L"No"},
      {L"KeepWS", L"Yes"},
      {L"LegacyMS2", L"Yes"},
      {L"PreferIPv4", L"No"},
  };
  for (const auto& e : expected) {
    std::wstring text = L"sentinel";
    EXPECT_TRUE(fake::GetString(Hive::CurrentUser, kPath, e.name, text)) << e.name;
    EXPECT_EQ(text, e.text) << e.name;
  }
  EXPECT_FALSE(fake::KeyExists(Hive::LocalMachine, kPath));
  StartupSettings reloaded;
  LoadSettingsFromRegistry(reloaded);
  EXPECT_EQ(reloaded.MaxMemoryMB, 512);
  EXPECT_TRUE(reloaded.Verbose && reloaded.KeepWS);
}

TEST_F(RegistryStoreTest, SaveFailures) {
  fake::SetSystemMessage(5, L"Access is denied.");
  fake::FailCreate(5);
  StartupSettings settings;
  std::wstring errorText;
  EXPECT_FALSE(SaveSettingsToRegistry(settings, errorText));
  EXPECT_EQ(errorText,
            L"Error saving settings. Could not create registry key HKCU\\Software\\ORVEL\\KELVOR."
            L"\n\n\nError # 5 :\nAccess is denied.");
  EXPECT_FALSE(fake::KeyExists(Hive::CurrentUser, kPath));

  // The first failing status is reported; the writes after it still happen.
  fake::FailCreate(0);
  fake::FailSets(L"Java", 5);
  fake::FailSets(L"Scale", 1450);
  errorText = L"A.";
  EXPECT_FALSE(SaveSettingsToRegistry(settings, errorText));
  EXPECT_EQ(errorText,
            L"A.Error saving one or more settings to the registry.\n\n\nError # 5 :\n"
            L"Access is denied.");
  std::wstring text;
  EXPECT_TRUE(fake::GetString(Hive::CurrentUser, kPath, L"PreferIPv4", text));
  EXPECT_FALSE(fake::GetString(Hive::CurrentUser, kPath, L"Java", text));
}

}  // namespace
