#include "render/racer_draw.h"

#include "framework/globals.h"
#include "framework/particle_effect.h"
#include "framework/startup_models.h"
#include "framework/texture.h"
#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "render/car_lights.h"
#include "render/gl_state.h"
#include "render/gl_resources.h"
#include "render/shaders.h"
#include "render/tyre_tracks.h"
#include "world/catalogue.h"

#include <algorithm>
#include <cmath>

float gSpinAngle;

namespace {

// Steering radians to the degrees the front wheels turn by (a hair more than 180 / pi).
constexpr float kSteerDegrees = 57.324f;
constexpr float kWheelBaseHeight = 0.45f;  // wheel centre above the chassis origin at zero drop
constexpr float kFrontPivot = 0.195f;      // the front hub sits this far inside the wheel
constexpr float kShadowCasterRange = 120.0f;
constexpr float kExhaustStream = 120.0f;   // per unit of exhaust factor
constexpr float kMaxExhaustFactor = 2.0f;
constexpr int kFrontWheelSizeEntry = 4, kRearWheelSizeEntry = 5;
constexpr int kFirstVintGroup = 4;  // marker groups 4, 5, 6: big, small, turbo spinning parts
constexpr float kGlassReflection = 0.25f;

enum SuspensionPart { kRearArm = 0, kStrut = 1, kLink = 2, kFrontArm = 3, kKnuckle = 4 };

void DrawPart(const Model* model) {
  if (model) model->DrawNormalMappedOverride(-1);
}

void DrawSuspension(int part) { DrawPart(gSuspensionModels[part]); }

float WheelScale(const RacerLook& look, int entry) {
  return gWheelSizes[std::clamp(look.carKind, 0, kCatalogueSize - 1)][entry];
}

void UseProgram(GLhandleARB program) {
  if (glUseProgramObjectARB) glUseProgramObjectARB(program);
}

// ---- Lit set-up of passes 0 and 1 ----

void BindLitUnits(const Matrix4& shadowTextureMatrix) {
  GlActiveTexture(GL_TEXTURE4_ARB);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_TEXTURE_3D);
  glBindTexture(GL_TEXTURE_3D, gNoiseTexture3D);
  GlActiveTexture(GL_TEXTURE3_ARB);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, gShadowMapTexture);
  glMatrixMode(GL_TEXTURE);
  glLoadMatrixf(shadowTextureMatrix.m);
  glMatrixMode(GL_MODELVIEW);
  GlActiveTexture(GL_TEXTURE2_ARB);
  glDisable(GL_TEXTURE_2D);
  BindTableTexture(0);
  GlActiveTexture(GL_TEXTURE1_ARB);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_TEXTURE_CUBE_MAP);
  glBindTexture(GL_TEXTURE_CUBE_MAP, gReflectionCubeMap);
  GlActiveTexture(GL_TEXTURE0_ARB);
  glEnable(GL_TEXTURE_2D);
}

void ReleaseLitUnits() {
  for (GLenum unit = GL_TEXTURE4_ARB; unit >= GL_TEXTURE1_ARB; --unit) {
    GlActiveTexture(unit);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_3D);
    glDisable(GL_TEXTURE_CUBE_MAP);
  }
  GlActiveTexture(GL_TEXTURE0_ARB);
  glEnable(GL_TEXTURE_2D);
  UseProgram(0);
}

void BeginLit(const RacersView& view) {
  UseProgram(gLightProgram.object);
  SetShaderUniforms(kProgLight);
  BindLitUnits(view.shadowTextureMatrix);
}

// ---- Wheels ----

// The suspension arm, strut and link of one wheel, drawn in the hub's frame.
struct ArmLayout {
  bool front;
  float drop;  // the wheel's suspension offset
  float roll;  // the wheel's spin angle
};

void DrawFrontArm(const ArmLayout& arm) {
  const float a = arm.drop * 45.0f;
  glPushMatrix();
  glRotatef(a * 1.35f - 52.0f, 1, 0, 0);
  DrawSuspension(kFrontArm);
  glPopMatrix();
  glPushMatrix();
  glTranslatef(0, 0, -0.05f);
  glRotatef(a * 1.2f - 40.0f, 1, 0, 0);
  glRotatef(arm.roll, 0, 0, 1);
  DrawSuspension(kLink);  // turns with the wheel
  glPopMatrix();
  glTranslatef(-0.1f, -0.04f, -0.25f);
  glRotatef(-12.0f, 1, 0, 0);
  glScalef(1, arm.drop, 1);  // the strut stretches with the drop
  DrawSuspension(kStrut);
}

