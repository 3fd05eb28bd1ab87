#include "framework/binary_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

bool ReadWholeFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes) {
  bytes.clear();
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  uint8_t chunk[4096];
  bool ok = true;
  for (;;) {
    size_t got = std::fread(chunk, 1, sizeof chunk, file);
    if (bytes.size() + got > maxBytes) {
      ok = false;
      break;
    }
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (got < sizeof chunk) {
      ok = !std::ferror(file);
      break;
    }
  }
  std::fclose(file);
  if (!ok) bytes.clear();
  return ok;
}

bool ReadAssetFile(const char* path, std::vector<uint8_t>* bytes) {
  bytes->clear();
  if (path == nullptr || path[0] == '\0') return false;
  return ReadWholeFile(path, kMaxAssetFileBytes, *bytes);
}

bool ReadFileStart(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes) {
  bytes.clear();
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  bytes.resize(maxBytes);
  size_t got = std::fread(bytes.data(), 1, maxBytes, file);
  bool ok = !std::ferror(file);
  std::fclose(file);
  bytes.resize(ok ? got : 0);
  return ok;
}

bool WriteFileAtomically(const std::string& path, const void* data, size_t size, int* error) {
  // Plain system calls, no stdio: the shutdown guard writes through here
  // while another thread may hold a stream's lock (stderr into a full pipe).
  const std::string temporary = path + ".tmp";
  const int file = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  int failure = file < 0 ? errno : 0;
  const auto* bytes = static_cast<const uint8_t*>(data);
  for (size_t written = 0; failure == 0 && written < size;) {
    const ssize_t n = ::write(file, bytes + written, size - written);
    if (n > 0) written += size_t(n);
    else if (n < 0 && errno != EINTR) failure = errno;
  }
  if (failure == 0 && ::fsync(file) != 0) failure = errno;
  if (file >= 0 && ::close(file) != 0 && failure == 0) failure = errno;
  if (failure == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) failure = errno;
  if (failure != 0 && file >= 0) ::unlink(temporary.c_str());
  if (error) *error = failure;
  return failure == 0;
}
