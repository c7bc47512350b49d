// Process-level answers: the double's defaults agree with a 32-bit program in a 64-bit prefix.
#include <gtest/gtest.h>

#include <string>

#include "platform/contract_world.h"
#include "platform/files.h"
#include "platform/system.h"

namespace {

TEST(SystemContract, AnswersOfAThirtyTwoBitProgramOnSixtyFourBitWindows) {
  contract::ResetWorld();
  bool isWow64 = false;
  ASSERT_TRUE(platform::QueryWow64Process(isWow64));
  EXPECT_TRUE(isWow64);

  std::uint64_t memory = 0;
  ASSERT_TRUE(platform::GetTotalPhysicalMemory(memory));
  EXPECT_GT(memory, 256u << 20);

  std::wstring message;
  ASSERT_TRUE(platform::FormatSystemMessage(2, message));
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(message.find(L'\n'), std::wstring::npos);  // one line, whatever its wording

  std::wstring path;
  ASSERT_EQ(platform::GetProgramPath(path), 0u);
  ASSERT_GT(path.size(), 3u);
  EXPECT_EQ(path.substr(1, 2), L":\\");
  EXPECT_EQ(path.substr(path.size() - 4), L".exe");
}

}  // namespace