void DrawRearArm(const ArmLayout& arm) {
  const float a = arm.drop * 45.0f;
  glPushMatrix();
  glRotatef(a * 0.8f - 30.0f, 0, 0, 1);
  DrawSuspension(kRearArm);
  glPopMatrix();
  glTranslatef(0, 0, -0.25f);
  glPushMatrix();
  glRotatef(a * 1.38f - 55.0f, 1, 0, 0);
  glRotatef(arm.roll, 0, 0, 1);
  DrawSuspension(kLink);
  glPopMatrix();
  glTranslatef(0.15f, -0.05f, -0.2f);
  glRotatef(-7.0f, 1, 0, 0);
  glScalef(1, arm.drop, 1);
  DrawSuspension(kStrut);
}

// The arms of a wheel on the -z side are those of the +z side mirrored,
// which turns their faces inside out: culling is off while they draw.
void DrawArm(const ArmLayout& arm, float side) {
  const auto draw = [&arm] {
    if (arm.front)
      DrawFrontArm(arm);
    else
      DrawRearArm(arm);
  };
  glPushMatrix();
  if (side < 0) {
    glScalef(1, 1, -1);
    WithGlCapabilities({{GL_CULL_FACE, false}}, draw);
  } else {
    draw();
  }
  glPopMatrix();
}

// Wheel w with its suspension: 0 and 1 the steered front pair, 0 and 2 on +z.
void DrawWheelUnit(const RacerDrawInput& in, int w) {
  const RacerLook& car = *in.look;
  const bool front = w < 2;
  const float side = (w % 2 == 0) ? 1.0f : -1.0f;
  const float scale = WheelScale(car, front ? kFrontWheelSizeEntry : kRearWheelSizeEntry);
  const ArmLayout arm = {front, in.wheelDrop[w], in.wheelRoll[w]};
  glPushMatrix();
  const float y = kWheelBaseHeight - arm.drop + WheelHeightOffset(scale);
  if (front)
    glTranslatef(car.layout.frontAxleX, y, side * (car.layout.frontWheelZ - kFrontPivot));
  else
    glTranslatef(-car.layout.rearAxleX, y, side * car.layout.rearWheelZ);
  DrawArm(arm, side);
  if (side < 0) glRotatef(-180.0f, 1, 0, 0);
  if (front) {
    glRotatef(side * car.steerAngle * kSteerDegrees, 0, 1, 0);
    glRotatef(-6.0f * side, 1, 0, 0);  // camber
    DrawSuspension(kKnuckle);          // steers but does not roll
    glTranslatef(0, 0, kFrontPivot);
  } else {
    glRotatef(-3.0f * side, 1, 0, 0);
  }
  glRotatef(side * arm.roll, 0, 0, 1);
  glScalef(scale, scale, scale);
  DrawPart(in.models.wheel);
  glPopMatrix();
}

// ---- Passes ----

void DrawOpaque(const RacersView& view) {
  glColor4f(1, 1, 1, 1);
  UseProgram(gLightProgram.object);
  GlUniform1f(gLightProgram.glassNow, 0);
  GlUniform1f(gLightProgram.glassAlpha, 0);
  GlUniform1f(gLightProgram.lightNow, 0);
  SetShaderUniforms(kProgLight);
  BindLitUnits(view.shadowTextureMatrix);
  DrawWorldObjects(view.props);
  gSpinAngle -= (std::sin(gMenuClock * 0.5f) + 8.0f) * view.frameFactor;
  for (const RacerDrawInput& in : view.racers) {
    if (!in.look || !in.visible) continue;
    glPushMatrix();
    glMultMatrixf(in.matrix.m);
    DrawPart(in.models.car);
    if (in.models.optics) {
      float levels[3];
      LampLevels(*in.look, levels);
      in.models.optics->DrawNormalMappedGroupUniform(levels[0], levels[1], levels[2], LightGroupUniforms());
    }
    for (int w = 0; w < kWheelCount; ++w) DrawWheelUnit(in, w);
    glPopMatrix();
  }
  ReleaseLitUnits();
}

