// RoadBumpSingle: the terrain and its roads where one landscape covers the
// whole triangle (all flat ground or all slope): that landscape (decal4)
// and its normal map (decal6) over uv1, on the units the terrain pass
// points them at; the rest is CommonTerrain's. Draws what RoadBump draws
// there with half its landscape reads.
// Built after the shared CommonLighting, CommonShadow, CommonNormalMap,
// CommonFade and CommonTerrain sources, on RoadBump's vertex source.
#version 120

uniform sampler2D decal4;
uniform sampler2D decal6;

void main() {
  vec2 tiling = gl_TexCoord[1].st;
  gl_FragColor = ShadeTerrain(texture2D(decal4, tiling).rgb, texture2D(decal6, tiling).rgb);
}
