// Stamps of the start-up phases, recorded only in the benchmark's build of the program
// (KELVOR_STARTUP_TRACE); every other build compiles the calls away.
#pragma once

#ifdef KELVOR_STARTUP_TRACE
// Marks the end of `phase`, which began at the previous stamp. Recording stops after "paint".
void StampStartup(const char* phase);
// Appends the stamps to the file the benchmark names; called once the window is gone.
void WriteStartupStamps();
#else
inline void StampStartup(const char*) {}
inline void WriteStartupStamps() {}
#endif
