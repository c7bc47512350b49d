// The C runtime half of files.h, the same in the Win32 build and under the test doubles.
#include <cerrno>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "platform/files.h"
#include "platform/read_loop.h"

namespace platform {

int ReadFileBytes(std::FILE* file, std::size_t limit, std::string& bytes, bool& truncated) {
  // From the descriptor, not through stdio: fread asks the system once more after a short read
  // to see the end of the file.
#ifdef _WIN32
  const int fd = _fileno(file);
#else
  const int fd = fileno(file);
#endif
  return ReadUpTo(limit, bytes, truncated, [fd](char* into, std::size_t size, std::size_t& got) {
    errno = 0;
#ifdef _WIN32
    const auto count = _read(fd, into, static_cast<unsigned>(size));
#else
    const auto count = read(fd, into, size);
#endif
    if (count < 0) return errno != 0 ? errno : EIO;
    got = static_cast<std::size_t>(count);
    return 0;
  });
}

std::wstring RuntimeErrorText(int errorNumber) {
  // The runtime's texts are plain ASCII in both C libraries, so widening byte by byte is exact.
  const char* text = std::strerror(errorNumber);
  std::wstring wide;
  for (const char* c = text; *c != '\0'; ++c) wide += static_cast<wchar_t>(*c);
  return wide;
}

}  // namespace platform
