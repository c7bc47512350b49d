// The Win32 build links with -municode, so the runtime starts at wmain, not gtest_main's main.
#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
