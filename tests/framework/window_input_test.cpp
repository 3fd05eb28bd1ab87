// Window messages into the input state, and the extension-list test.
#include "framework/window.h"
#include "tests/framework/hand_over_state.h"

#include <gtest/gtest.h>

namespace {

class WindowMessages : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHandOverState(ScreenState::Splash);
    gCharTyped = 0;
    gFreeCamera = 0;
    gAppActive = 1;
  }
};

}  // namespace

TEST_F(WindowMessages, KeysGoDownAndUpByVirtualKeyCode) {
  MainWindowProc({EventKind::KeyDown, vk::kShift});
  MainWindowProc({EventKind::KeyDown, 'W'});
  EXPECT_EQ(gKeys[vk::kShift], 1);
  EXPECT_EQ(gKeys['W'], 1);
  MainWindowProc({EventKind::KeyUp, 'W'});
  EXPECT_EQ(gKeys['W'], 0);
  EXPECT_EQ(gKeys[vk::kShift], 1);
}

TEST_F(WindowMessages, TypedCharacterLastsForItsOwnMessageOnly) {
  MainWindowProc({EventKind::Char, 0xC0});
  EXPECT_EQ(gCharTyped, 1);
  EXPECT_EQ(gTypedChar, 0xC0);
  MainWindowProc({EventKind::MouseMove, 0, 10, 20});
  EXPECT_EQ(gCharTyped, 0);
}

TEST_F(WindowMessages, MouseButtonsFreeTheCameraAndRestartTheDrag) {
  gMouseX = 300;
  gMouseY = 200;
  MainWindowProc({EventKind::MouseMove, 0, 640, 480});
  EXPECT_EQ(gCursorPos.x, 640);
  EXPECT_EQ(gCursorPos.y, 480);
  EXPECT_EQ(gMouseMoved, 1);
  MainWindowProc({EventKind::ButtonDown, 1, 640, 480});
  EXPECT_EQ(gRightButton, 1);
  EXPECT_EQ(gLeftButton, 0);
  EXPECT_EQ(gFreeCamera, 1);
  EXPECT_EQ(gDragStartX, 300);
  EXPECT_EQ(gDragLastY, 200);
  MainWindowProc({EventKind::ButtonDown, 0});
  MainWindowProc({EventKind::ButtonUp, 1});
  EXPECT_EQ(gLeftButton, 1);
  EXPECT_EQ(gRightButton, 0);
}

TEST_F(WindowMessages, FocusDecidesWhetherFramesRun) {
  MainWindowProc({EventKind::Deactivate});
  EXPECT_EQ(gAppActive, 0);
  MainWindowProc({EventKind::Activate});
  EXPECT_EQ(gAppActive, 1);
}

TEST_F(WindowMessages, ClosingTheWindowPostsTheQuitMessage) {
  MainWindowProc({EventKind::Close});
  Event next{EventKind::Close};
  ASSERT_TRUE(Sys_NextEvent(&next));
  EXPECT_EQ(next.kind, EventKind::Quit);
  EXPECT_EQ(gQuit, 0);  // the loop, not the window procedure, ends the program
}

TEST_F(WindowMessages, SystemQuitRequestActsLikeTheQuitConfirmation) {
  MainWindowProc({EventKind::QuitRequest});
  EXPECT_EQ(gQuitRequested, 1);
}

TEST(ExtensionList, MatchesWholeEntriesOnly) {
  const char* list = "GL_ARB_multitexture\nGL_EXT_texture_env_combine\nGL_ARB_shader_objects";
  EXPECT_TRUE(HasExtension(list, "GL_ARB_multitexture"));
  EXPECT_TRUE(HasExtension(list, "GL_EXT_texture_env_combine"));
  EXPECT_TRUE(HasExtension(list, "GL_ARB_shader_objects"));  // the last entry has no separator
  EXPECT_FALSE(HasExtension(list, "GL_ARB_multi"));          // a prefix
  EXPECT_FALSE(HasExtension(list, "texture_env"));           // a part
  EXPECT_FALSE(HasExtension(list, "GL_ARB_shader"));
  EXPECT_FALSE(HasExtension(list, "GL_ARB_multitexture\nGL_EXT"));
  EXPECT_FALSE(HasExtension("GL_ARB_mXultitexture", "GL_ARB_multitexture"));
  EXPECT_FALSE(HasExtension("", "GL_ARB_multitexture"));
}
