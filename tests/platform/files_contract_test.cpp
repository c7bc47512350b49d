// Files and environment variables as the core relies on them: the doubles against the Windows
// runtime and kernel32 under Wine.
#include <gtest/gtest.h>

#include <vector>

#include "fakes/minimal_image.h"
#include "platform/contract_world.h"
#include "platform/files.h"
#include "platform/system.h"

namespace {

using platform::FileAccess;

TEST(FilesContract, OpenImageCheckAndSearchAnswerAsOnWindows) {
  contract::ResetWorld();
  const std::wstring directory = contract::kDirectory, text = directory + L"\\java.exe";
  for (const auto& [path, bytes] :
       {std::pair{text, std::string("MZ but only text")},
        std::pair{directory + L"\\tiny.exe", fake::MinimalExecutableImage()}}) {
    platform::UniqueFile file;
    ASSERT_EQ(platform::OpenFile(path, FileAccess::Write, file), 0);
    ASSERT_EQ(platform::WriteFileBytes(file.get(), bytes), 0);
  }
  platform::UniqueFile none;
  EXPECT_EQ(platform::OpenFile(text + L"x", FileAccess::Read, none), 2);
  EXPECT_EQ(platform::OpenFile(directory, FileAccess::Read, none), 13);
  EXPECT_EQ(platform::OpenFile(directory, FileAccess::Write, none), 13);
  EXPECT_TRUE(platform::IsExecutableImage(directory + L"\\tiny.exe"));
  EXPECT_FALSE(platform::IsExecutableImage(text));
  EXPECT_FALSE(platform::IsExecutableImage(directory));

  const auto length = static_cast<std::uint32_t>(text.size());
  std::wstring found;
  EXPECT_EQ(platform::SearchFileInDirectory(L"C:\\", L"java.exe", 260, found), 0u);
  EXPECT_EQ(platform::SearchFileInDirectory(directory, L"java.exe", length, found), length + 1);
  EXPECT_EQ(found, L"");  // no room for the terminator: the length needed, nothing written
  EXPECT_EQ(platform::SearchFileInDirectory(directory + L"/", L"java.exe", length + 1, found),
            length);
  EXPECT_EQ(found, text);

  contract::MakeDirectory(directory + L"\\sub");
  std::vector<std::wstring> names = {L"untouched"};
  EXPECT_EQ(platform::ListSubdirectories(directory + L"\\absent", names), 3);
  EXPECT_EQ(platform::ListSubdirectories(text, names), 123);
  EXPECT_EQ(names, std::vector<std::wstring>{L"untouched"});
  EXPECT_EQ(platform::ListSubdirectories(directory + L"\\", names), 0);
  EXPECT_EQ(names, std::vector<std::wstring>{L"sub"});  // no files, no "." or ".."
}

// What a save relies on: a taken name is refused, never cut, and a move swaps whole files.
TEST(FilesContract, NewFilesReplaceOldOnesWhole) {
  contract::ResetWorld();
  const std::wstring directory = contract::kDirectory, target = directory + L"\\settings",
                     fresh = target + L".new", folder = directory + L"\\folder";
  const auto create = [](const std::wstring& path, const std::string& bytes) {
    platform::UniqueFile file;
    const int error = platform::CreateNewFile(path, file);
    if (error != 0) return error;
    EXPECT_EQ(platform::WriteFileBytes(file.get(), bytes), 0);
    return platform::FinishFile(file);
  };
  const auto read = [](const std::wstring& path) {
    platform::UniqueFile file;
    std::string bytes = "<missing>";
    bool truncated = false;
    if (platform::OpenFile(path, FileAccess::Read, file) == 0)
      platform::ReadFileBytes(file.get(), 100, bytes, truncated);
    return bytes;
  };
  ASSERT_EQ(create(target, "old"), 0);
  EXPECT_EQ(create(target, "cut"), 17);
  EXPECT_EQ(create(directory + L"\\absent\\x", ""), 2);
  ASSERT_EQ(create(fresh, "new"), 0);
  contract::MakeDirectory(folder);
  EXPECT_EQ(platform::MoveFileReplacing(fresh, folder), 13);
  EXPECT_EQ(read(target), "old");
  EXPECT_EQ(platform::MoveFileReplacing(fresh, target), 0);
  EXPECT_EQ(read(target), "new");
  EXPECT_EQ(read(fresh), "<missing>");
  EXPECT_EQ(platform::MoveFileReplacing(fresh, target), 2);

  std::uint32_t attributes = 0;
  EXPECT_TRUE(platform::ChangeFileAttributes(target, platform::kFileAttributeReadOnly));
  EXPECT_TRUE(platform::GetFileAttributes(target, attributes));
  EXPECT_EQ(attributes & 0x11, 0x01u);                        // read-only, not a folder
  EXPECT_TRUE(platform::ChangeFileAttributes(target, 0x80));  // "normal"
  EXPECT_TRUE(platform::GetFileAttributes(target, attributes));
  EXPECT_EQ(attributes & 0x11, 0x00u);
  EXPECT_FALSE(platform::RemoveFile(folder));
  EXPECT_TRUE(platform::RemoveFile(target));
  EXPECT_FALSE(platform::RemoveFile(target));
  EXPECT_EQ(read(target), "<missing>");
}

TEST(SystemContract, EnvironmentVariablesAnswerAsOnWindows) {
  contract::ResetWorld();
  const std::wstring longer(300, L'x');  // beyond the first buffer
  contract::SetVariable(L"KELVOR_CONTRACT", longer);
  contract::SetVariable(L"KELVOR_CONTRACT_EMPTY", L"");
  std::wstring value = L"untouched";
  EXPECT_FALSE(platform::ReadEnvironmentVariable(L"KELVOR_CONTRACT_ABSENT", value));
  EXPECT_FALSE(platform::ReadEnvironmentVariable(L"KELVOR_CONTRACT_EMPTY", value));
  EXPECT_EQ(value, L"untouched");
  EXPECT_TRUE(platform::ReadEnvironmentVariable(L"kelvor_contract", value));
  EXPECT_EQ(value, longer);
}

}  // namespace
