// A fixture for tests that run against the doubles: a fresh world before each test, and no
// registry key left open after it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "fakes/fake_platform.h"

class FakeWorldTest : public testing::Test {
 protected:
  void SetUp() override { fake::ResetAll(); }
  void TearDown() override { EXPECT_EQ(fake::OpenHandleCount(), 0); }
  // Texts hold UTF-16 units on both builds, so expectations are spelled as units.
  static std::wstring Units(std::u16string_view units) { return {units.begin(), units.end()}; }
};
