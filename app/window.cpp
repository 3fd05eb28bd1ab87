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
  gCharTyped = 0;
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
    case EventKind::Close:
      Sys_PostQuit();
      break;
    case EventKind::QuitRequest:
      gQuitRequested = 1;
      break;
    case EventKind::KeyDown:
      gKeys[event.code & 0xFF] = 1;
      break;
    case EventKind::KeyUp:
      gKeys[event.code & 0xFF] = 0;
      break;
    case EventKind::Char:
      gCharTyped = 1;
      gTypedChar = static_cast<uint16_t>(event.code);
      break;
    case EventKind::Size:
      SetProjection(event.x, event.y);
      break;
    case EventKind::MouseMove:
      gMouseMoved = 1;
      gCursorPos = {event.x, event.y};
      break;
    case EventKind::ButtonDown:
      (event.code == 0 ? gLeftButton : gRightButton) = 1;
      gFreeCamera = 1;
      RestartDrag();
      break;
    case EventKind::ButtonUp:
      (event.code == 0 ? gLeftButton : gRightButton) = 0;
      RestartDrag();
      break;
    case EventKind::TestFinish:
      gTestFinishAsked = 1;
      break;
    case EventKind::Quit:
      break;  // the loop's own message, never dispatched
  }
}
