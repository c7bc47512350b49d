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

namespace platform {

int ReadFileBytes(std::FILE* file, std::size_t limit, std::string& bytes, bool& truncated) {
  std::string kept;
  bool more = false;
  char chunk[16384];
  for (;;) {
    const std::size_t count = std::fread(chunk, 1, sizeof chunk, file);
    if (count == 0) break;
    const std::size_t room = limit - kept.size();
    kept.append(chunk, count < room ? count : room);
    if (count > room) {
      more = true;  // one byte past the limit is proof enough; no need to read the rest
      break;
    }
    // A short count means end of file or an error: asking again would only cost another read.
    if (count < sizeof chunk) break;
  }
  const int error = std::ferror(file) ? (errno != 0 ? errno : EIO) : 0;
  // What came before an error is handed back too: a reader may treat the error as the end.
  bytes = std::move(kept);
  truncated = more;
  return error;
}

int WriteFileBytes(std::FILE* file, const std::string& bytes) {
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
    const int error = errno;
    return error != 0 ? error : EIO;
  }
  if (std::fflush(file) != 0) {
    const int error = errno;
    return error != 0 ? error : EIO;
  }
  return 0;
}

int FinishFile(UniqueFile& file) {
  std::FILE* const closing = file.release();
  if (closing == nullptr) return EBADF;
  errno = 0;
#ifdef _WIN32
  // _commit is FlushFileBuffers on the file's handle.
  bool failed = std::fflush(closing) != 0 || _commit(_fileno(closing)) != 0;
#else
  bool failed = std::fflush(closing) != 0 || fsync(fileno(closing)) != 0;
#endif
  const int flushError = errno;
  failed = std::fclose(closing) != 0 || failed;
  const int error = flushError != 0 ? flushError : errno;
  return failed ? (error != 0 ? error : EIO) : 0;
}

std::wstring RuntimeErrorText(int errorNumber) {
  // The runtime's texts are plain ASCII in both C libraries, so widening byte by byte is exact.
  const char* text = std::strerror(errorNumber);
  std::wstring wide;
  for (const char* c = text; *c != '\0'; ++c) wide += static_cast<wchar_t>(*c);
  return wide;
}

}  // namespace platform
