// The game window, its two GL contexts and the translation of SDL's events
// into the game's window messages.
#include "platform/gl.h"
#include "platform/platform.h"
#include "platform/shutdown.h"
#include "platform/test_hooks.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>

namespace {

SDL_Window* gWindow = nullptr;
SDL_GLContext gMainContext = nullptr;
SDL_Window* gLoaderWindow = nullptr;  // hidden 1x1 drawable of the loader context
SDL_GLContext gLoaderContext = nullptr;
bool gFullScreenWindow = false;
Display* gXDisplay = nullptr;  // SDL's connection to the X display, when the window lives on one
std::deque<Event> gPostedEvents;  // main thread only

// Virtual-key code of a physical key, by position as on a US keyboard (as
// Windows reports letters whatever the layout); 0 for keys we do not report.
int VirtualKeyOf(SDL_Scancode scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return 'A' + (scancode - SDL_SCANCODE_A);
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return '1' + (scancode - SDL_SCANCODE_1);
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
    if (scancode == SDL_SCANCODE_F10) return 0;  // a system key
    return vk::kF1 + (scancode - SDL_SCANCODE_F1);
  }
  switch (scancode) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_BACKSPACE: return vk::kBackspace;
    case SDL_SCANCODE_TAB: return vk::kTab;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER: return vk::kEnter;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return vk::kShift;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return vk::kControl;
    case SDL_SCANCODE_ESCAPE: return vk::kEscape;
    case SDL_SCANCODE_SPACE: return vk::kSpace;
    case SDL_SCANCODE_PAGEUP: return 33;
    case SDL_SCANCODE_PAGEDOWN: return 34;
    case SDL_SCANCODE_END: return 35;
    case SDL_SCANCODE_HOME: return 36;
    case SDL_SCANCODE_LEFT: return vk::kLeft;
    case SDL_SCANCODE_UP: return vk::kUp;
    case SDL_SCANCODE_RIGHT: return vk::kRight;
    case SDL_SCANCODE_DOWN: return vk::kDown;
    case SDL_SCANCODE_INSERT: return 45;
    case SDL_SCANCODE_DELETE: return 46;
    case SDL_SCANCODE_SEMICOLON: return vk::kSemicolon;
    case SDL_SCANCODE_EQUALS: return vk::kEquals;
    case SDL_SCANCODE_COMMA: return vk::kComma;
    case SDL_SCANCODE_MINUS: return vk::kMinus;
    case SDL_SCANCODE_PERIOD: return vk::kPeriod;
    case SDL_SCANCODE_SLASH: return vk::kSlash;
    case SDL_SCANCODE_GRAVE: return vk::kBackquote;
    case SDL_SCANCODE_LEFTBRACKET: return vk::kLeftBracket;
    case SDL_SCANCODE_BACKSLASH: return vk::kBackslash;
    case SDL_SCANCODE_RIGHTBRACKET: return vk::kRightBracket;
    case SDL_SCANCODE_APOSTROPHE: return vk::kQuote;
    default: return 0;
  }
}

// Keys that also type a control character, as Windows sends them.
int ControlCharacterOf(int virtualKey) {
  switch (virtualKey) {
    case vk::kBackspace:
    case vk::kTab:
    case vk::kEnter:
    case vk::kEscape: return virtualKey;
    default: return 0;
  }
}

void QueueTypedText(const char* utf8) {
  for (char byte : Sys_Cp1251FromUtf8(utf8)) {
    gPostedEvents.push_back(Event{EventKind::Char, static_cast<uint8_t>(byte)});
  }
}

// Translates one SDL event into window messages on the posted queue.
void Translate(const SDL_Event& e) {
  switch (e.type) {
    case SDL_QUIT:
      gPostedEvents.push_back(Event{EventKind::QuitRequest});
      break;
    case SDL_WINDOWEVENT:
      if (!gWindow || e.window.windowID != SDL_GetWindowID(gWindow)) break;
      switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE: gPostedEvents.push_back(Event{EventKind::Close}); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: gPostedEvents.push_back(Event{EventKind::Activate}); break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_MINIMIZED:
          // A scripted run takes its input from the script alone: another
          // window on the same test display must not pause it.
          if (!ScriptedInputRun()) gPostedEvents.push_back(Event{EventKind::Deactivate});
          break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          gPostedEvents.push_back(Event{EventKind::Size, 0, e.window.data1, e.window.data2});
          break;
        default: break;
      }
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      int key = VirtualKeyOf(e.key.keysym.scancode);
      if (!key || (e.key.keysym.mod & KMOD_ALT)) break;  // Alt combinations are system keys
      bool down = e.type == SDL_KEYDOWN;
      gPostedEvents.push_back(Event{down ? EventKind::KeyDown : EventKind::KeyUp, key});
      if (down && ControlCharacterOf(key)) gPostedEvents.push_back(Event{EventKind::Char, key});
      break;
    }
    case SDL_TEXTINPUT:
      QueueTypedText(e.text.text);
      break;
    case SDL_MOUSEMOTION:
      gPostedEvents.push_back(Event{EventKind::MouseMove, 0, e.motion.x, e.motion.y});
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      if (e.button.button != SDL_BUTTON_LEFT && e.button.button != SDL_BUTTON_RIGHT) break;
      EventKind kind = e.type == SDL_MOUSEBUTTONDOWN ? EventKind::ButtonDown : EventKind::ButtonUp;
      gPostedEvents.push_back(Event{kind, e.button.button == SDL_BUTTON_LEFT ? 0 : 1, e.button.x, e.button.y});
      break;
    }
    default:
      break;
  }
}

