// Stamps of the start-up phases, recorded only in the benchmark's builds of the program and of the
// windows it is measured against (KELVOR_STARTUP_TRACE); every other build compiles the calls away.
#pragma once

#include <windows.h>

#ifdef KELVOR_STARTUP_TRACE
// Marks the end of `phase`, which began at the previous stamp. Recording stops after "idle".
void StampStartup(const char* phase);
// Called before each wait for a message: stamps "idle" the first time the window is shown, the
// queue is empty and nothing of the window or its controls is left to paint, which is when the
// user has the finished window.
void StampStartupIdle(HWND window);
// Appends the stamps to the file the benchmark names; called once the window is gone.
void WriteStartupStamps();
#else
inline void StampStartup(const char*) {}
inline void StampStartupIdle(HWND) {}
inline void WriteStartupStamps() {}
#endif
