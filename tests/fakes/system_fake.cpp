// Process-level answers for the native build: the program's path, system messages, WOW64, memory.
#include <map>
#include <string>

#include "fakes/fake_platform.h"
#include "fakes/fake_state.h"
#include "platform/files.h"
#include "platform/system.h"

namespace {

struct Message {
  std::wstring text;
  bool known = true;
};

struct SystemState {
  std::wstring programPath = L"C:\\Program Files\\Kelvor\\bin\\win\\KelvorStartupSettings.exe";
  std::uint32_t programPathError = 0;
  std::map<std::int32_t, Message> messages;
  std::uint64_t totalMemory = 16ULL << 30;
  bool memoryAvailable = true;
};

SystemState& State() {
  static SystemState state;
  return state;
}

}  // namespace

namespace platform {

std::uint32_t GetProgramPath(std::wstring& path) {
  if (State().programPathError != 0) return State().programPathError;
  path = State().programPath;
  return 0;
}

bool FormatSystemMessage(std::int32_t code, std::wstring& text) {
  const auto found = State().messages.find(code);
  if (found == State().messages.end()) {
    text = L"System message " + std::to_wstring(code) + L".";
    return true;
  }
  if (!found->second.known) return false;
  text = found->second.text;
  return true;
}

bool QueryWow64Process(bool& isWow64) {
  return fake::AnswerWow64Query(isWow64);
}

bool GetTotalPhysicalMemory(std::uint64_t& bytes) {
  if (!State().memoryAvailable) return false;
  bytes = State().totalMemory;
  return true;
}

}  // namespace platform

namespace fake {

void ResetSystem() {
  State() = SystemState{};
}

void SetProgramPath(const std::wstring& path, std::uint32_t error) {
  State().programPath = path;
  State().programPathError = error;
}

void SetSystemMessage(std::int32_t code, const std::wstring& text, bool known) {
  State().messages[code] = Message{text, known};
}

void SetTotalPhysicalMemory(std::uint64_t bytes, bool available) {
  State().totalMemory = bytes;
  State().memoryAvailable = available;
}

void ResetAll() {
  ResetRegistry();
  ResetFileSystem();
  ResetSystem();
}

}  // namespace fake
