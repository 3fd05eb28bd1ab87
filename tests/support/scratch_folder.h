// A throw-away folder for test files, removed with everything in it.
#pragma once

#include <string>

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& Path() const { return path_; }
  // Path of a file in the folder (the file is not made).
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};
