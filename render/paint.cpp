// Car paint composition and the loader of its masks and decals; see paint.h
// for what it reads, draws into and the GL state it leaves.
#include "render/paint.h"

#include <iterator>
#include <string>

#include "framework/settings.h"
#include "platform/gl.h"
#include "render/gl_resources.h"
#include "render/gl_state.h"
#include "render/race_projection.h"
#include "world/racer_models.h"

Texture gCarPaintZoneMasks[kPaintZoneCount];
Texture gKovshPaintZoneMasks[kPaintZoneCount];
Texture gObvesPaintZoneMasks[kPaintZoneCount];
Texture gCarReflMask, gKovshReflMask, gObvesReflMask;
Texture gDecalTTexture, gDecalBTexture;
float gPaintZoneColours[kPaintZoneCount][3];
const Model* gRacerKovshModels[kRacerSlotCount];
const Model* gRacerObvesModels[kRacerSlotCount];
int32_t gRepaintRequest;

namespace {

constexpr float kDecalScale = 1.3f;
constexpr int kCarPaintWidth = 1536, kCarPaintHeight = 1024;
constexpr int kKovshPaintSide = 512;
constexpr int kObvesPaintWidth = 1024, kObvesPaintHeight = 512;

// Where the decals lie on the car and kovsh textures.
constexpr float kDecalTWidth = 1024, kDecalTHeight = 384;
constexpr float kDecalBWidth = 1024, kDecalBHeight = 256;
const PaintDecal kCarDecals[] = {
    {&gDecalTTexture, 246, 768, kDecalTWidth, kDecalTHeight},
    {&gDecalBTexture, 610, 394, kDecalBWidth, kDecalBHeight},
    {&gDecalBTexture, 610, 138, kDecalBWidth, kDecalBHeight},
};
const PaintDecal kKovshDecals[] = {{&gDecalTTexture, 756, 256, kDecalTWidth, kDecalTHeight}};

// A record's GL name, 0 (no texture) when it holds none.
GLuint NameOf(const Texture& texture) { return texture.glId == kNoTexture ? 0 : texture.glId; }

void TexturedQuad(float x0, float y0, float x1, float y1) {
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(x0, y0);
  glTexCoord2f(1, 0);
  glVertex2f(x1, y0);
  glTexCoord2f(1, 1);
  glVertex2f(x1, y1);
  glTexCoord2f(0, 1);
  glVertex2f(x0, y1);
  glEnd();
}

// The whole texture's quad with one image on it.
void FullQuad(const PaintLayers& layers, GLuint texture) {
  glBindTexture(GL_TEXTURE_2D, texture);
  TexturedQuad(0, 0, float(layers.width), float(layers.height));
}

void CopyCornerInto(const PaintLayers& layers, int tx, int ty) {
  glBindTexture(GL_TEXTURE_2D, layers.target);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, tx * kPaintTileSide, ty * kPaintTileSide, 0, 0, kPaintTileSide,
                      kPaintTileSide);
}

// Zone z's colour under its mask, then everything composed so far laid
// back over it through the composed alpha.
void LayZone(const PaintLayers& layers, int z, const float colour[3]) {
  glClear(GL_COLOR_BUFFER_BIT);
  WithGlCapabilities({{GL_TEXTURE_2D, false}}, [&] {
    glColor4f(colour[0], colour[1], colour[2], 0.0f);
    TexturedQuad(0, 0, float(layers.width), float(layers.height));
  });
  glColor4f(1, 1, 1, 1);
  WithGlCapabilities({{GL_BLEND, true}}, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    FullQuad(layers, NameOf(layers.zoneMasks[z]));
    if (z > 0) {
      glBlendFunc(GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA);
      FullQuad(layers, layers.target);
    }
  });
}

void LayDecals(const PaintLayers& layers) {
  WithGlCapabilities({{GL_BLEND, true}}, [&] {
    glBlendFunc(GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA);
    for (int d = 0; d < layers.decalCount; ++d) {
      const PaintDecal& decal = layers.decals[d];
      const float halfWidth = decal.width * kDecalScale * 0.5f, halfHeight = decal.height * kDecalScale * 0.5f;
      glBindTexture(GL_TEXTURE_2D, NameOf(*decal.image));
      TexturedQuad(decal.centreX - halfWidth, decal.centreY - halfHeight, decal.centreX + halfWidth,
                   decal.centreY + halfHeight);
    }
  });
}

// The composed colour kept, its alpha replaced by the alpha source's.
void LayAlpha(const PaintLayers& layers) {
  glClear(GL_COLOR_BUFFER_BIT);
  glColor4f(1, 1, 1, 0);
  FullQuad(layers, layers.target);
  WithGlCapabilities({{GL_BLEND, true}}, [&] {
    glBlendFunc(GL_ONE, GL_ONE);
    glColor4f(0, 0, 0, 1);
    FullQuad(layers, NameOf(*layers.alphaSource));
  });
  glColor4f(1, 1, 1, 1);
}

void ComposeTile(const PaintLayers& layers, const float zoneColours[kPaintZoneCount][3], int tx, int ty) {
  glClear(GL_COLOR_BUFFER_BIT);
  glTranslatef(-float(kPaintTileSide * tx), -float(kPaintTileSide * ty), 0);
  for (int z = 0; z < kPaintZoneCount; ++z) {
    LayZone(layers, z, zoneColours[z]);
    CopyCornerInto(layers, tx, ty);
  }
  LayDecals(layers);
  if (layers.topTexture != 0) {
    WithGlCapabilities({{GL_BLEND, true}}, [&] {
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      FullQuad(layers, layers.topTexture);
    });
  }
  CopyCornerInto(layers, tx, ty);
  LayAlpha(layers);
  CopyCornerInto(layers, tx, ty);
  glTranslatef(float(kPaintTileSide * tx), float(kPaintTileSide * ty), 0);
}

