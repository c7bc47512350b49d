// OK: checks the memory entry and the Java choice, asks where they are doubtful, then saves.
#include "javainfo/java_validation.h"
#include "platform/ui_win.h"
#include "startup/registry_store.h"
#include "startup/settings_file.h"
#include "window/accept_rules.h"
#include "window/control_ids.h"
#include "window/settings_window.h"

namespace {

constexpr UINT kMemoryQuestionStyle = MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2;  // 0x131
constexpr UINT kJavaQuestionStyle = MB_CANCELTRYCONTINUE | MB_ICONWARNING;           // 0x36
static_assert(kMemoryQuestionStyle == 0x131 && kJavaQuestionStyle == 0x36);

int Ask(const std::wstring& text, const wchar_t* title, UINT style) {
  return platform::ui::ShowMessageBox(MainWindow, text, title, style);
}

// The memory value to save, or nothing when the user must correct the entry or declined.
std::optional<std::int32_t> CheckMemoryEntry() {
  const MemoryEntry entry = ReadMemoryEntry(ReadControlText(MainWindow, IDC_MEMORY_EDIT));
  switch (entry.kind) {
    case MemoryEntryKind::Empty: return 0;
    case MemoryEntryKind::NotANumber:
      Ask(L"Maximum memory use is not a number.", L"Invalid Setting", MB_ICONERROR);
      return std::nullopt;
    case MemoryEntryKind::Negative:
      Ask(L"Maximum memory use is negative.", L"Invalid Setting", MB_ICONERROR);
      return std::nullopt;
    case MemoryEntryKind::Value: break;
  }
  const std::uint64_t defaultHeap = DefaultHeapMB();
  if (MemoryBelowDefault(entry.megabytes, defaultHeap) &&
      Ask(MemoryQuestionText(entry.megabytes, defaultHeap), L"Kelvor Startup Settings Warning",
          kMemoryQuestionStyle) != IDOK) {
    return std::nullopt;
  }
  return entry.megabytes;
}

// The Java executable to save (empty for none), or nothing when the user gave up on it.
std::optional<std::wstring> CheckJavaChoice() {
  for (;;) {
    const std::wstring java = ReadJavaChoice();
    if (java.empty()) return java;
    std::wstring reason;
    if (ValidateJavaExecutable(java, reason)) return java;
    switch (Ask(QuestionableJavaText(java, reason), L"Questionable Setting", kJavaQuestionStyle)) {
      case IDCONTINUE: return java;
      case IDTRYAGAIN: continue;  // the file system may have changed meanwhile
      default: return std::nullopt;
    }
  }
}

}  // namespace

std::wstring ReadJavaChoice() {
  return JavaChoiceFromText(JavaCandidates(), ReadControlText(MainWindow, IDC_JAVA_COMBO));
}

void AcceptSettings() {
  const std::optional<std::int32_t> memory = CheckMemoryEntry();
  if (!memory) return;
  const std::optional<std::wstring> java = CheckJavaChoice();
  if (!java) return;
  const std::wstring scale = ReadControlText(MainWindow, IDC_SCALE_COMBO);
  auto checked = [](int controlId) { return IsDlgButtonChecked(MainWindow, controlId) != 0; };

  StartupSettings& settings = gStartupSettings;
  settings.SetSettings(checked(IDC_VERBOSE), AllowsUIScale(scale), checked(IDC_DISABLE_DIRECTDRAW),
                       checked(IDC_KEEP_WORKING_SET), checked(IDC_SKIP_FONT_CHECK),
                       checked(IDC_LEGACY_MERGE_SORT), checked(IDC_PREFER_IPV4), *memory, *java,
                       scale);

  std::wstring errorText;
  const bool saved = settings.SettingsFilePath.empty() ? SaveSettingsToRegistry(settings, errorText)
                                                       : SaveSettingsToFile(settings, errorText);
  if (!saved) {
    Ask(errorText, kErrorTitle, MB_ICONERROR);
    return;
  }
  if (gCommandLineOptions.StartedFromKelvor) {
    Ask(L"You must restart Kelvor for changes to take effect.", kWindowTitle, MB_OK);
  }
  PostQuitMessage(0);
}
