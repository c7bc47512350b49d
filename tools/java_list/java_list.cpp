// kelvor-java-list: prints the Java candidates in the window's order, or checks one executable.
#include <windows.h>

#include <string>
#include <vector>

#include "discovery/java_discovery.h"
#include "javainfo/java_validation.h"

namespace {

// WriteConsoleW keeps every character on a console; a pipe or file gets UTF-8.
void Print(HANDLE stream, const std::wstring& text) {
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(stream, &mode)) {
    WriteConsoleW(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  if (length <= 0) return;
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length,
                      nullptr, nullptr);
  WriteFile(stream, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring DescribeCandidate(const JavaCandidate& candidate) {
  return candidate.displayName + L"\t" + candidate.vendor + L"\t" +
         (candidate.isJdk ? L"kit" : L"runtime") + L"\t" +
         (candidate.is64Bit ? L"64-bit view" : L"32-bit view") + L"\t" +
         (candidate.inPreferredRange ? L"preferred" : L"not preferred") + L"\r\n";
}

int ListCandidates(HANDLE output) {
  std::vector<JavaCandidate> candidates;
  FindJavaInstallations(true, RequiredJavaMajor, candidates);
  for (const JavaCandidate& candidate : candidates) Print(output, DescribeCandidate(candidate));
  return 0;
}

// The same sentence the settings window shows for a doubtful choice.
int CheckExecutable(HANDLE output, const std::wstring& path) {
  std::wstring reason;
  if (ValidateJavaExecutable(path, reason)) {
    Print(output, L"\"" + path + L"\" passes every Java executable check.\r\n");
    return 0;
  }
  Print(output, L"\"" + path + L"\" " + reason + L".\r\n");
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  const std::vector<std::wstring> arguments(argv + 1, argv + argc);
  if (arguments.empty()) return ListCandidates(output);
  if (arguments.size() == 2 && arguments[0] == L"--check") {
    return CheckExecutable(output, arguments[1]);
  }
  Print(GetStdHandle(STD_ERROR_HANDLE),
        L"usage: kelvor-java-list [--check PATH]\r\n"
        L"  without options: the Java installations, in the order the settings offer them\r\n"
        L"  --check PATH:    whether PATH would be accepted as the Java executable\r\n");
  return 2;
}
