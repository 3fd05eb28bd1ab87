#include "tests/support/temp_home.h"

#include "tools/binary_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

TempHome::TempHome() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zarnok-home-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
  if (const char* home = std::getenv("HOME")) {
    hadHome_ = true;
    oldHome_ = home;
  }
  setenv("HOME", path_.c_str(), 1);
  // The documents folder then is <home>/Documents, whatever the user's own
  // XDG configuration says.
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("XDG_DOCUMENTS_DIR");
}

TempHome::~TempHome() {
  if (hadHome_) setenv("HOME", oldHome_.c_str(), 1);
  else unsetenv("HOME");
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

std::string TempHome::SaveFolder() const { return path_ + "/Documents/Zarnok"; }

void TempHome::WriteSaveFile(const std::string& name, const std::vector<uint8_t>& bytes) const {
  if (!WriteFileBytes(SaveFolder() + "/" + name, bytes)) throw std::runtime_error("write failed");
}

std::vector<uint8_t> TempHome::ReadSaveFile(const std::string& name) const {
  return ReadFileBytes(SaveFolder() + "/" + name);
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

CareerRecord TempHome::SavedCareer() const {
  const std::vector<uint8_t> file = ReadSaveFile("career.inf");
  CareerRecord career = {};
  EXPECT_EQ(file.size(), kCareerFileSize);
  if (file.size() == kCareerFileSize) std::memcpy(&career, file.data(), sizeof career);
  return career;
}
