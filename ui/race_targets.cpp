// The render-target side of the route map and the race overlay. The route
// map draws tex27 (route dot) into gRouteMapTexture through gResolveFbo and
// leaves the window framebuffer bound with the window viewport, the
// projection and model-view matrices as it found them, depth testing on
// and blending off. DrawRaceScene puts gSceneTexture (gPrevSceneTexture
// with motion blur) on the window, copied unless the crash splits its
// colours or the driver cannot copy, adds gBlurTexture over the 800 x 600 frame and leaves the window
// bound, texturing and blending as it found them, the blend function additive.
#include "ui/race_targets.h"

#include <cmath>

#include "framework/globals.h"
#include "framework/settings.h"
#include "framework/texture_roles.h"
#include "render/gl_state.h"
#include "ui/menu_draw.h"
#include "ui/menu_state.h"

namespace {

void DotQuad(float x, float y, float size) {
  const float h = size / 2;
  DrawTexturedQuad(x - h, y - h, x + h, y + h, 0, 0, 1, 1);
}

// A full-frame quad with rectangle coordinates up to (s1, t1).
void FrameQuad(float s1, float t1) {
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0), glVertex2f(0, 0);
  glTexCoord2f(s1, 0), glVertex2f(kFrameWidth, 0);
  glTexCoord2f(s1, t1), glVertex2f(kFrameWidth, kFrameHeight);
  glTexCoord2f(0, t1), glVertex2f(0, kFrameHeight);
  glEnd();
}

// The frame quad grown by `grow` about the corner (x, y).
void GrownFrameQuad(float x, float y, float grow, float s1, float t1) {
  glPushMatrix();
  glTranslatef(x, y, 0);
  glScalef(grow, grow, 1);
  glTranslatef(-x, -y, 0);
  FrameQuad(s1, t1);
  glPopMatrix();
}

// The scene as quads; with crash strength k its green channel, then its
// blue and red channels added, each grown by k from an opposite corner.
void DrawSceneQuads(GLuint scene, float k, float w, float h) {
  glBindTexture(GL_TEXTURE_RECTANGLE_ARB, scene);
  WithGlCapabilities({{GL_BLEND, false}}, [k, w, h] {
    if (k > 0) glColor4f(0, 1, 0, 1); else glColor4f(1, 1, 1, 1);
    FrameQuad(w, h);
  });
  if (!(k > 0)) return;
  WithGlCapabilities({{GL_BLEND, true}}, [k, w, h] {
    glBlendFunc(GL_ONE, GL_ONE);
    const float grow = 1 + 0.01f * k;
    glColor4f(0, 0, 1, 0.5f);
    GrownFrameQuad(0, 0, grow, w, h);
    glColor4f(1, 0, 0, 0.5f);
    GrownFrameQuad(kFrameWidth, kFrameHeight, grow, w, h);
  });
}

}  // namespace

void BeginRouteMapCanvas() {
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, gResolveFbo);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, gRouteMapTexture, 0);
  glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, 0);
  glViewport(0, 0, gRouteMapWidth, gRouteMapHeight);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, gRouteMapWidth, 0, gRouteMapHeight, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  // The route's alpha starts at 0 so that the minimap shows only the route.
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glClearColor(clear[0], clear[1], clear[2], clear[3]);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  BindMenuTexture(kRouteDotTexture);
}

void AddRouteDot(float x, float y, float size, float grey) {
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glColor4f(grey, grey, grey, 1);
  DotQuad(x, y, size);
}

void LayRouteDot(float x, float y, float size) {
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(1, 1, 1, 1);
  DotQuad(x, y, size);
}

void EndRouteMapCanvas() {
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glColor4f(1, 1, 1, 1);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, 0, 0);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  glViewport(0, 0, gScreenWidth, gScreenHeight);
}

void DrawRaceScene(float k) {
  const GLuint scene = gMotionBlur == 1 ? gPrevSceneTexture : gSceneTexture;
  const bool copied = !(k > 0) && CopyToWindow(scene);
  WithGlCapabilities({{GL_TEXTURE_2D, false}, {GL_TEXTURE_RECTANGLE_ARB, true}}, [k, scene, copied] {
    const float w = float(gScreenWidth), h = float(gScreenHeight);
    if (!copied) DrawSceneQuads(scene, k, w, h);
    WithGlCapabilities({{GL_BLEND, true}}, [] {
      glBlendFunc(GL_ONE, GL_ONE);
      glColor4f(1, 1, 1, 1);
      glBindTexture(GL_TEXTURE_RECTANGLE_ARB, gBlurTexture);
      FrameQuad(float(gBlurWidth), float(gBlurHeight));
    });
  });
}
