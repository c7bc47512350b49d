// Every Win32 program here starts at a wide entry point (-municode); this one hands the test
// programs' arguments to GoogleTest, as gtest_main does natively.
#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
