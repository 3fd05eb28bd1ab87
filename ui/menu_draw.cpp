#include "ui/menu_draw.h"

#include <cmath>

#include "framework/texture.h"
#include "platform/gl.h"

void BindMenuTexture(int slot) {
  const uint32_t id = slot >= 0 && slot < kTextureCount ? gTextures[slot].glId : kNoTexture;
  glBindTexture(GL_TEXTURE_2D, id == kNoTexture ? 0 : id);
}

void DrawQuad(float x0, float y0, float x1, float y1) {
  glBegin(GL_QUADS);
  glVertex2f(x0, y0);
  glVertex2f(x1, y0);
  glVertex2f(x1, y1);
  glVertex2f(x0, y1);
  glEnd();
}

void DrawTexturedQuad(float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1) {
  glBegin(GL_QUADS);
  glTexCoord2f(s0, t0);
  glVertex2f(x0, y0);
  glTexCoord2f(s1, t0);
  glVertex2f(x1, y0);
  glTexCoord2f(s1, t1);
  glVertex2f(x1, y1);
  glTexCoord2f(s0, t1);
  glVertex2f(x0, y1);
  glEnd();
}

void DrawCentredQuad(float width, float height, float s0, float t0, float s1, float t1) {
  DrawTexturedQuad(-width / 2, -height / 2, width / 2, height / 2, s0, t0, s1, t1);
}

void ApplyTremble(float c, float g) {
  glTranslatef(std::sin(30 * c) * 1.8f * g, std::sin(26 * c) * 1.8f * g, 0);
  glRotatef(std::sin(22 * c) * 5 * g, 0, 0, 1);
}
