// RoadBump: the terrain and its roads where a triangle spans flat ground
// and slope. The landscape is a (decal4, unit 3) on flat ground and b
// (decal5, unit 4) on slopes, with their normal maps (decal6, decal7,
// units 5 and 6), all over uv1; the rest is CommonTerrain's.
// Built after the shared CommonLighting, CommonShadow, CommonNormalMap,
// CommonFade and CommonTerrain sources.
#version 120

uniform sampler2D decal4;
uniform sampler2D decal5;
uniform sampler2D decal6;
uniform sampler2D decal7;

varying float vUpness;  // the world normal's height: 1 on flat ground

void main() {
  vec2 tiling = gl_TexCoord[1].st;
  // Flat up to 0.85, all slope below 0.6: the bounds the terrain pass
  // sorts triangles by (kFlatUpness, kSteepUpness in world_scene.cpp).
  float slope = smoothstep(0.85, 0.6, vUpness);
  vec3 landscape = mix(texture2D(decal4, tiling).rgb, texture2D(decal5, tiling).rgb, slope);
  vec3 normalTexel = mix(texture2D(decal6, tiling).rgb, texture2D(decal7, tiling).rgb, slope);
  gl_FragColor = ShadeTerrain(landscape, normalTexel);
}
