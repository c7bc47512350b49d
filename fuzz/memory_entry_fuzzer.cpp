// Checks the memory entry's reading against the rule written out again here, independently:
// "%d" on the text, zero and up accepted, a negative or unreadable entry refused.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "window/accept_rules.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Bytes below 0x80 stand for themselves, so digits, signs and blanks are frequent; the rest
  // become units beyond ASCII (full-width digits among them, which "%d" does not read).
  std::wstring text;
  for (std::size_t i = 0; i < size; ++i)
    text += data[i] < 0x80 ? static_cast<wchar_t>(data[i]) : static_cast<wchar_t>(0xFF00 + data[i]);
  const MemoryEntry entry = ReadMemoryEntry(text);

  // The rule: C-locale blanks, one optional sign, then at least one digit; the digits' value
  // with its sign decides; whatever follows the digits does not count.
  std::size_t at = text.find_first_not_of(L" \t\n\v\f\r");
  if (at == std::wstring::npos) at = text.size();
  const bool minus = at < text.size() && text[at] == L'-';
  if (at < text.size() && (text[at] == L'-' || text[at] == L'+')) ++at;
  std::size_t digitsEnd = text.find_first_not_of(L"0123456789", at);
  if (digitsEnd == std::wstring::npos) digitsEnd = text.size();
  std::wstring digits = text.substr(at, digitsEnd - at);
  const bool readable = !digits.empty();
  digits.erase(0, std::min(digits.find_first_not_of(L'0'), digits.size()));  // "0" becomes ""
  const bool zero = digits.empty();
  // Ten digits at most and not above 2147483647 (equal lengths compare like numbers).
  const bool fits = digits.size() < 10 || (digits.size() == 10 && digits <= L"2147483647");

  if (text.empty()) {
    Check(entry.kind == MemoryEntryKind::Empty && entry.megabytes == 0);
  } else if (readable && (zero || (!minus && fits))) {
    Check(entry.kind == MemoryEntryKind::Value);
    Check(std::to_wstring(entry.megabytes) == (zero ? L"0" : digits));
  } else if (readable && minus) {
    Check(entry.kind == MemoryEntryKind::Negative && entry.megabytes == 0);
  } else {
    Check(entry.kind == MemoryEntryKind::NotANumber && entry.megabytes == 0);
  }
  return 0;
}
