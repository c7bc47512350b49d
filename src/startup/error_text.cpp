// The error text that failing loads and saves append to, and the descriptions of error codes.
#include "startup/error_text.h"

#include <cerrno>
#include <cwctype>

#include "platform/files.h"
#include "platform/system.h"

namespace {

std::wstring LowercaseHex(std::uint32_t value) {
  static constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring digits;
  do {
    digits.insert(digits.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return digits;
}

struct RuntimeMapping {
  std::uint32_t systemCode;
  int errorNumber;
};
// The runtime's table, row by row; the names are the Win32 codes' own.
constexpr RuntimeMapping kRuntimeMappings[] = {
    {1, EINVAL},       // ERROR_INVALID_FUNCTION
    {2, ENOENT},       // ERROR_FILE_NOT_FOUND
    {3, ENOENT},       // ERROR_PATH_NOT_FOUND
    {4, EMFILE},       // ERROR_TOO_MANY_OPEN_FILES
    {5, EACCES},       // ERROR_ACCESS_DENIED
    {6, EBADF},        // ERROR_INVALID_HANDLE
    {7, ENOMEM},       // ERROR_ARENA_TRASHED
    {8, ENOMEM},       // ERROR_NOT_ENOUGH_MEMORY
    {9, ENOMEM},       // ERROR_INVALID_BLOCK
    {10, E2BIG},       // ERROR_BAD_ENVIRONMENT
    {11, ENOEXEC},     // ERROR_BAD_FORMAT
    {12, EINVAL},      // ERROR_INVALID_ACCESS
    {13, EINVAL},      // ERROR_INVALID_DATA
    {15, ENOENT},      // ERROR_INVALID_DRIVE
    {16, EACCES},      // ERROR_CURRENT_DIRECTORY
    {17, EXDEV},       // ERROR_NOT_SAME_DEVICE
    {18, ENOENT},      // ERROR_NO_MORE_FILES
    {33, EACCES},      // ERROR_LOCK_VIOLATION
    {53, ENOENT},      // ERROR_BAD_NETPATH
    {65, EACCES},      // ERROR_NETWORK_ACCESS_DENIED
    {67, ENOENT},      // ERROR_BAD_NET_NAME
    {80, EEXIST},      // ERROR_FILE_EXISTS
    {82, EACCES},      // ERROR_CANNOT_MAKE
    {83, EACCES},      // ERROR_FAIL_I24
    {87, EINVAL},      // ERROR_INVALID_PARAMETER
    {89, EAGAIN},      // ERROR_NO_PROC_SLOTS
    {108, EACCES},     // ERROR_DRIVE_LOCKED
    {109, EPIPE},      // ERROR_BROKEN_PIPE
    {112, ENOSPC},     // ERROR_DISK_FULL
    {114, EBADF},      // ERROR_INVALID_TARGET_HANDLE
    {128, ECHILD},     // ERROR_WAIT_NO_CHILDREN
    {129, ECHILD},     // ERROR_CHILD_NOT_COMPLETE
    {130, EBADF},      // ERROR_DIRECT_ACCESS_HANDLE
    {131, EINVAL},     // ERROR_NEGATIVE_SEEK
    {132, EACCES},     // ERROR_SEEK_ON_DEVICE
    {145, ENOTEMPTY},  // ERROR_DIR_NOT_EMPTY
    {158, EACCES},     // ERROR_NOT_LOCKED
    {161, ENOENT},     // ERROR_BAD_PATHNAME
    {164, EAGAIN},     // ERROR_MAX_THRDS_REACHED
    {167, EACCES},     // ERROR_LOCK_FAILED
    {183, EEXIST},     // ERROR_ALREADY_EXISTS
    {206, ENOENT},     // ERROR_FILENAME_EXCED_RANGE
    {215, EAGAIN},     // ERROR_NESTING_NOT_ALLOWED
    {1816, ENOMEM},    // ERROR_NOT_ENOUGH_QUOTA
};

}  // namespace

int RuntimeErrorNumber(std::uint32_t systemCode) {
  for (const RuntimeMapping& mapping : kRuntimeMappings)
    if (mapping.systemCode == systemCode) return mapping.errorNumber;
  if (systemCode >= 19 && systemCode <= 36) return EACCES;     // write protect to sharing buffer
  if (systemCode >= 188 && systemCode <= 202) return ENOEXEC;  // the loader's refusals
  return EINVAL;
}

void AppendErrorText(std::int32_t code, const std::wstring& description, std::wstring& errorText) {
  std::wstring piece;
  if (code != 0) {
    piece = L"Error # " + std::to_wstring(code);
    if (code >= 10) piece += L" = 0x" + LowercaseHex(static_cast<std::uint32_t>(code));
    piece += L" :\n";
  }
  piece += description;
  if (piece.empty()) return;
  if (!errorText.empty()) errorText += L'\n';
  errorText += piece;
}

std::wstring SystemMessageText(std::int32_t code) {
  std::wstring text;
  if (!platform::FormatSystemMessage(code, text)) return L"<failed to get error message>";
  return text;
}

std::wstring DescribeSystemError(std::int32_t code) {
  std::wstring message;
  platform::FormatSystemMessage(code, message);
  while (!message.empty() && std::iswspace(static_cast<std::wint_t>(message.back())))
    message.pop_back();
  return L"error " + std::to_wstring(code) + (message.empty() ? L"" : L" (" + message + L")");
}

void AppendSystemErrorText(std::int32_t code, std::wstring& errorText) {
  AppendErrorText(code, SystemMessageText(code), errorText);
}

void AppendRuntimeErrorText(int code, std::wstring& errorText) {
  AppendErrorText(code, platform::RuntimeErrorText(code), errorText);
}

std::wstring ComposeSystemErrorBoxText(const std::wstring& message, std::int32_t code) {
  std::wstring text = message + L"\n\n";
  AppendSystemErrorText(code, text);
  return text;
}
