// The world scene pass (see world_scene.h for what it reads, what it draws
// into and the GL state it leaves).
#include "render/world_scene.h"

#include "framework/globals.h"
#include "framework/overlay_frame.h"
#include "framework/texture.h"
#include "framework/texture_roles.h"
#include "render/car_lights.h"  // DrawFacingQuad
#include "render/gl_resources.h"
#include "render/gl_state.h"
#include "render/post_passes.h"
#include "render/race_frame_input.h"
#include "render/race_frame_parts.h"
#include "render/race_pass_timers.h"
#include "render/race_projection.h"
#include "render/race_view.h"
#include "render/shaders.h"
#include "render/sky.h"
#include "world/world_models.h"

#include <cmath>
#include <limits>

int32_t gLandscapePair = -1;
uint32_t gSunSamplesVisible;
float gSunGlare;
int32_t gLandscapeBindCount, gResolveCount;

namespace {

constexpr int kLandscapeCount = 5;  // gLandscapeTextures: the landscapes, then their normal maps
constexpr int kLandscapePairs[10][2] = {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 2},
                                        {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4}};

// Texture units of the lit world programs.
constexpr int kUnitDecal = 0, kUnitShadow = 1, kUnitNoise = 2;
constexpr int kUnitLandscapeA = 3, kUnitLandscapeB = 4, kUnitNormalA = 5, kUnitNormalB = 6, kUnitGlow = 7;

// Distance pairs "T0", "T1" by the sight distance S, world units.
constexpr float kTerrainFadeFrom = 130.0f, kTerrainFadeTo = 90.0f;
constexpr float kNearFadeFrom = 40.0f;
constexpr float kFarFadeFrom = 220.0f, kFarFadeTo = 180.0f;
constexpr float kFarDetailInside = 100.0f;  // far detail only in leaves nearer than S - 100
constexpr float kEveryLeaf = std::numeric_limits<float>::infinity();

constexpr float kAlphaTestReference = 0.5f;

// The terrain's landscapes by the world normal's height ("upness"): all the
// first landscape from kFlatUpness up, all the second from kSteepUpness
// down (the bounds of RoadBumpPS.glsl's smoothstep). A triangle counts as
// all one only with every corner past its bound by kUpnessMargin, so that
// the rasteriser's rounding of the interpolated height cannot cross it.
constexpr float kFlatUpness = 0.85f, kSteepUpness = 0.6f, kUpnessMargin = 1.0e-3f;

// The sun, aimed at from the eye, and its glare.
constexpr float kSunAimHeight = 4500.0f, kSunDistance = 1000.0f;
constexpr float kSunHalfSize = 10.0f, kGlareHalfSize = 500.0f;
constexpr float kGlareRise = 0.02f, kGlareFall = 0.01f;  // per frame-factor unit

void Unit(int unit) { glActiveTextureARB(GL_TEXTURE0_ARB + unit); }

void BindTexture2D(uint32_t id) { glBindTexture(GL_TEXTURE_2D, id == kNoTexture ? 0 : id); }

bool AntiAliased() { return gAntiAliasing > 0; }

// ---- Render targets ----

void ResolveInto(GLuint texture) {
  if (!AntiAliased()) return;
  AttachToResolve(texture);
  glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, gMultisampleFbo);
  glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, gResolveFbo);
  const int w = RaceWidth(), h = RaceHeight();
  glBlitFramebufferEXT(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, GL_NEAREST);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, gResolveFbo);
  ++gResolveCount;
}

// ---- Texture units ----

void LitUnitsOn() {
  Unit(kUnitNoise);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_TEXTURE_3D);
  glBindTexture(GL_TEXTURE_3D, gNoiseTexture3D);
  Unit(kUnitShadow);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_TEXTURE_CUBE_MAP);
  glBindTexture(GL_TEXTURE_2D, gShadowMapTexture);
  glMatrixMode(GL_TEXTURE);
  glLoadMatrixf(FrameShadowTextureMatrix().m);
  glMatrixMode(GL_MODELVIEW);
  Unit(kUnitDecal);
  glEnable(GL_TEXTURE_2D);
}

