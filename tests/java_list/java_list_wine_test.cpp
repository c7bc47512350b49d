// What only the real platform shows of kelvor-java-list: its exit codes and streams, its report
// over Wine's real registry, and its check of a real program image against another file.
#include <windows.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

// A program built beside this one.
fs::path Built(const wchar_t* name) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return fs::path(self).parent_path() / name;
}

// Runs the tool through the command shell: its exit code, and its standard output as bytes.
int RunTool(const std::wstring& arguments, std::string& output) {
  const std::wstring command =
      L"\"\"" + Built(L"kelvor-java-list.exe").wstring() + L"\" " + arguments + L"\"";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(_wpopen(command.c_str(), L"rb"), &_pclose);
  for (int c; pipe && (c = std::fgetc(pipe.get())) != EOF;) output += static_cast<char>(c);
  return pipe ? _pclose(pipe.release()) : -1;
}

// --check on a real image and on a text file named java.exe, both beside java.dll, in a folder
// with a non-ASCII name; an unknown option; --help.
TEST(JavaListTool, ExitCodesStreamsAndRealImages) {
  const fs::path root = fs::temp_directory_path() / L"kelvor java \x00e9";
  fs::remove_all(root);
  for (const wchar_t* home : {L"jdk", L"text"}) {
    fs::create_directories(root / home / L"bin");
    std::ofstream(root / home / L"bin\\java.dll");
  }
  fs::copy_file(Built(L"tiny_java.exe"), root / L"jdk\\bin\\java.exe");
  std::ofstream(root / L"jdk\\release") << "JAVA_VERSION=\"17.0.2\"\n";
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
    EXPECT_EQ(RunTool(run.arguments, output), run.exitCode) << run.arguments;
    const std::u8string expected = fs::path(run.output).u8string();  // UTF-8 to a pipe
    EXPECT_EQ(output, std::string(expected.begin(), expected.end())) << run.arguments;
  }
  std::string help;
  EXPECT_EQ(RunTool(L"--help", help), 0);
  EXPECT_EQ(help.rfind("usage: kelvor-java-list", 0), 0u) << help;
}

// The report over the real registry views and folders of a prefix with no Java registered:
// nothing beyond [Default] is offered, hence exit code 1.
TEST(JavaListTool, WhyJsonParses) {
  std::string report;
  EXPECT_EQ(RunTool(L"--why --json", report), 1);
  const nlohmann::json parsed = nlohmann::json::parse(report, nullptr, false);
  ASSERT_FALSE(parsed.is_discarded()) << report;
  EXPECT_EQ(parsed["offered"],
            (nlohmann::json::array({{{"name", "[Default]"}, {"origin", "none-chosen"}}})));
  ASSERT_EQ(parsed["registered"].size(), 2u);
  EXPECT_EQ(parsed["registered"][1]["outcome"], "no-folder");
}

}  // namespace
