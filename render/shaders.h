// The renderer's fifteen GLSL programs, built from base/shaders/<Name>VS.glsl
// and <Name>PS.glsl at start-up (the lit fragment sources after the shared
// Common*PS.glsl files they use; RoadBumpSingle on RoadBump's vertex
// source), the locations of the uniforms they use and the fixed values each
// pass loads into its program.
#pragma once

#include "framework/model.h"  // GroupLightUniforms
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

// One record per program: its object (0 until built) and the locations of
// the uniforms it uses, fetched from its uniform list once it links (-1
// until then, and for a name the linked program does not use: setting -1
// does nothing). Programs with the same uniforms share a record type.

// Light and DirtTrace: normal-mapped, lit with the shadow map and the reflection cube.
struct LitProgram {
  GLhandleARB object = 0;
  GLint matAmbient = -1, matDiffuse = -1, matSpecular = -1, emissive = -1, shininess = -1;
  GLint decal = -1, decal2 = -1, decal3 = -1, decal4 = -1, decal5 = -1;
  GLint refInt = -1, glassNow = -1, glassAlpha = -1, lightNow = -1, distortShadowTexel = -1;
};
// Blur and BlurSmoke: a separable blur step.
struct BlurProgram {
  GLhandleARB object = 0;
  GLint texOffset = -1, intensity = -1, decal = -1;
};
struct HDRProgram {
  GLhandleARB object = 0;
  GLint exposure = -1, gamma = -1, decal = -1, decal2 = -1;
};
struct RadialBlurProgram {
  GLhandleARB object = 0;
  GLint decal = -1, texSize = -1, speed = -1;
};
struct TransparencyProgram {
  GLhandleARB object = 0;
  GLint t0 = -1, t1 = -1, matAmbient = -1, matDiffuse = -1, emissive = -1, shininess = -1;
  GLint decal = -1, decal2 = -1, decal3 = -1, distortShadowTexel = -1;
};
struct MapProgram {
  GLhandleARB object = 0;
  GLint lightNow = -1, t0 = -1, t1 = -1;
  GLint matAmbient = -1, matDiffuse = -1, matSpecular = -1, emissive = -1, shininess = -1;
  GLint decal = -1, decal2 = -1, decal3 = -1, decal4 = -1, distortShadowTexel = -1;
};
// RoadBump and RoadBumpSingle: the terrain. The single-landscape form has
// no second landscape pair: its decal5 and decal7 stay -1.
struct TerrainProgram {
  GLhandleARB object = 0;
  GLint lightNow = -1, t0 = -1, t1 = -1;
  GLint matAmbient = -1, matDiffuse = -1, matSpecular = -1, emissive = -1, shininess = -1;
  GLint decal = -1, decal2 = -1, decal4 = -1, decal5 = -1, decal6 = -1, decal7 = -1, decal8 = -1, decal9 = -1;
};
struct ReflMapProgram {
  GLhandleARB object = 0;
  GLint lightNow = -1, decal = -1;
};
struct GrassProgram {
  GLhandleARB object = 0;
  GLint time = -1, right = -1, up = -1, t0 = -1, t1 = -1;
  GLint matAmbient = -1, matDiffuse = -1, emissive = -1, shininess = -1;
  GLint decal = -1, decal2 = -1, distortShadowTexel = -1;
};
struct TransparencyForShadowMapProgram {
  GLhandleARB object = 0;
  GLint decal = -1;
};
struct TreesProgram {
  GLhandleARB object = 0;
  GLint time = -1, right = -1, up = -1, camPos = -1, t0 = -1, t1 = -1;
  GLint matAmbient = -1, matDiffuse = -1, emissive = -1, shininess = -1;
  GLint decal = -1, decal2 = -1, decal3 = -1, distortShadowTexel = -1;
};
struct WaterProgram {
  GLhandleARB object = 0;
  GLint decal = -1, envMap = -1, noiseMap = -1, time = -1, amplitude = -1;
};

extern LitProgram gLightProgram;
extern BlurProgram gBlurProgram;
extern HDRProgram gHDRProgram;
extern RadialBlurProgram gRadialBlurProgram;
extern TransparencyProgram gTransparencyProgram;
extern MapProgram gMapProgram;
extern TerrainProgram gRoadBumpProgram;
extern ReflMapProgram gReflMapProgram;
extern BlurProgram gBlurSmokeProgram;
extern GrassProgram gGrassProgram;
extern TransparencyForShadowMapProgram gTransparencyForShadowMapProgram;
extern TreesProgram gTreesProgram;
extern WaterProgram gWaterProgram;
extern LitProgram gDirtTraceProgram;
extern TerrainProgram gRoadBumpSingleProgram;

// The Light program's uniforms that the model's group draw sets per group.
inline GroupLightUniforms LightGroupUniforms() {
  return {gLightProgram.lightNow, gLightProgram.refInt, gLightProgram.glassAlpha};
}

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
