// Starting a program and waiting for it, for the support tool's trial start; body in
// process_win.cpp and a test double.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct ProcessRun {
  enum class Outcome { Exited, TimedOut, NotStarted };
  Outcome outcome = Outcome::NotStarted;
  std::uint32_t exitCode = 0;    // Exited
  std::uint32_t startError = 0;  // NotStarted: CreateProcessW's GetLastError code
  std::string output = {};       // standard output, at most kMaxProcessOutput bytes
  std::string errors = {};       // standard error, likewise
  // False when the program could not be put in a job of its own (`jobError` says why); it is
  // then ended on the timeout alone.
  bool inJob = false;
  std::uint32_t jobError = 0;
};

inline constexpr std::size_t kMaxProcessOutput = 64 * 1024;

// CreateProcessW(`program`, `commandLine`) with CREATE_NO_WINDOW, standard input from NUL and
// standard output and error through pipes, read together so neither can fill up and stall it.
// The program runs in a job object that kills it and anything it started when the job's handle
// closes; after `timeoutMs` it is ended and the run counts as timed out. Nothing it started is
// left running when this returns.
ProcessRun RunProcess(const std::wstring& program, const std::wstring& commandLine,
                      std::uint32_t timeoutMs);

}  // namespace platform
