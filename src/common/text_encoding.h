// Conversions between UTF-16 text in memory and the bytes of files and registry values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Texts hold UTF-16 code units, one per wchar_t, on both builds: where wchar_t is 32 bits a
// character outside the BMP is still two surrogate units, so both builds see the same text.

// Decodes a text file's bytes as the runtime's "rt, ccs=UTF-8" mode reads them: a UTF-8 BOM is
// skipped, a UTF-16LE BOM switches to UTF-16LE (an odd last byte dropped), a UTF-16BE BOM is
// refused with 22 (EINVAL, as the runtime's open refuses it), anything else is UTF-8 (invalid
// sequences become U+FFFD), and CR LF becomes LF. Returns 0 or 22; `text` is untouched on 22.
int DecodeTextFile(const std::string& bytes, std::wstring& text);

// UTF-8 without a BOM; LF stays LF (callers add CR themselves). Surrogate pairs are combined, a
// lone surrogate becomes U+FFFD.
std::string EncodeUtf8(const std::wstring& text);

// UTF-16LE bytes, as registry string data is stored; with `withTerminator` a zero unit follows.
std::vector<std::uint8_t> EncodeUtf16Le(const std::wstring& text, bool withTerminator);

// The UTF-16LE text in `data` up to its first zero unit or its end (an odd last byte is dropped).
std::wstring DecodeUtf16Le(const std::uint8_t* data, std::size_t sizeInBytes);

// Reads a whole text file through the platform layer and decodes it as DecodeTextFile does.
// A read error after the first bytes ends the text there. False when the file cannot be opened,
// fails before its first byte, or is UTF-16BE; `text` is then untouched.
bool ReadTextFile(const std::wstring& path, std::wstring& text);
