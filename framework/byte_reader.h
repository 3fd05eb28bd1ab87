// Bounds-checked reading of the asset files (images, models, effects, text)
// held in memory: their readers take every value through ByteCursor, so no
// reader can step past the data. The small fixed tables of 4-byte words go
// through framework/binary_file.h instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Largest asset file read (the biggest, a 1024² RGBA sheet, is 4 MiB).
inline constexpr size_t kMaxAssetFileBytes = size_t(256) << 20;

// Reads a whole asset file. False for a null or empty path, a file that
// cannot be read or one larger than kMaxAssetFileBytes.
bool ReadAssetFile(const char* path, std::vector<uint8_t>* bytes);

// A cursor over a byte range. A read past the end fails, leaves the output
// zeroed and marks the reader bad; later reads fail too, so a reader may
// read a whole record and test Ok() once.
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
