// The bytes of the smallest program image the loader accepts, shared by the
// file double and the contract test that shows the real GetBinaryTypeW accepts
// them too.
#pragma once

#include <cstdint>
#include <string>

namespace fake {

inline std::string MinimalExecutableImage() {
  // A PE32 header with no sections: "MZ", the offset of "PE\0\0", an i386
  // executable whose optional header gives the image base, alignments, versions
  // 4, sizes, the console subsystem, stack and heap sizes and 16 data
  // directories.
  const struct {
    std::size_t at;
    std::uint32_t value;
  } fields[] = {{0x00, 0x5A4D},   {0x3C, 0x40},   {0x40, 0x4550},   {0x44, 0x14C},  {0x54, 0xE0},
                {0x56, 0x0102},   {0x58, 0x10B},  {0x74, 0x400000}, {0x78, 0x1000}, {0x7C, 0x200},
                {0x80, 4},        {0x88, 4},      {0x90, 0x1000},   {0x94, 0x200},  {0x9C, 3},
                {0xA0, 0x100000}, {0xA4, 0x1000}, {0xA8, 0x100000}, {0xAC, 0x1000}, {0xB4, 16}};
  std::string image(0x200, '\0');
  for (const auto& field : fields) {
    for (int byte = 0; byte < 4; ++byte)
      image[field.at + byte] = static_cast<char>((field.value >> (8 * byte)) & 0xFF);
  }
  return image;
}

}  // namespace fake
