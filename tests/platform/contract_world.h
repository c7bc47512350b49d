// What the contract tests need from the world they run in: the doubles natively, a Wine prefix
// under Win32. Everything else they do goes through the platform API alone.
#pragma once

#include <string>

namespace contract {

inline constexpr wchar_t kDirectory[] = L"C:\\KelvorContract";

void ResetWorld();  // fresh doubles natively; in both worlds, kDirectory exists afterwards
void MakeDirectory(const std::wstring& path);
void SetVariable(const std::wstring& name, const std::wstring& value);  // of this process

}  // namespace contract
