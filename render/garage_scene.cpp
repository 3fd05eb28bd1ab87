// The garage showroom; see garage_scene.h for what it reads, draws into and
// the GL state it leaves.
#include "render/garage_scene.h"

#include <cmath>

#include "framework/globals.h"
#include "framework/overlay_frame.h"
#include "framework/startup_models.h"
#include "framework/texture.h"
#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "render/frustum.h"
#include "render/garage_camera.h"
#include "render/garage_shadow.h"
#include "render/gl_resources.h"
#include "render/gl_state.h"
#include "render/post_passes.h"
#include "render/race_camera.h"
#include "render/race_frame_parts.h"  // ComputeInverseViewMatrix
#include "render/race_projection.h"
#include "render/racer_draw.h"         // gSpinAngle
#include "render/reflection_cube.h"
#include "render/shaders.h"
#include "render/shadow_map.h"
#include "render/shadow_matrix.h"
#include "render/sky.h"
#include "world/catalogue.h"
#include "world/racer_models.h"

namespace {

constexpr float kDegreesPerRadian = 57.2957f;

// The orbit: the eye's start before pitch and yaw, the point the view
// direction aims at, how far the look-at point sits beside it, and how far
// the wobble rocks the up vector (radians per unit of view direction).
constexpr float kEyeHeight = 0.75f, kEyeDistance = 11.5f;
const neV3 kAimPoint = {0.0f, -4.5f, 0.0f, 0.0f};
constexpr float kLookAside = 1.4f;
constexpr float kWobbleRock = 0.18f;
constexpr float kWobblePerFrameFactor = 0.003f;  // radians

// Spinning parts turn by (sin(menu clock x 0.5) + 8) degrees per frame-factor unit.
constexpr float kSpinClockRate = 0.5f, kSpinBase = 8.0f;
constexpr float kSpinningPartShade = 0.25f;

// The showroom's suspension: a fixed travel and squash; wheels hang this
// far below their axle marks.
constexpr float kShowroomTravel = 40.5f, kShowroomSquash = 0.9f;
constexpr float kWheelHang = 0.49f;
constexpr float kFrontWheelInset = 0.195f;

// Light program values of the showroom passes.
constexpr float kGlassReflection = 0.25f;
// The transparency and map passes fade detail between these distances.
constexpr float kFadeStart = 400.0f, kFadeEnd = 420.0f;
constexpr float kAlphaTestReference = 0.5f;

enum SuspensionPart : int { kRearArm = 0, kSpring = 1, kShock = 2, kFrontArm = 3, kHub = 4 };
enum SpinningGroup : int { kBigVintGroup = 4, kSmallVintGroup = 5, kTurboVintGroup = 6 };

void DrawPart(int part) {
  if (gSuspensionModels[part]) gSuspensionModels[part]->DrawNormalMappedOverride(-1);
}

void DrawIf(const Model* model) {
  if (model) model->DrawNormalMappedOverride(-1);
}

// Front suspension of the +z side, under the wheel corner.
void DrawFrontSuspension() {
  glPushMatrix();
  glRotatef(kShowroomTravel * 1.35f - 52.0f, 1, 0, 0);
  DrawPart(kFrontArm);
  glPopMatrix();
  glPushMatrix();
  glTranslatef(0, 0, -0.05f);
  glRotatef(kShowroomTravel * 1.2f - 40.0f, 1, 0, 0);
  DrawPart(kShock);
  glPopMatrix();
  glPushMatrix();
  glTranslatef(-0.1f, -0.07f, -0.25f);
  glRotatef(-12, 1, 0, 0);
  glScalef(1, kShowroomSquash, 1);
  DrawPart(kSpring);
  glPopMatrix();
}

void DrawRearSuspension() {
  glPushMatrix();
  glRotatef(kShowroomTravel * 0.8f - 30.0f, 0, 0, 1);
  DrawPart(kRearArm);
  glPopMatrix();
  glPushMatrix();
  glTranslatef(0, 0, -0.25f);
  glRotatef(kShowroomTravel * 1.38f - 55.0f, 1, 0, 0);
  DrawPart(kShock);
  glPopMatrix();
  glPushMatrix();
  glTranslatef(0.15f, -0.05f, -0.2f);
  glRotatef(-7, 1, 0, 0);
  glScalef(1, kShowroomSquash, 1);
  DrawPart(kSpring);
  glPopMatrix();
}

// The far side's parts are the near side's mirrored across the truck.
template <typename Parts>
void DrawMirrored(Parts parts) {
  glPushMatrix();
  glScalef(1, 1, -1);
  WithGlCapabilities({{GL_CULL_FACE, false}}, parts);
  glPopMatrix();
}

void DrawScaledWheel(const Model* wheel, float scale) {
  glScalef(scale, scale, scale);
  DrawIf(wheel);
}

void DrawWheelCorners(const ShowroomTruck& truck) {
  const Racer& car = *truck.record;
  const float f = truck.frontWheelScale, r = truck.rearWheelScale;
  const float frontY = (f - 1) * 0.5f - kWheelHang, rearY = (r - 1) * 0.5f - kWheelHang;

  glPushMatrix();  // front, +z
  glTranslatef(car.layout.frontAxleX, frontY, car.layout.frontWheelZ - kFrontWheelInset);
  DrawFrontSuspension();
  glRotatef(25, 0, 1, 0);
  glRotatef(-6, 1, 0, 0);
  DrawPart(kHub);
  glTranslatef(0, 0, kFrontWheelInset);
  DrawScaledWheel(truck.wheel, f);
  glPopMatrix();

  glPushMatrix();  // front, -z
  glTranslatef(car.layout.frontAxleX, frontY, -car.layout.frontWheelZ + kFrontWheelInset);
  DrawMirrored(DrawFrontSuspension);
  glRotatef(-180, 1, 0, 0);
  glRotatef(-25, 0, 1, 0);
  glRotatef(6, 1, 0, 0);
  DrawPart(kHub);
  glTranslatef(0, 0, kFrontWheelInset);
  DrawScaledWheel(truck.wheel, f);
  glPopMatrix();

  glPushMatrix();  // rear, +z
  glTranslatef(-car.layout.rearAxleX, rearY, car.layout.rearWheelZ);
  DrawRearSuspension();
  glRotatef(-3, 1, 0, 0);
  DrawScaledWheel(truck.wheel, r);
  glPopMatrix();

  glPushMatrix();  // rear, -z
  glTranslatef(-car.layout.rearAxleX, rearY, -car.layout.rearWheelZ);
  DrawMirrored(DrawRearSuspension);
  glRotatef(-180, 1, 0, 0);
  glRotatef(3, 1, 0, 0);
  DrawScaledWheel(truck.wheel, r);
  glPopMatrix();
}

void LookThrough(const GarageView& view) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(view.eye.x, view.eye.y, view.eye.z, view.lookAt.x, view.lookAt.y, view.lookAt.z, view.up.x,
            view.up.y, view.up.z);
}

