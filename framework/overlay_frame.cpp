// The overlay frame (see overlay_frame.h).
#include "framework/overlay_frame.h"

#include "platform/gl.h"

void PushOverlayFrame() {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, kFrameWidth, 0, kFrameHeight, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
}

void PopOverlayFrame() {
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}
