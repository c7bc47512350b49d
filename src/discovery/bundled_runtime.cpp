// Looks for the runtime shipped with the installation, relative to the running program.
#include "discovery/bundled_runtime.h"

#include <initializer_list>
#include <string>

#include "common/windows_path.h"
#include "javainfo/java_identification.h"
#include "platform/files.h"

namespace {

// Steps up `count` levels; false when a root is reached before all steps are taken.
bool StepUp(std::wstring& path, int count) {
  for (int step = 0; step < count; ++step) {
    if (!windows_path::HasRelativePart(path)) return false;
    path = windows_path::Parent(path);
  }
  return true;
}

std::wstring JoinAll(std::wstring path, std::initializer_list<const wchar_t*> names) {
  for (const wchar_t* name : names) path = windows_path::Join(path, name);
  return path;
}

bool IsDirectory(const std::wstring& path) {
  std::uint32_t attributes = 0;
  return platform::GetFileAttributes(path, attributes) &&
         (attributes & platform::kFileAttributeDirectory) != 0;
}

// The bin directory of whichever layout exists, layout 1 first; false when neither does.
bool FindRuntimeBin(std::wstring& binDirectory) {
  std::wstring startDirectory;
  if (platform::GetProgramPath(startDirectory) != 0) return false;
  if (!StepUp(startDirectory, 2)) return false;

  // Installed layout: the runtime sits beside the program's folder.
  std::wstring candidate = JoinAll(startDirectory, {L"bundled", L"java", L"bin"});
  if (IsDirectory(candidate)) {
    binDirectory = candidate;
    return true;
  }
  // Development layout: the runtime sits in the build tree's bundles folder.
  std::wstring treeRoot = startDirectory;
  if (!StepUp(treeRoot, 3)) return false;
  candidate = JoinAll(treeRoot, {L"bundles", L"windows", L"bundled", L"java", L"bin"});
  if (!IsDirectory(candidate)) return false;
  binDirectory = candidate;
  return true;
}

}  // namespace

void FindRuntimeInInstallation(std::vector<JavaCandidate>& candidates) {
  std::wstring binDirectory;
  if (!FindRuntimeBin(binDirectory)) return;
  candidates.push_back(IdentifyJavaInstallation(windows_path::Parent(binDirectory),
                                                windows_path::Join(binDirectory, L"javaw.exe"),
                                                windows_path::Join(binDirectory, L"java.exe"),
                                                L"Bundled OpenJDK", L"", L"Oracle", true, true));
}