// Colour and depth of the multisample buffer into the texture and the shared depth.
void ResolveInto(GLuint texture) {
  if (gAntiAliasing <= 0) return;
  AttachToResolve(texture);
  glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, gMultisampleFbo);
  glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, gResolveFbo);
  glBlitFramebufferEXT(0, 0, gScreenWidth, gScreenHeight, 0, 0, gScreenWidth, gScreenHeight,
                       GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, GL_NEAREST);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void BindOn(GLenum unit, GLenum target, GLuint texture) {
  GlActiveTexture(unit);
  glEnable(target);
  glBindTexture(target, texture);
}

void UnitOff(GLenum unit, GLenum target) {
  GlActiveTexture(unit);
  glDisable(target);
}

// The shadow map on a unit, its texture matrix carrying the eye-space
// points of the garage camera into the map.
void BindShadowMap(GLenum unit) {
  BindOn(unit, GL_TEXTURE_2D, gShadowMapTexture);
  glMatrixMode(GL_TEXTURE);
  glLoadMatrixf(ShadowTextureMatrix(gLightProjection, gLightView, gInverseViewMatrix).m);
  glMatrixMode(GL_MODELVIEW);
}

void ResetTextureMatrix(GLenum unit) {
  GlActiveTexture(unit);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
}

