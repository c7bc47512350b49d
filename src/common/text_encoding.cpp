// Conversions between UTF-16 text in memory and the bytes of files and registry values.
#include "common/text_encoding.h"

#include <utility>

#include "platform/files.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr int kInvalidArgument = 22;  // EINVAL, spelled out so both builds agree
// A settings or release file is a few hundred bytes; the cap only keeps a wrong file harmless.
constexpr std::size_t kTextFileLimit = 64u * 1024u * 1024u;

bool IsHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendCodePoint(char32_t codePoint, std::wstring& text) {
  if (codePoint >= 0x10000) {
    codePoint -= 0x10000;
    text.push_back(static_cast<wchar_t>(0xD800 + (codePoint >> 10)));
    text.push_back(static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF)));
  } else {
    text.push_back(static_cast<wchar_t>(codePoint));
  }
}

// A unit goes in; CR LF comes out as LF, one unit late, so the decoders need not look ahead.
class LineEndFolder {
 public:
  explicit LineEndFolder(std::wstring& text) : text_(text) {}
  void Put(char32_t codePoint) {
    if (pendingCarriageReturn_) {
      pendingCarriageReturn_ = false;
      if (codePoint != U'\n') text_.push_back(L'\r');
    }
    if (codePoint == U'\r') {
      pendingCarriageReturn_ = true;
      return;
    }
    AppendCodePoint(codePoint, text_);
  }
  void Finish() {
    if (pendingCarriageReturn_) text_.push_back(L'\r');
    pendingCarriageReturn_ = false;
  }

 private:
  std::wstring& text_;
  bool pendingCarriageReturn_ = false;
};

// Lead byte classes follow the Unicode table of well-formed sequences, so overlong forms and
// encoded surrogates are refused at the first byte that cannot belong to them; each refused
// maximal prefix becomes one U+FFFD.
void DecodeUtf8(const unsigned char* data, std::size_t size, LineEndFolder& out) {
  std::size_t index = 0;
  while (index < size) {
    const unsigned char lead = data[index];
    if (lead < 0x80) {
      out.Put(lead);
      ++index;
      continue;
    }
    std::size_t length = 0;
    char32_t codePoint = 0;
    unsigned char lowest = 0x80;
    unsigned char highest = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      codePoint = lead & 0x0Fu;
      if (lead == 0xE0) lowest = 0xA0;
      if (lead == 0xED) highest = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      codePoint = lead & 0x07u;
      if (lead == 0xF0) lowest = 0x90;
      if (lead == 0xF4) highest = 0x8F;
    } else {
      out.Put(kReplacement);
      ++index;
      continue;
    }
    std::size_t consumed = 1;
    bool complete = true;
    for (; consumed < length; ++consumed) {
      if (index + consumed >= size) {
        complete = false;
        break;
      }
      const unsigned char next = data[index + consumed];
      if (next < lowest || next > highest) {
        complete = false;
        break;
      }
      codePoint = (codePoint << 6) | (next & 0x3Fu);
      lowest = 0x80;
      highest = 0xBF;
    }
    out.Put(complete ? codePoint : kReplacement);
    index += consumed;
  }
}

void DecodeUtf16LeUnits(const unsigned char* data, std::size_t size, LineEndFolder& out) {
  for (std::size_t index = 0; index + 1 < size; index += 2) {
    out.Put(static_cast<char32_t>(data[index] | (data[index + 1] << 8)));
  }
}

void AppendUtf8(char32_t codePoint, std::string& bytes) {
  if (codePoint < 0x80) {
    bytes.push_back(static_cast<char>(codePoint));
  } else if (codePoint < 0x800) {
    bytes.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
    bytes.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else if (codePoint < 0x10000) {
    bytes.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
    bytes.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    bytes.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else {
    bytes.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
    bytes.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
    bytes.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    bytes.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  }
}

}  // namespace

int DecodeTextFile(const std::string& bytes, std::wstring& text) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  const bool utf16BigEndian = size >= 2 && data[0] == 0xFE && data[1] == 0xFF;
  if (utf16BigEndian) return kInvalidArgument;

  std::wstring decoded;
  decoded.reserve(size);
  LineEndFolder folder(decoded);
  if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
    DecodeUtf16LeUnits(data + 2, size - 2, folder);
  } else if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
    DecodeUtf8(data + 3, size - 3, folder);
  } else {
    DecodeUtf8(data, size, folder);
  }
  folder.Finish();
  text = std::move(decoded);
  return 0;
}

std::string EncodeUtf8(const std::wstring& text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t index = 0; index < text.size(); ++index) {
    const auto unit = static_cast<char32_t>(text[index]);
    if (IsHighSurrogate(unit) && index + 1 < text.size() &&
        IsLowSurrogate(static_cast<char32_t>(text[index + 1]))) {
      const auto low = static_cast<char32_t>(text[index + 1]);
      AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), bytes);
      ++index;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit) || unit > 0x10FFFF) {
      AppendUtf8(kReplacement, bytes);
    } else {
      AppendUtf8(unit, bytes);
    }
  }
  return bytes;
}

std::vector<std::uint8_t> EncodeUtf16Le(const std::wstring& text, bool withTerminator) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve((text.size() + 1) * 2);
  const auto putUnit = [&bytes](char32_t unit) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFF));
  };
  for (const wchar_t character : text) {
    auto codePoint = static_cast<char32_t>(character);
    if (codePoint > 0x10FFFF) codePoint = kReplacement;
    if (codePoint >= 0x10000) {  // only where wchar_t is 32 bits
      codePoint -= 0x10000;
      putUnit(0xD800 + (codePoint >> 10));
      putUnit(0xDC00 + (codePoint & 0x3FF));
    } else {
      putUnit(codePoint);
    }
  }
  if (withTerminator) putUnit(0);
  return bytes;
}

std::wstring DecodeUtf16Le(const std::uint8_t* data, std::size_t sizeInBytes) {
  std::wstring text;
  if (data == nullptr) return text;
  text.reserve(sizeInBytes / 2);
  for (std::size_t index = 0; index + 1 < sizeInBytes; index += 2) {
    const auto unit = static_cast<wchar_t>(data[index] | (data[index + 1] << 8));
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

bool ReadTextFile(const std::wstring& path, std::wstring& text) {
  std::string bytes;
  bool truncated = false;
  // A read that fails part-way is the end of the file: the lines before it were read, as the
  // runtime's formatted reads would have read them. A file that gives nothing is a failure.
  if (platform::ReadWholeFile(path, kTextFileLimit, bytes, truncated) != 0 && bytes.empty())
    return false;
  // Past the cap only the start is decoded: that is where any line a reader wants would be.
  return DecodeTextFile(bytes, text) == 0;
}
