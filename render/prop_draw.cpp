#include "render/prop_draw.h"

#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "render/car_lights.h"
#include "render/gl_state.h"
#include "render/shaders.h"

#include <algorithm>

PropDrawn gPropDrawn[kCityObjectCapacity];

namespace {

constexpr float kSecondsPerFrameFactor = 0.01f;

int gPropsTaken;  // props of the race when the copy step last ran

void DrawProp(const PropsView& view, int index) {
  const PropDrawn& prop = gPropDrawn[index];
  if (prop.type < 0 || prop.type >= view.partModelTypes) return;
  const int parts = std::clamp(prop.partCount, 0, kMaxPropParts);
  for (int k = 0; k < parts; ++k) {
    const Model* model = view.partModels[prop.type][k];
    if (model == nullptr) continue;
    glPushMatrix();
    glMultMatrixf(view.partMatrices[index][k].m);
    model->DrawTangentGeometry();
    glPopMatrix();
  }
}

}  // namespace

void TakePropStates(float frameFactor) {
  gPropsTaken = std::clamp(gCityObjectCount, 0, kCityObjectCapacity);
  for (int i = 0; i < gPropsTaken; ++i) {
    CityObject& prop = gCityObjects[i];
    gPropDrawn[i] = {prop.awake, prop.playerDistSq, prop.type, prop.partCount};
    if (prop.awake) prop.crashCoolDown += frameFactor * kSecondsPerFrameFactor;
  }
}

int PropDrawnCount() { return gPropsTaken; }

bool PropDrawnAtRest(const PropDrawn& prop) { return !prop.awake && prop.playerDistSq < kPropDrawDistSq; }

void DrawWorldObjects(const PropsView& view) {
  WithGlUnitCapabilities({{GL_TEXTURE2_ARB, GL_TEXTURE_2D, true}, {GL_TEXTURE0_ARB, GL_TEXTURE_2D, true}}, [&] {
    GlActiveTexture(GL_TEXTURE2_ARB);
    BindTableTexture(kPropNormalMapTexture);
    GlActiveTexture(GL_TEXTURE0_ARB);
    BindTableTexture(kPropColourTexture);
    SetShaderUniforms(kProgLight);
    GlUniform1f(gLightProgram.refInt, 0.0f);

    const int count = gPropsTaken;
    if (view.visible && gQuadTreeLeaves) {
      for (int n = 0; n < view.visible->count; ++n) {
        const QuadTreeList& leaf = gQuadTreeLeaves[view.visible->leaf[n]];
        for (int i = 0; i < leaf.objectCount; ++i) {
          const int index = leaf.objectIdx[i];
          if (index < 0 || index >= count) continue;  // a list from another race's props
          if (PropDrawnAtRest(gPropDrawn[index])) DrawProp(view, index);
        }
      }
    }
    for (int i = 0; i < count; ++i)
      if (gPropDrawn[i].awake) DrawProp(view, i);
  });
  SetShaderUniforms(kProgLight);
}
