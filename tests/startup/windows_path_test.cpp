// Windows path rules: roots, parents, joins, resolution against a base and the ordering.
#include "startup/windows_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string Narrow(const std::wstring& text) {
  return std::string(text.begin(), text.end());
}

TEST(WindowsPath, RootLengths) {
  const struct {
    const wchar_t* path;
    std::size_t rootName;
    std::size_t root;
  } cases[] = {
      {L"", 0, 0},
      {L"C:", 2, 2},
      {L"c:\\", 2, 3},
      {L"C:/\\x", 2, 4},
      {L"C:x", 2, 2},
      {L"\\x", 0, 1},
      {L"\\\\server", 8, 8},
      {L"\\\\server\\share\\dir", 14, 15},
      {L"//server/share", 14, 14},
      {L"\\\\?\\C:\\x", 4, 4},
      {L"\\\\.\\pipe", 4, 4},
      {L"\\??\\C:", 4, 4},
      {L"\\\\\\x", 0, 3},  // three separators name no share
      {L"1:\\x", 0, 0},    // only letters are drives
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.path));
    EXPECT_EQ(windows_path::RootNameLength(c.path), c.rootName);
    EXPECT_EQ(windows_path::RootLength(c.path), c.root);
  }
}

TEST(WindowsPath, ParentDropsLastElementAndItsSeparators) {
  const struct {
    const wchar_t* path;
    const wchar_t* parent;
  } cases[] = {
      {L"C:\\a\\b\\prog.exe", L"C:\\a\\b"},
      {L"C:\\a", L"C:\\"},
      {L"C:\\", L"C:\\"},
      {L"C:", L"C:"},
      {L"C:a", L"C:"},
      {L"C:/a//b", L"C:/a"},
      {L"C:\\a\\", L"C:\\a"},
      {L"\\\\srv\\share\\k\\x", L"\\\\srv\\share\\k"},
      {L"\\\\srv\\share\\k", L"\\\\srv\\share\\"},
      {L"\\\\srv\\share\\", L"\\\\srv\\share\\"},
      {L"a\\b", L"a"},
      {L"a", L""},
      {L"", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.path));
    EXPECT_EQ(windows_path::Parent(c.path), c.parent);
  }
}

TEST(WindowsPath, RelativePartAfterRoot) {
  EXPECT_FALSE(windows_path::HasRelativePart(L"C:\\"));
  EXPECT_FALSE(windows_path::HasRelativePart(L"C:"));
  EXPECT_FALSE(windows_path::HasRelativePart(L"\\\\server\\share\\"));
  EXPECT_TRUE(windows_path::HasRelativePart(L"C:\\x"));
  EXPECT_TRUE(windows_path::HasRelativePart(L"\\\\server\\share\\x"));
}

TEST(WindowsPath, JoinInsertsOneBackslashOnlyWhenNeeded) {
  EXPECT_EQ(windows_path::Join(L"C:\\K", L"Kelvor_ss"), L"C:\\K\\Kelvor_ss");
  EXPECT_EQ(windows_path::Join(L"C:\\", L"Kelvor_ss"), L"C:\\Kelvor_ss");
  EXPECT_EQ(windows_path::Join(L"C:/jdk/", L"bin"), L"C:/jdk/bin");
  EXPECT_EQ(windows_path::Join(L"", L"bin"), L"bin");
}

TEST(WindowsPath, AbsoluteNeedsDriveAndSeparatorOrAnotherRoot) {
  EXPECT_TRUE(windows_path::IsAbsolute(L"C:\\jdk\\bin\\java.exe"));
  EXPECT_TRUE(windows_path::IsAbsolute(L"z:/jdk"));
  EXPECT_TRUE(windows_path::IsAbsolute(L"\\\\server\\share\\java.exe"));
  EXPECT_TRUE(windows_path::IsAbsolute(L"\\\\?\\C:\\java.exe"));
  EXPECT_FALSE(windows_path::IsAbsolute(L"C:"));
  EXPECT_FALSE(windows_path::IsAbsolute(L"C:java.exe"));
  EXPECT_FALSE(windows_path::IsAbsolute(L"\\jdk\\bin\\java.exe"));
  EXPECT_FALSE(windows_path::IsAbsolute(L"jdk\\bin\\java.exe"));
}

TEST(WindowsPath, ResolveAgainstBase) {
  const struct {
    const wchar_t* base;
    const wchar_t* text;
    const wchar_t* resolved;
  } cases[] = {
      {L"C:\\K", L"jdk\\bin\\java.exe", L"C:\\K\\jdk\\bin\\java.exe"},
      {L"C:\\K\\", L"jdk", L"C:\\K\\jdk"},
      {L"C:\\K", L"C:jdk", L"C:\\K\\jdk"},
      {L"C:\\K", L"\\jdk\\java.exe", L"C:\\jdk\\java.exe"},
      {L"C:\\K", L"D:x", L"D:x"},
      {L"C:\\K", L"c:x", L"c:x"},  // root names compare case-sensitively
      {L"\\\\srv\\share\\K", L"\\jdk", L"\\\\srv\\share\\jdk"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.text));
    EXPECT_EQ(windows_path::ResolveAgainst(c.base, c.text), c.resolved);
  }
}

TEST(WindowsPath, CompareOrdersPathsAsTheCandidateListNeeds) {
  // Each path sorts strictly before the next one.
  const std::vector<std::wstring> ordered = {
      L"a\\x",                   // no root name at all
      L"\\a",                    // no root name, but a root directory
      L"C:a",                    // "C:" then no root directory
      L"C:\\A\\bin\\javaw.exe",  //
      L"C:\\A\\bin2",            // a separator sorts before every other character
      L"C:\\A!",                 //
      L"C:\\B\\bin\\javaw.exe",  //
      L"D:\\",                   //
      L"\\\\srv\\share\\x",      //
  };
  for (std::size_t i = 0; i + 1 < ordered.size(); ++i) {
    SCOPED_TRACE(Narrow(ordered[i]) + " < " + Narrow(ordered[i + 1]));
    EXPECT_LT(windows_path::Compare(ordered[i], ordered[i + 1]), 0);
    EXPECT_GT(windows_path::Compare(ordered[i + 1], ordered[i]), 0);
  }
}

TEST(WindowsPath, CompareTreatsSeparatorRunsAsOne) {
  EXPECT_EQ(windows_path::Compare(L"C:\\a\\\\b", L"C:/a/b"), 0);
  EXPECT_EQ(windows_path::Compare(L"C:\\\\a", L"C:\\a"), 0);
  EXPECT_LT(windows_path::Compare(L"C:\\a", L"C:\\a\\b"), 0);    // the shorter path ends first
  EXPECT_LT(windows_path::Compare(L"C:\\a", L"C:\\\xFFFF"), 0);  // unsigned code units
}

}  // namespace
