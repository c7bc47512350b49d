// The window's modal boxes and the open-file dialog, behind hooks that tests can replace.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <string>

namespace platform::ui {

// Answers what MessageBoxW would: the id of the button pressed.
using MessageBoxHook =
    std::function<int(HWND owner, const std::wstring& text, const std::wstring& title, UINT style)>;
// Answers what GetOpenFileNameW would; may write the chosen path into request.lpstrFile.
using OpenFileHook = std::function<BOOL(OPENFILENAMEW& request)>;

// An Enter or Esc key-down that repeats because the key is held (bit 30: it was down already).
bool IsRepeatedDialogKey(const MSG& message);

// Both run a dialog's own message loop, in which a repeated Enter or Esc is dropped: the key
// that opened the box or dialog must not also press its default button or close it.
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& title, UINT style);
BOOL ShowOpenFileDialog(OPENFILENAMEW& request);

// An empty hook restores the real call.
void SetMessageBoxHook(MessageBoxHook hook);
void SetOpenFileHook(OpenFileHook hook);

}  // namespace platform::ui