// The terrain's one shadow read compares the four texels around it and
// blends the answers (linear); the other programs' four turned taps read
// one texel each (nearest), which costs them less.
void ShadowMapFilter(GLint filter) {
  Unit(kUnitShadow);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  Unit(kUnitDecal);
}

void LitUnitsOff() {
  Unit(kUnitNoise);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_TEXTURE_3D);
  Unit(kUnitShadow);
  glDisable(GL_TEXTURE_CUBE_MAP);
  glDisable(GL_TEXTURE_2D);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  Unit(kUnitDecal);
  glEnable(GL_TEXTURE_2D);
}

void LandscapeUnitsOff() {
  for (int unit = kUnitGlow; unit >= kUnitLandscapeA; --unit) {
    Unit(unit);
    glDisable(GL_TEXTURE_2D);
  }
  Unit(kUnitDecal);
}

void UseWorldProgram(int program, float t0, float t1, GLint t0Location, GLint t1Location) {
  glUseProgramObjectARB(ShaderProgramOf(program));
  SetShaderUniforms(program);
  glUniform1fARB(t0Location, t0);
  glUniform1fARB(t1Location, t1);
}

// ---- Section geometry ----

const Model* WorldModel(int slot) { return gWorldModels[slot]; }

// The GL texture of a material of `table`; 0 for none or an index the
// table does not hold (an add model pointing past its main model's table).
uint32_t MaterialTexture(const Model* table, int material) {
  if (!table || material < 0 || material >= table->materialCount) return 0;
  return table->materials[material].textureId;
}

void EmitTerrainTriangle(const MeshTriangle& t) {
  for (int j = 0; j < 3; ++j) {
    glMultiTexCoord2fvARB(GL_TEXTURE0_ARB, t.uv0[j]);
    glMultiTexCoord2fvARB(GL_TEXTURE1_ARB, t.uv1[j]);
    glMultiTexCoord3fvARB(GL_TEXTURE2_ARB, t.tangent[j]);
    glMultiTexCoord3fvARB(GL_TEXTURE3_ARB, t.binormal[j]);
    glMultiTexCoord3fvARB(GL_TEXTURE4_ARB, t.tangent2[j]);
    glMultiTexCoord3fvARB(GL_TEXTURE5_ARB, t.binormal2[j]);
    glNormal3fv(t.normal[j]);
    glVertex3fv(t.position[j]);
  }
}

void EmitMapTriangle(const MeshTriangle& t) {
  for (int j = 0; j < 3; ++j) {
    glNormal3fv(t.normal[j]);
    glTexCoord2fv(t.uv0[j]);
    glVertex3fv(t.position[j]);
  }
}

// One batch: group g of a section in every visible leaf nearer than
// sqrt(maxDistSq) to the camera.
template <typename Emit>
void DrawSectionGroup(const RaceFrameInput& frame, int section, int g, float maxDistSq, Emit emit) {
  glBegin(GL_TRIANGLES);
  for (int i = 0; i < frame.visibleNodes.count; ++i) {
    const int leaf = frame.visibleNodes.leaf[i];
    if (leaf < 0 || leaf >= kQuadTreeLeafCount || frame.leafDistSq[leaf] >= maxDistSq) continue;
    const Mesh* meshes = gQuadTreeLeaves[leaf].sectionMeshes[section];
    if (!meshes) continue;
    const Mesh& mesh = meshes[g];
    for (int k = 0; k < mesh.count; ++k) emit(mesh.tris[k]);
  }
  glEnd();
}

// Every group of a section, its texture from `table` by the group's own
// material index; groups without one keep the texture bound before.
void DrawSection(const RaceFrameInput& frame, int section, const Model* model, const Model* table,
                 float maxDistSq) {
  if (!model) return;
  for (int g = 0; g < model->groupCount; ++g) {
    const uint32_t texture = MaterialTexture(table, model->groups[g].materialIndex);
    if (texture) BindTexture2D(texture);
    DrawSectionGroup(frame, section, g, maxDistSq, EmitMapTriangle);
  }
}

void TerrainTexturesOn() {
  for (int unit = kUnitLandscapeA; unit <= kUnitNormalB; ++unit) {
    Unit(unit);
    glEnable(GL_TEXTURE_2D);
    BindTexture2D(gLandscapeTextures[unit - kUnitLandscapeA].glId);
  }
  LitUnitsOn();
}

