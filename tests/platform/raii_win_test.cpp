// Each owner of a Win32 resource really releases it: checked on real keys, memory and files.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/unique_handle_win.h"

namespace {

bool KeyIsOpen(HKEY key) {
  return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

TEST(RaiiWin, EachOwnerReleasesItsResourceOnceAndOnlyWhenItGoes) {
  platform::RegistryKey key;
  ASSERT_EQ(platform::OpenRegistryKey(platform::Hive::CurrentUser, L"Software",
                                      platform::kKeyQueryValue, key),
            0);
  HKEY raw = reinterpret_cast<HKEY>(key.Get());
  platform::RegistryKey moved = std::move(key);
  EXPECT_TRUE(KeyIsOpen(raw));
  moved = platform::RegistryKey();
  EXPECT_FALSE(KeyIsOpen(raw));

  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &raw), ERROR_SUCCESS);
  {
    platform::UniqueRegKey owner(raw);
    const platform::UniqueRegKey next(std::move(owner));
    EXPECT_TRUE(KeyIsOpen(raw));
  }
  EXPECT_FALSE(KeyIsOpen(raw));

  const HLOCAL block = LocalAlloc(LMEM_FIXED, 64);
  { platform::UniqueLocalMemory owner(block); }
  EXPECT_EQ(LocalSize(block), 0u);  // a freed block has no size

  const wchar_t* path = L"C:\\KelvorRaii.txt";
  {
    platform::UniqueFile file;
    ASSERT_EQ(platform::OpenFile(path, platform::FileAccess::Write, file), 0);
    EXPECT_FALSE(DeleteFileW(path));  // the runtime opens without FILE_SHARE_DELETE
  }
  EXPECT_TRUE(DeleteFileW(path));
}

}  // namespace
