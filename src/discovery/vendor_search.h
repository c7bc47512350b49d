// Java installations recorded under the registry keys of known vendors.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "javainfo/java_candidate.h"
#include "platform/registry.h"

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

// One pass of the search: a hive seen through one registry view.
struct SearchPlace {
  platform::Hive hive;
  std::uint32_t viewFlag;
  bool is64Bit;
};

// What became of one registration; the search itself drops all but Listed without a word.
enum class Registration {
  Listed,
  BelowMinimum,
  KeyUnreadable,  // the vendor key, or a version subkey, would not open or enumerate
  NameTooLong,    // a subkey name the enumeration buffer cannot hold
  NoSubPathKey,   // the version subkey lacks the row's sub-path key
  NoHomeValue,    // the home value is missing, not text, or unreadable
  NoJavaw,        // the home's bin folder has no javaw.exe
};

// One registration as the search met it, for the support tool's account of it.
struct RegistrationRecord {
  const VendorKey* row = nullptr;
  SearchPlace place{};
  std::wstring subKey;  // the version subkey's name; empty for the vendor key itself
  Registration outcome = Registration::Listed;
  std::int32_t status = 0;      // the Win32 status of a key or value that could not be read
  std::uint32_t valueType = 0;  // the type of a home value that was there but not text
  std::wstring home;
  std::wstring versionText;  // from the subkey's name; the release file may override it
  JavaCandidate candidate;   // identified: Listed and BelowMinimum
};

// The same search with the WOW64 answer given, so both answers can be tried in one process.
// With `records`, every registration met is also recorded there, listed or not.
void SearchVendorKeysInViews(bool underWow64, std::int32_t minimumMajor,
                             std::vector<JavaCandidate>& candidates,
                             std::vector<RegistrationRecord>* records = nullptr);
