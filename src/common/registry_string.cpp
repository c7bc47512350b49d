// String values of any registry key: the settings store and the Java search both read them.
#include "common/registry_string.h"

#include <algorithm>
#include <vector>

#include "common/text_encoding.h"

namespace {

constexpr int kQueryAttempts = 5;
constexpr std::size_t kInitialCharacters = 261;  // one more than offered: a zero always follows
constexpr std::uint32_t kLargestValueBytes = 0x7FFFFFF0u;

}  // namespace

bool ReadRegistryString(const platform::RegistryKey& key, const std::wstring& name,
                        std::wstring& out) {
  std::vector<std::uint8_t> buffer(kInitialCharacters * 2, 0);
  std::uint32_t offered = (kInitialCharacters - 1) * 2;
  for (int attempt = 0; attempt < kQueryAttempts; ++attempt) {
    std::uint32_t type = 0;
    std::uint32_t size = offered;
    const std::int32_t status = platform::QueryRegistryValue(key, name, type, buffer.data(), size);
    if (status == platform::kErrorSuccess) {
      if (type != platform::kRegSz && type != platform::kRegExpandSz) return false;
      // Only what this query wrote: a shorter value must not pick up an earlier attempt's bytes.
      out = DecodeUtf16Le(buffer.data(), std::min<std::size_t>(size, buffer.size()));
      return true;
    }
    // A size no registry value can have would wrap the growth arithmetic of a 32-bit build.
    if (status == platform::kErrorMoreData && size > offered && size < kLargestValueBytes) {
      buffer.resize((std::size_t{size} / 2 + 1) * 2, 0);
      offered = size;
    }
  }
  return false;
}

void WriteRegistryString(const platform::RegistryKey& key, const std::wstring& name,
                         const std::wstring& text, std::int32_t& firstError) {
  const std::vector<std::uint8_t> data = EncodeUtf16Le(text, true);
  const std::int32_t status = platform::SetRegistryValue(key, name, platform::kRegSz, data.data(),
                                                         static_cast<std::uint32_t>(data.size()));
  if (status != platform::kErrorSuccess && firstError == 0) firstError = status;
}
