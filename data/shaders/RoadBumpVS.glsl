// RoadBump: the terrain and its roads, two landscape textures blended by
// the section's own texture, normal-mapped and lit with the shadow map.
// In: the normal, the section coordinate uv0 (unit 0), the tiling
// coordinate uv1 (unit 1), and the tangent and binormal of the tiling
// coordinate as the coordinates of units 4 and 5.
#version 120

varying vec3 vEyePos;
varying vec3 vNormal;
varying vec3 vTangent;
varying vec3 vBinormal;
varying vec4 vShadowCoord;  // through the texture matrix of the shadow map's unit (1)
varying vec4 vClipPos;
varying float vUpness;  // the world normal's height: 1 on flat ground

void main() {
  vec4 eye = gl_ModelViewMatrix * gl_Vertex;
  vEyePos = eye.xyz;
  vNormal = gl_NormalMatrix * gl_Normal;
  vUpness = normalize(gl_Normal).y;  // the terrain is drawn in world coordinates
  vTangent = gl_NormalMatrix * gl_MultiTexCoord4.xyz;
  vBinormal = gl_NormalMatrix * gl_MultiTexCoord5.xyz;
  vShadowCoord = gl_TextureMatrix[1] * eye;
  gl_TexCoord[0] = gl_MultiTexCoord0;
  gl_TexCoord[1] = gl_MultiTexCoord1;
  gl_Position = gl_ProjectionMatrix * eye;
  vClipPos = gl_Position;
}
