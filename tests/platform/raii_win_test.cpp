// Each owner of a Win32 resource really releases it: checked on real keys, memory and files.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <utility>

#include "platform/contract_world.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/unique_handle_win.h"

namespace {

bool KeyIsOpen(HKEY key) {
  return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

HKEY OpenSoftware() {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &key), ERROR_SUCCESS);
  return key;
}

TEST(UniqueRegKeyWin, ClosesOnResetAndDestructionAndMovesOwnership) {
  const HKEY first = OpenSoftware();
  const HKEY second = OpenSoftware();
  {
    platform::UniqueRegKey owner(first);
    ASSERT_TRUE(KeyIsOpen(first));
    owner.Reset(second);  // the old key goes, the new one stays
    EXPECT_FALSE(KeyIsOpen(first));
    EXPECT_TRUE(KeyIsOpen(second));
    platform::UniqueRegKey moved(std::move(owner));
    EXPECT_FALSE(owner.IsValid());
    EXPECT_TRUE(KeyIsOpen(second));
  }
  EXPECT_FALSE(KeyIsOpen(second));
}

TEST(RegistryKeyWin, ClosesTheKeyItOwnsAndKeepsItThroughAFailedOpen) {
  platform::RegistryKey key;
  ASSERT_EQ(platform::OpenRegistryKey(platform::Hive::CurrentUser, L"Software",
                                      platform::kKeyQueryValue, key),
            0);
  const HKEY raw = reinterpret_cast<HKEY>(key.Get());
  EXPECT_EQ(platform::OpenRegistryKey(platform::Hive::CurrentUser, L"Software\\NoSuchKelvorKey",
                                      platform::kKeyQueryValue, key),
            2);
  EXPECT_EQ(reinterpret_cast<HKEY>(key.Get()), raw);
  platform::RegistryKey other = std::move(key);
  EXPECT_TRUE(KeyIsOpen(raw));
  other.Reset();
  EXPECT_FALSE(KeyIsOpen(raw));
}

TEST(UniqueLocalMemoryWin, FreesTheBlock) {
  const HLOCAL block = LocalAlloc(LMEM_FIXED, 64);
  ASSERT_NE(block, nullptr);
  { platform::UniqueLocalMemory owner(block); }
  // A freed block no longer has a size; LocalSize reports 0 for it.
  EXPECT_EQ(LocalSize(block), 0u);
}

TEST(UniqueFileWin, ClosesSoTheFileCanBeDeleted) {
  const std::wstring directory = L"C:\\" + contract::UniqueName(L"KelvorRaii");
  contract::MakeDirectory(directory);
  const std::wstring path = directory + L"\\held.txt";
  {
    platform::UniqueFile file;
    ASSERT_EQ(platform::OpenFile(path, platform::FileAccess::Write, file), 0);
    // Open without FILE_SHARE_DELETE, the runtime's file refuses deletion.
    EXPECT_FALSE(DeleteFileW(path.c_str()));
  }
  EXPECT_TRUE(DeleteFileW(path.c_str()));
}

}  // namespace
