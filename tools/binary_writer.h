// File writing shared by every writer of the generator and by the tests
// that make bad files on purpose. The little-endian ByteBuffer itself is
// the game's own (framework/binary_file.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/binary_file.h"

// Writes the buffer to the file, creating missing parent folders. True on success.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool WriteTextFile(const std::string& path, const std::string& text);
