// Files as the core relies on them: the double against the Windows runtime and kernel32 under Wine.
#include <gtest/gtest.h>

#include "fakes/minimal_image.h"
#include "platform/contract_world.h"
#include "platform/files.h"

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
}

}  // namespace
