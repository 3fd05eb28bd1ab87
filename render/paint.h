// Car paint composition: each racer slot's three paint textures
// (gl_resources.h) made from seven zone colours laid through seven zone
// masks, the decals, the truck's own texture on top and a reflection mask
// in alpha; and the loader of the masks and decals it reads.
//
// Reads the Texture records below, the truck's car model (gRacerModels),
// the kovsh and obves models of the slot. Draws into the bound framebuffer
// (the window's) in its lower-left 256 x 256 corner and copies that corner
// into the targets tile by tile; leaves the window projection of the
// resolution in effect, the model-view reset, the depth test, texturing
// and blending as it found them and the colour buffer cleared. Main
// thread, inside a menu frame.
#pragma once

#include "framework/car_setup.h"  // kPaintZoneCount
#include "framework/model.h"
#include "framework/texture.h"
#include "world/catalogue.h"  // kRacerSlotCount

#include <cstdint>

inline constexpr int kPaintTileSide = 256;  // pixels copied per step
inline constexpr int kPaintModelFolderCount = 6;  // base/cars/0/ .. 5/ hold paint masks
inline constexpr int kDecalSeriesLength = 120;    // t1..t120 and b1..b120 after 0.tga
inline constexpr int kObvesVariantCount = 4;
inline constexpr int kKovshVariantCount = 6;
// gRepaintRequest of racer slot r is this plus r; 0 is none.
inline constexpr int32_t kRepaintRequestBase = 100;

extern Texture gCarPaintZoneMasks[kPaintZoneCount];    // masks of the 1536 x 1024 texture
extern Texture gKovshPaintZoneMasks[kPaintZoneCount];  // of the 512 x 512 texture
extern Texture gObvesPaintZoneMasks[kPaintZoneCount];  // of the 1024 x 512 texture
extern Texture gCarReflMask, gKovshReflMask, gObvesReflMask;  // alpha sources of the three
extern Texture gDecalTTexture, gDecalBTexture;                // the two decal images
extern float gPaintZoneColours[kPaintZoneCount][3];           // RGB 0..1 handed over by the menus
// The truck's kovsh and obves models per slot; their first material's
// texture tops the second and third paint textures (none: no top layer).
extern const Model* gRacerKovshModels[kRacerSlotCount];
extern const Model* gRacerObvesModels[kRacerSlotCount];
extern int32_t gRepaintRequest;  // kRepaintRequestBase + slot asks for one composition; 0 none

// A decal laid over a paint texture: its centre and size in the texture's
// pixels before the 1.3 scale about the centre.
struct PaintDecal {
  const Texture* image;
  float centreX, centreY, width, height;
};

// One paint texture and what it is composed from.
struct PaintLayers {
  GLuint target;  // 2-D RGBA texture of width x height, multiples of 256
  int width, height;
  const Texture* zoneMasks;  // kPaintZoneCount records
  const PaintDecal* decals;
  int decalCount;
  GLuint topTexture;          // the model's texture, 0 for none
  const Texture* alphaSource;  // its alpha becomes the target's
};

// Composes one paint texture with these zone colours (RGB 0..1), tile by
// tile in the 256 x 256 corner of the bound framebuffer, whose projection
// and viewport the caller has set to that corner.
void ComposePaintLayers(const PaintLayers& layers, const float zoneColours[kPaintZoneCount][3]);

// Composes the three paint textures of racer slot 0..3 (another slot does
// nothing), making those the slot does not have yet, then releases the
// masks, decals and alpha sources it read: each load feeds one composition.
void ComposePaintTexture(int racer, const float zoneColours[kPaintZoneCount][3]);

// Loads the decals and, for model folder 0..5, the masks and alpha sources
// (another folder loads no model files), then asks for the composition of
// racer slot 0..3 (another slot asks for nothing). A file that is missing
// keeps what the record held; a file that loads replaces it and its old GL
// name is given back.
void LoadCarPaintTextures(int racer, int model);

// The composition the menus ask for, once per menu frame: a pending request
// composes its racer with gPaintZoneColours and is cleared.
void ServeRepaintRequest();

// Gives back the GL names of every record above.
void ReleasePaintInputs();
