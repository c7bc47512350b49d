// Identification of a found Java installation: vendor, version, display name.
#include "javainfo/java_identification.h"

#include "javainfo/release_file.h"

namespace {

bool Contains(const std::wstring& text, const wchar_t* part) {
  return text.find(part) != std::wstring::npos;
}

}  // namespace

void CorrectOracleVendor(const std::wstring& javaPath, std::wstring& vendor, std::wstring& label) {
  if (vendor != L"Oracle") return;
  struct Correction {
    const wchar_t* pathPart;
    const wchar_t* vendor;
    const wchar_t* label;
  };
  // First match wins, so the order matters for paths that name two products.
  static const Correction kCorrections[] = {
      {L"Zulu", L"Azul Systems Inc.", L"Zulu OpenJDK"},
      {L"Corretto", L"Amazon.com Inc.", L"Corretto OpenJDK"},
      {L"AdoptOpenJDK", L"AdoptOpenJDK", L"AdoptOpenJDK"},
      {L"RedHat", L"Red Hat", L"Red Hat OpenJDK"},
      {L"BellSoft", L"BellSoft", L"Liberica OpenJDK"},
      {L"SapMachine", L"Sap SE", L"SapMachine OpenJDK"},
      {L"Microsoft", L"Microsoft", L"Microsoft OpenJDK"},
  };
  for (const Correction& row : kCorrections) {
    if (!Contains(javaPath, row.pathPart)) continue;
    vendor = row.vendor;
    label = row.label;
    if (label == L"AdoptOpenJDK" && Contains(javaPath, L"openj9")) label = L"AdoptOpenJDK/J9";
    return;
  }
}

std::wstring IdentifiedVersionText(const std::wstring& home, const std::wstring& versionText,
                                   bool& fromReleaseFile) {
  std::wstring releaseVersion;
  fromReleaseFile = !home.empty() && ReadReleaseVersion(home, releaseVersion);
  if (fromReleaseFile) return releaseVersion;  // moved, where the conditional operator copies
  return versionText;
}

JavaCandidate IdentifyJavaInstallation(const std::wstring& home, const std::wstring& javawPath,
                                       const std::wstring& javaPath, const std::wstring& label,
                                       const std::wstring& versionText, const std::wstring& vendor,
                                       bool isJdk, bool is64Bit) {
  JavaCandidate candidate;
  candidate.javawPath = javawPath;
  candidate.javaPath = javaPath;
  candidate.vendor = vendor;
  std::wstring finalLabel = label;
  CorrectOracleVendor(javaPath, candidate.vendor, finalLabel);
  candidate.isJdk = isJdk;
  candidate.is64Bit = is64Bit;

  bool fromReleaseFile = false;
  const std::wstring version = IdentifiedVersionText(home, versionText, fromReleaseFile);

  if (finalLabel.empty()) {
    candidate.displayName = kDefaultJavaDisplayName;
  } else {
    // Sized once: a chain of + would grow the text several times for every installation.
    std::wstring& name = candidate.displayName;
    name.reserve(finalLabel.size() + version.size() + javaPath.size() + 7);
    name.append(finalLabel).append(L"  ").append(version).append(L"  (").append(javaPath);
    name += L')';
  }
  candidate.version = ParseJavaVersion(version);
  candidate.inPreferredRange = candidate.version.numbers.empty() ||
                               candidate.version.numbers.front() <= kLastPreferredMajor ||
                               candidate.displayName == kDefaultJavaDisplayName;
  return candidate;
}