// Points RoadBumpSingle's landscape and normal map at a pair's first (a)
// or second (b) landscape.
void PointSingleLandscapeAt(int landscapeUnit, int normalUnit) {
  glUniform1iARB(gRoadBumpSingleProgram.decal4, landscapeUnit);
  glUniform1iARB(gRoadBumpSingleProgram.decal6, normalUnit);
}

void DrawTerrainTrianglesOf(const RaceFrameInput& frame, int g, TerrainSlope slope) {
  DrawSectionGroup(frame, kSectionMainRoad, g, kEveryLeaf, [slope](const MeshTriangle& t) {
    if (TerrainSlopeOf(t.normal) == slope) EmitTerrainTriangle(t);
  });
}

// A terrain group in three draws: the triangles that span flat ground and
// slope with RoadBump, which reads and blends both landscapes; those all
// flat or all slope with RoadBumpSingle on the one landscape they show,
// which draws the same there with half the landscape reads.
void DrawTerrainGroup(const RaceFrameInput& frame, int g) {
  glUseProgramObjectARB(gRoadBumpProgram.object);
  DrawTerrainTrianglesOf(frame, g, TerrainSlope::Mixed);
  glUseProgramObjectARB(gRoadBumpSingleProgram.object);
  PointSingleLandscapeAt(kUnitLandscapeA, kUnitNormalA);
  DrawTerrainTrianglesOf(frame, g, TerrainSlope::Flat);
  PointSingleLandscapeAt(kUnitLandscapeB, kUnitNormalB);
  DrawTerrainTrianglesOf(frame, g, TerrainSlope::Steep);
}

// The section texture bound on the decal unit: alpha marks road over the
// landscapes, so one without alpha bits covers them wherever it lies.
bool SectionTextureHasAlpha() {
  GLint alphaBits = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
  return alphaBits > 0;
}

// Under a section texture that covers them, the landscapes' colours are
// weighed by 0: their units are left without a texture, which the driver
// answers with a constant instead of filtering texels. Their normal maps
// still bend the light.
void LeaveLandscapeColoursEmpty() {
  for (int unit : {kUnitLandscapeB, kUnitLandscapeA}) {
    Unit(unit);
    glBindTexture(GL_TEXTURE_2D, 0);
  }
}

void DrawTerrain(const RaceFrameInput& frame, float sight) {
  const Model* road = WorldModel(kWorldModelMainRoad);
  if (!road) return;
  const float t0 = sight - kTerrainFadeFrom, t1 = sight - kTerrainFadeTo;
  UseWorldProgram(kProgRoadBumpSingle, t0, t1, gRoadBumpSingleProgram.t0, gRoadBumpSingleProgram.t1);
  UseWorldProgram(kProgRoadBump, t0, t1, gRoadBumpProgram.t0, gRoadBumpProgram.t1);
  gLandscapePair = -1;  // the first textured group of a frame always binds
  bool landscapeColoursBound = true;
  for (int g = 0; g < road->groupCount; ++g) {
    const int material = road->groups[g].materialIndex;
    const uint32_t texture = MaterialTexture(road, material);
    if (texture) {
      Unit(kUnitDecal);
      BindTexture2D(texture);
      const bool landscapeSeen = SectionTextureHasAlpha();
      const int pair = LandscapePairOf(road->materials[material].emissive[0]);
      if (pair >= 0 && (pair != gLandscapePair || landscapeSeen != landscapeColoursBound)) {
        int a, b;
        LandscapesOfPair(pair, &a, &b);
        BindLandscapeTextures(a, b);
        if (!landscapeSeen) LeaveLandscapeColoursEmpty();
        gLandscapePair = pair;
        landscapeColoursBound = landscapeSeen;
      }
      Unit(kUnitGlow);
      glDisable(GL_TEXTURE_2D);
      Unit(kUnitDecal);
    }
    DrawTerrainGroup(frame, g);
  }
}