// The lit programs' units: 4 noise, 3 the shadow map, 2 the lamp texture,
// 1 the reflection cube; unit 0 active.
void BindLitUnits() {
  BindOn(GL_TEXTURE4_ARB, GL_TEXTURE_3D, gNoiseTexture3D);
  glDisable(GL_TEXTURE_2D);
  BindShadowMap(GL_TEXTURE3_ARB);
  const uint32_t lamp = gTextures[kPropNormalMapTexture].glId;
  BindOn(GL_TEXTURE2_ARB, GL_TEXTURE_2D, lamp == kNoTexture ? 0 : lamp);
  BindOn(GL_TEXTURE1_ARB, GL_TEXTURE_CUBE_MAP_ARB, gReflectionCubeMap);
  glDisable(GL_TEXTURE_2D);
  GlActiveTexture(GL_TEXTURE0_ARB);
  glEnable(GL_TEXTURE_2D);
}

void UnbindLitUnits() {
  UnitOff(GL_TEXTURE4_ARB, GL_TEXTURE_3D);
  UnitOff(GL_TEXTURE3_ARB, GL_TEXTURE_2D);
  ResetTextureMatrix(GL_TEXTURE3_ARB);
  UnitOff(GL_TEXTURE2_ARB, GL_TEXTURE_2D);
  UnitOff(GL_TEXTURE1_ARB, GL_TEXTURE_CUBE_MAP_ARB);
  GlActiveTexture(GL_TEXTURE0_ARB);
  glEnable(GL_TEXTURE_2D);
}

void DrawOpaqueTruck(const ShowroomTruck& truck) {
  DrawIf(gGarageModels[kGarageSpecial]);
  DrawIf(truck.car);
  if (truck.optics) truck.optics->DrawNormalMappedGroupUniform(0, 0, 0, LightGroupUniforms());
  if (truck.record) DrawWheelCorners(truck);
}

// The room's programs read the noise on unit 2 and the shadow map on unit 1.
constexpr GlUnitCapability kRoomUnits[] = {
    {GL_TEXTURE2_ARB, GL_TEXTURE_3D, true}, {GL_TEXTURE2_ARB, GL_TEXTURE_2D, false}, {GL_TEXTURE1_ARB, GL_TEXTURE_2D, true}};

void DrawRoom() {
  WithGlUnitCapabilities(kRoomUnits, [] {
    GlActiveTexture(GL_TEXTURE2_ARB);
    glBindTexture(GL_TEXTURE_3D, gNoiseTexture3D);
    BindShadowMap(GL_TEXTURE1_ARB);
    GlActiveTexture(GL_TEXTURE0_ARB);
    // The see-through parts of the room, alpha-tested.
    glAlphaFunc(GL_GEQUAL, kAlphaTestReference);
    WithGlCapabilities({{GL_CULL_FACE, false}, {GL_ALPHA_TEST, true}}, [] {
      glUseProgramObjectARB(gTransparencyProgram.object);
      SetShaderUniforms(kProgTransparency);
      glUniform1fARB(gTransparencyProgram.t0, kFadeStart);
      glUniform1fARB(gTransparencyProgram.t1, kFadeEnd);
      if (gGarageModels[kGarageTransparency]) gGarageModels[kGarageTransparency]->Draw();
      glUseProgramObjectARB(0);
    });
    // The walls and the floor.
    glUseProgramObjectARB(gMapProgram.object);
    SetShaderUniforms(kProgMap);
    glUniform1fARB(gMapProgram.t0, kFadeStart);
    glUniform1fARB(gMapProgram.t1, kFadeEnd);
    for (int room : {kGarageRoom, kGarageGround})
      if (gGarageModels[room]) gGarageModels[room]->Draw();
    glUseProgramObjectARB(0);
    ResetTextureMatrix(GL_TEXTURE1_ARB);
    GlActiveTexture(GL_TEXTURE0_ARB);
  });
}

void UseLightProgram(float glass) {
  glUseProgramObjectARB(gLightProgram.object);
  SetShaderUniforms(kProgLight);
  glUniform1fARB(gLightProgram.lightNow, 0);
  glUniform1fARB(gLightProgram.glassNow, glass);
  glUniform1fARB(gLightProgram.glassAlpha, glass);
}

// The garage sun's matrices, the inverse of the camera's view for the
// shadow texture matrix, then the map drawn, or only cleared with shadows off.
void UpdateGarageShadow(const GarageSceneInput& input) {
  SetupCameraFrustum(kViewGarageSun, 0);
  LookThrough(input.view);
  ComputeInverseViewMatrix();
  glLoadIdentity();
  if (gShadowMapSize > kShadowMapSizeOff)
    RenderGarageShadowMap(input.truck);
  else
    ClearShadowMap();
}

