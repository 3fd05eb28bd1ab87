// Where the settings and the career go when the user's folder settings are
// hostile: nothing outside the documents folder is ever read or written.
#include "framework/settings.h"

#include "tests/support/temp_home.h"
#include "tools/binary_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace {

// Every file under the home folder but the documents folder, with its bytes.
std::map<std::string, std::vector<uint8_t>> FilesOutsideDocuments(const TempHome& home) {
  std::map<std::string, std::vector<uint8_t>> files;
  const std::string documents = home.Path() + "/Documents";
  for (const auto& entry : std::filesystem::recursive_directory_iterator(home.Path())) {
    const std::string path = entry.path().string();
    if (path.rfind(documents, 0) == 0) continue;
    files[path] = entry.is_regular_file() ? ReadFileBytes(path) : std::vector<uint8_t>{};
  }
  return files;
}

void WriteDocumentsEntry(const TempHome& home, const std::string& value) {
  ASSERT_TRUE(WriteTextFile(home.Path() + "/.config/user-dirs.dirs",
                            "XDG_DOCUMENTS_DIR=\"" + value + "\"\n"));
}

class SaveFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteTextFile(home.Path() + "/notes.txt", "the user's own notes\n"));
    gSettingsAccepted = 0;
  }
  TempHome home;
};

TEST_F(SaveFolderTest, EntryWithANulByteNeitherReadsNorOverwritesTheFileItNames) {
  WriteDocumentsEntry(home, std::string("$HOME/notes.txt") + '\0');
  const auto before = FilesOutsideDocuments(home);
  LoadSettings();
  LoadCareer();
  EXPECT_TRUE(SaveSettings());
  EXPECT_TRUE(SaveCareer());
  EXPECT_EQ(FilesOutsideDocuments(home), before);
  // The entry counts as unset: the files go to <home>/Documents/Zarnok.
  EXPECT_EQ(home.ReadSaveFile("menu.inf"), ReadFileBytes(kBaseSettingsPath));
  EXPECT_EQ(home.ReadSaveFile("career.inf"), ReadFileBytes(kBaseCareerPath));
}

TEST_F(SaveFolderTest, FolderThatCannotBeMadeRefusesTheSaveAndWritesNothing) {
  WriteDocumentsEntry(home, "$HOME/notes.txt");  // a file where the folder should be
  const auto before = FilesOutsideDocuments(home);
  LoadSettings();
  LoadCareer();
  EXPECT_EQ(gResolutionIndex, 0);  // read from base/
  ::testing::internal::CaptureStderr();
  const bool settingsSaved = SaveSettings();
  const bool careerSaved = SaveCareer();
  const std::string messages = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(settingsSaved);
  EXPECT_FALSE(careerSaved);
  EXPECT_NE(messages.find("Cannot save menu.inf"), std::string::npos) << messages;
  EXPECT_NE(messages.find("Cannot save career.inf"), std::string::npos) << messages;
  EXPECT_EQ(FilesOutsideDocuments(home), before);
  EXPECT_FALSE(std::filesystem::exists(home.Path() + "/Documents"));
}

}  // namespace