// The display mode of exactly width x height, if the window's display has one.
bool FindDisplayMode(int width, int height, SDL_DisplayMode* found) {
  int display = gWindow ? SDL_GetWindowDisplayIndex(gWindow) : 0;
  int count = SDL_GetNumDisplayModes(display < 0 ? 0 : display);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(display < 0 ? 0 : display, i, &mode) == 0 && mode.w == width && mode.h == height) {
      *found = mode;
      return true;
    }
  }
  return false;
}

// An X error nobody trapped, above all the game window's drawable gone
// because another program destroyed the window. Xlib's default handler
// would end the process on the spot and lose the session: the game ends as
// on a close instead. Said once; Xlib's lock is held, so no X call here.
int OnXError(Display*, XErrorEvent* error) {
  static std::atomic<bool> said{false};
  if (!said.exchange(true)) {
    char text[96];
    const int length = std::snprintf(text, sizeof text, "X error %d on request %d: the game ends\n",
                                     error->error_code, error->request_code);
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text, size_t(length));
  }
  AskToEndFromDisplay();
  return 0;
}

// The display connection lost (the desktop's force quit, the X server
// gone): Xlib ends the process once this returns, so the saves go first.
int OnDisplayLost(Display*) {
  static constexpr char kText[] = "The connection to the display was lost: the game ends.\n";
  [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, kText, sizeof kText - 1);
  EndAfterLastWrites();
}

}  // namespace

uint8_t Sys_Cp1251FromUnicode(uint32_t codePoint) {
  if (codePoint < 0x80) return static_cast<uint8_t>(codePoint);
  if (codePoint >= 0x410 && codePoint <= 0x44F) return static_cast<uint8_t>(0xC0 + (codePoint - 0x410));
  if (codePoint == 0x401) return 0xA8;  // Yo
  if (codePoint == 0x451) return 0xB8;  // yo
  return 0;
}

std::string Sys_Cp1251FromUtf8(const char* utf8) {
  std::string text;
  const auto* p = reinterpret_cast<const unsigned char*>(utf8);
  while (*p) {
    uint32_t code = *p++;
    int extra = code < 0x80 ? 0 : (code >> 5) == 6 ? 1 : (code >> 4) == 14 ? 2 : (code >> 3) == 30 ? 3 : -1;
    if (extra < 0) continue;  // a stray continuation byte
    code &= extra == 0 ? 0x7F : extra == 1 ? 0x1F : extra == 2 ? 0x0F : 0x07;
    int read = 0;
    for (; read < extra && (*p & 0xC0) == 0x80; ++read, ++p) code = (code << 6) | (*p & 0x3F);
    if (read < extra) continue;  // a cut-off sequence
    uint8_t byte = Sys_Cp1251FromUnicode(code);
    if (byte >= 0x20 && byte != 0x7F) text.push_back(static_cast<char>(byte));
  }
  return text;
}

WindowResult Sys_CreateWindow(const char* title, int width, int height, int colourBits, bool fullScreen) {
  // SIGTERM and SIGINT belong to the shutdown guard, which answers them
  // even while this thread is stuck.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
    return WindowResult::WindowFailed;
  }
  // Without a display SDL falls back to drawing off screen, where nobody
  // would see the game: that is no window at all.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
    std::fprintf(stderr, "No display to open the game window on.\n");
    SDL_Quit();
    return WindowResult::WindowFailed;
  }
  // After SDL's own start-up, which puts in a handler that ends the process.
  if (driver && std::strcmp(driver, "x11") == 0) {
    XSetErrorHandler(OnXError);
    XSetIOErrorHandler(OnDisplayLost);
  }
  // Deactivation is handled by the game; closing the window is a message to
  // it, not an end of the program decided by SDL.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  int channelBits = colourBits >= 24 ? 8 : 5;
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channelBits);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channelBits);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channelBits);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);

  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  SDL_DisplayMode mode;
  bool exactMode = false;
  if (fullScreen) {
    exactMode = FindDisplayMode(width, height, &mode);
    if (exactMode) {
      flags |= SDL_WINDOW_FULLSCREEN;
    } else {
      SDL_DisplayMode desktop;
      if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) return WindowResult::DisplayModeFailed;
      std::fprintf(stderr, "The display has no %dx%d mode: the game fills the desktop at %dx%d instead.\n",
                   width, height, desktop.w, desktop.h);
      flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
  }
  gWindow = SDL_CreateWindow(title, 0, 0, width, height, flags);
  if (!gWindow) {
    std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
    return WindowResult::WindowFailed;
  }
  gFullScreenWindow = fullScreen;
  if (exactMode && SDL_SetWindowDisplayMode(gWindow, &mode) != 0) return WindowResult::DisplayModeFailed;
  gMainContext = SDL_GL_CreateContext(gWindow);
  if (!gMainContext) {
    std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
    return WindowResult::ContextFailed;
  }
  if (SDL_GL_MakeCurrent(gWindow, gMainContext) != 0) return WindowResult::ActivateFailed;
  SDL_SysWMinfo system;
  SDL_VERSION(&system.version);
  if (SDL_GetWindowWMInfo(gWindow, &system) && system.subsystem == SDL_SYSWM_X11) {
    gXDisplay = system.info.x11.display;
    WatchWindowForDestruction(static_cast<uint32_t>(system.info.x11.window));
  }
  if (fullScreen) SDL_ShowCursor(SDL_DISABLE);
  SDL_ShowWindow(gWindow);
  SDL_RaiseWindow(gWindow);
  return WindowResult::Ok;
}

