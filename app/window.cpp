#include "app/window.h"

#include "framework/font.h"
#include "framework/globals.h"
#include "framework/settings.h"
#include "framework/sound.h"
#include "platform/gl.h"
#include "render/renderer.h"

uint8_t gTestFinishAsked;

namespace {

void CreationFailed(const char* text, MessageIcon icon) {
  DestroyMainWindow();
  Sys_MessageBox("ERROR", text, icon);
}

// A key or button pressed since the last frame, and whether its release
// came before that frame looked: it then stays down for that one frame, so
// that a tap shorter than a frame still counts once.
struct TapState {
  bool pressedSinceFrame;
  bool releaseDue;
};
TapState gKeyTaps[kKeyCount];
TapState gButtonTaps[2];  // left, right

// A repeat of a held key is no new press: its release acts at once, as before.
void Press(TapState& tap, bool wasDown) {
  tap.releaseDue = false;
  if (!wasDown) tap.pressedSinceFrame = true;
}

// True when the release may act now; else it waits for the frame's end.
bool ReleaseNow(TapState& tap) {
  tap.releaseDue = tap.pressedSinceFrame;
  return !tap.releaseDue;
}

uint8_t& ButtonFlag(int code) { return code == 0 ? gLeftButton : gRightButton; }
TapState& ButtonTap(int code) { return gButtonTaps[code == 0 ? 0 : 1]; }

// Drag copies: every press or release restarts the drag at the cursor.
void RestartDrag() {
  gDragStartX = gDragLastX = gMouseX;
  gDragStartY = gDragLastY = gMouseY;
}

}  // namespace

bool CreateMainWindow(const char* title, int width, int height, int bits, bool fullScreen) {
  gFullScreen = fullScreen ? 1 : 0;
  switch (Sys_CreateWindow(title, width, height, bits, fullScreen)) {
    case WindowResult::Ok:
      break;
    case WindowResult::DisplayModeFailed:
      CreationFailed("Program Will Now Close.", MessageIcon::Stop);
      return false;
    case WindowResult::WindowFailed:
      CreationFailed("Window Creation Error.", MessageIcon::Exclamation);
      return false;
    case WindowResult::ContextFailed:
      CreationFailed("Can't Create A GL Rendering Context.", MessageIcon::Exclamation);
      return false;
    case WindowResult::ActivateFailed:
      CreationFailed("Can't Activate The GL Rendering Context.", MessageIcon::Exclamation);
      return false;
  }
  // Where the display had no such mode the window fills the desktop, and
  // the menus scale the cursor by the size that was obtained.
  int obtainedWidth, obtainedHeight;
  Sys_WindowSize(&obtainedWidth, &obtainedHeight);
  if (obtainedWidth > 0 && obtainedHeight > 0) {
    gScreenWidth = obtainedWidth;
    gScreenHeight = obtainedHeight;
  }
  SetProjection(gScreenWidth, gScreenHeight);
  return true;
}

void DestroyMainWindow() {
  if (Sys_IsContextCurrent()) {
    ReleaseRenderTargets();
    FreeFont1DisplayLists();
    FreeFont2DisplayLists();
    ReleaseTextures();
  }
  Sys_DestroyWindow();
}

bool IsDisplayModeSupported(int width, int height) { return Sys_IsDisplayModeSupported(width, height); }

void MainWindowProc(const Event& event) {
  switch (event.kind) {
    case EventKind::Activate:
      gAppActive = 1;
      if (gMusicOn) gMusic.Play();
      if (gSoundOn && gTargetScreen == ScreenState::Racing) gSndAmbient.Play();
      Sys_EnterFullScreen(gScreenWidth, gScreenHeight);
      break;
    case EventKind::Deactivate:
      gAppActive = 0;
      if (gMusicOn) gMusic.Pause();
      if (gSoundOn) gSndAmbient.Pause();
      // SDL gives the display its desktop mode back.
      break;
    // The system's request ends the game as closing the window does: at
    // once, without another frame, which on a slow machine takes seconds.
    case EventKind::Close:
    case EventKind::QuitRequest:
      Sys_PostQuit();
      break;
    case EventKind::KeyDown:
      Press(gKeyTaps[event.code & 0xFF], gKeys[event.code & 0xFF]);
      gKeys[event.code & 0xFF] = 1;
      break;
    case EventKind::KeyUp:
      if (ReleaseNow(gKeyTaps[event.code & 0xFF])) gKeys[event.code & 0xFF] = 0;
      break;
    case EventKind::Char:
      if (gCharTyped < kTypedCharRoom) gTypedChars[gCharTyped++] = static_cast<uint16_t>(event.code);
      break;
    case EventKind::Size:
      SetProjection(event.x, event.y);
      break;
    case EventKind::MouseMove:
      gMouseMoved = 1;
      gCursorPos = {event.x, event.y};
      break;
    case EventKind::ButtonDown:
      Press(ButtonTap(event.code), ButtonFlag(event.code));
      ButtonFlag(event.code) = 1;
      gFreeCamera = 1;
      RestartDrag();
      break;
    case EventKind::ButtonUp:
      if (ReleaseNow(ButtonTap(event.code))) ButtonFlag(event.code) = 0;
      RestartDrag();
      break;
    case EventKind::TestFinish:
      gTestFinishAsked = 1;
      break;
    case EventKind::Quit:
      break;  // the loop's own message, never dispatched
  }
}

void EndInputFrame() {
  for (int key = 0; key < kKeyCount; ++key) {
    if (gKeyTaps[key].releaseDue) gKeys[key] = 0;
    gKeyTaps[key] = {};
  }
  for (int button = 0; button < 2; ++button) {
    if (ButtonTap(button).releaseDue) ButtonFlag(button) = 0;
    ButtonTap(button) = {};
  }
  gCharTyped = 0;
}
