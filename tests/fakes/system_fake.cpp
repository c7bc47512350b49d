// Process-level answers for the native build: the program's path, system
// messages and memory.
#include <map>

#include "fakes/fake_platform.h"
#include "fakes/fake_state.h"
#include "platform/files.h"
#include "platform/system.h"

namespace {

struct SystemState {
  std::wstring programPath = L"C:\\Program Files\\Kelvor\\bin\\win\\KelvorStartupSettings.exe";
  std::uint32_t programPathError = 0;
  std::map<std::int32_t, std::pair<std::wstring, bool>> messages;  // text, known
  std::uint64_t totalMemory = 16ULL << 30;
  bool memoryAvailable = true;
};

SystemState& S() {
  static SystemState state;
  return state;
}

}  // namespace

std::uint32_t platform::GetProgramPath(std::wstring& path) {
  if (S().programPathError == 0) path = S().programPath;
  return S().programPathError;
}

bool platform::FormatSystemMessage(std::int32_t code, std::wstring& text) {
  const auto found = S().messages.find(code);
  if (found != S().messages.end() && !found->second.second) return false;
  text = found != S().messages.end() ? found->second.first
                                     : L"System message " + std::to_wstring(code) + L".";
  return true;
}

bool platform::GetTotalPhysicalMemory(std::uint64_t& bytes) {
  if (S().memoryAvailable) bytes = S().totalMemory;
  return S().memoryAvailable;
}

void fake::SetProgramPath(const std::wstring& path, std::uint32_t error) {
  S().programPath = path;
  S().programPathError = error;
}

void fake::SetSystemMessage(std::int32_t code, const std::wstring& text, bool known) {
  S().messages[code] = {text, known};
}

void fake::SetTotalPhysicalMemory(std::uint64_t bytes, bool available) {
  S().totalMemory = bytes;
  S().memoryAvailable = available;
}

void fake::ResetAll() {
  ResetRegistry();
  ResetFileSystem();
  S() = SystemState{};
}
