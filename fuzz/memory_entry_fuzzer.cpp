// Feeds the memory entry's reader arbitrary text: it must not crash, and whatever it answers
// must be a consistent answer. The rule itself is pinned by a table in
// tests/window/accept_rules_test.cpp.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "window/accept_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Bytes below 0x80 stand for themselves, so digits, signs and blanks are frequent; the rest
  // become units beyond ASCII (full-width digits among them, which "%d" does not read).
  std::wstring text;
  for (std::size_t i = 0; i < size; ++i)
    text += data[i] < 0x80 ? static_cast<wchar_t>(data[i]) : static_cast<wchar_t>(0xFF00 + data[i]);
  const MemoryEntry entry = ReadMemoryEntry(text);
  // Only an empty text is empty, a value is never below 0, and every refusal carries 0.
  const bool consistent =
      (entry.kind == MemoryEntryKind::Empty) == text.empty() &&
      (entry.kind == MemoryEntryKind::Value ? entry.megabytes >= 0 : entry.megabytes == 0);
  if (!consistent) std::abort();
  return 0;
}
