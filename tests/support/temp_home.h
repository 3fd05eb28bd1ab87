// A throw-away home folder for tests that read or write the save files.
#pragma once

#include <string>
#include <vector>
#include <cstdint>

#include "framework/settings.h"

class TempHome {
 public:
  // Creates an empty folder under the system's temporary folder and points
  // HOME at it (and clears XDG_CONFIG_HOME) for the life of the object.
  TempHome();
  ~TempHome();
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  const std::string& Path() const { return path_; }
  // <home>/Documents/Zarnok, where the game keeps its settings and career.
  std::string SaveFolder() const;
  // Writes a file into the save folder, creating the folder.
  void WriteSaveFile(const std::string& name, const std::vector<uint8_t>& bytes) const;
  // Reads a file of the save folder; empty when it does not exist.
  std::vector<uint8_t> ReadSaveFile(const std::string& name) const;
  // The saved career; a failure and a zeroed record when the file is not one record.
  CareerRecord SavedCareer() const;

 private:
  std::string path_;
  std::string oldHome_;
  bool hadHome_ = false;
};

// Reads a whole file; empty when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string& path);
