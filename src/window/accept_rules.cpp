// Text and number rules of the settings window, kept free of Win32 so that they can be tested
// anywhere.
#include "window/accept_rules.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/system.h"

std::uint64_t DefaultHeapMBForMemory(std::uint64_t totalPhysicalBytes) {
  const std::uint64_t megabytes = totalPhysicalBytes / 1000000;
  return megabytes < 192 ? megabytes / 2 : megabytes / 4;
}

std::uint64_t DefaultHeapMB() {
  std::uint64_t bytes = 0;
  if (!platform::GetTotalPhysicalMemory(bytes)) return 0;
  return DefaultHeapMBForMemory(bytes);
}

namespace {

// The C locale's white space, which "%d" skips.
bool IsScanSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

}  // namespace

MemoryEntry ReadMemoryEntry(const std::wstring& text) {
  if (text.empty()) return {MemoryEntryKind::Empty, 0};
  std::size_t at = 0;
  while (at < text.size() && IsScanSpace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) {
    negative = text[at] == L'-';
    ++at;
  }
  if (at >= text.size() || text[at] < L'0' || text[at] > L'9') {
    return {MemoryEntryKind::NotANumber, 0};
  }
  // Accumulate in 64 bits and stop counting once past the 32-bit range: the digits can be many.
  constexpr std::int64_t kBeyond = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 2;
  std::int64_t magnitude = 0;
  for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
    magnitude = std::min(magnitude * 10 + (text[at] - L'0'), kBeyond);
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < 0) return {MemoryEntryKind::Negative, 0};
  if (value > std::numeric_limits<std::int32_t>::max()) return {MemoryEntryKind::NotANumber, 0};
  return {MemoryEntryKind::Value, static_cast<std::int32_t>(value)};
}

bool MemoryBelowDefault(std::int32_t megabytes, std::uint64_t defaultHeapMB) {
  return static_cast<double>(defaultHeapMB) * 0.9 > static_cast<double>(megabytes);
}

std::wstring MemoryQuestionText(std::int32_t megabytes, std::uint64_t defaultHeapMB) {
  return L"Maximum memory use setting (" + std::to_wstring(megabytes) +
         L" megabytes) is less than the default that Java will probably use (" +
         std::to_wstring(defaultHeapMB) + L" megabytes). Continue anyway?";
}

std::wstring QuestionableJavaText(const std::wstring& java, const std::wstring& reason) {
  return L"\"" + java + L"\" " + reason + L".";
}

std::optional<std::size_t> FindCandidateByPath(const std::vector<JavaCandidate>& candidates,
                                               const std::wstring& path) {
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    if (candidates[i].javawPath == path || candidates[i].javaPath == path) return i;
  }
  return std::nullopt;
}

std::wstring JavaChoiceFromText(const std::vector<JavaCandidate>& candidates,
                                const std::wstring& text) {
  for (const JavaCandidate& candidate : candidates) {
    if (candidate.displayName == text) return candidate.javaPath;
  }
  return text;
}

const std::vector<std::wstring>& ScaleItems() {
  static const std::vector<std::wstring> items = [] {
    std::vector<std::wstring> list{L"Default"};
    for (int scale = 1; scale <= 8; ++scale) list.push_back(std::to_wstring(scale));
    return list;
  }();
  return items;
}

std::size_t ScaleItemIndex(const std::wstring& text) {
  const std::vector<std::wstring>& items = ScaleItems();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == text) return i;
  }
  return 0;
}

bool AllowsUIScale(const std::wstring& scaleText) {
  return scaleText.compare(0, 14, L"System Default") == 0;
}