void DrawNearMap(const RaceFrameInput& frame, float sight) {
  UseWorldProgram(kProgMap, sight - kNearFadeFrom, sight, gMapProgram.t0, gMapProgram.t1);
  const Model* map = WorldModel(kWorldModelMainMap);
  DrawSection(frame, kSectionMainMap, map, map, kEveryLeaf);
}

float FarDetailDistSq(float sight) { return (sight - kFarDetailInside) * (sight - kFarDetailInside); }

void DrawFarMap(const RaceFrameInput& frame, float sight) {
  UseWorldProgram(kProgMap, sight - kFarFadeFrom, sight - kFarFadeTo, gMapProgram.t0, gMapProgram.t1);
  DrawSection(frame, kSectionAddMap, WorldModel(kWorldModelAddMap), WorldModel(kWorldModelMainMap), FarDetailDistSq(sight));
}

void DrawTransparentMap(const RaceFrameInput& frame, float sight) {
  const Model* table = WorldModel(kWorldModelMainTransparency);
  UseWorldProgram(kProgTransparency, sight - kNearFadeFrom, sight, gTransparencyProgram.t0, gTransparencyProgram.t1);
  DrawSection(frame, kSectionMainTransparency, table, table, kEveryLeaf);
  glUniform1fARB(gTransparencyProgram.t0, sight - kFarFadeFrom);
  glUniform1fARB(gTransparencyProgram.t1, sight - kFarFadeTo);
  DrawSection(frame, kSectionAddTransparency, WorldModel(kWorldModelAddTransparency), table, FarDetailDistSq(sight));
  DrawSection(frame, kSectionAddTransparency2, WorldModel(kWorldModelAddTransparency2), table, FarDetailDistSq(sight));
}

// ---- The steps ----

// The opaque layer in three steps: its clear and the terrain, the near map
// objects, then the racers and props with the layer's resolve.
void DrawOpaqueTerrain(const RaceFrameInput& frame, float sight) {
  BindLayerTarget(gOpaqueTexture);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);  // the only depth clear of the frame
  glColor4f(1, 1, 1, 1);
  TerrainTexturesOn();
  ShadowMapFilter(GL_LINEAR);
  if (gQuadTreeRoot) DrawTerrain(frame, sight);
  ShadowMapFilter(GL_NEAREST);
  glUseProgramObjectARB(0);
  LandscapeUnitsOff();
}

void DrawOpaqueNearMap(const RaceFrameInput& frame, float sight) {
  if (gQuadTreeRoot) DrawNearMap(frame, sight);
  glUseProgramObjectARB(0);
  LitUnitsOff();
}

void DrawOpaqueRacers(const RaceFrameInput& frame) {
  DrawFrameRacers(frame, kRacerPassOpaque);
  ResolveInto(gOpaqueTexture);
}

void DrawSecondLayer(const RaceFrameInput& frame, float sight) {
  BindLayerTarget(gLayerTexture);
  glClear(GL_COLOR_BUFFER_BIT);
  LitUnitsOn();
  if (gQuadTreeRoot) DrawFarMap(frame, sight);
  glUseProgramObjectARB(0);
  LitUnitsOff();
  DrawFrameRacers(frame, kRacerPassGlass);
  ResolveInto(gLayerTexture);
}

// Drawn without multisampling, against the depth of the layers so far.
void DrawSmokeLayer(RaceFrameInput& frame) {
  AttachToResolve(gSmokeTexture);
  glClear(GL_COLOR_BUFFER_BIT);
  DrawFrameDust(frame);
  WithGlCapabilities({{GL_TEXTURE_2D, false}, {GL_TEXTURE_RECTANGLE_ARB, true}}, [] {
    RenderFullScreenPass(kProgBlurSmoke, gSmokeTexture, gBlurTexture, kPostFromWindow);
    RenderFullScreenPass(kProgBlurSmoke, gBlurTexture, gBlurTexture2, kPostFromBlur);
  });
}

void LookWithFarPlane(float farPlane) {
  gFarPlane = farPlane;
  SetProjection(RaceWidth(), RaceHeight());
  SetupCameraAndListener(0, 1);
}

