#include "framework/binary_file.h"

#include <cstdio>
#include <filesystem>
#include <unistd.h>

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

bool WriteFileAtomically(const std::string& path, const void* data, size_t size) {
  const std::string temporary = path + ".tmp";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return false;
  bool ok = size == 0 || std::fwrite(data, 1, size, file) == size;
  ok = std::fflush(file) == 0 && ok;
  ok = fsync(fileno(file)) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  std::error_code error;
  if (ok) {
    std::filesystem::rename(temporary, path, error);
    ok = !error;
  }
  if (!ok) std::filesystem::remove(temporary, error);
  return ok;
}
