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

}  // namespace

std::vector<std::wstring> RuntimeBinPlaces() {
  std::vector<std::wstring> places;
  std::wstring startDirectory;
  if (platform::GetProgramPath(startDirectory) != 0) return places;
  if (!StepUp(startDirectory, 2)) return places;
  // Installed layout: the runtime sits beside the program's folder.
  places.push_back(JoinAll(startDirectory, {L"bundled", L"java", L"bin"}));
  // Development layout: the runtime sits in the build tree's bundles folder.
  if (StepUp(startDirectory, 3))
    places.push_back(
        JoinAll(startDirectory, {L"bundles", L"windows", L"bundled", L"java", L"bin"}));
  return places;
}

std::size_t FirstRuntimeBin(const std::vector<std::wstring>& places) {
  std::size_t index = 0;
  while (index < places.size() && !platform::IsDirectoryFollowingLinks(places[index])) ++index;
  return index;
}

JavaCandidate IdentifyBundledRuntime(const std::wstring& binDirectory) {
  return IdentifyJavaInstallation(windows_path::Parent(binDirectory),
                                  windows_path::Join(binDirectory, L"javaw.exe"),
                                  windows_path::Join(binDirectory, L"java.exe"), L"Bundled OpenJDK",
                                  L"", L"Oracle", true, true);
}

void FindRuntimeInInstallation(std::vector<JavaCandidate>& candidates) {
  const std::vector<std::wstring> places = RuntimeBinPlaces();
  const std::size_t found = FirstRuntimeBin(places);
  if (found < places.size()) candidates.push_back(IdentifyBundledRuntime(places[found]));
}