void DrawOpaqueLayer(const GarageSceneInput& input) {
  BindLayerTarget(gSceneTexture);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  gFarPlane = kSkyFarPlane;
  SetProjection(gScreenWidth, gScreenHeight);
  LookThrough(input.view);
  SetupLights();
  UseLightProgram(0);
  BindLitUnits();
  gSpinAngle -= (std::sin(input.menuClock * kSpinClockRate) + kSpinBase) * input.frameFactor;
  DrawOpaqueTruck(input.truck);
  glUseProgramObjectARB(0);
  UnbindLitUnits();
  DrawRoom();
  DrawSkybox(0, kSkyBaseHeight, 0);
}

// The glass blended straight over the opaque layer. Only the nearest glass
// at a pixel shows, as if the glass had a layer of its own: its depth is
// laid first, then only the fragments at that depth are blended.
void DrawGlass(const GarageSceneInput& input) {
  LookThrough(input.view);
  SetupLights();
  BindLitUnits();
  UseLightProgram(1);
  glUniform1fARB(gLightProgram.refInt, kGlassReflection);
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  DrawIf(input.truck.glass);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthFunc(GL_EQUAL);
  glDepthMask(GL_FALSE);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  WithGlCapabilities({{GL_BLEND, true}}, [&] { DrawIf(input.truck.glass); });
  glDepthMask(GL_TRUE);
  glDepthFunc(GL_LEQUAL);
  glUniform1fARB(gLightProgram.refInt, 0);
  glUseProgramObjectARB(0);
  UnbindLitUnits();
  ResolveInto(gSceneTexture);
}

void WindowQuad(GLuint texture, int width, int height) {
  glBindTexture(GL_TEXTURE_RECTANGLE_ARB, texture);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(0, 0);
  glTexCoord2f(float(width), 0);
  glVertex2f(kFrameWidth, 0);
  glTexCoord2f(float(width), float(height));
  glVertex2f(kFrameWidth, kFrameHeight);
  glTexCoord2f(0, float(height));
  glVertex2f(0, kFrameHeight);
  glEnd();
}

// Runs a draw in the 800 x 600 frame with rectangle texturing, depth off.
template <typename Draw>
void InFlatFrame(Draw draw) {
  glDepthMask(GL_FALSE);
  PushOverlayFrame();
  glColor4f(1, 1, 1, 1);
  WithGlCapabilities({{GL_DEPTH_TEST, false}, {GL_TEXTURE_2D, false}, {GL_TEXTURE_RECTANGLE_ARB, true}}, draw);
  PopOverlayFrame();
  glDepthMask(GL_TRUE);
}

// Each marker triangle of a group places one part; the record holds ten
// placements, so further triangles have none and draw nothing.
void DrawSpinningGroup(const Model& points, int group, const Matrix4* placements, const Model* part) {
  if (part == nullptr || group >= points.groupCount) return;
  const int count = points.groups[group].triangleCount < kPlacementCount ? points.groups[group].triangleCount
                                                                         : kPlacementCount;
  for (int j = 0; j < count; ++j) {
    glPushMatrix();
    glMultMatrixf(placements[j].m);
    glRotatef(gSpinAngle, 0, 1, 0);
    part->Draw();
    glPopMatrix();
  }
}

void DrawSpinningParts(const GarageSceneInput& input) {
  const ShowroomTruck& truck = input.truck;
  if (truck.points == nullptr || truck.record == nullptr) return;
  LookThrough(input.view);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(kSpinningPartShade, kSpinningPartShade, kSpinningPartShade, 1);
  WithGlCapabilities({{GL_CULL_FACE, false}, {GL_BLEND, true}}, [&] {
    const TruckLayout& layout = truck.record->layout;
    DrawSpinningGroup(*truck.points, kBigVintGroup, layout.vintPlacements[0], gVintModels[0]);
    DrawSpinningGroup(*truck.points, kSmallVintGroup, layout.vintPlacements[1], gVintModels[1]);
    DrawSpinningGroup(*truck.points, kTurboVintGroup, layout.vintPlacements[2], gVintModels[2]);
  });
  glColor4f(1, 1, 1, 1);
}

