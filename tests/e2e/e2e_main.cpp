// The Win32 build starts programs at wmain (-municode); this one hands its arguments to GoogleTest.
#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
