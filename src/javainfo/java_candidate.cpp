// The default entry of the candidate list.
#include "javainfo/java_candidate.h"

#include "javainfo/java_identification.h"

const std::wstring kDefaultJavaDisplayName = L"[Default]";

JavaCandidate MakeDefaultCandidate() {
  return IdentifyJavaInstallation(L"", L"", L"", L"", L"", L"Oracle", true, true);
}
