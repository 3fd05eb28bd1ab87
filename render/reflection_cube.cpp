#include "render/reflection_cube.h"

#include "framework/settings.h"
#include "framework/startup_models.h"
#include "platform/gl.h"
#include "render/gl_resources.h"
#include "render/gl_state.h"
#include "render/leaf_meshes.h"
#include "render/shaders.h"
#include "world/world_models.h"

int32_t gCubeFace = 0;
uint8_t gReflectionPending = 1;

namespace {

constexpr float kFaceFieldOfView = 90.0f;  // degrees
constexpr float kFaceNear = 0.05f;
constexpr float kSkyFar = 25000.0f;        // world units
constexpr float kWorldFar = 55.0f;         // only the world this near is reflected
constexpr float kFaceClear[4] = {0.15f, 0.15f, 0.15f, 0};
constexpr float kSceneClear[4] = {0.16f, 0.24f, 0.27f, 0};
constexpr float kAlphaCut = 0.5f;
constexpr float kTransparencyAmbient = 0.6f, kTransparencyT0 = 400, kTransparencyT1 = 420;

// Each face's turn: rotations in degrees about an axis, in this order.
struct Turn {
  float degrees, x, y, z;
};
constexpr Turn kFaceTurns[kCubeFaceCount][2] = {
    {{90, 0, 1, 0}, {180, 1, 0, 0}},   // +X
    {{-90, 0, 1, 0}, {180, 1, 0, 0}},  // -X
    {{-90, 1, 0, 0}, {0, 1, 0, 0}},    // +Y
    {{90, 1, 0, 0}, {0, 1, 0, 0}},     // -Y
    {{180, 1, 0, 0}, {0, 1, 0, 0}},    // +Z
    {{180, 0, 0, 1}, {0, 1, 0, 0}},    // -Z
};

void LoadFaceMatrices(float farPlane, const Matrix4& view) {
  glViewport(0, 0, kCubeFaceSize, kCubeFaceSize);
  Matrix4 projection;
  projection.BuildPerspectiveMatrix(kFaceFieldOfView, 1, kFaceNear, farPlane);
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(projection.m);
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(view.m);
}

// The see-through parts, alpha-tested with both faces drawn; then no program.
template <typename Draw>
void DrawTransparency(Draw draw) {
  glAlphaFunc(GL_GEQUAL, kAlphaCut);
  WithGlCapabilities({{GL_ALPHA_TEST, true}, {GL_CULL_FACE, false}}, [&] {
    glUseProgramObjectARB(gTransparencyProgram.object);
    SetShaderUniforms(kProgTransparency);
    glUniform1fARB(gTransparencyProgram.matAmbient, kTransparencyAmbient);
    glUniform1fARB(gTransparencyProgram.matDiffuse, 0);
    glUniform1fARB(gTransparencyProgram.t0, kTransparencyT0);
    glUniform1fARB(gTransparencyProgram.t1, kTransparencyT1);
    draw();
    glUseProgramObjectARB(0);
  });
}

void UseReflMap() {
  glUseProgramObjectARB(gReflMapProgram.object);
  SetShaderUniforms(kProgReflMap);
  glUniform1fARB(gReflMapProgram.lightNow, 0);
}

// The groups of two sections, the second taking its textures from the first's materials.
void DrawSectionPair(const NodeList& leaves, const int sections[2], const int models[2]) {
  for (int i = 0; i < 2; ++i)
    for (int g = 0; g < WorldGroupCount(models[i]); ++g) {
      BindWorldGroupTexture(models[i], models[0], g);
      glBegin(GL_TRIANGLES);
      EmitLeafTriangles(leaves, sections[i], g, kLeafWithUv | kLeafWithNormal);
      glEnd();
    }
}

void DrawRaceWorld(const NodeList& leaves) {
  UseReflMap();
  const int mapSections[2] = {kSectionMainMap, kSectionAddMap};
  const int mapModels[2] = {kWorldModelMainMap, kWorldModelAddMap};
  DrawSectionPair(leaves, mapSections, mapModels);
  const int cutSections[2] = {kSectionMainTransparency, kSectionAddTransparency};
  const int cutModels[2] = {kWorldModelMainTransparency, kWorldModelAddTransparency};
  DrawTransparency([&] { DrawSectionPair(leaves, cutSections, cutModels); });
}

void DrawGarage() {
  UseReflMap();
  for (int slot : {0, 2, 1})  // garage, ground, special
    if (gGarageModels[slot]) gGarageModels[slot]->Draw();
  glUseProgramObjectARB(0);
  DrawTransparency([] {
    if (gGarageModels[3]) gGarageModels[3]->Draw();
  });
}

}  // namespace

int CubeFacesPerUpdate(int reflectionMode, bool race) {
  switch (reflectionMode) {
    case 0: return race ? 6 : 1;
    case 1: return race ? 3 : 1;
    case 2: return race ? 6 : 2;
    default: return 1;
  }
}

Matrix4 CubeFaceView(int face, const Vector3& eye, const Vector3& centre, const Vector3& up) {
  Matrix4 view;
  for (const Turn& turn : kFaceTurns[face]) {
    Vector3 axis(turn.x, turn.y, turn.z);
    Matrix4 rotation;
    rotation.SetRotationAxis(turn.degrees, axis);
    view = view * rotation;
  }
  Matrix4 lookAt;
  lookAt.BuildLookAtMatrix(eye, centre, up);
  return view * lookAt;
}

void UpdateReflectionCubeMap(bool race, const CubeSources& sources) {
  const int faces = CubeFacesPerUpdate(gReflectionMode, race);
  if (race && gReflectionMode == 0) gReflectionPending = 0;
  for (int i = 0; i < faces; ++i) {
    gCubeFace = (gCubeFace + 1) % kCubeFaceCount;
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, gResolveFbo);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, gCubeFaceTargets[gCubeFace],
                              gReflectionCubeMap, 0);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                 gCubeDepthRenderbuffer);
    const Matrix4 view = CubeFaceView(gCubeFace, sources.eye, sources.centre, sources.up);
    LoadFaceMatrices(kSkyFar, view);
    glClearColor(kFaceClear[0], kFaceClear[1], kFaceClear[2], kFaceClear[3]);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(kSceneClear[0], kSceneClear[1], kSceneClear[2], kSceneClear[3]);

    glColor4f(1, 1, 1, 1);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    if (sources.drawSky) sources.drawSky();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);

    if (race) {
      LoadFaceMatrices(kWorldFar, view);
      if (sources.faceLeaves) DrawRaceWorld(sources.faceLeaves[gCubeFace]);
    } else {
      DrawGarage();
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  }
}
