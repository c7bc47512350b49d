// Browse: the open-file dialog for picking any executable as Kelvor's Java.
#include <shlobj.h>
#include <windows.h>

#include <commdlg.h>
#include <array>
#include <cwchar>

#include "discovery/vendor_search.h"
#include "platform/ui_win.h"
#include "window/settings_window.h"

namespace {

constexpr DWORD kFileNameLength = 1520;
static_assert(sizeof(OPENFILENAMEW) == 88 || sizeof(void*) != 4, "the full record on i686");

// Program Files as a 64-bit process would see it, also from this 32-bit process.
std::wstring ProgramFilesFolder() {
  if (RunningUnderWow64()) {
    std::array<wchar_t, 260> buffer{};
    if (ExpandEnvironmentStringsW(L"%ProgramW6432%", buffer.data(), buffer.size()) == 0) return {};
    // Too long a value may leave the buffer without its terminator.
    return std::wstring(buffer.data(), wcsnlen(buffer.data(), buffer.size()));
  }
  PWSTR path = nullptr;
  const HRESULT result = SHGetKnownFolderPath(FOLDERID_ProgramFiles, 0, nullptr, &path);
  std::wstring folder = SUCCEEDED(result) && path ? path : L"";
  CoTaskMemFree(path);  // owed even when the call failed
  return folder;
}

// Built on the first Browse and kept, so that the dialog reopens with the last choice.
struct BrowseRequest {
  OPENFILENAMEW request{};
  std::array<wchar_t, kFileNameLength> fileName{};
  std::wstring initialFolder;

  BrowseRequest() {
    request.lStructSize = sizeof(request);
    request.hwndOwner = MainWindow;
    request.lpstrFilter = L"Executable Files (*.exe)\0*.exe\0All Files (*.*)\0*.*\0";
    request.nFilterIndex = 0;
    fileName[0] = L'\0';
    request.lpstrFile = fileName.data();
    request.nMaxFile = kFileNameLength;
    request.lpstrTitle = L"Select Kelvor Java Executable";
    request.Flags = OFN_FILEMUSTEXIST;

    const std::wstring programFiles = ProgramFilesFolder();
    if (programFiles.empty()) return;
    std::wstring javaFolder = programFiles;
    if (javaFolder.back() != L'\\') javaFolder += L'\\';
    javaFolder += L"Java";
    initialFolder = GetFileAttributesW(javaFolder.c_str()) != INVALID_FILE_ATTRIBUTES
                        ? javaFolder
                        : programFiles;
    request.lpstrInitialDir = initialFolder.c_str();
  }
  BrowseRequest(const BrowseRequest&) = delete;  // the record points into itself
};

}  // namespace

void BrowseForJava() {
  static BrowseRequest browse;
  browse.request.hwndOwner = MainWindow;  // the window of this Browse, not of the first one
  if (!platform::ui::ShowOpenFileDialog(browse.request)) return;
  // The combobox keeps the full path even in settings-file mode: OK validates the text as it
  // stands, and a relative one would be resolved against the working directory there.
  SelectJavaText(MainWindow, browse.fileName.data());
}
