#include "framework/byte_reader.h"

#include "framework/binary_file.h"

bool ReadAssetFile(const char* path, std::vector<uint8_t>* bytes) {
  bytes->clear();
  if (path == nullptr || path[0] == '\0') return false;
  return ReadWholeFile(path, kMaxAssetFileBytes, *bytes);
}
