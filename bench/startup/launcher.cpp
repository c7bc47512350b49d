// Times how long programs take from process creation to a visible, painted top-level window.
// Runs the targets in turn, round after round, so that all see the same warm caches and load; the
// order turns by one program each round.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct ProcessInfoCloser {
  PROCESS_INFORMATION info{};
  ProcessInfoCloser() = default;
  ProcessInfoCloser(const ProcessInfoCloser&) = delete;  // the handles would close twice
  ProcessInfoCloser& operator=(const ProcessInfoCloser&) = delete;
  ~ProcessInfoCloser() {
    if (info.hThread) CloseHandle(info.hThread);
    if (info.hProcess) CloseHandle(info.hProcess);
  }
};

struct Target {
  std::wstring name;
  std::wstring className;
  std::wstring commandLine;
};

struct WindowSearch {
  DWORD processId;
  const std::wstring* className;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search.processId || !IsWindowVisible(window)) return TRUE;
  wchar_t className[256] = {};
  GetClassNameW(window, className, 256);
  if (*search.className != className) return TRUE;
  search.found = window;
  return FALSE;
}

BOOL CALLBACK FindUnpaintedChild(HWND child, LPARAM parameter) {
  if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
    *reinterpret_cast<bool*>(parameter) = true;
    return FALSE;
  }
  return TRUE;
}

// Nothing left to paint in the window or in any of its visible controls, which paint after it.
bool IsFullyPainted(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  bool unpainted = false;
  EnumChildWindows(window, FindUnpaintedChild, reinterpret_cast<LPARAM>(&unpainted));
  return !unpainted;
}

constexpr DWORD kSettleMs = 200;  // after the window is seen finished and after the exit

double Elapsed(LARGE_INTEGER start, LARGE_INTEGER frequency) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
         static_cast<double>(frequency.QuadPart);
}

// One run: start, wait for the window to be shown with nothing left to paint and its thread
// answering, then close it. Returns the milliseconds, or a negative value on failure;
// `visibleMs` is when the window was first seen shown. A program built to stamp its phases finds
// the start's counter and the run's label in its environment.
double TimeOneStart(const Target& target, int run, DWORD timeoutMs, double& visibleMs) {
  LARGE_INTEGER frequency;
  LARGE_INTEGER start;
  QueryPerformanceFrequency(&frequency);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  ProcessInfoCloser process;
  std::wstring commandLine = target.commandLine;  // CreateProcessW may write into it
  const std::wstring label = target.name + L" " + std::to_wstring(run);
  SetEnvironmentVariableW(L"KELVOR_STARTUP_RUN", label.c_str());
  QueryPerformanceCounter(&start);
  SetEnvironmentVariableW(L"KELVOR_LAUNCH_COUNTER", std::to_wstring(start.QuadPart).c_str());
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process.info)) {
    std::fwprintf(stderr, L"cannot start %ls: error %lu\n", target.commandLine.c_str(),
                  GetLastError());
    return -1.0;
  }
  double result = -1.0;
  HWND window = nullptr;
  while (Elapsed(start, frequency) < timeoutMs) {
    if (!window) {
      WindowSearch search{process.info.dwProcessId, &target.className, nullptr};
      EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
      window = search.found;
      if (window) visibleMs = Elapsed(start, frequency);
    }
    // Empty update regions mean WM_PAINT has been handled; the WM_NULL round trip then proves
    // the message loop is running again, so the user sees a finished window.
    if (window && IsFullyPainted(window)) {
      DWORD_PTR ignored = 0;
      if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &ignored) &&
          IsFullyPainted(window)) {
        result = Elapsed(start, frequency);
        break;
      }
    }
    if (WaitForSingleObject(process.info.hProcess, 0) == WAIT_OBJECT_0) {
      std::fwprintf(stderr, L"%ls ended before its window was seen\n", target.name.c_str());
      return -1.0;
    }
    Sleep(1);
  }
  // Left open a while, so that a window the launcher saw finished before its own stamp of being
  // idle (a paint still to come from the display server) gets there before it is closed.
  Sleep(kSettleMs);
  if (window) PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.info.hProcess, 10000) != WAIT_OBJECT_0) {
    std::fwprintf(stderr, L"%ls did not end after WM_CLOSE; terminating it\n", target.name.c_str());
    TerminateProcess(process.info.hProcess, 1);
    WaitForSingleObject(process.info.hProcess, 5000);
    return -1.0;
  }
  // The display server and Wine tear down a closed window's resources after the process is gone;
  // the next start should not pay for that.
  Sleep(kSettleMs);
  return result;
}

int Usage() {
  std::fwprintf(stderr,
                L"usage: startup_launcher RUNS NAME CLASS COMMAND [NAME CLASS COMMAND ...]\n"
                L"  COMMAND is a whole command line, the program path quoted when needed.\n"
                L"  Prints 'run NAME I MS VISIBLE_MS SLOT' for each run (SLOT: its place in the "
                L"round), 'failed NAME I' for a run that failed;\n"
                L"  medians and ratios are the report's to compute.\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5 || (argc - 2) % 3 != 0) return Usage();
  const int runs = _wtoi(argv[1]);
  if (runs < 1) return Usage();
  std::vector<Target> targets;
  for (int i = 2; i + 2 < argc; i += 3) targets.push_back({argv[i], argv[i + 1], argv[i + 2]});

  constexpr DWORD kTimeoutMs = 30000;
  // One unrecorded start each: the first start in a prefix also pays for loading Wine's DLLs.
  for (const Target& target : targets) {
    double visibleMs = 0;
    if (TimeOneStart(target, -1, kTimeoutMs, visibleMs) < 0) return 1;
  }
  int failures = 0;
  const std::size_t count = targets.size();
  for (int run = 0; run < runs; ++run) {
    // The order changes from round to round (a balanced Latin square): over `count` rounds each
    // program takes every place once and follows every other program once, so that neither
    // opening a round nor starting just after a given program weighs on one of them alone.
    for (std::size_t slot = 0; slot < count; ++slot) {
      const std::size_t column = slot % 2 == 0 ? (count - slot / 2) % count : (slot + 1) / 2;
      const Target& target = targets[(column + static_cast<std::size_t>(run)) % count];
      double visibleMs = 0;
      const double ms = TimeOneStart(target, run, kTimeoutMs, visibleMs);
      if (ms < 0) {
        ++failures;
        std::wprintf(L"failed %ls %d\n", target.name.c_str(), run);
        continue;
      }
      std::wprintf(L"run %ls %d %.3f %.3f %zu\n", target.name.c_str(), run, ms, visibleMs, slot);
    }
  }
  std::fflush(stdout);
  return failures == 0 ? 0 : 1;
}