void SetGlassUniforms(GLint lightNow, GLint refInt, GLint glassNow, GLint glassAlpha, float glass) {
  GlUniform1f(lightNow, 0);
  GlUniform1f(refInt, glass * kGlassReflection);
  GlUniform1f(glassNow, glass);
  GlUniform1f(glassAlpha, glass);
}

void DrawGlassAndTracks(const RacersView& view) {
  BeginLit(view);
  SetGlassUniforms(gLightProgram.lightNow, gLightProgram.refInt, gLightProgram.glassNow, gLightProgram.glassAlpha, 1);
  for (const RacerDrawInput& in : view.racers) {
    if (!in.look || !in.visible || !in.models.glass) continue;
    glPushMatrix();
    glMultMatrixf(in.matrix.m);
    in.models.glass->DrawNormalMappedOverride(-1);
    glPopMatrix();
  }
  SetGlassUniforms(gLightProgram.lightNow, gLightProgram.refInt, gLightProgram.glassNow, gLightProgram.glassAlpha, 0);
  UseProgram(0);

  GlActiveTexture(GL_TEXTURE2_ARB);
  glEnable(GL_TEXTURE_2D);
  BindTableTexture(kTyreTrackNormalMapTexture);
  GlActiveTexture(GL_TEXTURE0_ARB);
  glEnable(GL_TEXTURE_2D);
  BindTableTexture(kTyreTrackTexture);
  UseProgram(gDirtTraceProgram.object);
  SetShaderUniforms(kProgDirtTrace);
  SetGlassUniforms(gDirtTraceProgram.lightNow, gDirtTraceProgram.refInt, gDirtTraceProgram.glassNow, gDirtTraceProgram.glassAlpha, 1);
  int32_t heads[kRacerCount][kWheelCount];
  for (int r = 0; r < kRacerCount; ++r) std::copy(view.racers[r].trackHead, view.racers[r].trackHead + kWheelCount, heads[r]);
  if (view.tracks) DrawTyreTracks(*view.tracks, heads);
  ReleaseLitUnits();
}

void DrawSpinningParts(const RacerDrawInput& in) {
  const Model* points = in.models.points;
  if (!points) return;
  for (int g = kFirstVintGroup; g < kFirstVintGroup + kVintModelCount; ++g) {
    const Model* part = gVintModels[g - kFirstVintGroup];
    if (!part) continue;
    const Matrix4* placements = in.look->layout.vintPlacements[g - kFirstVintGroup];
    for (int k = 0; k < SpinningPartCount(*points, g); ++k) {
      glPushMatrix();
      glMultMatrixf(placements[k].m);
      glRotatef(gSpinAngle, 0, 1, 0);
      part->Draw();
      glPopMatrix();
    }
  }
}

void DrawBlended(const RacersView& view) {
  DrawExhaustEffects(view);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0.25f, 0.25f, 0.25f, 1);
  WithGlCapabilities({{GL_CULL_FACE, false}, {GL_BLEND, true}}, [&] {
    for (const RacerDrawInput& in : view.racers) {
      if (!in.look || !in.visible) continue;
      glPushMatrix();
      glMultMatrixf(in.matrix.m);
      DrawSpinningParts(in);
      glPopMatrix();
    }
  });
  for (const RacerDrawInput& in : view.racers)
    if (in.look) DrawCarLights(view.eye, in.matrix, *in.look);
}

neV3 CarPoint(const Matrix4& m, float x, float y, float z) {
  const Vector3 p = m.TransformPoint(x, y, z);
  return neMakeV3(p.x, p.y, p.z);
}

unsigned TableTextureId(int index) {
  const uint32_t id = gTextures[index].glId;
  return id == kNoTexture ? 0 : id;
}

// An effect drawn at an exhaust point and at its mirror image across the
// truck. At strength 0 (the smoke while the truck does not backfire) every
// particle is wholly transparent: its quads would only cost their blending.
void DrawExhaustPair(const ParticleEffect& effect, const EffectLook& look, const Matrix4& m, const neV3& p,
                     const neV3& eye, int texture, float size) {
  if (!look.enabled || !(look.strength > 0)) return;
  for (float side : {1.0f, -1.0f}) {
    const neV3 at = CarPoint(m, p.x, p.y, side * p.z);
    effect.Draw(look.colour, at.x, at.y, at.z, eye.x, eye.y, eye.z, TableTextureId(texture), size, look.strength);
  }
}

