// The garage's shadow pass; see garage_shadow.h for what it reads, draws
// into and the GL state it leaves.
#include "render/garage_shadow.h"

#include "framework/startup_models.h"
#include "platform/gl.h"
#include "render/frustum.h"
#include "render/gl_state.h"
#include "render/shadow_map.h"
#include "render/shaders.h"

namespace {

// Wheels hang this far below their axle marks and sit this far in from them.
constexpr float kWheelHang = 0.49f, kWheelInset = 0.195f;

void DrawDepth(const Model* model) {
  if (model) model->Draw();
}

struct WheelPlacement {
  float x, y, z;
  float turns[3][4];  // degrees about an axis, in order; 0 degrees for none
  float scale;
};

void DrawWheel(const WheelPlacement& placement, const Model* wheel) {
  glPushMatrix();
  glTranslatef(placement.x, placement.y, placement.z);
  for (const auto& turn : placement.turns)
    if (turn[0] != 0) glRotatef(turn[0], turn[1], turn[2], turn[3]);
  DrawDepth(gBrakeDiskModel);
  glScalef(placement.scale, placement.scale, placement.scale);
  DrawDepth(wheel);
  glPopMatrix();
}

void DrawWheels(const ShowroomTruck& truck) {
  const Racer& car = *truck.record;
  const float f = truck.frontWheelScale, r = truck.rearWheelScale;
  const float hf = (f - 1) * 0.5f - kWheelHang, hr = (r - 1) * 0.5f - kWheelHang;
  const float fz = car.layout.frontWheelZ - kWheelInset, rz = car.layout.rearWheelZ - kWheelInset;
  const WheelPlacement wheels[4] = {
      {car.layout.frontAxleX, hf, fz, {{25, 0, 1, 0}, {-6, 1, 0, 0}, {}}, f},
      {car.layout.frontAxleX, hf, -fz, {{-180, 1, 0, 0}, {-25, 0, 1, 0}, {6, 1, 0, 0}}, f},
      {-car.layout.rearAxleX, hr, rz, {{-3, 1, 0, 0}, {}, {}}, r},
      {-car.layout.rearAxleX, hr, -rz, {{-180, 1, 0, 0}, {3, 1, 0, 0}, {}}, r},
  };
  for (const WheelPlacement& placement : wheels) DrawWheel(placement, truck.wheel);
}

}  // namespace

void RenderGarageShadowMap(const ShowroomTruck& truck) {
  BeginShadowDepthPass(gLightProjection, gLightView);
  glPushMatrix();
  DrawDepth(gGarageModels[kGarageRoom]);
  DrawDepth(gGarageModels[kGarageSpecial]);
  glUseProgramObjectARB(gTransparencyForShadowMapProgram.object);
  SetShaderUniforms(kProgTransparencyForShadowMap);
  DrawDepth(gGarageModels[kGarageTransparency]);
  glUseProgramObjectARB(0);
  WithGlCapabilities({{GL_CULL_FACE, true}}, [&] {
    DrawDepth(truck.car);
    DrawDepth(truck.optics);
    DrawDepth(truck.glass);
    if (truck.record) DrawWheels(truck);
  });
  glPopMatrix();
  EndShadowDepthPass();
}
