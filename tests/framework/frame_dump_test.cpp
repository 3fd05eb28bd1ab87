// The tests' frame dumps (frames/*.tga) are upright for a person: what is
// drawn at the top left of the frame is at the top left of the picture.
#include "platform/gl.h"
#include "tests/support/gl_window.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/temp_home.h"
#include "tests/support/tga_view.h"

#include <gtest/gtest.h>

TEST(FrameDump, ShapeDrawnAtTheTopLeftIsAtTheTopLeftOfThePicture) {
  REQUIRE_GL_WINDOW(window);
  window->BeginMenuFrame(0, 0, 0);
  glDisable(GL_TEXTURE_2D);
  glColor3f(1, 1, 1);
  glBegin(GL_QUADS);  // the top-left corner of the 800 × 600 menu frame (y grows upwards)
  glVertex2f(0, 500);
  glVertex2f(200, 500);
  glVertex2f(200, 600);
  glVertex2f(0, 600);
  glEnd();
  glEnable(GL_TEXTURE_2D);
  ScratchFolder folder;
  ASSERT_TRUE(window->DumpFrame(folder.File("frame.tga")));

  const std::vector<uint8_t> file = ReadFileBytes(folder.File("frame.tga"));
  for (bool readsFlag : {true, false}) {
    const RgbImage shown = ViewTga(file, readsFlag);
    ASSERT_EQ(shown.height, GlWindow::kHeight);
    EXPECT_EQ(shown.At(10, 10)[0], 255) << "top left; viewer reads the origin flag: " << readsFlag;
    EXPECT_EQ(shown.At(10, GlWindow::kHeight - 10)[0], 0) << "bottom left; viewer reads the flag: " << readsFlag;
    EXPECT_EQ(shown.At(GlWindow::kWidth - 10, 10)[0], 0) << "top right; viewer reads the flag: " << readsFlag;
  }
}
