// Reading and writing the game's small binary files (settings, career,
// catalogue, lamp table, race paths): little-endian 4-byte values in a fixed
// order, no header. Every reader of those files goes through ByteReader, so
// the bounds are checked here and nowhere else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads a whole file, refusing files larger than maxBytes. False when the
// file cannot be opened or read, or is too large; `bytes` is then empty.
bool ReadWholeFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes);

// Reads the start of a file, at most maxBytes; the rest of a longer file
// is not read. False when the file cannot be opened or read; `bytes` is
// then empty.
bool ReadFileStart(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes);

// Replaces the file at `path` with `bytes` so that a crash or a full disk
// never leaves a half-written file: the bytes go to a temporary file beside
// it, which is flushed and then renamed over the old one. On failure the old
// file is left whole, the temporary file is removed, and false is returned.
bool WriteFileAtomically(const std::string& path, const void* data, size_t size);

// Sequential little-endian reader over a byte block. A read past the end
// fails and leaves the destination untouched.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  explicit ByteReader(const std::vector<uint8_t>& bytes) : ByteReader(bytes.data(), bytes.size()) {}

  bool I32(int32_t& value);
  bool F32(float& value);
  size_t Remaining() const { return size_ - offset_; }

 private:
  bool Take4(uint32_t& bits);

  const uint8_t* data_;
  size_t size_;
  size_t offset_ = 0;
};

// Appends little-endian 4-byte values; the counterpart of ByteReader.
struct ByteWriter {
  std::vector<uint8_t> bytes;
  void I32(int32_t value);
  void F32(float value);
};
