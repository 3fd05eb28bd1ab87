// Window messages into the input state, the system's events into window
// messages, and the extension-list test.
#include "app/window.h"
#include "platform/gl.h"
#include "tests/support/hand_over_state.h"
#include "tests/support/game_runner.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

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
  EndInputFrame();
  MainWindowProc({EventKind::KeyDown, 'W'});  // a repeat of the held key
  MainWindowProc({EventKind::KeyUp, 'W'});
  EXPECT_EQ(gKeys['W'], 0);
  EXPECT_EQ(gKeys[vk::kShift], 1);
}

TEST_F(WindowMessages, ATapBetweenTwoFramesStaysDownForTheNextFrameOnly) {
  EndInputFrame();
  MainWindowProc({EventKind::KeyDown, vk::kDown});
  MainWindowProc({EventKind::KeyUp, vk::kDown});
  MainWindowProc({EventKind::ButtonDown, 0});
  MainWindowProc({EventKind::ButtonUp, 0});
  EXPECT_EQ(gKeys[vk::kDown], 1);
  EXPECT_EQ(gLeftButton, 1);
  EndInputFrame();
  EXPECT_EQ(gKeys[vk::kDown], 0);
  EXPECT_EQ(gLeftButton, 0);
}

TEST_F(WindowMessages, CharactersTypedBetweenTwoFramesWaitInOrderForTheNextFrameOnly) {
  for (int c : {0xC0, int('J'), vk::kBackspace}) {
    MainWindowProc({EventKind::Char, c});
    MainWindowProc({EventKind::KeyUp, c});
  }
  EXPECT_EQ(std::vector<int>(gTypedChars, gTypedChars + gCharTyped), (std::vector<int>{0xC0, 'J', vk::kBackspace}));
  EndInputFrame();
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
  EndInputFrame();
  MainWindowProc({EventKind::ButtonUp, 1});
  EXPECT_EQ(gLeftButton, 1);
  EXPECT_EQ(gRightButton, 0);
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

namespace {

// The system's events, as the window would receive them, through the
// platform's translation into window messages.
class SystemEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
    HoldDisplay();
    ASSERT_TRUE(CreateMainWindow("Zarnok Racing", 1024, 768, 32, true));
    for (Uint32 id = 1; id < 16 && !window_; ++id) {
      SDL_Window* candidate = SDL_GetWindowFromID(id);
      if (candidate && std::strcmp(SDL_GetWindowTitle(candidate), "Zarnok Racing") == 0) window_ = candidate;
    }
    ASSERT_NE(window_, nullptr);
    Drain();
  }
  void TearDown() override {
    if (HasDisplay()) DestroyMainWindow();
  }

  static void Drain() {
    Event ignored;
    while (Sys_NextEvent(&ignored)) {
    }
  }

  // The messages one event turns into, of the kinds that such an event can
  // give: the display may send focus, size and pointer messages of its own
  // at any time (the pointer entering the new window, say).
  static std::vector<Event> Deliver(SDL_Event e) {
    Drain();
    SDL_PushEvent(&e);
    std::vector<Event> messages;
    Event message;
    while (Sys_NextEvent(&message)) {
      if (CanComeFrom(e.type, message.kind)) messages.push_back(message);
    }
    return messages;
  }

  static bool CanComeFrom(Uint32 type, EventKind kind) {
    switch (type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP:
      case SDL_TEXTINPUT:
        return kind == EventKind::KeyDown || kind == EventKind::KeyUp || kind == EventKind::Char;
      case SDL_MOUSEMOTION: return kind == EventKind::MouseMove;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: return kind == EventKind::ButtonDown || kind == EventKind::ButtonUp;
      default: return true;
    }
  }

  static std::vector<Event> Key(SDL_Scancode scancode, bool down = true, Uint16 modifiers = KMOD_NONE) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = scancode;
    e.key.keysym.mod = modifiers;
    return Deliver(e);
  }

  // The virtual-key code of a key press, or 0 when it gives no key message.
  static int VirtualKey(SDL_Scancode scancode) {
    for (const Event& m : Key(scancode)) {
      if (m.kind == EventKind::KeyDown) return m.code;
    }
    return 0;
  }

  static std::vector<int> Typed(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::snprintf(e.text.text, sizeof e.text.text, "%s", utf8);
    std::vector<int> characters;
    for (const Event& m : Deliver(e)) {
      if (m.kind == EventKind::Char) characters.push_back(m.code);
    }
    return characters;
  }

  std::vector<Event> WindowEvent(SDL_WindowEventID what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = what;
    e.window.windowID = SDL_GetWindowID(window_);
    return Deliver(e);
  }

  SDL_Window* window_ = nullptr;
};

bool Holds(const std::vector<Event>& messages, EventKind kind) {
  for (const Event& m : messages) {
    if (m.kind == kind) return true;
  }
  return false;
}

}  // namespace

