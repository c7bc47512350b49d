// Gathers the candidates from every source and puts them in the order the window shows them.
#include "discovery/java_discovery.h"

#include <algorithm>
#include <string>

#include "common/windows_path.h"
#include "discovery/bundled_runtime.h"
#include "discovery/vendor_search.h"

namespace {

bool IsBundled(const JavaCandidate& candidate) {
  return candidate.displayName.starts_with(L"Bundled");
}

// Code unit by code unit, unsigned, a proper prefix first.
bool TextBefore(const std::wstring& a, const std::wstring& b) {
  return std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(), [](wchar_t left, wchar_t right) {
        return static_cast<std::uint32_t>(left) < static_cast<std::uint32_t>(right);
      });
}

}  // namespace

bool CandidateBefore(const JavaCandidate& a, const JavaCandidate& b) {
  const bool aDefault = a.displayName == kDefaultJavaDisplayName;
  const bool bDefault = b.displayName == kDefaultJavaDisplayName;
  if (aDefault != bDefault) return aDefault;
  if (IsBundled(a) != IsBundled(b)) return IsBundled(a);
  if (a.isJdk != b.isJdk) return a.isJdk;
  if (a.inPreferredRange != b.inPreferredRange) return a.inPreferredRange;
  const int aMajor = MajorVersion(a.version);
  const int bMajor = MajorVersion(b.version);
  if (aMajor != bMajor) {
    // Beyond the preferred range the release closest to it is the better choice.
    return a.inPreferredRange ? aMajor > bMajor : aMajor < bMajor;
  }
  const int versionOrder = CompareJavaVersions(a.version, b.version);
  if (versionOrder != 0) return versionOrder > 0;
  if (a.is64Bit != b.is64Bit) return a.is64Bit;
  if (a.vendor != b.vendor) return TextBefore(a.vendor, b.vendor);
  return windows_path::Compare(a.javawPath, b.javawPath) < 0;
}

void FindJavaInstallations(bool includeDefault, std::int32_t minimumMajor,
                           std::vector<JavaCandidate>& candidates) {
  if (includeDefault) candidates.push_back(MakeDefaultCandidate());
  FindRuntimeInInstallation(candidates);
  SearchVendorKeys(minimumMajor, candidates);
  std::sort(candidates.begin(), candidates.end(), CandidateBefore);
}
