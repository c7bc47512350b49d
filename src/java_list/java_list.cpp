// kelvor-java-list: prints the Java candidates in the window's order, explains what the discovery
// left out, or checks one executable; as text or as JSON.
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/text_encoding.h"
#include "java_list/java_list_output.h"
#include "javainfo/java_validation.h"
#include "startup/error_text.h"

namespace {

constexpr int kFound = 0;
constexpr int kNotFound = 1;
constexpr int kBadUsage = 2;
constexpr int kWriteFailed = 2;

constexpr wchar_t kUsage[] =
    L"usage: kelvor-java-list [--json] [-p] [--why | --check PATH | --try [PATH]]\r\n"
    L"  (no option)   the Java installations the settings window offers, in its order, each\r\n"
    L"                with the machine its java.exe is built for (x86, x64, arm64)\r\n"
    L"  --why         the machine Windows runs on; every registered Java home and place of the\r\n"
    L"                bundled runtime with what became of it; JAVA_HOME and JDK_HOME, and why\r\n"
    L"                one is not a Java home; then the Java homes that PATH, the Program Files\r\n"
    L"                and local application data folders, IDE and Gradle downloads, Scoop,\r\n"
    L"                installed programs, winget and Android Studio hold but the window does\r\n"
    L"                not offer, and how to use them anyway; last what the window shows for\r\n"
    L"                the saved Java: its entry, the path and why it is not offered, or that\r\n"
    L"                it no longer exists and which homes are its likely update\r\n"
    L"  --check PATH  whether PATH would be accepted as the Java executable\r\n"
    L"  --try [PATH]  starts the saved Java, or PATH, as Kelvor would (the saved heap as\r\n"
    L"                -Xmx<N>m, and -version; no window, 20 seconds at most): its version\r\n"
    L"                line, or its own error lines and exit code\r\n"
    L"  -p            the saved settings are the installation's Kelvor_ss file, as with the\r\n"
    L"                window's -p, not the registry (--why and --try)\r\n"
    L"  --json        the same as JSON (UTF-8), for scripts\r\n"
    L"  --help, /?    this text\r\n"
    L"exit codes: 0 a Java is offered (--check: PATH is accepted; --try: the Java starts),\r\n"
    L"            1 the window offers no Java beyond [Default] (--check: PATH is not\r\n"
    L"            accepted; --try: it does not start), 2 bad usage or the output could not\r\n"
    L"            be written\r\n";

// A failed write to standard output leaves the rest unwritten and the exit code 2.
DWORD writeError = 0;

// Writes what is left until all is written; a write that fails or takes nothing is an error.
template <typename Unit, typename WriteSome>
void WriteAll(std::basic_string_view<Unit> rest, WriteSome writeSome) {
  while (!rest.empty()) {
    DWORD written = 0;
    const bool wrote = writeSome(rest, written);
    if (!wrote || written == 0) {
      const DWORD error = wrote ? 0 : GetLastError();
      writeError = error != 0 ? error : ERROR_WRITE_FAULT;
      return;
    }
    rest.remove_prefix(written);
  }
}

void WriteBytes(HANDLE stream, const std::string& bytes) {
  if (writeError != 0) return;
  WriteAll(std::string_view(bytes), [stream](std::string_view rest, DWORD& written) {
    return WriteFile(stream, rest.data(), static_cast<DWORD>(rest.size()), &written, nullptr) != 0;
  });
}

// WriteConsoleW keeps every character on a console, in pieces every console host accepts; a
// pipe or file gets UTF-8.
void Print(HANDLE stream, const std::wstring& text) {
  DWORD mode = 0;
  if (writeError != 0) return;
  if (!GetConsoleMode(stream, &mode)) {
    WriteBytes(stream, EncodeUtf8(text));
    return;
  }
  WriteAll(std::wstring_view(text), [stream](std::wstring_view rest, DWORD& written) {
    return WriteConsoleW(stream, rest.data(), static_cast<DWORD>(ConsolePieceLength(rest)),
                         &written, nullptr) != 0;
  });
}

void PrintUtf8(HANDLE stream, const std::string& bytes) {
  DWORD mode = 0;
  std::wstring text;
  if (GetConsoleMode(stream, &mode) && DecodeTextFile(bytes, text) == 0) {
    Print(stream, text);
    return;
  }
  WriteBytes(stream, bytes);
}

struct Options {
  bool help = false;
  bool json = false;
  bool why = false;
  bool check = false;
  bool trial = false;
  bool settingsFile = false;
  std::wstring path;
};

bool ParseArguments(const std::vector<std::wstring>& arguments, Options& options) {
  for (std::size_t index = 0; index < arguments.size(); ++index) {
    const std::wstring& argument = arguments[index];
    if (argument == L"--help" || argument == L"-h" || argument == L"/?") {
      options.help = true;
    } else if (argument == L"--json") {
      options.json = true;
    } else if (argument == L"--why") {
      options.why = true;
    } else if (argument == L"--check" && !options.check && index + 1 < arguments.size()) {
      options.check = true;
      options.path = arguments[++index];
    } else if (argument == L"--try" && !options.trial) {
      options.trial = true;
      // PATH is optional: an option after --try is not one.
      const bool pathFollows = index + 1 < arguments.size() &&
                               !arguments[index + 1].starts_with(L"-") &&
                               !arguments[index + 1].starts_with(L"/");
      if (pathFollows) options.path = arguments[++index];
    } else if (argument == L"-p" || argument == L"/p") {
      options.settingsFile = true;
    } else {
      return false;
    }
  }
  return options.why + options.check + options.trial <= 1;
}

int Offered(const std::vector<OfferedJava>& offered) {
  for (const OfferedJava& entry : offered)
    if (entry.origin != JavaOrigin::NoneChosen) return kFound;
  return kNotFound;
}

}  // namespace

