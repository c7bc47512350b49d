// The ordered list of Java executables the settings window offers.
#pragma once

#include <cstdint>
#include <vector>

#include "javainfo/java_candidate.h"

// Appends the default entry (when asked), the runtime inside the installation and the vendor
// registry finds of at least `minimumMajor`, then sorts the whole list with CandidateBefore.
void FindJavaInstallations(bool includeDefault, std::int32_t minimumMajor,
                           std::vector<JavaCandidate>& candidates);

// Default entry, bundled runtime, kits before runtimes, preferred range, higher major within
// the preferred range (lower beyond it), newer version, 64-bit view, vendor, then javaw.exe path.
bool CandidateBefore(const JavaCandidate& a, const JavaCandidate& b);