// The scene target's clear and the sky box about the player.
void DrawSky(const RaceFrameInput& frame, float sight) {
  BindLayerTarget(gSceneTexture);
  glClear(GL_COLOR_BUFFER_BIT);
  LookWithFarPlane(kSkyFarPlane);
  glDepthMask(GL_FALSE);
  WithGlCapabilities({{GL_DEPTH_TEST, false}},
                     [&] { DrawSkybox(frame.racerMatrix[0].m[12], kSkyBaseHeight, frame.racerMatrix[0].m[14]); });
  glDepthMask(GL_TRUE);
  LookWithFarPlane(sight);
}

void CompositeLayers() {
  glDepthMask(GL_FALSE);
  PushOverlayFrame();
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(1, 1, 1, 1);
  WithGlCapabilities({{GL_DEPTH_TEST, false},
                      {GL_MULTISAMPLE_ARB, false},
                      {GL_TEXTURE_RECTANGLE_ARB, true},
                      {GL_TEXTURE_2D, false},
                      {GL_BLEND, true}},
                     [] {
                       const float w = float(RaceWidth()), h = float(RaceHeight());
                       DrawFrameQuad(gOpaqueTexture, w, h);
                       DrawFrameQuad(gLayerTexture, w, h);
                       if (gSoftParticles) DrawFrameQuad(gBlurTexture2, float(gBlurWidth), float(gBlurHeight));
                     });
  PopOverlayFrame();
  glDepthMask(GL_TRUE);
}

void DrawTransparentLayer(const RaceFrameInput& frame, float sight) {
  LandscapeUnitsOff();
  LitUnitsOn();
  glAlphaFunc(GL_GEQUAL, kAlphaTestReference);
  glColor4f(1, 1, 1, 1);
  // Alpha to coverage where there are samples to cover, the alpha test otherwise.
  WithGlCapabilities({{GL_SAMPLE_ALPHA_TO_COVERAGE_ARB, AntiAliased()},
                      {GL_ALPHA_TEST, !AntiAliased()},
                      {GL_CULL_FACE, false}},
                     [&] {
                       if (gQuadTreeRoot) DrawTransparentMap(frame, sight);
                       glUseProgramObjectARB(0);
                     });
  LitUnitsOff();
}

// The sun's occlusion query is read a frame late, so that no frame waits
// on the GPU for it: a frame takes the answer to the query an earlier frame
// issued once the GPU has it, and only then issues the next; until then it
// keeps the last answer and draws the sun outside a query. A query object
// never issued yet (the first race frame after the resources were made)
// is issued and read in the same frame, so the glare starts from what that
// frame sees.
void TakeSunQueryAnswer() {
  GLuint samples = 0;
  glGetQueryObjectuivARB(gSunQuery, GL_QUERY_RESULT_ARB, &samples);
  gSunSamplesVisible = samples;
}

template <typename Draw>
void DrawBehindSunQuery(Draw draw) {
  const bool issuedBefore = glIsQueryARB(gSunQuery);
  GLuint answered = 0;
  if (issuedBefore) glGetQueryObjectuivARB(gSunQuery, GL_QUERY_RESULT_AVAILABLE_ARB, &answered);
  if (answered) TakeSunQueryAnswer();
  if (issuedBefore && !answered) {
    draw();
    return;
  }
  glBeginQueryARB(GL_SAMPLES_PASSED_ARB, gSunQuery);
  draw();
  glEndQueryARB(GL_SAMPLES_PASSED_ARB);
  if (!issuedBefore) TakeSunQueryAnswer();
}

}  // namespace

TerrainSlope TerrainSlopeOf(const float (&normals)[3][3]) {
  int flat = 0, steep = 0;
  for (const float(&n)[3] : normals) {
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > 0.0f)) return TerrainSlope::Mixed;  // the program's own blend decides
    const float upness = n[1] / length;
    flat += upness >= kFlatUpness + kUpnessMargin;
    steep += upness <= kSteepUpness - kUpnessMargin;
  }
  if (flat == 3) return TerrainSlope::Flat;
  if (steep == 3) return TerrainSlope::Steep;
  return TerrainSlope::Mixed;
}

int LandscapePairOf(float e) {
  if (!(e > 0.0f)) return -1;
  for (int pair = 0; pair < 10; ++pair)
    if (e <= float(pair + 1) / 10.0f) return pair;
  return -1;
}

