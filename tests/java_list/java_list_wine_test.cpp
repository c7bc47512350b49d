// What only the real process shows of kelvor-java-list: its exit codes, what goes to standard
// output (UTF-8 through a pipe), and its check of a real program image against a text file.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

// Runs the tool built beside this test through the command shell: its exit code and its
// standard output as bytes.
int RunTool(const fs::path& tool, const std::wstring& arguments, std::string& output) {
  const std::wstring command = L"\"\"" + tool.wstring() + L"\" " + arguments + L"\"";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(_wpopen(command.c_str(), L"rb"), &_pclose);
  for (int c; pipe && (c = std::fgetc(pipe.get())) != EOF;) output += static_cast<char>(c);
  return pipe ? _pclose(pipe.release()) : -1;
}

// Two homes in a folder with a non-ASCII name, each with java.dll and a release file: one whose
// java.exe is a real image (a copy of the tool), one whose java.exe is text.
TEST(JavaListTool, ExitCodesStreamsAndRealImages) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const fs::path tool = fs::path(self).parent_path() / L"kelvor-java-list.exe";
  const fs::path root = fs::temp_directory_path() / L"kelvor java \x00e9";
  fs::remove_all(root);
  for (const wchar_t* home : {L"jdk", L"text"}) {
    fs::create_directories(root / home / L"bin");
    std::ofstream(root / home / L"bin\\java.dll");
    std::ofstream(root / home / L"release") << "JAVA_VERSION=\"17.0.2\"\n";
  }
  fs::copy_file(tool, root / L"jdk\\bin\\java.exe");
  std::ofstream(root / L"text\\bin\\java.exe") << "not a program\r\n";
  const std::wstring image = (root / L"jdk\\bin\\java.exe").wstring();
  const std::wstring text = (root / L"text\\bin\\java.exe").wstring();
  const struct {
    std::wstring arguments;
    int exitCode;
    std::wstring output;
  } runs[] = {{L"--check \"" + image + L"\"", 0,
               L"\"" + image + L"\" passes every Java executable check.\r\n"},
              {L"--check \"" + text + L"\"", 1,
               L"\"" + text + L"\" does not appear to be an executable file.\r\n"},
              {L"--bogus", 2, L""}};  // the usage goes to standard error
  for (const auto& run : runs) {
    std::string output;
    EXPECT_EQ(RunTool(tool, run.arguments, output), run.exitCode) << run.arguments;
    const std::u8string expected = fs::path(run.output).u8string();
    EXPECT_EQ(output, std::string(expected.begin(), expected.end())) << run.arguments;
  }
  std::string help;
  EXPECT_EQ(RunTool(tool, L"--help", help), 0);
  EXPECT_EQ(help.rfind("usage: kelvor-java-list", 0), 0u) << help;
}

}  // namespace
