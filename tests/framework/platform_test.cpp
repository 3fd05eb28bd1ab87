// Platform services that need no window: the documents folder, typed
// characters, the input script and the frame-dump encoder.
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "tests/support/png_image.h"
#include "tests/support/temp_home.h"
#include "tools/binary_writer.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <string>
#include <thread>

namespace {

void WriteUserDirs(const TempHome& home, const std::string& text) {
  ASSERT_TRUE(WriteTextFile(home.Path() + "/.config/user-dirs.dirs", text));
}

}  // namespace

TEST(DocumentsFolder, FollowsTheUsersXdgEntryElseDocumentsInTheHomeFolder) {
  TempHome home;
  EXPECT_EQ(Sys_DocumentsFolder(), home.Path() + "/Documents");
  WriteUserDirs(home, "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                      "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente/\"\n");
  EXPECT_EQ(Sys_DocumentsFolder(), home.Path() + "/Dokumente");
  WriteUserDirs(home, "XDG_DOCUMENTS_DIR=\"/srv/papers\"\n");
  EXPECT_EQ(Sys_DocumentsFolder(), "/srv/papers");
  // An entry naming the home folder itself, or a relative one, means unset.
  WriteUserDirs(home, "XDG_DOCUMENTS_DIR=\"$HOME/\"\n");
  EXPECT_EQ(Sys_DocumentsFolder(), home.Path() + "/Documents");
  WriteUserDirs(home, "XDG_DOCUMENTS_DIR=\"relative\"\n");
  EXPECT_EQ(Sys_DocumentsFolder(), home.Path() + "/Documents");
}

TEST(DocumentsFolder, EntryWithANulOrARelativeHomeCountsAsUnset) {
  TempHome home;
  WriteUserDirs(home, std::string("XDG_DOCUMENTS_DIR=\"$HOME/notes.txt") + '\0' + "\"\n");
  EXPECT_EQ(Sys_DocumentsFolder(), home.Path() + "/Documents");
  WriteUserDirs(home, std::string("XDG_DOCUMENTS_DIR=\"/srv/pa") + '\0' + "pers\"\n");
  EXPECT_EQ(Sys_DocumentsFolder(), home.Path() + "/Documents");
  // A relative home folder would put the saves wherever the game runs.
  setenv("HOME", "relative/home", 1);
  EXPECT_EQ(Sys_DocumentsFolder(), "");
}

TEST(TypedCharacters, TextFromTheSystemKeepsWhatCodePage1251Has) {
  EXPECT_EQ(Sys_Cp1251FromUtf8("Ivan"), "Ivan");
  // А Я а я, then "Ёж ё", then an e-acute and a smiley, both dropped.
  EXPECT_EQ(Sys_Cp1251FromUtf8("\xD0\x90\xD0\xAF\xD0\xB0\xD1\x8F"), "\xC0\xDF\xE0\xFF");
  EXPECT_EQ(Sys_Cp1251FromUtf8("\xD0\x81\xD0\xB6 \xD1\x91\xC3\xA9\xF0\x9F\x98\x80"),
            "\xA8\xE6 \xB8");
  EXPECT_EQ(Sys_Cp1251FromUtf8("\t\x7F"), "");            // control characters come from key presses
  EXPECT_EQ(Sys_Cp1251FromUtf8("\xD0"), "");               // cut off
  EXPECT_EQ(Sys_Cp1251FromUtf8("\x80\xD0\x90"), "\xC0");  // stray continuation byte, then A
}

TEST(InputScript, ReadsEveryActionAtItsFrame) {
  auto events = ParseInputScript(
      "# a comment line\n"
      "3 key-down 13   # Enter\n"
      "4 key-up 13\n"
      "5 char 224\n"
      "6 mouse-move 512 384\n"
      "7 mouse-down right\n"
      "8 mouse-up left\n"
      "9 quit\n"
      "10 close\n");
  ASSERT_EQ(events.size(), 8u);
  EXPECT_EQ(events[0].frame, 3u);
  EXPECT_EQ(events[0].event.kind, EventKind::KeyDown);
  EXPECT_EQ(events[0].event.code, 13);
  EXPECT_EQ(events[2].event.kind, EventKind::Char);
  EXPECT_EQ(events[2].event.code, 224);
  EXPECT_EQ(events[3].event.x, 512);
  EXPECT_EQ(events[3].event.y, 384);
  EXPECT_EQ(events[4].event.kind, EventKind::ButtonDown);
  EXPECT_EQ(events[4].event.code, 1);
  EXPECT_EQ(events[5].event.code, 0);
  EXPECT_EQ(events[6].event.kind, EventKind::QuitRequest);
  EXPECT_EQ(events[7].event.kind, EventKind::Close);
}

TEST(InputScript, SkipsLinesItCannotRead) {
  auto events = ParseInputScript(
      "1 key-down 300\n"  // no such key code
      "2 jump\n"
      "x key-down 13\n"
      "5 mouse-down middle\n"
      "6 key-down 65\n"
      "4 key-up 65\n");  // out of frame order
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].event.code, 65);
}

TEST(FrameDump, PngHoldsThePixelsRowsTopToBottom) {
  const int width = 3, height = 40000 / 3 / 3;  // more than one stored block
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 7 + i / 5);
  std::vector<uint8_t> wide(static_cast<size_t>(300) * 300 * 3, 0x5A);
  for (auto [w, h, pixels] : {std::tuple{width, height, &rgb}, std::tuple{300, 300, &wide}}) {
    RgbImage image = DecodeStoredPng(EncodePng(w, h, *pixels));
    ASSERT_EQ(image.width, w);
    ASSERT_EQ(image.height, h);
    EXPECT_EQ(image.rgb, *pixels);
  }
}

TEST(ThreadName, IsWhatAProfilerSeesAndAnOverlongOneIsCutNotRefused) {
  char seen[64] = {};
  std::thread([&] {
    Sys_NameThisThread("zarnok-worker");
    pthread_getname_np(pthread_self(), seen, sizeof seen);
  }).join();
  EXPECT_STREQ(seen, "zarnok-worker");
  std::thread([&] {
    Sys_NameThisThread("a-name-far-longer-than-fifteen");
    pthread_getname_np(pthread_self(), seen, sizeof seen);
  }).join();
  EXPECT_STREQ(seen, "a-name-far-long");
}
