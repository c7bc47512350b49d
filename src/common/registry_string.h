// String values of any registry key: the settings store and the Java search both read them.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"

// Reads a REG_SZ or REG_EXPAND_SZ value (taken literally) of any length, in up to 5 queries.
// True with `out` set, or false with `out` untouched (missing, another type, or unreadable).
bool ReadRegistryString(const platform::RegistryKey& key, const std::wstring& name,
                        std::wstring& out);

// Writes `text` as REG_SZ with its terminator; the first failing status lands in `firstError`
// (which the caller starts at 0) and later ones do not replace it.
void WriteRegistryString(const platform::RegistryKey& key, const std::wstring& name,
                         const std::wstring& text, std::int32_t& firstError);
