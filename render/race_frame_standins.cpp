// STAND-IN until the racer, dust, grass, tree, shadow and reflection passes
// draw only from the frame's copies (their drawing in racer_draw, grass,
// trees, shadow_map and reflection_cube still reads values the worker's
// next step writes): the trucks are plain shaded boxes at their chassis
// matrices; nothing else of them is drawn, the shadow map and the cube map
// are left as made.
// Replace this file; the declarations in race_frame_passes.h stay.
#include "framework/vector_math.h"
#include "platform/gl.h"
#include "render/race_frame.h"
#include "render/race_frame_passes.h"
#include "render/reflection_cube.h"  // gReflectionPending

Matrix4 gInverseViewMatrix;

namespace {

constexpr float kPlayerShade[3] = {0.8f, 0.15f, 0.1f};
constexpr float kOpponentShade[3] = {0.55f, 0.55f, 0.6f};

// The truck's body box, its faces lit by a fixed amount each.
void DrawBodyBox(const float shade[3]) {
  const neV3 h = kCarBoxSize * 0.5f, c = kCarBoxOffset;
  const float x0 = c.x - h.x, x1 = c.x + h.x, y0 = c.y - h.y, y1 = c.y + h.y, z0 = c.z - h.z, z1 = c.z + h.z;
  const float faces[6][4][3] = {
      {{x0, y1, z0}, {x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}}, {{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}},
      {{x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}, {x1, y0, z1}}, {{x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0}},
      {{x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}}, {{x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0}, {x1, y0, z0}}};
  const float light[6] = {1.0f, 0.3f, 0.85f, 0.6f, 0.75f, 0.5f};
  glBegin(GL_QUADS);
  for (int f = 0; f < 6; ++f) {
    glColor4f(shade[0] * light[f], shade[1] * light[f], shade[2] * light[f], 1.0f);
    for (const auto& corner : faces[f]) glVertex3fv(corner);
  }
  glEnd();
}

}  // namespace

void DrawRacers(int pass) {
  if (pass != kRacerPassOpaque) return;
  glDisable(GL_TEXTURE_2D);
  for (int i = 0; i < kRacerCount; ++i) {
    if (!gRacerVisible[i]) continue;
    glPushMatrix();
    glMultMatrixf(gRacerMatrix[i].m);
    DrawBodyBox(i == 0 ? kPlayerShade : kOpponentShade);
    glPopMatrix();
  }
  glColor4f(1, 1, 1, 1);
  glEnable(GL_TEXTURE_2D);
}

void UpdateReflectionCubeMap(int) { gReflectionPending = 0; }
void RenderShadowMap() {}
void DrawWheelParticles() {}
void DrawGrass() {}
void DrawTrees() {}

// The view is a rigid transform: its inverse is the transposed rotation
// with the translation turned back.
void ComputeInverseViewMatrix() {
  Matrix4 view;
  glGetFloatv(GL_MODELVIEW_MATRIX, view.m);
  gInverseViewMatrix = Transpose(view);
  for (int i = 0; i < 3; ++i) gInverseViewMatrix.m[3 + 4 * i] = 0.0f;
  for (int i = 0; i < 3; ++i)
    gInverseViewMatrix.m[12 + i] = -(view.m[i * 4] * view.m[12] + view.m[i * 4 + 1] * view.m[13] + view.m[i * 4 + 2] * view.m[14]);
}
