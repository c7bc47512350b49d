// The error text that failing loads and saves append to, and the descriptions of error codes.
#pragma once

#include <cstdint>
#include <string>

// Appends "Error # <code>[ = 0x<hex>] :" and a line end (no such line for code 0), then
// `description`; a "\n" goes first when `errorText` already holds text. An empty piece adds
// nothing.
void AppendErrorText(std::int32_t code, const std::wstring& description, std::wstring& errorText);

// The system's message for a Win32 error code, or "<failed to get error message>".
std::wstring SystemMessageText(std::int32_t code);

// "error <code> (<the system's message>)" on one line, for reports rather than error boxes;
// without the parentheses when the system has no message for the code.
std::wstring DescribeSystemError(std::int32_t code);

// AppendErrorText with the system's message: after failed system and registry calls.
void AppendSystemErrorText(std::int32_t code, std::wstring& errorText);

// AppendErrorText with the runtime's text for an errno value: after failed file operations.
void AppendRuntimeErrorText(int code, std::wstring& errorText);

// The error number the Microsoft C runtime sets for a Win32 error code (its _dosmaperr table):
// EACCES for 19 to 36, ENOEXEC for 188 to 202, EINVAL for every code it does not list.
int RuntimeErrorNumber(std::uint32_t systemCode);

// What the system error box shows: `message`, a blank line, then the described code.
std::wstring ComposeSystemErrorBoxText(const std::wstring& message, std::int32_t code);
