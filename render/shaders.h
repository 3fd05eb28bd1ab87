// The renderer's fifteen GLSL programs, built from base/shaders/<Name>VS.glsl
// and <Name>PS.glsl at start-up (the lit fragment sources after the shared
// Common*PS.glsl files they use; DirtTrace, Transparency and RoadBumpSingle
// on the vertex sources of Light, Map and RoadBump), the locations of the uniforms they use and the
// fixed values each pass loads into its program.
#pragma once

#include "framework/model.h"  // the four locations the model drawing sets
#include "platform/gl.h"

// Program numbers, each naming one program and its uniform set; 1 names none.
enum ShaderProgramIndex : int {
  kProgLight = 0,
  kProgBlur = 2,
  kProgHDR = 3,
  kProgRadialBlur = 4,
  kProgTransparency = 5,
  kProgMap = 6,
  kProgRoadBump = 7,
  kProgReflMap = 8,
  kProgBlurSmoke = 9,
  kProgGrass = 10,
  kProgTransparencyForShadowMap = 11,
  kProgTrees = 12,
  kProgWater = 13,
  kProgDirtTrace = 14,
  kProgRoadBumpSingle = 15,
};
inline constexpr int kShaderProgramCount = 15;

// Program objects; 0 until built.
extern GLhandleARB gProgLight, gProgBlur, gProgHDR, gProgRadialBlur, gProgTransparency, gProgMap,
    gProgRoadBump, gProgReflMap, gProgBlurSmoke, gProgGrass, gProgTransparencyForShadowMap, gProgTrees,
    gProgWater, gProgDirtTrace, gProgRoadBumpSingle;

// Uniform locations, named gLoc<Program><Uniform>; -1 until built (setting
// -1 does nothing). The model drawing owns gLocLightLightNow,
// gLocLightRefInt, gLocLightGlassAlpha and gLocMapLightNow
// (framework/model.h); these are the rest.
// Light (0)
extern GLint gLocLightMatAmbient, gLocLightMatDiffuse, gLocLightMatSpecular, gLocLightEmissive,
    gLocLightShininess, gLocLightDecal, gLocLightDecal2, gLocLightDecal3, gLocLightDecal4, gLocLightDecal5,
    gLocLightGlassNow, gLocLightDistortShadowTexel;
// Blur (2)
extern GLint gLocBlurTexOffset, gLocBlurIntensity, gLocBlurDecal;
// HDR (3)
extern GLint gLocHDRExposure, gLocHDRGamma, gLocHDRDecal, gLocHDRDecal2;
// RadialBlur (4)
extern GLint gLocRadialBlurDecal, gLocRadialBlurTexSize, gLocRadialBlurSpeed;
// Transparency (5)
extern GLint gLocTransparencyT0, gLocTransparencyT1, gLocTransparencyMatAmbient, gLocTransparencyMatDiffuse,
    gLocTransparencyEmissive, gLocTransparencyShininess, gLocTransparencyDecal, gLocTransparencyDecal2,
    gLocTransparencyDecal3, gLocTransparencyDistortShadowTexel;
// Map (6)
extern GLint gLocMapT0, gLocMapT1, gLocMapMatAmbient, gLocMapMatDiffuse, gLocMapMatSpecular, gLocMapEmissive,
    gLocMapShininess, gLocMapDecal, gLocMapDecal2, gLocMapDecal3, gLocMapDecal4, gLocMapDistortShadowTexel;
// RoadBump (7)
extern GLint gLocRoadBumpLightNow, gLocRoadBumpT0, gLocRoadBumpT1, gLocRoadBumpMatAmbient,
    gLocRoadBumpMatDiffuse, gLocRoadBumpMatSpecular, gLocRoadBumpEmissive, gLocRoadBumpShininess,
    gLocRoadBumpDecal, gLocRoadBumpDecal2, gLocRoadBumpDecal3, gLocRoadBumpDecal4, gLocRoadBumpDecal5,
    gLocRoadBumpDecal6, gLocRoadBumpDecal7, gLocRoadBumpDecal8, gLocRoadBumpDecal9,
    gLocRoadBumpDistortShadowTexel;
