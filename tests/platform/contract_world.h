// What the contract tests need from the world they run in: the doubles natively, a Wine prefix
// under Win32. Everything else they do goes through the platform API alone.
#pragma once

#include <string>

namespace contract {

void ResetWorld();  // fresh doubles natively; the throwaway prefix needs nothing under Wine
std::wstring UniqueName(const std::wstring& stem);
void MakeDirectory(const std::wstring& path);  // makes parents
// A program image the system itself would run: the test program under Wine, a written one natively.
std::wstring RealProgramImage();
int OpenRegistryKeysLeft();  // natively the double's count; under Wine not observable, so 0

}  // namespace contract
