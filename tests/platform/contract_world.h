// What the contract tests need from the world they run in: the doubles natively, a Wine prefix
// under Win32. Everything else they do goes through the platform API alone.
#pragma once

namespace contract {

inline constexpr wchar_t kDirectory[] = L"C:\\KelvorContract";

void ResetWorld();  // fresh doubles natively; in both worlds, kDirectory exists afterwards

}  // namespace contract
