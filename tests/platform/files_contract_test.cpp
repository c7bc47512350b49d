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
