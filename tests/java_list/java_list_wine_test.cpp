// What only the real process shows of kelvor-java-list: its exit codes, and what goes to standard
// output (UTF-8) and what does not.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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

// Runs the tool (built beside this test unless given) with standard output and error in files,
// or with standard output a file opened only to read, which refuses every write. Returns the
// exit code; `written` gets standard output, or standard error when `readOnly`.
int RunTool(std::wstring arguments, std::string& written,
            const fs::path& tool = Beside(L"kelvor-java-list.exe"), bool readOnly = false) {
  const fs::path out = fs::temp_directory_path() / L"kelvor-out", err = out.wstring() + L"-err";
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  const platform::UniqueFileHandle output(
      CreateFileW(out.c_str(), readOnly ? GENERIC_READ : GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, CREATE_ALWAYS, 0, nullptr)),
      error(CreateFileW(err.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                        CREATE_ALWAYS, 0, nullptr));
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output.Get();
  startup.hStdError = error.Get();
  PROCESS_INFORMATION process = {};
  arguments = L"\"" + tool.wstring() + L"\" " + arguments;
  CreateProcessW(nullptr, arguments.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                 nullptr, &startup, &process);
  const platform::UniqueFileHandle child(process.hProcess), thread(process.hThread);
  DWORD exitCode = MAXDWORD;  // stays when the tool did not start
  WaitForSingleObject(child.Get(), 30000);
  GetExitCodeProcess(child.Get(), &exitCode);
  std::ifstream file(readOnly ? err : out, std::ios::binary);
  written.assign(std::istreambuf_iterator<char>(file), {});
  return static_cast<int>(exitCode);
}

// A refused check of a text file named java.exe in a folder with a non-ASCII name, an unknown
// option (its usage goes to standard error), and --help.
TEST(JavaListTool, ExitCodesAndStandardOutput) {
  fs::current_path(fs::temp_directory_path());  // the tool names the path as given
  fs::create_directories(L"kelvor java \x00e9\\bin");
  std::ofstream(fs::path(L"kelvor java \x00e9\\bin\\java.exe")) << "not a program\r\n";
  // Each run's first line of standard output.
  const std::tuple<std::wstring, int, std::string> runs[] = {
      {L"--check \"kelvor java \x00e9\\bin\\java.exe\"", 1,
       "\"kelvor java \xC3\xA9\\bin\\java.exe\" does not appear to be an executable file.\r\n"},
      {L"--bogus", 2, ""},
      {L"--help", 0,
       "usage: kelvor-java-list [--json] [-p] [--why | --check PATH | --try [PATH]]\r\n"}};
  for (const auto& [arguments, exitCode, expected] : runs) {
    std::string output;
    EXPECT_EQ(RunTool(arguments, output), exitCode) << arguments;
    EXPECT_EQ(output.substr(0, output.find('\n') + 1), expected) << arguments;
  }
}

// A standard output that refuses every write: the tool says so on standard error and exits 2.
TEST(JavaListTool, AFailedWriteSaysSoAndExitsTwo) {
  std::string said;
  EXPECT_EQ(RunTool(L"--help", said, Beside(L"kelvor-java-list.exe"), true), 2);
  EXPECT_EQ(said.substr(0, 51), "kelvor-java-list: writing the output failed: error ");
}

// --try and -p in an installation whose Kelvor_ss saves a Java relative to it and a heap that
// the stand-in refuses as a JVM does; the stand-in's own child is ended with the trial's job.
TEST(JavaListTool, TryStartsTheSavedJavaWithTheSavedHeapAndLeavesNothingRunning) {
  const fs::path installation = fs::temp_directory_path() / L"kelvor try",
                 java = installation / L"jdk\\bin\\java.exe";
  fs::create_directories(installation / L"bin\\win");
  fs::create_directories(java.parent_path());
  const auto over = fs::copy_options::overwrite_existing;
  fs::copy_file(Beside(L"kelvor-java-list.exe"), installation / L"bin\\win\\tool.exe", over);
  fs::copy_file(Beside(L"stand-in-java.exe"), java, over);
  std::ofstream(java.parent_path() / L"java.dll").flush();
  std::ofstream(installation / L"Kelvor_ss") << "Arguments: -J-Xmx4096m\nJava:jdk\\bin\\java.exe\n";
  std::string output;
  EXPECT_EQ(RunTool(L"-p --try", output, installation / L"bin\\win\\tool.exe"), 1);
  EXPECT_NE(output.find("java.exe\" does not start: exit code 1\r\n  Error occurred during "
                        "initialization of VM\r\n  Could not reserve enough space for object "
                        "heap\r\n  ran: \""),
            std::string::npos)
      << output;
  DWORD pid = 0;
  std::ifstream(fs::path(java.wstring() + L".pid")) >> pid;
  const platform::UniqueFileHandle child(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
  EXPECT_EQ(WaitForSingleObject(child.Get(), 5000), WAIT_OBJECT_0)
      << "the child outlived the trial";
  TerminateProcess(child.Get(), 0);
}

}  // namespace
