// Discovery and validation seen through kelvor-java-list, against Wine's real registry views,
// files and program images; copies of the tool stand in for the program in both layouts.
#include <windows.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/unique_handle_win.h"

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// Copies a program built beside this one; without `to`, just its path.
std::wstring Built(const wchar_t* name, const fs::path& to = {}) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const fs::path from = fs::path(self).parent_path() / name;
  if (!to.empty()) {
    fs::create_directories(to.parent_path());
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  }
  return from.wstring();
}

// Runs `program` through the command shell: its exit code, and its standard output as bytes.
int RunTool(const std::wstring& program, const std::wstring& arguments, std::string& output) {
  const std::wstring command = L"\"\"" + program + L"\" " + arguments + L"\"";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(_wpopen(command.c_str(), L"rb"), &_pclose);
  for (int c; pipe && (c = std::fgetc(pipe.get())) != EOF;) output += static_cast<char>(c);
  return pipe ? _pclose(pipe.release()) : -1;
}

TEST(JavaWineTest, ToolListsAndChecksRealInstallations) {
  const std::wstring root = (fs::temp_directory_path() / L"kelvor java \x00e9").wstring();
  fs::remove_all(root);
  // Homes: bin\java.exe and bin\javaw.exe as real images, bin\java.dll and a release file.
  for (const auto& [home, release] : std::initializer_list<std::pair<std::wstring, std::string>>{
           {L"\\jdk17", "IMPLEMENTOR=\"X\"\r\nJAVA_VERSION=\"17.0.2\"\r\n"},
           {L"\\jdk21", "JAVA_VERSION=\"21.0.1\"\n"}}) {
    const std::wstring bin = root + home + L"\\bin";
    Built(L"tiny_java.exe", bin + L"\\java.exe");
    Built(L"tiny_java.exe", bin + L"\\javaw.exe");
    Write(bin + L"\\java.dll", "");
    Write(root + home + L"\\release", release);
  }
  Write(root + L"\\text\\bin\\java.dll", "");
  Write(root + L"\\text\\bin\\java.exe", "not a program\r\n");
  // The machine's 64-bit key and its 32-bit twin, and the user's key seen from both views.
  const std::tuple<HKEY, REGSAM, const wchar_t*, const wchar_t*> values[] = {
      {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"JDK\\17.0.2", L"\\jdk17"},
      {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, L"JDK\\17.0.2", L"\\jdk17"},
      {HKEY_CURRENT_USER, 0, L"JDK\\21.0.1", L"\\jdk21\\"}};
  for (const auto& [hive, view, key, home] : values) {
    HKEY raw = nullptr;
    RegCreateKeyExW(hive, (std::wstring(L"Software\\JavaSoft\\") + key).c_str(), 0, nullptr, 0,
                    KEY_WRITE | view, nullptr, &raw, nullptr);
    const platform::UniqueRegKey created(raw);
    const std::wstring path = root + home;
    ASSERT_EQ(RegSetKeyValueW(raw, nullptr, L"JavaHome", REG_SZ, path.c_str(),
                              static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  // Both layouts around the two copies of the tool; the first layout wins where both exist.
  const std::wstring one = L"\\a\\b\\K\\bundled\\java";
  const std::wstring two = L"\\bundles\\windows\\bundled\\java";
  for (const std::wstring& home : {one, two}) {
    fs::create_directories(root + home + L"\\bin");
    Write(root + home + L"\\release", "JAVA_VERSION=\"17.0.1\"\r\n");
  }
  const std::wstring tool = Built(L"kelvor-java-list.exe");
  Built(L"kelvor-java-list.exe", root + L"\\a\\b\\K\\bin\\list.exe");
  Built(L"kelvor-java-list.exe", root + L"\\a\\b\\c\\bin\\list.exe");

  const auto Line = [&](const wchar_t* name, const std::wstring& home, const wchar_t* origin) {
    return name + (L"  (" + root + home + L"\\bin\\java.exe)\tOracle\tkit\t") + origin +
           L"\tpreferred\r\n";
  };
  const std::wstring first = L"[Default]\tno Java chosen: the setting stays empty\r\n";
  const std::wstring found = Line(L"Oracle JDK  21.0.1", L"\\jdk21", L"64-bit view") +
                             Line(L"Oracle JDK  21.0.1", L"\\jdk21", L"32-bit view") +
                             Line(L"Oracle JDK  17.0.2", L"\\jdk17", L"64-bit view") +
                             Line(L"Oracle JDK  17.0.2", L"\\jdk17", L"32-bit view");
  const auto Check = [&](const wchar_t* relative, int exitCode, const std::wstring& text) {
    const std::wstring path = root + relative;
    return std::tuple(tool, L"--check \"" + path + L"\"", exitCode,
                      L"\"" + path + L"\" " + text + L".\r\n");
  };
  const std::tuple<std::wstring, std::wstring, int, std::wstring> runs[] = {
      {tool, L"", 0, first + found},
      {root + L"\\a\\b\\K\\bin\\list.exe", L"", 0,
       first + Line(L"Bundled OpenJDK  17.0.1", one, L"in the installation") + found},
      {root + L"\\a\\b\\c\\bin\\list.exe", L"", 0,
       first + Line(L"Bundled OpenJDK  17.0.1", two, L"in the installation") + found},
      Check(L"\\jdk17\\bin\\java.exe", 0, L"passes every Java executable check"),
      Check(L"\\text\\bin\\java.exe", 1, L"does not appear to be an executable file"),
      {tool, L"--bogus", 2, L""}};  // the usage goes to standard error
  for (const auto& [program, arguments, exitCode, text] : runs) {
    std::string output;
    EXPECT_EQ(RunTool(program, arguments, output), exitCode) << program << " " << arguments;
    const std::u8string expected = fs::path(text).u8string();  // the tool writes UTF-8 to a pipe
    EXPECT_EQ(output, std::string(expected.begin(), expected.end())) << program << " " << arguments;
  }
  std::string help;
  EXPECT_EQ(RunTool(tool, L"/?", help), 0);
  EXPECT_EQ(help.rfind("usage: kelvor-java-list", 0), 0u) << help;

  // The report over the real registry views, files and environment: the bundled runtime's two
  // places, each registration in each view, and a home that only JAVA_HOME names.
  SetEnvironmentVariableW(L"JAVA_HOME", (root + L"\\text").c_str());
  std::string report;
  EXPECT_EQ(RunTool(tool, L"--why --json", report), 0);
  const nlohmann::json parsed = nlohmann::json::parse(report, nullptr, false);
  ASSERT_FALSE(parsed.is_discarded()) << report;
  std::vector<std::string> outcomes;
  for (const nlohmann::json& entry : parsed["registered"]) outcomes.push_back(entry["outcome"]);
  EXPECT_EQ(outcomes, (std::vector<std::string>{"no-folder", "no-folder", "listed", "listed",
                                                "listed", "listed"}));
  EXPECT_EQ(parsed["offered"].size(), 5u);
  ASSERT_EQ(parsed["unoffered"].size(), 1u);
  EXPECT_EQ(parsed["unoffered"][0]["foundBy"], nlohmann::json{"JAVA_HOME"});
  EXPECT_EQ(parsed["unoffered"][0]["accepted"], false);
  SetEnvironmentVariableW(L"JAVA_HOME", nullptr);
  for (const auto& [hive, view, key, home] : values)
    RegDeleteKeyExW(hive, (std::wstring(L"Software\\JavaSoft\\") + key).c_str(), view, 0);
}

}  // namespace