TEST_F(SystemEvents, KeysArriveWithTheirWindowsVirtualKeyCodes) {
  const std::pair<SDL_Scancode, int> keys[] = {
      {SDL_SCANCODE_A, 'A'},        {SDL_SCANCODE_Z, 'Z'},          {SDL_SCANCODE_0, '0'},
      {SDL_SCANCODE_1, '1'},        {SDL_SCANCODE_9, '9'},          {SDL_SCANCODE_F1, 112},
      {SDL_SCANCODE_F5, 116},       {SDL_SCANCODE_F12, 123},        {SDL_SCANCODE_LEFT, 37},
      {SDL_SCANCODE_UP, 38},        {SDL_SCANCODE_RIGHT, 39},       {SDL_SCANCODE_DOWN, 40},
      {SDL_SCANCODE_RETURN, 13},    {SDL_SCANCODE_KP_ENTER, 13},    {SDL_SCANCODE_ESCAPE, 27},
      {SDL_SCANCODE_SPACE, 32},     {SDL_SCANCODE_LSHIFT, 16},      {SDL_SCANCODE_RSHIFT, 16},
      {SDL_SCANCODE_LCTRL, 17},     {SDL_SCANCODE_RCTRL, 17},       {SDL_SCANCODE_SEMICOLON, 0xBA},
      {SDL_SCANCODE_COMMA, 0xBC},   {SDL_SCANCODE_PERIOD, 0xBE},    {SDL_SCANCODE_SLASH, 0xBF},
      {SDL_SCANCODE_LEFTBRACKET, 0xDB}, {SDL_SCANCODE_RIGHTBRACKET, 0xDD}, {SDL_SCANCODE_APOSTROPHE, 0xDE},
      // Alt and F10 are the system's keys: no key message.
      {SDL_SCANCODE_LALT, 0},       {SDL_SCANCODE_F10, 0}};
  for (auto [scancode, code] : keys) EXPECT_EQ(VirtualKey(scancode), code) << SDL_GetScancodeName(scancode);
  EXPECT_TRUE(Key(SDL_SCANCODE_F, true, KMOD_LALT).empty()) << "keys pressed with Alt are the system's too";
}

TEST_F(SystemEvents, EditingKeysAlsoTypeTheirControlCharacters) {
  for (auto [scancode, code] : {std::pair{SDL_SCANCODE_BACKSPACE, 8}, {SDL_SCANCODE_TAB, 9},
                                {SDL_SCANCODE_RETURN, 13}, {SDL_SCANCODE_ESCAPE, 27}}) {
    std::vector<Event> messages = Key(scancode);
    ASSERT_EQ(messages.size(), 2u) << code;
    EXPECT_EQ(messages[0].kind, EventKind::KeyDown);
    EXPECT_EQ(messages[1].kind, EventKind::Char);
    EXPECT_EQ(messages[1].code, code);
    std::vector<Event> release = Key(scancode, false);
    ASSERT_EQ(release.size(), 1u) << code;
    EXPECT_EQ(release[0].kind, EventKind::KeyUp);
  }
  std::vector<Event> letter = Key(SDL_SCANCODE_A);
  EXPECT_FALSE(Holds(letter, EventKind::Char));  // letters are typed as text
}

TEST_F(SystemEvents, TypedTextArrivesInCodePage1251) {
  EXPECT_EQ(Typed("a"), std::vector<int>{'a'});
  // Yo, Cyrillic ya, yo; a euro sign and an e-acute are dropped.
  EXPECT_EQ(Typed("\xD0\x81\xD1\x8F\xE2\x82\xAC\xC3\xA9\xD1\x91"), (std::vector<int>{0xA8, 0xFF, 0xB8}));
}

TEST_F(SystemEvents, FocusAndClosingBecomeTheirWindowMessages) {
  EXPECT_TRUE(Holds(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST), EventKind::Deactivate));
  EXPECT_TRUE(Holds(WindowEvent(SDL_WINDOWEVENT_MINIMIZED), EventKind::Deactivate));
  EXPECT_TRUE(Holds(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), EventKind::Activate));
  std::vector<Event> closed = WindowEvent(SDL_WINDOWEVENT_CLOSE);
  EXPECT_TRUE(Holds(closed, EventKind::Close));
  EXPECT_FALSE(Holds(closed, EventKind::Quit));  // the window procedure posts the quit message

  SDL_Event quit{};
  quit.type = SDL_QUIT;
  EXPECT_TRUE(Holds(Deliver(quit), EventKind::QuitRequest));
}

TEST_F(SystemEvents, MouseMovesAndBothButtonsArriveInWindowPixels) {
  SDL_Event move{};
  move.type = SDL_MOUSEMOTION;
  move.motion.x = 640;
  move.motion.y = 480;
  bool movedThere = false;
  for (const Event& m : Deliver(move)) movedThere = movedThere || (m.x == 640 && m.y == 480);
  EXPECT_TRUE(movedThere);

  SDL_Event press{};
  press.type = SDL_MOUSEBUTTONDOWN;
  press.button.button = SDL_BUTTON_RIGHT;
  std::vector<Event> pressed = Deliver(press);
  ASSERT_EQ(pressed.size(), 1u);
  EXPECT_EQ(pressed[0].kind, EventKind::ButtonDown);
  EXPECT_EQ(pressed[0].code, 1);
  press.type = SDL_MOUSEBUTTONUP;
  press.button.button = SDL_BUTTON_LEFT;
  std::vector<Event> released = Deliver(press);
  ASSERT_EQ(released.size(), 1u);
  EXPECT_EQ(released[0].kind, EventKind::ButtonUp);
  EXPECT_EQ(released[0].code, 0);
  press.button.button = SDL_BUTTON_MIDDLE;
  EXPECT_TRUE(Deliver(press).empty());
}
