// Files as the core relies on them: the double against the Windows runtime and kernel32 under Wine.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "fakes/minimal_image.h"
#include "platform/contract_world.h"
#include "platform/files.h"

namespace {

using platform::FileAccess;
using platform::UniqueFile;

class FilesContract : public testing::Test {
 protected:
  void SetUp() override {
    contract::ResetWorld();
    directory_ = L"C:\\" + contract::UniqueName(L"KelvorContract");
    contract::MakeDirectory(directory_ + L"\\bin");
  }

  // Writes through the API under test, so both builds create files the same way.
  void Write(const std::wstring& path, const std::string& bytes) {
    UniqueFile file;
    ASSERT_EQ(platform::OpenFile(path, FileAccess::Write, file), 0);
    ASSERT_EQ(platform::WriteFileBytes(file.get(), bytes), 0);
  }

  std::wstring directory_;
};

TEST_F(FilesContract, OpenReportsTheRuntimeErrorNumber) {
  Write(directory_ + L"\\plain.txt", "text");
  const struct {
    std::wstring path;
    FileAccess access;
    int error;
  } cases[] = {
      {directory_ + L"\\missing.txt", FileAccess::Read, 2},
      {directory_ + L"\\no\\such\\folder.txt", FileAccess::Read, 2},
      {directory_ + L"\\no\\such\\folder.txt", FileAccess::Write, 2},
      {directory_ + L"\\plain.txt\\below.txt", FileAccess::Read, 2},
      {directory_ + L"\\bin", FileAccess::Read, 13},  // a folder cannot be opened as a file
      {directory_ + L"\\bin", FileAccess::Write, 13},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "write " << (c.access == FileAccess::Write));
    UniqueFile file;
    EXPECT_EQ(platform::OpenFile(c.path, c.access, file), c.error);
    EXPECT_EQ(file, nullptr);
  }
  EXPECT_EQ(platform::RuntimeErrorText(2), L"No such file or directory");
  EXPECT_EQ(platform::RuntimeErrorText(13), L"Permission denied");
}

TEST_F(FilesContract, BytesRoundTripUntranslatedAndReadsStopAtTheLimit) {
  const std::string bytes("Java:C:\\jdk\r\nScale:1\n\0\x1a tail", 27);
  Write(directory_ + L"\\bin\\Kelvor_ss", bytes + bytes);
  Write(directory_ + L"/bin/Kelvor_ss", bytes);  // the same file, cut to the new bytes
  for (const std::size_t limit :
       {bytes.size() + 1, bytes.size(), bytes.size() - 1, std::size_t{0}}) {
    SCOPED_TRACE(testing::Message() << "limit " << limit);
    UniqueFile file;
    ASSERT_EQ(platform::OpenFile(directory_ + L"\\bin\\Kelvor_ss", FileAccess::Read, file), 0);
    std::string read = "sentinel";
    bool truncated = limit == bytes.size();  // the opposite of what is expected
    ASSERT_EQ(platform::ReadFileBytes(file.get(), limit, read, truncated), 0);
    EXPECT_EQ(read, bytes.substr(0, limit));
    EXPECT_EQ(truncated, limit < bytes.size());
  }
}

TEST_F(FilesContract, AttributesTellFoldersFromFiles) {
  Write(directory_ + L"\\bin\\java.exe", "not a program");
  std::uint32_t attributes = 0xFFFF0000;
  EXPECT_FALSE(platform::GetFileAttributes(directory_ + L"\\bin\\javaw.exe", attributes));
  EXPECT_EQ(attributes, 0xFFFF0000u);
  ASSERT_TRUE(platform::GetFileAttributes(directory_ + L"\\bin", attributes));
  EXPECT_NE(attributes & platform::kFileAttributeDirectory, 0u);
  ASSERT_TRUE(platform::GetFileAttributes(directory_ + L"/bin/", attributes));
  EXPECT_NE(attributes & platform::kFileAttributeDirectory, 0u);
  ASSERT_TRUE(platform::GetFileAttributes(directory_ + L"\\bin\\java.exe", attributes));
  EXPECT_EQ(attributes & platform::kFileAttributeDirectory, 0u);
}

TEST_F(FilesContract, OnlyProgramImagesAreExecutable) {
  Write(directory_ + L"\\bin\\java.exe", "MZ but only text\r\n");
  Write(directory_ + L"\\bin\\tiny.exe", fake::MinimalExecutableImage());
  EXPECT_FALSE(platform::IsExecutableImage(directory_ + L"\\bin\\java.exe"));
  EXPECT_FALSE(platform::IsExecutableImage(directory_ + L"\\bin\\missing.exe"));
  EXPECT_FALSE(platform::IsExecutableImage(directory_ + L"\\bin"));
  EXPECT_TRUE(platform::IsExecutableImage(directory_ + L"\\bin\\tiny.exe"));
  EXPECT_TRUE(platform::IsExecutableImage(contract::RealProgramImage()));
}

TEST_F(FilesContract, SearchAnswersLikeSearchPath) {
  Write(directory_ + L"\\bin\\javaw.exe", "x");
  const std::wstring expected = directory_ + L"\\bin\\javaw.exe";
  const auto length = static_cast<std::uint32_t>(expected.size());
  const struct {
    std::wstring directory;
    std::uint32_t bufferLength;
    std::uint32_t result;
    bool written;
  } cases[] = {
      {directory_ + L"\\bin", 260, length, true},
      {directory_ + L"\\bin\\", 260, length, true},
      {directory_ + L"/bin/", 260, length, true},
      {directory_ + L"\\bin", length + 1, length, true},
      {directory_ + L"\\bin", length, length + 1, false},  // no room for the terminator
      {directory_ + L"\\bin", 1, length + 1, false},
      {directory_, 260, 0, false},  // only the one folder is searched
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "buffer " << c.bufferLength);
    std::wstring found = L"untouched";
    EXPECT_EQ(platform::SearchFileInDirectory(c.directory, L"javaw.exe", c.bufferLength, found),
              c.result);
    EXPECT_EQ(found, c.written ? expected : L"untouched");
  }
}

}  // namespace
