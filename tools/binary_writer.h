// Little-endian file writing shared by every writer of the generator and by
// the tests that make bad files on purpose.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ByteBuffer {
  std::vector<uint8_t> bytes;

  void U8(uint8_t v) { bytes.push_back(v); }
  void U16(uint16_t v) { U8(uint8_t(v)); U8(uint8_t(v >> 8)); }
  void U32(uint32_t v) { U16(uint16_t(v)); U16(uint16_t(v >> 16)); }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void F32(float v);
  void Bytes(const void* data, size_t size);
  // A fixed-size, zero-padded text field (names in model files and the like).
  void FixedString(const std::string& text, size_t size);
};

// Writes the buffer to the file, creating missing parent folders. True on success.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool WriteTextFile(const std::string& path, const std::string& text);