// ReflMap (8)
extern GLint gLocReflMapLightNow, gLocReflMapDecal;
// BlurSmoke (9)
extern GLint gLocBlurSmokeTexOffset, gLocBlurSmokeIntensity, gLocBlurSmokeDecal;
// Grass (10)
extern GLint gLocGrassTime, gLocGrassRight, gLocGrassUp, gLocGrassT0, gLocGrassT1, gLocGrassMatAmbient,
    gLocGrassMatDiffuse, gLocGrassEmissive, gLocGrassShininess, gLocGrassDecal, gLocGrassDecal2,
    gLocGrassDistortShadowTexel;
// TransparencyForShadowMap (11)
extern GLint gLocTransparencyForShadowMapDecal;
// Trees (12)
extern GLint gLocTreesTime, gLocTreesRight, gLocTreesUp, gLocTreesCamPos, gLocTreesT0, gLocTreesT1,
    gLocTreesMatAmbient, gLocTreesMatDiffuse, gLocTreesEmissive, gLocTreesShininess, gLocTreesDecal,
    gLocTreesDecal2, gLocTreesDecal3, gLocTreesDistortShadowTexel;
// Water (13)
extern GLint gLocWaterDecal, gLocWaterEnvMap, gLocWaterNoiseMap, gLocWaterTime, gLocWaterAmplitude;
// DirtTrace (14)
extern GLint gLocDirtTraceMatAmbient, gLocDirtTraceMatDiffuse, gLocDirtTraceMatSpecular,
    gLocDirtTraceEmissive, gLocDirtTraceShininess, gLocDirtTraceDecal, gLocDirtTraceDecal2,
    gLocDirtTraceDecal3, gLocDirtTraceDecal4, gLocDirtTraceDecal5, gLocDirtTraceRefInt, gLocDirtTraceGlassNow,
    gLocDirtTraceGlassAlpha, gLocDirtTraceLightNow, gLocDirtTraceDistortShadowTexel;
// RoadBumpSingle (15)
extern GLint gLocRoadBumpSingleLightNow, gLocRoadBumpSingleT0, gLocRoadBumpSingleT1,
    gLocRoadBumpSingleMatAmbient, gLocRoadBumpSingleMatDiffuse, gLocRoadBumpSingleMatSpecular,
    gLocRoadBumpSingleEmissive, gLocRoadBumpSingleShininess, gLocRoadBumpSingleDecal, gLocRoadBumpSingleDecal2,
    gLocRoadBumpSingleDecal3, gLocRoadBumpSingleDecal4, gLocRoadBumpSingleDecal6, gLocRoadBumpSingleDecal8,
    gLocRoadBumpSingleDecal9, gLocRoadBumpSingleDistortShadowTexel;

// Checks the shader extensions, fetches their entry points and builds the
// programs in index order, each followed by its uniform locations. A
// shader that does not compile has its log printed on stderr with its file
// name and the shared files it was built after; a program that does not
// link shows its log ("Error linking shaders..."). False at the first
// failure, a missing file among them (the programs before it stay).
bool BuildShaderPrograms();

// Loads the fixed values of a uniform set into its program, which the
// caller has just made current: sampler units, material constants, the
// animation time (gMenuClock x 1.25) and DistortShadowTexel (window size /
// 64, then 1 / shadow-map size twice). Sets 1, 2, 3, 4 and 9 load nothing:
// the full-screen pass sets those programs itself.
void SetShaderUniforms(int set);

// What SetShaderUniforms loads into a uniform.
enum class UniformLoad {
  None,         // set by the pass itself
  Unit,         // a sampler: the texture unit in value
  Float,        // a constant: value
  Time,         // gMenuClock x 1.25
  ShadowTexel,  // (window width / 64, window height / 64, 1 / shadow-map size, the same)
};

struct ShaderUniform {
  const char* name;  // as the GLSL sources declare it
  GLint* location;
  UniformLoad load;
  float value = 0.0f;  // the unit or the constant
};

// The uniforms of a set in the order their locations are fetched, and
// their count (0 for a number that names no program).
const ShaderUniform* ShaderUniformsOf(int set, int* count);

// The program object of a set; 0 for a number that names none.
GLhandleARB ShaderProgramOf(int set);
