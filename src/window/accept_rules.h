// The rules behind the settings window's entries: reading the memory entry, the default heap
// it is compared with, matching Java and UI-scale texts to list entries, and OK's texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "javainfo/java_candidate.h"

// The heap Java is assumed to pick by itself, in megabytes of 1,000,000 bytes: half of a small
// machine's memory, a quarter from 192 megabytes up.
std::uint64_t DefaultHeapMBForMemory(std::uint64_t totalPhysicalBytes);
// The same for this machine; 0 when its memory cannot be read (then nothing is questioned).
std::uint64_t DefaultHeapMB();

enum class MemoryEntryKind { Empty, NotANumber, Negative, Value };
struct MemoryEntry {
  MemoryEntryKind kind = MemoryEntryKind::Empty;
  std::int32_t megabytes = 0;  // only for Value; 0 otherwise
};
// Reads the entry the way "%d" does: white space first, an optional sign, digits, and whatever
// follows them ignored. A value beyond 32 bits reads as not a number, or as negative when it
// carries a minus sign, so that an impossible size is never saved.
MemoryEntry ReadMemoryEntry(const std::wstring& text);

// True when the entry is below 90 % of the default heap, which OK questions.
bool MemoryBelowDefault(std::int32_t megabytes, std::uint64_t defaultHeapMB);
std::wstring MemoryQuestionText(std::int32_t megabytes, std::uint64_t defaultHeapMB);
// The "Questionable Setting" text: the quoted path, the validator's reason and a full stop.
std::wstring QuestionableJavaText(const std::wstring& java, const std::wstring& reason);

// First candidate whose javaw.exe or else java.exe path equals `path` exactly.
std::optional<std::size_t> FindCandidateByPath(const std::vector<JavaCandidate>& candidates,
                                               const std::wstring& path);
// What the Java combobox text stands for: a listed entry's java.exe path, else the text itself.
std::wstring JavaChoiceFromText(const std::vector<JavaCandidate>& candidates,
                                const std::wstring& text);

// "Default" then "1" to "8": the items of the UI-scale combobox, built once.
const std::vector<std::wstring>& ScaleItems();
// Index of the item equal to `text`, or 0 ("Default") when none is.
std::size_t ScaleItemIndex(const std::wstring& text);
// True when the text starts with "System Default" (case-sensitive).
bool AllowsUIScale(const std::wstring& scaleText);
