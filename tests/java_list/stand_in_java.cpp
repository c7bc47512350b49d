// Stands in for java.exe in the tool's Wine test: answers -version on standard error as a JVM
// does, and refuses a heap above 1024 MB as a JVM refuses one it cannot reserve. It first starts
// a copy of itself that lingers and writes that copy's process id to its own path plus ".pid", so
// the test can see whether the trial's job ended it.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && std::wcscmp(argv[1], L"--linger") == 0) return Sleep(60000), 0;
  std::wstring commandLine = L"stand-in --linger";
  // No standard handles: the copy must not hold the tool's open.
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION child = {};
  if (CreateProcessW(argv[0], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &child)) {
    if (FILE* file = _wfopen((std::wstring(argv[0]) + L".pid").c_str(), L"w"))
      std::fprintf(file, "%lu", child.dwProcessId), std::fclose(file);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
  }
  const wchar_t* heap = std::wcsstr(GetCommandLineW(), L" -Xmx");
  const bool refused = heap != nullptr && std::wcstol(heap + 5, nullptr, 10) > 1024;
  std::fputs(refused ? "Error occurred during initialization of VM\n"
                       "Could not reserve enough space for object heap\n"
                     : "openjdk version \"21.0.2\" 2024-01-16\n",
             stderr);
  return refused ? 1 : 0;
}
