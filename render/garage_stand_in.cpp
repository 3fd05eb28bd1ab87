// The stand-in showroom. Reads nothing: it is a still picture. Draws into the window's colour buffer in
// its own 800 x 600 frame; leaves texturing, blending and depth testing off
// and the matrices as it found them.
#include "render/garage_stand_in.h"

#include <initializer_list>

#include "platform/gl.h"

namespace {

void Quad(float x0, float y0, float x1, float y1, const float bottom[3], const float top[3]) {
  glBegin(GL_QUADS);
  glColor3fv(bottom);
  glVertex2f(x0, y0);
  glVertex2f(x1, y0);
  glColor3fv(top);
  glVertex2f(x1, y1);
  glVertex2f(x0, y1);
  glEnd();
}

}  // namespace

void RenderGarageScene() {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, 800, 0, 600, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  const float wallLow[3] = {0.55f, 0.57f, 0.60f}, wallHigh[3] = {0.30f, 0.32f, 0.36f};
  const float floorNear[3] = {0.18f, 0.18f, 0.19f}, floorFar[3] = {0.40f, 0.40f, 0.42f};
  const float truck[3] = {0.10f, 0.10f, 0.11f}, light[3] = {0.85f, 0.85f, 0.80f};
  Quad(0, 220, 800, 600, wallLow, wallHigh);
  Quad(0, 0, 800, 220, floorNear, floorFar);
  Quad(250, 560, 550, 568, light, light);               // ceiling lamp
  Quad(230, 190, 570, 250, truck, truck);               // body
  Quad(440, 250, 540, 310, truck, truck);               // cab
  for (float x : {270.0f, 490.0f}) Quad(x, 160, x + 50, 210, truck, truck);  // wheels
  glColor4f(1, 1, 1, 1);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}