void LandscapesOfPair(int pair, int* a, int* b) {
  *a = kLandscapePairs[pair][0];
  *b = kLandscapePairs[pair][1];
}

void BindLandscapeTextures(int a, int b) {
  const int records[4][2] = {{kUnitNormalB, b + kLandscapeCount},
                             {kUnitNormalA, a + kLandscapeCount},
                             {kUnitLandscapeB, b},
                             {kUnitLandscapeA, a}};
  for (const auto& [unit, record] : records) {
    Unit(unit);
    glEnable(GL_TEXTURE_2D);
    BindTexture2D(gLandscapeTextures[record].glId);
  }
  ++gLandscapeBindCount;
}

float StepSunGlare(float glare, bool sunSeen, float frameFactor) {
  glare += sunSeen ? frameFactor * kGlareRise : -frameFactor * kGlareFall;
  return glare < 0.0f ? 0.0f : (glare > 1.0f ? 1.0f : glare);
}

void RenderWorldScene(RaceFrameInput& frame) {
  const float sight = gSightDistance;
  gLandscapeBindCount = 0;
  gResolveCount = 0;
  TimedRacePass(kPassTerrain, [&] { DrawOpaqueTerrain(frame, sight); });
  TimedRacePass(kPassNearMap, [&] { DrawOpaqueNearMap(frame, sight); });
  TimedRacePass(kPassRacersOpaque, [&] { DrawOpaqueRacers(frame); });
  TimedRacePass(kPassSecondLayer, [&] { DrawSecondLayer(frame, sight); });
  TimedRacePass(kPassSmokeLayer, [&] {
    if (gSoftParticles) DrawSmokeLayer(frame);
  });
  TimedRacePass(kPassSky, [&] { DrawSky(frame, sight); });
  TimedRacePass(kPassComposite, CompositeLayers);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
  TimedRacePass(kPassTransparentMap, [&] { DrawTransparentLayer(frame, sight); });
  TimedRacePass(kPassGrass, [&] { DrawFrameGrass(frame); });
  TimedRacePass(kPassTrees, [&] { DrawFrameTrees(frame); });
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  TimedRacePass(kPassRacersBlended, [&] { DrawFrameRacers(frame, kRacerPassBlended); });
  TimedRacePass(kPassSun, [&] {
    DrawSkySun(frame);
    ResolveInto(gSceneTexture);
  });
}

void DrawSkySun(const RaceFrameInput& frame) {
  LookWithFarPlane(kSkyFarPlane);
  neV3 toSun = neMakeV3(gSunPosition[0] - gCameraEye.x, kSunAimHeight - gCameraEye.y, gSunPosition[2] - gCameraEye.z);
  toSun.Normalize();
  const neV3 sun = gCameraEye + toSun * kSunDistance;
  const float eye[3] = {gCameraEye.x, gCameraEye.y, gCameraEye.z};

  BindTexture2D(gTextures[kGlowTexture].glId);
  WithGlCapabilities({{GL_CULL_FACE, false}, {GL_BLEND, true}, {GL_DEPTH_TEST, true}}, [&] {
    glBlendFunc(GL_DST_ALPHA, GL_ONE);
    glColor4f(1, 0, 0, 1);
    glDepthMask(GL_TRUE);
    DrawBehindSunQuery(
        [&] { DrawFacingQuad(eye[0], eye[1], eye[2], sun.x, sun.y, sun.z, kSunHalfSize, kSunHalfSize, kSunHalfSize); });
    gSunGlare = StepSunGlare(gSunGlare, gSunSamplesVisible > 0, frame.frameFactor);
    // The glare over everything.
    glDepthMask(GL_FALSE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor4f(1, 0.5f, 0, gSunGlare);
    WithGlCapabilities({{GL_DEPTH_TEST, false}}, [&] {
      DrawFacingQuad(eye[0], eye[1], eye[2], sun.x, sun.y, sun.z, kGlareHalfSize, kGlareHalfSize, kGlareHalfSize);
    });
    glDepthMask(GL_TRUE);
  });
  glColor4f(1, 1, 1, 1);
  LookWithFarPlane(gSightDistance);
}
