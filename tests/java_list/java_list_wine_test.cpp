// What only the real process shows of kelvor-java-list: its exit codes, and what goes to standard
// output (UTF-8 through a pipe) and what does not.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>

namespace {

namespace fs = std::filesystem;

// The tool built beside this test, run through the command shell: its exit code and its
// standard output as bytes.
int RunTool(const std::wstring& arguments, std::string& output) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const fs::path tool = fs::path(self).parent_path() / L"kelvor-java-list.exe";
  const std::wstring command = L"\"\"" + tool.wstring() + L"\" " + arguments + L"\"";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(_wpopen(command.c_str(), L"rb"), &_pclose);
  for (int c; pipe && (c = std::fgetc(pipe.get())) != EOF;) output += static_cast<char>(c);
  return pipe ? _pclose(pipe.release()) : -1;
}

// A refused check of a text file named java.exe in a folder with a non-ASCII name, an unknown
// option (its usage goes to standard error), and --help.
TEST(JavaListTool, ExitCodesAndStandardOutput) {
  const fs::path text = fs::temp_directory_path() / L"kelvor java \x00e9\\bin\\java.exe";
  fs::create_directories(text.parent_path());
  std::ofstream(text) << "not a program\r\n";
  const std::u8string refusal =
      fs::path(L"\"" + text.wstring() + L"\" does not appear to be an executable file.\r\n")
          .u8string();
  // Each run's first line of standard output.
  const std::tuple<std::wstring, int, std::string> runs[] = {
      {L"--check \"" + text.wstring() + L"\"", 1, std::string(refusal.begin(), refusal.end())},
      {L"--bogus", 2, ""},
      {L"--help", 0, "usage: kelvor-java-list [--json] [--why | --check PATH]\r\n"}};
  for (const auto& [arguments, exitCode, expected] : runs) {
    std::string output;
    EXPECT_EQ(RunTool(arguments, output), exitCode) << arguments;
    EXPECT_EQ(output.substr(0, output.find('\n') + 1), expected) << arguments;
  }
}

}  // namespace
