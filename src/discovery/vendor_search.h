// Java installations recorded under the registry keys of known vendors.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "javainfo/java_candidate.h"

// One vendor's registry layout: version subkeys below `keyPath`, the Java home in the value
// `homeValueName` of the subkey (or of `subPath` below it).
struct VendorKey {
  std::wstring keyPath;
  std::wstring label;
  std::wstring vendor;
  bool isJdk = false;
  std::wstring subPath;  // empty when the value sits in the version subkey itself
  std::wstring homeValueName;
  std::wstring namePrefix;  // cut from the subkey name before it serves as version text
};

// The twelve known layouts in search order; built on first use.
const std::vector<VendorKey>& VendorKeyTable();

// A 32-bit process on 64-bit Windows. Asked once per process; a failed question counts as no.
bool RunningUnderWow64();

// Looks for `fileName` in `directory` alone. True with the full path in `found`; false with
// `found` emptied.
bool FindFileInDirectory(const std::wstring& directory, const std::wstring& fileName,
                         std::wstring& found);

// Appends, in the order found, one candidate per registered home that has bin\javaw.exe and a
// major version of at least `minimumMajor`. With WOW64 the 64-bit view is searched first.
void SearchVendorKeys(std::int32_t minimumMajor, std::vector<JavaCandidate>& candidates);

// The same search with the WOW64 answer given, so both answers can be tried in one process.
void SearchVendorKeysInViews(bool underWow64, std::int32_t minimumMajor,
                             std::vector<JavaCandidate>& candidates);
