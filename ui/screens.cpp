// The screens as far as they exist so far: the start-up screen's clock and
// a title page, so that the worker's start-up load runs and a player sees
// that the game started.
#include "ui/screens.h"

#include "framework/globals.h"
#include "platform/gl.h"

#include <cmath>

namespace {

// Every menu is drawn in a frame of 800 x 600 units whatever the resolution.
constexpr int kMenuWidth = 800, kMenuHeight = 600;

// The title page: a grey gradient that breathes with the splash clock.
void DrawSplash(float splashTime) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, kMenuWidth, kMenuHeight, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  float top = 1.0f + 0.23f * std::sin(splashTime);
  float bottom = 1.0f - 0.23f * std::sin(splashTime);
  glBegin(GL_QUADS);  // counter-clockwise on the screen: back faces are culled
  glColor4f(top, top, top, 1.0f);
  glVertex2i(0, 0);
  glColor4f(bottom, bottom, bottom, 1.0f);
  glVertex2i(0, kMenuHeight);
  glVertex2i(kMenuWidth, kMenuHeight);
  glColor4f(top, top, top, 1.0f);
  glVertex2i(kMenuWidth, 0);
  glEnd();
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glEnable(GL_TEXTURE_2D);  // texturing stays on between draws, as the GL set-up left it
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

}  // namespace

void UpdateAndDrawScreens() {
  gMouseX = gScreenWidth > 0 ? gCursorPos.x * kMenuWidth / gScreenWidth : 0;
  gMouseY = gScreenHeight > 0 ? gCursorPos.y * kMenuHeight / gScreenHeight : 0;
  if (gScreen == ScreenState::Splash) {
    gSplashTime = gSplashTime + gFrameFactor * 0.01f;
    DrawSplash(gSplashTime);
  }
}
