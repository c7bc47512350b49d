// The platform calls as the core relies on them: natively against the doubles, under Wine against
// the Windows runtime, kernel32 and the real registry, so the doubles cannot drift from what
// Windows answers.
#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/fake_platform.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/system.h"

namespace {

using namespace platform;

const std::wstring kDir = L"C:\\KelvorContract", kText = kDir + L"\\java.exe";

// The world the contracts run in, with the folder kDir\sub: the doubles, also where the unit tests
// are cross-compiled; with the real platform layer, the throwaway prefix's drive C:, reached
// through the standard library, and its real registry.
void ResetWorld() {
#ifdef KELVOR_REAL_PLATFORM
  std::error_code ignored;  // an existing folder is as good as a new one
  std::filesystem::create_directories(kDir + L"\\sub", ignored);
#else
  fake::ResetAll();
  fake::MakeDirectory(kDir + L"\\sub");
#endif
}

std::uint32_t Create(const std::wstring& path, const std::string& bytes) {
  bool created = false;
  return WriteNewFile(path, bytes, 0, created);
}

// The file's first `limit` bytes, "..." when more was there.
std::string Read(const std::wstring& path, std::size_t limit = 100) {
  std::string bytes = "<missing>";
  bool truncated = false;
  if (ReadWholeFile(path, limit, bytes, truncated) != 0) return bytes;
  return truncated ? bytes + "..." : bytes;
}

std::uint32_t Attributes(const std::wstring& path) {
  std::uint32_t attributes = 0;
  return GetFileAttributes(path, attributes) ? attributes & 0x11 : 0xFF;  // read-only, folder
}

TEST(FilesContract, OpenImageCheckSearchListAndIdentifyAnswerAsOnWindows) {
  ResetWorld();
  ASSERT_EQ(Create(kText, "MZ but only text") +
                Create(kDir + L"\\tiny.exe", fake::MinimalExecutableImage()),
            0u);
  // Each path's answers from OpenFile (errno), ReadWholeFile and ReadFileAt, IsExecutableImage,
  // IsDirectoryFollowingLinks, ListSubdirectories and GetFileAttributes' read-only and folder bits.
  UniqueFile file;
  std::string bytes;
  bool truncated = false;
  std::vector<std::wstring> names;
  for (const auto& [path, open, read, image, folder, list, attributes] :
       {std::tuple{kDir + L"\\tiny.exe", 0, 0u, true, false, 123, 0u},
        {kText, 0, 0u, false, false, 123, 0u},
        {kDir + L"\\sub\\", 13, 5u, false, true, 0, 0x10u},
        {kText + L"x", 2, 2u, false, false, 3, 0xFFu},
        {kDir + L"\\absent\\release", 2, 3u, false, false, 3, 0xFFu}}) {
    EXPECT_EQ(OpenFile(path, FileAccess::Read, file), open) << path;
    EXPECT_EQ(ReadWholeFile(path, 10, bytes, truncated), read) << path;
    EXPECT_EQ(ReadFileAt(path, 0, 6, bytes), read) << path;
    EXPECT_EQ(IsExecutableImage(path), image) << path;
    EXPECT_EQ(IsDirectoryFollowingLinks(path), folder) << path;
    EXPECT_EQ(ListSubdirectories(path, names), list) << path;
    EXPECT_EQ(Attributes(path), attributes) << path;
  }
  EXPECT_EQ(Read(kText, 2), "MZ...");

  const auto length = static_cast<std::uint32_t>(kText.size());
  std::wstring found;
  EXPECT_EQ(SearchFileInDirectory(kDir, L"java.exe", length, found), length + 1);
  EXPECT_EQ(found, L"");  // no room for the terminator: the length needed, nothing written
  EXPECT_EQ(SearchFileInDirectory(kDir + L"/", L"java.exe", length + 1, found), length);
  EXPECT_EQ(found, kText);

  EXPECT_EQ(ListSubdirectories(kDir + L"\\", names), 0);
  EXPECT_EQ(names, std::vector<std::wstring>{L"sub"});  // no files, no "." or ".."

  // A read of a PE header and one beyond the end, what names a folder whatever the path, and what a
  // 32-bit process on x64 Windows hears of its machine.
  for (const auto& [offset, size, expected] :
       {std::tuple{0x40u, 6u, std::string("PE\0\0\x4C\x01", 6)}, {0x10000u, 6u, std::string()}}) {
    std::string read = "sentinel";
    EXPECT_EQ(ReadFileAt(kDir + L"\\tiny.exe", offset, size, read), 0u);
    EXPECT_EQ(read, expected) << offset;
  }
  using Identity = std::pair<std::uint64_t, std::uint64_t>;
  const auto identity = [](const std::wstring& path) {
    std::uint64_t volume = 7, index = 7;
    return GetFileIdentity(path, volume, index) ? Identity(volume, index) : Identity();
  };
  EXPECT_EQ(identity(kDir), identity(kDir + L"\\sub\\..\\"));
  EXPECT_NE(identity(kDir), identity(kDir + L"\\sub"));
  std::uint16_t machine = 0;
  EXPECT_TRUE(QueryNativeMachine(machine));
  EXPECT_EQ(machine, 0x8664);
  EXPECT_EQ(NativeProcessorArchitecture(), 9);
  bool runs = false;
  EXPECT_FALSE(QueryMachineRunsUserCode(0x8664, runs));  // Wine 8 has no GetMachineTypeAttributes
}

// What a save relies on: a taken name is refused, never cut; a replace and a move swap whole
// files; a file written in place takes its new length; the final path names the file itself.
TEST(FilesContract, SavesReplaceMoveAndOverwriteWholeFiles) {
  ResetWorld();
  const std::wstring target = kDir + L"\\settings", fresh = target + L".new",
                     folder = kDir + L"\\sub", absent = kDir + L"\\absent";
  ASSERT_EQ(Create(target, "old"), 0u);
  EXPECT_EQ(Create(target, "cut"), 80u);
  FileFacts facts;
  EXPECT_EQ(InspectFile(absent, facts), 2u);
  ASSERT_EQ(InspectFile(target, facts), 0u);
  EXPECT_EQ(facts.finalPath, L"\\\\?\\" + target);
  EXPECT_EQ(facts.linkCount, 1u);
  ASSERT_EQ(Create(fresh, "new"), 0u);
  EXPECT_EQ(MoveFileReplacing(fresh, folder), 5u);
  EXPECT_EQ(Read(target), "old");
  EXPECT_EQ(ReplaceFileKeepingIdentity(target, fresh), 0u);
  EXPECT_EQ(Read(target) + Read(fresh), "new<missing>");
  ASSERT_EQ(Create(fresh, "moved"), 0u);
  EXPECT_EQ(MoveFileReplacing(fresh, target), 0u);
  EXPECT_EQ(Read(target) + Read(fresh), "moved<missing>");
  bool opened = false;
  for (const std::string bytes : {"longer than before", "short"}) {
    EXPECT_EQ(WriteFileInPlace(target, bytes, opened), 0u);
    EXPECT_EQ(Read(target), bytes);
  }
  EXPECT_FALSE(RemoveFile(folder));
  EXPECT_TRUE(RemoveFile(target));
}

const std::wstring kPath = L"Software\\KelvorContractTests",
                   kNode = L"Software\\Wow6432Node\\KelvorContractTests";

// DWORD "Which" of <path>\View, opened the way the core walks vendor keys: the key, then a
// subkey in the same view. -1 when anything is missing.
int ReadWhich(Hive hive, const std::wstring& path, std::uint32_t view) {
  RegistryKey parent, key;
  std::uint8_t data[4] = {};
  std::uint32_t type = 0, size = 4;
  if (OpenRegistryKey(hive, path, kKeyEnumerateSubKeys | view, parent) != 0 ||
      OpenRegistrySubKey(parent, L"View", kKeyQueryValue | view, key) != 0 ||
      QueryRegistryValue(key, L"Which", type, data, size) != 0)
    return -1;
  return data[0];
}

TEST(RegistryContract, ViewsValuesAndSubkeysAnswerAsOnWindows) {
  ResetWorld();
  RegistryKey key;
  // A 32-bit process on 64-bit Windows: HKLM\Software has two views, HKCU\Software one.
  for (const auto& [hive, view, which] : {std::tuple{Hive::LocalMachine, kKeyWow64_64Key, 64},
                                          {Hive::LocalMachine, 0u, 32},
                                          {Hive::CurrentUser, kKeyWow64_64Key, 1}}) {
    const std::uint8_t data[] = {static_cast<std::uint8_t>(which), 0, 0, 0};
    ASSERT_EQ(CreateRegistryKey(hive, kPath + L"\\View", kKeyWrite | view, key), 0);
    ASSERT_EQ(SetRegistryValue(key, L"Which", kRegDword, data, 4), 0);
  }
  EXPECT_EQ(ReadWhich(Hive::LocalMachine, kPath, kKeyWow64_64Key), 64);
  EXPECT_EQ(ReadWhich(Hive::LocalMachine, kPath, 0), 32);
  EXPECT_EQ(ReadWhich(Hive::LocalMachine, kNode, kKeyWow64_64Key), 32);
  EXPECT_EQ(ReadWhich(Hive::CurrentUser, kPath, kKeyWow64_32Key), 1);

  EXPECT_EQ(OpenRegistryKey(Hive::CurrentUser, kPath + L"\\Absent", kKeyQueryValue, key), 2);
  ASSERT_EQ(OpenRegistryKey(Hive::CurrentUser, kPath + L"\\VIEW", kKeyQueryValue, key), 0);
  std::uint8_t data[4] = {};
  std::uint32_t type = 99, size = 3;
  EXPECT_EQ(QueryRegistryValue(key, L"Absent", type, data, size), 2);
  EXPECT_EQ(QueryRegistryValue(key, L"which", type, data, size), 234);
  EXPECT_EQ(std::pair(type, size), std::pair(kRegDword, 4u));  // what a string reader refuses
  EXPECT_EQ(QueryRegistryValue(key, L"Which", type, data, size), 0);
  EXPECT_EQ(data[0], 1);
  EXPECT_EQ(SetRegistryValue(key, L"Which", kRegDword, data, 4), 5);  // opened to read only

  for (const wchar_t* name : {L"zulu-17", L"a_b"})
    ASSERT_EQ(CreateRegistryKey(Hive::CurrentUser, kPath + L"\\" + name, kKeyWrite, key), 0);
  ASSERT_EQ(OpenRegistryKey(Hive::CurrentUser, kPath, kKeyEnumerateSubKeys, key), 0);
  std::vector<std::wstring> names;
  std::wstring name;
  std::int32_t status;
  while ((status = EnumRegistrySubKey(key, names.size(), 100, name)) == 0) names.push_back(name);
  EXPECT_EQ(status, 259);
  // Wine sorts names folded to lower case, so "_" comes before the letters.
  EXPECT_EQ(names, (std::vector<std::wstring>{L"a_b", L"View", L"zulu-17"}));
  EXPECT_EQ(EnumRegistrySubKey(key, 1, 4, name), 234);  // no room for the terminator
}

// An application's own code (bit 29 set) has no system message; a system code has one. What the
// trial start reports when CreateProcessW finds no such program.
TEST(SystemContract, OnlySystemCodesHaveAMessageAndAMissingProgramDoesNotStart) {
  ResetWorld();
  std::wstring text;
  EXPECT_TRUE(FormatSystemMessage(5, text));
  EXPECT_FALSE(FormatSystemMessage(0x20000005, text));
  const ProcessRun run = RunProcess(kDir + L"\\none.exe", L"none.exe -version", 1000);
  EXPECT_EQ(std::pair(run.outcome, run.startError), std::pair(ProcessRun::Outcome::NotStarted, 2u));
}

}  // namespace