// The player's truck as racer slot 0 holds it, its wheels scaled as the
// built truck's.
ShowroomTruck PlayerTruck() {
  constexpr int kPlayer = 0;
  ShowroomTruck truck;
  truck.car = gRacerModels[kRacerModelCar][kPlayer];
  truck.optics = gRacerModels[kRacerModelOptics][kPlayer];
  truck.glass = gRacerModels[kRacerModelGlass][kPlayer];
  truck.wheel = gRacerModels[kRacerModelWheel][kPlayer];
  truck.points = gRacerModels[kRacerModelPoints][kPlayer];
  truck.record = &gRacers[kPlayer];
  const int built = gBuiltCarIndex[kPlayer];
  if (built >= 0 && built < kCatalogueSize) {
    truck.frontWheelScale = gWheelSizes[built][4];
    truck.rearWheelScale = gWheelSizes[built][5];
  }
  return truck;
}

}  // namespace

GarageView GarageViewFrom(float pitch, float yaw, float zoom, float wobblePhase) {
  GarageView view;
  Vector3 eye = {0, kEyeHeight, -kEyeDistance - zoom};
  neV3 turned = {eye.x, eye.y, eye.z, 0};
  turned.RotateX(pitch / kDegreesPerRadian);
  eye = {turned.x, turned.y, turned.z};
  eye.RotateY(yaw / kDegreesPerRadian);
  view.eye = {eye.x, eye.y, eye.z, 0};
  neV3 direction = kAimPoint - view.eye;
  direction.Normalize();
  const float rock = std::sin(wobblePhase) * kWobbleRock;
  neV3 up = {0, 1, 0, 0};
  up.RotateX(rock * direction.x);
  up.RotateZ(rock * direction.z);
  up.Normalize();
  view.up = up;
  neV3 side = CrossV3(up, direction);
  side.Normalize();
  view.lookAt = direction - side * kLookAside;
  return view;
}

void RenderGarageSceneFrom(const GarageSceneInput& input) {
  gCameraEye = input.view.eye;
  gGarageLookAt = input.view.lookAt;
  UpdateGarageShadow(input);
  DrawOpaqueLayer(input);
  DrawGlass(input);
  AttachToResolve(gSceneTexture);  // after a multisample resolve, which leaves the window bound
  DrawSpinningParts(input);
  RenderFullScreenPass(kProgBlur, gSceneTexture, gBlurTexture2, kPostFromWindow);
  RenderFullScreenPass(kProgBlur, gBlurTexture2, gBlurTexture, kPostFromBlur);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  glViewport(0, 0, gScreenWidth, gScreenHeight);
  glLoadIdentity();
  glClear(GL_COLOR_BUFFER_BIT);
}

void RenderGarageScene() {
  if (gResolveFbo == 0) return;  // the graphics resources failed at start-up: nothing to draw into
  MoveGarageCamera();
  if (gScreen == gTargetScreen && gCarChangeProgress < 1.0f) gGarageWobblePhase += gFrameFactor * kWobblePerFrameFactor;
  GarageSceneInput input{};
  input.view = GarageViewFrom(gGarageViewPitch, gGarageViewYaw, gGarageZoom, gGarageWobblePhase);
  input.frameFactor = gFrameFactor;
  input.menuClock = gMenuClock;
  input.truck = PlayerTruck();
  // The truck's reflections: the cube about its stand at the origin, turned
  // toward the look-at point, a face or two each frame.
  const Vector3 lookAt(input.view.lookAt.x, input.view.lookAt.y, input.view.lookAt.z);
  const Vector3 up(input.view.up.x, input.view.up.y, input.view.up.z);
  UpdateReflectionCubeMap(false, {Vector3(0, 0, 0), lookAt, up, [] { DrawSkybox(0, kSkyBaseHeight, 0); }, nullptr});
  RenderGarageSceneFrom(input);
}

void DrawGarageSceneOnWindow(bool previousScene) {
  const GLuint scene = previousScene ? gPrevSceneTexture : gSceneTexture;
  if (scene == 0) return;
  const bool copied = CopyToWindow(scene);
  glBlendFunc(GL_ONE, GL_ONE);
  InFlatFrame([copied, scene] {
    if (!copied) WithGlCapabilities({{GL_BLEND, false}}, [scene] { WindowQuad(scene, gScreenWidth, gScreenHeight); });
    WithGlCapabilities({{GL_BLEND, true}}, [] { WindowQuad(gBlurTexture, gBlurWidth, gBlurHeight); });
  });
}