// Front wheel 0 or 1, or rear wheel 2 or 3, as a plain shadow caster.
void DrawShadowWheel(const RacerDrawInput& in, int w) {
  const RacerLook& car = *in.look;
  const bool front = w < 2;
  const float side = (w % 2 == 0) ? 1.0f : -1.0f;
  const float scale = WheelScale(car, front ? kFrontWheelSizeEntry : kRearWheelSizeEntry);
  const float y = kWheelBaseHeight - in.wheelDrop[w] + WheelHeightOffset(scale);
  glPushMatrix();
  const TruckLayout& layout = car.layout;
  const float wheelZ = front ? layout.frontWheelZ : layout.rearWheelZ;
  glTranslatef(front ? layout.frontAxleX : -layout.rearAxleX, y, side * wheelZ);
  if (side < 0) glRotatef(-180.0f, 1, 0, 0);
  if (front) {
    glRotatef(side * car.steerAngle * kSteerDegrees, 0, 1, 0);
    glRotatef(-6.0f * side, 1, 0, 0);
  } else {
    glRotatef(-3.0f * side, 1, 0, 0);
  }
  glRotatef(side * in.wheelRoll[w], 0, 0, 1);
  glScalef(scale, scale, scale);
  in.models.wheel->Draw();
  glPopMatrix();
}

}  // namespace

void TakeRacerLook(int slot, RacerLook& look) {
  const Racer& car = gRacers[slot];
  look.carKind = car.carKind;
  look.layout = car.layout;
  look.steerAngle = car.steerAngle;
  look.brakeLight = car.brakeLight;
  look.reverseLight = car.reverseLight;
  look.exhaustFlame = car.exhaustFlame;
  look.fire = LookOf(gFirePipeEffects[slot]);
  look.smoke = LookOf(gSmokePipeEffects[slot]);
}

int SpinningPartCount(const Model& points, int group) {
  if (group < kFirstVintGroup || group >= kFirstVintGroup + kVintModelCount || group >= points.groupCount) return 0;
  return std::min(points.groups[group].triangleCount, kPlacementCount);
}

float ExhaustStreamSpeed(float exhaustFactor) {
  return kExhaustStream * std::min(exhaustFactor, kMaxExhaustFactor);
}

void DrawRacersFrom(int pass, const RacersView& view) {
  switch (pass) {
    case kRacerPassOpaque: DrawOpaque(view); break;
    case kRacerPassGlass: DrawGlassAndTracks(view); break;
    case kRacerPassBlended: DrawBlended(view); break;
    default: break;
  }
}

void DrawExhaustEffects(const RacersView& view) {
  for (int slot = 0; slot < kRacerCount; ++slot) {
    const RacerDrawInput& in = view.racers[slot];
    if (!in.look) continue;
    const RacerLook& look = *in.look;
    const neV3 forward = SafeUnit(neMakeV3(in.matrix.m[0], in.matrix.m[1], in.matrix.m[2]));
    const neV3 stream = forward * -ExhaustStreamSpeed(look.exhaustFlame);
    ParticleEffect& fire = gFirePipeEffects[slot];
    ParticleEffect& smoke = gSmokePipeEffects[slot];
    fire.Update(view.frameFactor, stream.x, stream.y, stream.z);
    smoke.Update(view.frameFactor, stream.x, stream.y, stream.z);
    const neV3* exhaust = look.layout.exhaustPoints;
    DrawExhaustPair(smoke, look.smoke, in.matrix, exhaust[0], view.eye, kSmokeTexture, 1.0f);
    DrawExhaustPair(fire, look.fire, in.matrix, exhaust[1], view.eye, kFireTexture, look.exhaustFlame);
  }
  glColor4f(1, 1, 1, 1);
}

void DrawRacersForShadowMapFrom(const RacersView& view) {
  for (const RacerDrawInput& in : view.racers) {
    if (!in.look || !in.visible || !in.models.car || !in.models.wheel) continue;
    const neV3 position = neMakeV3(in.matrix.m[12], in.matrix.m[13], in.matrix.m[14]);
    if (!(LengthV3(position - view.eye) < kShadowCasterRange)) continue;
    glPushMatrix();
    glMultMatrixf(in.matrix.m);
    in.models.car->Draw();
    for (int w = 0; w < kWheelCount; ++w) DrawShadowWheel(in, w);
    glPopMatrix();
  }
}
