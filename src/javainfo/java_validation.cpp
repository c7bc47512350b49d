// The checks on a chosen Java executable, in the order the user is told about them.
#include "javainfo/java_validation.h"

#include "javainfo/java_version.h"
#include "javainfo/release_file.h"
#include "platform/files.h"

namespace {

// The home is the directory above "\bin"; only a backslash and lower-case "bin" are accepted.
bool JavaHomeOf(const std::wstring& path, std::wstring& home) {
  const std::size_t lastSeparator = path.rfind(L'\\');
  const std::wstring directory =
      lastSeparator == std::wstring::npos ? path : path.substr(0, lastSeparator);
  const std::wstring binEnding = L"\\bin";
  if (directory.size() < binEnding.size() ||
      directory.compare(directory.size() - binEnding.size(), binEnding.size(), binEnding) != 0) {
    return false;
  }
  home = directory.substr(0, directory.size() - binEnding.size());
  return true;
}

bool Exists(const std::wstring& path) {
  std::uint32_t attributes = 0;
  return platform::GetFileAttributes(path, attributes);
}

}  // namespace

bool IsInJavaInstallation(const std::wstring& path) {
  std::wstring home;
  if (!JavaHomeOf(path, home)) return false;
  return Exists(home + L"\\jre\\bin\\java.dll") || Exists(home + L"\\bin\\java.dll");
}

bool IsJavaExecutableName(const std::wstring& path) {
  const std::size_t lastSeparator = path.rfind(L'\\');
  if (lastSeparator == std::wstring::npos) return false;
  const std::wstring name = path.substr(lastSeparator);
  return name == L"\\java.exe" || name == L"\\javaw.exe";
}

bool ValidateJavaExecutable(const std::wstring& path, std::wstring& reason) {
  std::uint32_t attributes = 0;
  if (!platform::GetFileAttributes(path, attributes)) {
    reason = L"does not exist or could not be accessed";
    return false;
  }
  if ((attributes & platform::kFileAttributeDirectory) != 0) {
    reason = L"is a directory";
    return false;
  }
  if (!platform::IsExecutableImage(path)) {
    reason = L"does not appear to be an executable file";
    return false;
  }
  if (!IsInJavaInstallation(path)) {
    reason = L"is not in a recognized Java installation";
    return false;
  }
  if (!IsJavaExecutableName(path)) {
    reason = L"is not a recognized Java executable";
    return false;
  }
  std::wstring home;
  std::wstring versionText;
  if (!JavaHomeOf(path, home) || !ReadReleaseVersion(home, versionText)) {
    reason = L"does not appear to have a release indentifier file";
    return false;
  }
  const JavaVersion version = ParseJavaVersion(versionText);
  if (version.numbers.empty()) {
    reason = L"appears to have an invalid release indentifier file";
    return false;
  }
  const int major = MajorVersion(version);
  if (major < RequiredJavaMajor) {
    reason = L"has major version number " + std::to_wstring(major) +
             L", which is lower than the required version (" + std::to_wstring(RequiredJavaMajor) +
             L")";
    return false;
  }
  return true;
}
