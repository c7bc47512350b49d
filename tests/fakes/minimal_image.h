// The bytes of the smallest program image the loader accepts, shared by the file double and the
// contract test that shows the real GetBinaryTypeW accepts them too.
#pragma once

#include <cstddef>
#include <string>

namespace fake {

inline std::string MinimalExecutableImage() {
  // A PE32 header with no sections: enough for the loader to call it an image.
  std::string image(0x200, '\0');
  auto put16 = [&](std::size_t at, unsigned value) {
    image[at] = static_cast<char>(value & 0xFF);
    image[at + 1] = static_cast<char>((value >> 8) & 0xFF);
  };
  auto put32 = [&](std::size_t at, unsigned value) {
    put16(at, value & 0xFFFF);
    put16(at + 2, value >> 16);
  };
  image[0] = 'M';
  image[1] = 'Z';
  put32(0x3C, 0x40);
  image.replace(0x40, 4, std::string("PE\0\0", 4));
  put16(0x44, 0x14C);   // i386
  put16(0x54, 0xE0);    // size of the optional header
  put16(0x56, 0x0102);  // executable, 32-bit
  const std::size_t optional = 0x58;
  put16(optional, 0x10B);
  put32(optional + 28, 0x400000);  // image base
  put32(optional + 32, 0x1000);    // section alignment
  put32(optional + 36, 0x200);     // file alignment
  put16(optional + 40, 4);         // operating system version
  put16(optional + 48, 4);         // subsystem version
  put32(optional + 56, 0x1000);    // size of image
  put32(optional + 60, 0x200);     // size of headers
  put16(optional + 68, 3);         // console subsystem
  put32(optional + 72, 0x100000);
  put32(optional + 76, 0x1000);
  put32(optional + 80, 0x100000);
  put32(optional + 84, 0x1000);
  put32(optional + 92, 16);  // data directories
  return image;
}

}  // namespace fake
