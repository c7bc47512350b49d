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

fs::path Beside(const wchar_t* name) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return fs::path(self).parent_path() / name;
}

// The tool, built beside this test unless given, run through the command shell: its exit code
// and its standard output as bytes.
int RunTool(const std::wstring& arguments, std::string& output,
            const fs::path& tool = Beside(L"kelvor-java-list.exe")) {
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
      {L"--help", 0,
       "usage: kelvor-java-list [--json] [-p] [--why | --check PATH | --try [PATH]]\r\n"}};
  for (const auto& [arguments, exitCode, expected] : runs) {
    std::string output;
    EXPECT_EQ(RunTool(arguments, output), exitCode) << arguments;
    EXPECT_EQ(output.substr(0, output.find('\n') + 1), expected) << arguments;
  }
}

// --try and -p in an installation whose Kelvor_ss saves a Java relative to it and a heap that
// the stand-in refuses as a JVM does; the stand-in's own child is ended with the trial's job.
TEST(JavaListTool, TryStartsTheSavedJavaWithTheSavedHeapAndLeavesNothingRunning) {
  const fs::path installation = fs::temp_directory_path() / L"kelvor try";
  const fs::path java = installation / L"jdk\\bin\\java.exe", pidFile = installation / L"pid";
  fs::create_directories(installation / L"bin\\win");
  fs::create_directories(java.parent_path());
  const auto over = fs::copy_options::overwrite_existing;
  fs::copy_file(Beside(L"kelvor-java-list.exe"), installation / L"bin\\win\\tool.exe", over);
  fs::copy_file(Beside(L"stand-in-java.exe"), java, over);
  std::ofstream(java.parent_path() / L"java.dll").flush();
  std::ofstream(installation / L"Kelvor_ss") << "Arguments: -J-Xmx4096m\nJava:jdk\\bin\\java.exe\n";
  SetEnvironmentVariableW(L"KELVOR_STAND_IN_CHILD", pidFile.c_str());
  std::string output;
  EXPECT_EQ(RunTool(L"-p --try", output, installation / L"bin\\win\\tool.exe"), 1);
  SetEnvironmentVariableW(L"KELVOR_STAND_IN_CHILD", nullptr);
  EXPECT_NE(output.find("java.exe\" does not start: exit code 1\r\n  Error occurred during "
                        "initialization of VM\r\n  Could not reserve enough space for object "
                        "heap\r\n  ran: \""),
            std::string::npos)
      << output;
  DWORD pid = 0;
  std::ifstream(pidFile) >> pid;
  const HANDLE child = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(WaitForSingleObject(child, 5000), WAIT_OBJECT_0) << "the child outlived the trial";
  TerminateProcess(child, 0);
  CloseHandle(child);
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
  std::wstring command = L"\"" + Beside(L"kelvor-java-list.exe").wstring() + L"\" --help";
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