GLuint FirstMaterialTexture(const Model* model) {
  if (model == nullptr || model->materialCount < 1) return 0;
  return model->materials[0].textureId;
}

// Loads into a fresh record and keeps it only when the file loaded, giving
// back the name the record held.
void Reload(Texture& record, const std::string& path) {
  Texture loaded;
  if (!loaded.LoadFromTGA(path.c_str(), kTexTrilinear)) return;
  record.Release();
  record = loaded;
}

void ReloadMaskSet(Texture& reflMask, Texture masks[kPaintZoneCount], const std::string& prefix) {
  Reload(reflMask, prefix + "_refl.tga");
  for (int z = 0; z < kPaintZoneCount; ++z) Reload(masks[z], prefix + "_paint_zone" + std::to_string(z) + ".tga");
}

void ReloadDecalSeries(Texture& record, char series) {
  const std::string folder = "base/cars/decals/";
  Reload(record, folder + "0.tga");
  for (int i = 1; i <= kDecalSeriesLength; ++i) Reload(record, folder + series + std::to_string(i) + ".tga");
}

bool IsRacerSlot(int racer) { return racer >= 0 && racer < kRacerSlotCount; }

// A paint target is made by its first composition: nothing draws from one
// that was never composed into, and the twelve hold 36 MiB.
GLuint PaintTarget(GLuint& name, int width, int height) {
  if (name == 0) name = Make2DRenderTexture(width, height);
  return name;
}

}  // namespace

void ComposePaintLayers(const PaintLayers& layers, const float zoneColours[kPaintZoneCount][3]) {
  // The layers are laid textured and opaque unless a layer says otherwise.
  WithGlCapabilities({{GL_DEPTH_TEST, false}, {GL_TEXTURE_2D, true}, {GL_BLEND, false}}, [&] {
    for (int tx = 0; tx < layers.width / kPaintTileSide; ++tx)
      for (int ty = 0; ty < layers.height / kPaintTileSide; ++ty) ComposeTile(layers, zoneColours, tx, ty);
  });
}

void ComposePaintTexture(int racer, const float zoneColours[kPaintZoneCount][3]) {
  if (!IsRacerSlot(racer)) return;
  glFinish();
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, kPaintTileSide, 0, kPaintTileSide, -1, 1);
  glViewport(0, 0, kPaintTileSide, kPaintTileSide);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();  // the tiles are placed from the corner, whatever the frame's camera was
  const GLuint car = PaintTarget(gCarPaintTextures[racer], kCarPaintWidth, kCarPaintHeight);
  const GLuint kovsh = PaintTarget(gCarPaintTextures2[racer], kKovshPaintSide, kKovshPaintSide);
  const GLuint obves = PaintTarget(gCarPaintTextures3[racer], kObvesPaintWidth, kObvesPaintHeight);
  const PaintLayers targets[] = {
      {car, kCarPaintWidth, kCarPaintHeight, gCarPaintZoneMasks, kCarDecals, int(std::size(kCarDecals)),
       FirstMaterialTexture(gRacerModels[kRacerModelCar][racer]), &gCarReflMask},
      {kovsh, kKovshPaintSide, kKovshPaintSide, gKovshPaintZoneMasks, kKovshDecals, int(std::size(kKovshDecals)),
       FirstMaterialTexture(gRacerKovshModels[racer]), &gKovshReflMask},
      {obves, kObvesPaintWidth, kObvesPaintHeight, gObvesPaintZoneMasks, nullptr, 0,
       FirstMaterialTexture(gRacerObvesModels[racer]), &gObvesReflMask},
  };
  for (const PaintLayers& layers : targets) ComposePaintLayers(layers, zoneColours);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClear(GL_COLOR_BUFFER_BIT);
  int32_t width = 0, height = 0;
  if (!ResolutionSize(gResolutionIndex, width, height)) ResolutionSize(0, width, height);
  SetProjection(width, height);
  glFinish();
  ReleasePaintInputs();
}

void LoadCarPaintTextures(int racer, int model) {
  ReloadDecalSeries(gDecalTTexture, 't');
  ReloadDecalSeries(gDecalBTexture, 'b');
  if (model >= 0 && model < kPaintModelFolderCount) {
    const std::string folder = "base/cars/" + std::to_string(model) + "/";
    ReloadMaskSet(gCarReflMask, gCarPaintZoneMasks, folder + "car");
    for (int v = 0; v < kObvesVariantCount; ++v)
      ReloadMaskSet(gObvesReflMask, gObvesPaintZoneMasks, folder + "obves" + std::to_string(v));
    for (int v = 0; v < kKovshVariantCount; ++v)
      ReloadMaskSet(gKovshReflMask, gKovshPaintZoneMasks, folder + "kovsh" + std::to_string(v));
  }
  glFinish();
  if (IsRacerSlot(racer)) gRepaintRequest = kRepaintRequestBase + racer;
}

void ServeRepaintRequest() {
  const int racer = gRepaintRequest - kRepaintRequestBase;
  if (!IsRacerSlot(racer)) return;
  ComposePaintTexture(racer, gPaintZoneColours);
  gRepaintRequest = 0;
}

void ReleasePaintInputs() {
  for (Texture* masks : {gCarPaintZoneMasks, gKovshPaintZoneMasks, gObvesPaintZoneMasks})
    for (int z = 0; z < kPaintZoneCount; ++z) masks[z].Release();
  for (Texture* record : {&gCarReflMask, &gKovshReflMask, &gObvesReflMask, &gDecalTTexture, &gDecalBTexture})
    record->Release();
}
