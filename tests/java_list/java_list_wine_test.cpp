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

#include "platform/unique_handle_win.h"

namespace {

namespace fs = std::filesystem;

// The tool built beside this test.
fs::path ToolPath() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return fs::path(self).parent_path() / L"kelvor-java-list.exe";
}

// The tool run through the command shell: its exit code and its standard output as bytes.
int RunTool(const std::wstring& arguments, std::string& output) {
  const std::wstring command = L"\"\"" + ToolPath().wstring() + L"\" " + arguments + L"\"";
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

// Standard output that refuses every write (a file opened only to read): the failure is named
// on standard error and the exit code is 2.
TEST(JavaListTool, AFailedWriteSaysSoAndExitsTwo) {
  const fs::path readOnly = fs::temp_directory_path() / L"kelvor-read-only-output",
                 errors = fs::temp_directory_path() / L"kelvor-errors.txt";
  std::ofstream(readOnly).put('x');
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  const platform::UniqueFileHandle output(CreateFileW(
      readOnly.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherited, OPEN_EXISTING, 0, nullptr)),
      error(CreateFileW(errors.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                        0, nullptr));
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output.Get();
  startup.hStdError = error.Get();
  PROCESS_INFORMATION process = {};
  std::wstring command = L"\"" + ToolPath().wstring() + L"\" --help";
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                             nullptr, nullptr, &startup, &process));
  const platform::UniqueFileHandle child(process.hProcess), thread(process.hThread);
  DWORD exitCode = 0;
  WaitForSingleObject(child.Get(), 20000);
  GetExitCodeProcess(child.Get(), &exitCode);
  EXPECT_EQ(exitCode, 2u);
  std::string said;
  std::getline(std::ifstream(errors), said);
  EXPECT_EQ(said.substr(0, 51), "kelvor-java-list: writing the output failed: error ");
}

}  // namespace