void Sys_WindowSize(int* width, int* height) {
  *width = *height = 0;
  if (gWindow) SDL_GL_GetDrawableSize(gWindow, width, height);
}

bool Sys_CreateLoaderContext() {
  if (!gWindow || !gMainContext) return false;
  // Sharing is fixed when a context is created: create it with the main
  // context current and the share flag set, then hand the main one back.
  gLoaderWindow = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!gLoaderWindow) return false;
  SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
  gLoaderContext = SDL_GL_CreateContext(gLoaderWindow);
  SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
  SDL_GL_MakeCurrent(gWindow, gMainContext);
  return gLoaderContext != nullptr;
}

bool Sys_MakeLoaderContextCurrent() {
  return gLoaderContext && SDL_GL_MakeCurrent(gLoaderWindow, gLoaderContext) == 0;
}

bool Sys_IsContextCurrent() { return SDL_GL_GetCurrentContext() != nullptr; }

void Sys_ReleaseCurrentContext() { SDL_GL_MakeCurrent(nullptr, nullptr); }

void Sys_DestroyWindow() {
  WatchWindowForDestruction(0);  // the game's own doing, no request to end
  if (SDL_GL_GetCurrentContext()) SDL_GL_MakeCurrent(nullptr, nullptr);
  if (gLoaderContext) SDL_GL_DeleteContext(gLoaderContext);
  if (gLoaderWindow) SDL_DestroyWindow(gLoaderWindow);
  if (gMainContext) SDL_GL_DeleteContext(gMainContext);
  if (gFullScreenWindow) SDL_ShowCursor(SDL_ENABLE);
  if (gWindow) SDL_DestroyWindow(gWindow);  // gives the display its desktop mode back
  // The errors about a window destroyed under the game come to our handler
  // now: SDL_Quit puts back Xlib's own, which would end the process.
  if (gXDisplay) XSync(gXDisplay, False);
  gXDisplay = nullptr;
  gLoaderContext = gMainContext = nullptr;
  gLoaderWindow = gWindow = nullptr;
  gPostedEvents.clear();
  SDL_Quit();
}

void Sys_EndProcessNow(int exitCode) {
  if (gWindow) SDL_HideWindow(gWindow);  // gives a full-screen window's display its desktop mode back
  std::fflush(nullptr);
  std::_Exit(exitCode);
}

void Sys_SwapBuffers() {
  if (!gWindow) return;
  int width, height;
  Sys_WindowSize(&width, &height);
  BeforeSwap(width, height);
  SDL_GL_SwapWindow(gWindow);
  AfterSwap();
}

bool Sys_IsDisplayModeSupported(int width, int height) {
  SDL_DisplayMode mode;
  return FindDisplayMode(width, height, &mode);
}

void Sys_EnterFullScreen(int width, int height) {
  if (!gWindow || !gFullScreenWindow) return;
  SDL_DisplayMode mode;
  int currentWidth, currentHeight;
  SDL_GetWindowSize(gWindow, &currentWidth, &currentHeight);
  if (currentWidth == width && currentHeight == height) return;
  if (FindDisplayMode(width, height, &mode)) {
    SDL_SetWindowDisplayMode(gWindow, &mode);
    SDL_SetWindowFullscreen(gWindow, SDL_WINDOW_FULLSCREEN);
  }
  SDL_SetWindowSize(gWindow, width, height);
}

bool Sys_NextEvent(Event* event) {
  if (TakeSystemQuitRequest()) {
    *event = Event{EventKind::QuitRequest};
    return true;
  }
  if (NextScriptedEvent(event)) return true;
  if (gPostedEvents.empty()) {
    SDL_Event e;
    while (gPostedEvents.empty() && SDL_PollEvent(&e)) Translate(e);
  }
  if (gPostedEvents.empty()) return false;
  *event = gPostedEvents.front();
  gPostedEvents.pop_front();
  return true;
}

void Sys_PostQuit() { gPostedEvents.push_back(Event{EventKind::Quit}); }
