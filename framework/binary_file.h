// Reading and writing the game's binary files: the small fixed tables of
// 4-byte words (settings, catalogue, lamp table, race paths) and the asset
// files (images, models, effects, text). Every reader takes its values
// through ByteCursor, so the bounds are checked here and nowhere else.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Reads a whole file, refusing files larger than maxBytes. False when the
// file cannot be opened or read, or is too large; `bytes` is then empty.
bool ReadWholeFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes);

// Largest asset file read (the biggest, a 1024² RGBA sheet, is 4 MiB).
inline constexpr size_t kMaxAssetFileBytes = size_t(256) << 20;

// Reads a whole asset file. False for a null or empty path, a file that
// cannot be read or one larger than kMaxAssetFileBytes.
bool ReadAssetFile(const char* path, std::vector<uint8_t>* bytes);

// Reads the start of a file, at most maxBytes; the rest of a longer file
// is not read. False when the file cannot be opened or read; `bytes` is
// then empty.
bool ReadFileStart(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes);

// Replaces the file at `path` with `bytes` so that a crash or a full disk
// never leaves a half-written file: the bytes go to a temporary file beside
// it, which is flushed and then renamed over the old one. On failure the old
// file is left whole, the temporary file is removed, and false is returned
// with the system's error number in `error` (0 on success) when one is given.
bool WriteFileAtomically(const std::string& path, const void* data, size_t size, int* error = nullptr);

// True when every one of the n values is a finite number: what a reader
// asks of the floats the game will compute with before it takes them.
inline bool AllFinite(const float* values, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (!std::isfinite(values[i])) return false;
  return true;
}

// A little-endian cursor over a byte range. A read past the end fails,
// leaves the output zeroed and marks the reader bad; later reads fail too,
// so a reader may read a whole record and test Ok() once.
class ByteCursor {
 public:
  ByteCursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  explicit ByteCursor(const std::vector<uint8_t>& bytes)
      : data_(bytes.data()), size_(bytes.size()) {}

  bool Ok() const { return ok_; }
  size_t Remaining() const { return ok_ ? size_ - pos_ : 0; }
  size_t Position() const { return pos_; }

  // True when at least n more bytes are there (a count read from the file
  // times its record size can be checked before anything is allocated).
  bool Has(size_t n) const { return ok_ && n <= size_ - pos_; }

  bool Bytes(void* out, size_t n) {
    if (!Has(n)) {
      ok_ = false;
      std::memset(out, 0, n);
      return false;
    }
    std::memcpy(out, data_ + pos_, n);
    pos_ += n;
    return true;
  }
  bool Skip(size_t n) {
    if (!Has(n)) return ok_ = false;
    pos_ += n;
    return true;
  }
  uint8_t U8() { uint8_t v; Bytes(&v, 1); return v; }
  int8_t I8() { return static_cast<int8_t>(U8()); }
  uint16_t U16() { uint8_t b[2]; Bytes(b, 2); return uint16_t(b[0] | (b[1] << 8)); }
  uint32_t U32() {
    uint8_t b[4];
    Bytes(b, 4);
    return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  float F32() {
    uint32_t bits = U32();
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
  }
  // A fixed-size text field, up to its first zero byte; a name that fills
  // the whole field ends at the field's end instead of running on.
  std::string FixedString(size_t size) {
    std::string text(size, '\0');
    Bytes(text.data(), size);
    text.resize(std::strlen(text.c_str()));
    return text;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

// Appends little-endian values; the counterpart of ByteCursor, used by the
// game's own writers, the data generator and the tests.
struct ByteBuffer {
  std::vector<uint8_t> bytes;

  void U8(uint8_t v) { bytes.push_back(v); }
  void U16(uint16_t v) { U8(uint8_t(v)); U8(uint8_t(v >> 8)); }
  void U32(uint32_t v) { U16(uint16_t(v)); U16(uint16_t(v >> 16)); }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void F32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    U32(bits);
  }
  void Bytes(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + size);
  }
  // A fixed-size, zero-padded text field (names in model files and the like).
  void FixedString(const std::string& text, size_t size) {
    for (size_t i = 0; i < size; ++i) U8(i < text.size() ? uint8_t(text[i]) : 0);
  }
};
