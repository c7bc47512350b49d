// The bounded read-to-the-end loop behind both whole-file readers of files.h; each gives it its
// own way of reading a chunk and of naming an error.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// `readSome(into, size, got)` reads at most `size` bytes, sets `got` and returns 0 or an error
// code. What came before an error is handed back too: a reader may treat the error as the end.
template <typename ReadSome>
int ReadUpTo(std::size_t limit, std::string& bytes, bool& truncated, ReadSome readSome) {
  std::string kept;
  bool more = false;
  int error = 0;
  char chunk[16384];
  for (;;) {
    std::size_t got = 0;
    error = readSome(chunk, sizeof chunk, got);
    if (error != 0 || got == 0) break;
    const std::size_t room = limit - kept.size();
    kept.append(chunk, got < room ? got : room);
    if (got > room) {
      more = true;  // one byte past the limit is proof enough; no need to read the rest
      break;
    }
    // A short count from a file already says it ended: asking again would cost a system call
    // for every small file.
    if (got < sizeof chunk) break;
  }
  bytes = std::move(kept);
  truncated = more;
  return error;
}

}  // namespace platform
