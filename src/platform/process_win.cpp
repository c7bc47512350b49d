// Starting a program with its output captured, inside a job that outlives nothing it starts.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/process.h"
#include "platform/unique_handle_win.h"

namespace platform {

namespace {

struct Pipe {
  UniqueKernelHandle read;
  UniqueKernelHandle write;  // the child's end, inherited
};

bool MakePipe(Pipe& pipe) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, 0)) return false;
  pipe.read.Reset(read);
  pipe.write.Reset(write);
  // A child holding our end too would never see its pipe break.
  return SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0) != FALSE;
}

// Moves what the pipe holds now into `bytes` without waiting for more; bytes beyond the cap are
// read and dropped, so the child never stalls on a full pipe. False once the child's end is
// closed.
bool Drain(HANDLE pipe, std::string& bytes) {
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) return false;
    if (available == 0) return true;
    char buffer[4096];
    DWORD got = 0;
    if (!ReadFile(pipe, buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr))
      return false;
    bytes.append(buffer, std::min<std::size_t>(got, kMaxProcessOutput - bytes.size()));
  }
}

// A job whose last handle closing ends every process in it.
UniqueKernelHandle MakeKillingJob() {
  UniqueKernelHandle job(CreateJobObjectW(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job.IsValid() && !SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation,
                                                &limits, sizeof limits))
    job.Reset();
  return job;
}

struct Child {
  UniqueKernelHandle process;
  UniqueKernelHandle thread;
};

// Suspended, so that it joins the job before it can start anything of its own. It inherits the
// three handles given and no other, so it cannot hold our own standard output open.
bool StartSuspended(const std::wstring& program, std::wstring commandLine, DWORD flags,
                    HANDLE input, const Pipe& output, const Pipe& errors, Child& child) {
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::vector<char> buffer(size);
  const auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer.data());
  if (!InitializeProcThreadAttributeList(list, 1, 0, &size)) return false;
  HANDLE inherited[] = {input, output.write.Get(), errors.write.Get()};
  STARTUPINFOEXW startup = {};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = input;
  startup.StartupInfo.hStdOutput = output.write.Get();
  startup.StartupInfo.hStdError = errors.write.Get();
  startup.lpAttributeList = list;
  PROCESS_INFORMATION info = {};
  const bool started =
      UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                sizeof inherited, nullptr, nullptr) &&
      CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                     CREATE_NO_WINDOW | CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT | flags,
                     nullptr, nullptr, &startup.StartupInfo, &info);
  const DWORD error = GetLastError();
  DeleteProcThreadAttributeList(list);
  SetLastError(error);
  if (!started) return false;
  child.process.Reset(info.hProcess);
  child.thread.Reset(info.hThread);
  return true;
}

}  // namespace

ProcessRun RunProcess(const std::wstring& program, const std::wstring& commandLine,
                      std::uint32_t timeoutMs) {
  ProcessRun run;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  UniqueFileHandle input(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     &inherit, OPEN_EXISTING, 0, nullptr));
  Pipe output;
  Pipe errors;
  Child child;
  if (!input.IsValid() || !MakePipe(output) || !MakePipe(errors) ||
      !StartSuspended(program, commandLine, 0, input.Get(), output, errors, child)) {
    run.startError = GetLastError();
    return run;
  }
  UniqueKernelHandle job = MakeKillingJob();
  run.inJob = job.IsValid() && AssignProcessToJobObject(job.Get(), child.process.Get());
  if (!run.inJob) {
    run.jobError = GetLastError();
    // Before Windows 8 a process belongs to one job at most, so inside another job (a service,
    // a scheduler, a remote shell) the assignment fails with access denied. If that job lets
    // children break away, a second start that does so can join ours; if not, the first start
    // runs on, ended by the timeout alone.
    Child again;
    if (job.IsValid() && StartSuspended(program, commandLine, CREATE_BREAKAWAY_FROM_JOB,
                                        input.Get(), output, errors, again)) {
      TerminateProcess(child.process.Get(), 1);
      child = std::move(again);
      run.inJob = AssignProcessToJobObject(job.Get(), child.process.Get()) != FALSE;
      if (run.inJob) run.jobError = 0;
    }
  }
  // From here only the child holds its ends, so a pipe breaks when the child is gone.
  input.Reset();
  output.write.Reset();
  errors.write.Reset();
  ResumeThread(child.thread.Get());

  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  bool outputOpen = true;
  bool errorsOpen = true;
  for (;;) {
    // Both pipes are drained after every wait, the one after the end included.
    const DWORD waited = WaitForSingleObject(child.process.Get(), 10);
    outputOpen = outputOpen && Drain(output.read.Get(), run.output);
    errorsOpen = errorsOpen && Drain(errors.read.Get(), run.errors);
    if (waited != WAIT_TIMEOUT) break;
    if (GetTickCount64() >= deadline) {
      if (run.inJob) TerminateJobObject(job.Get(), 1);
      TerminateProcess(child.process.Get(), 1);
      WaitForSingleObject(child.process.Get(), 5000);
      run.outcome = ProcessRun::Outcome::TimedOut;
      return run;
    }
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(child.process.Get(), &exitCode);
  run.outcome = ProcessRun::Outcome::Exited;
  run.exitCode = exitCode;
  return run;  // closing the job ends whatever the program left running
}

}  // namespace platform
