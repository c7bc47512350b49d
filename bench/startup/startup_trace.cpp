// The benchmark's side of window/startup_trace.h: stamps kept in memory while the window starts,
// written only after it has closed, so that recording costs the start-up next to nothing. The
// program's stamped build and the windows it is measured against all link it.
#include "window/startup_trace.h"

#include <windows.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct Stamp {
  const char* phase;
  LONGLONG counter;
};

std::array<Stamp, 32> gStamps;
std::size_t gStampCount = 0;
bool gStopped = false;

BOOL CALLBACK FindUnpaintedChild(HWND child, LPARAM parameter) {
  if (GetUpdateRect(child, nullptr, FALSE)) {
    *reinterpret_cast<bool*>(parameter) = true;
    return FALSE;
  }
  return TRUE;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

void StampStartup(const char* phase) {
  if (gStopped || gStampCount == gStamps.size()) return;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  gStamps[gStampCount++] = {phase, now.QuadPart};
  gStopped = std::strcmp(phase, "idle") == 0;
}

void StampStartupIdle(HWND window) {
  // A window just shown has all of itself to paint, so a visible one with nothing left has been
  // painted, whether the paint came through the queue or was sent.
  if (gStopped || !IsWindowVisible(window)) return;
  // A WM_PAINT still owed to any window of the thread would be returned here too.
  MSG next;
  if (PeekMessageW(&next, nullptr, 0, 0, PM_NOREMOVE)) return;
  bool unpainted = GetUpdateRect(window, nullptr, FALSE) != FALSE;
  if (!unpainted)
    EnumChildWindows(window, FindUnpaintedChild, reinterpret_cast<LPARAM>(&unpainted));
  if (!unpainted) StampStartup("idle");
}

// KELVOR_STARTUP_TRACE names the file, KELVOR_LAUNCH_COUNTER is the launcher's counter just before
// CreateProcessW (the counter is system-wide), KELVOR_STARTUP_RUN labels the lines.
void WriteStartupStamps() {
  const char* path = std::getenv("KELVOR_STARTUP_TRACE");
  const char* launched = std::getenv("KELVOR_LAUNCH_COUNTER");
  const char* run = std::getenv("KELVOR_STARTUP_RUN");
  if (!path || !launched || !run || gStampCount == 0) return;
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "a"));
  if (!file) return;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  const double origin = std::strtod(launched, nullptr);
  for (std::size_t i = 0; i < gStampCount; ++i) {
    const double ms = (static_cast<double>(gStamps[i].counter) - origin) * 1000.0 /
                      static_cast<double>(frequency.QuadPart);
    std::fprintf(file.get(), "stamp %s %s %.3f\n", run, gStamps[i].phase, ms);
  }
}
