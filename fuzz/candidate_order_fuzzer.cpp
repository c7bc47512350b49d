// Builds candidates from the bytes and checks that CandidateBefore is a strict weak ordering,
// which std::sort needs: anything else is undefined behaviour inside the sort.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "discovery/java_discovery.h"
#include "javainfo/java_version.h"

namespace {

// A few characters per field, chosen where the order's steps have their edges: separators and
// their runs, root names, prefixes, case, the code units either side of the separators.
constexpr std::array<const wchar_t*, 8> kNames = {
    L"[Default]", L"Bundled OpenJDK", L"Bundled", L"Bundle",
    L"[default]", L"Oracle JDK",      L"",        L"B"};
constexpr wchar_t kVersionUnits[] = L"0123456789._-+ab";
constexpr wchar_t kPathUnits[] = L"\\/:?.Cca_0 \xFFFF";
constexpr wchar_t kVendorUnits[] = L"AaBIO\xFFFF\x7F\x80";

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), end_(data + size) {}
  bool Empty() const { return data_ == end_; }
  std::uint8_t Next() { return data_ == end_ ? 0 : *data_++; }
  // Up to `maxLength` units from `units`, its length taken from the next byte.
  template <std::size_t N>
  std::wstring Text(const wchar_t (&units)[N], std::size_t maxLength) {
    std::wstring text(Next() % (maxLength + 1), L' ');
    for (wchar_t& unit : text) unit = units[Next() % (N - 1)];
    return text;
  }

 private:
  const std::uint8_t* data_;
  const std::uint8_t* end_;
};

constexpr std::size_t kMost = 8;  // candidates per input

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes bytes(data, size);
  std::vector<JavaCandidate> candidates;
  while (!bytes.Empty() && candidates.size() < kMost) {
    JavaCandidate candidate;
    const std::uint8_t flags = bytes.Next();
    candidate.displayName = kNames[flags % kNames.size()];
    candidate.isJdk = (flags & 0x08) != 0;
    candidate.is64Bit = (flags & 0x10) != 0;
    candidate.inPreferredRange = (flags & 0x20) != 0;
    candidate.version = ParseJavaVersion(bytes.Text(kVersionUnits, 10));
    candidate.vendor = bytes.Text(kVendorUnits, 3);
    candidate.javawPath = bytes.Text(kPathUnits, 12);
    candidates.push_back(std::move(candidate));
  }
  // The relation once per pair, then its properties on the table: the order is a pure function,
  // and asking it again for every triple cost most of each execution.
  const std::size_t n = candidates.size();
  std::array<std::array<bool, kMost>, kMost> before{};
  for (std::size_t a = 0; a < n; ++a)
    for (std::size_t b = 0; b < n; ++b)
      before[a][b] = CandidateBefore(candidates[a], candidates[b]);
  const auto incomparable = [&](std::size_t i, std::size_t j) {
    return !before[i][j] && !before[j][i];
  };
  for (std::size_t a = 0; a < n; ++a) {
    Check(!before[a][a]);
    for (std::size_t b = 0; b < n; ++b) {
      if (before[a][b]) Check(!before[b][a]);
      for (std::size_t c = 0; c < n; ++c) {
        if (before[a][b] && before[b][c]) Check(before[a][c]);
        if (incomparable(a, b) && incomparable(b, c)) Check(incomparable(a, c));
      }
    }
  }
  return 0;
}
