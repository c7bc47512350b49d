// The error text that failing loads and saves append to, and the descriptions of error codes.
#include "startup/error_text.h"

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

}  // namespace

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
