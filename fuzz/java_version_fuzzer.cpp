// Feeds arbitrary UTF-16 text to the version parser and checks that the order stays an order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "javainfo/java_version.h"

namespace {

// Pairs of bytes become UTF-16 code units; a 0xFFFF unit splits the input into texts.
std::wstring NextText(const std::uint8_t*& data, const std::uint8_t* end) {
  std::wstring text;
  while (end - data >= 2) {
    const auto unit = static_cast<wchar_t>(data[0] | (data[1] << 8));
    data += 2;
    if (unit == static_cast<wchar_t>(0xFFFF)) break;
    text += unit;
  }
  return text;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint8_t* end = data + size;
  const JavaVersion a = ParseJavaVersion(NextText(data, end));
  const JavaVersion b = ParseJavaVersion(NextText(data, end));
  const JavaVersion c = ParseJavaVersion(NextText(data, end));
  for (const JavaVersion* version : {&a, &b, &c}) {
    for (const std::int32_t number : version->numbers) Check(number >= 0);
    Check(MajorVersion(*version) >= 0);
    Check(CompareJavaVersions(*version, *version) == 0);
  }
  const int ab = CompareJavaVersions(a, b);
  const int bc = CompareJavaVersions(b, c);
  const int ac = CompareJavaVersions(a, c);
  Check(ab >= -1 && ab <= 1);
  Check(ab == -CompareJavaVersions(b, a));
  if (ab <= 0 && bc <= 0) Check(ac <= 0);
  if (ab == 0) Check(ac == bc);
  return 0;
}