int Run(int argc, wchar_t** argv) {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  Options options;
  if (!ParseArguments(std::vector<std::wstring>(argv + 1, argv + argc), options)) {
    Print(GetStdHandle(STD_ERROR_HANDLE), kUsage);
    return kBadUsage;
  }
  if (options.help) {
    Print(output, kUsage);
    return kFound;
  }
  if (options.check) {
    std::wstring reason;
    const bool accepted = ValidateJavaExecutable(options.path, reason);
    if (options.json)
      PrintUtf8(output, CheckJson(options.path, accepted, reason));
    else
      Print(output, CheckText(options.path, accepted, reason));
    return accepted ? kFound : kNotFound;
  }
  if (options.trial) {
    const SavedSettings saved = LoadSavedSettings(options.settingsFile);
    const JavaTrial trial = TryJava(!saved.loaded          ? L""
                                    : options.path.empty() ? saved.settings.Java
                                                           : options.path,
                                    saved.settings.MaxMemoryMB);
    if (options.json)
      PrintUtf8(output, TrialJson(trial, saved));
    else
      Print(output, TrialText(trial, saved));
    return trial.starts ? kFound : kNotFound;
  }
  if (options.why) {
    JavaReport report = BuildJavaReport(RequiredJavaMajor);
    report.saved = ExplainSavedJava(LoadSavedSettings(options.settingsFile), report);
    if (options.json)
      PrintUtf8(output, ReportJson(report));
    else
      Print(output, ReportText(report));
    return Offered(report.offered);
  }
  const std::vector<OfferedJava> offered = ListOfferedJava(RequiredJavaMajor);
  if (options.json)
    PrintUtf8(output, ListJson(offered));
  else
    Print(output, ListText(offered));
  return Offered(offered);
}

int wmain(int argc, wchar_t** argv) {
  const int exitCode = Run(argc, argv);
  const DWORD error = std::exchange(writeError, 0);
  if (error == 0) return exitCode;
  Print(GetStdHandle(STD_ERROR_HANDLE), L"kelvor-java-list: writing the output failed: " +
                                            DescribeSystemError(static_cast<std::int32_t>(error)) +
                                            L"\r\n");
  return kWriteFailed;
}
