// Light: the trucks, their glass and the props, normal-mapped and lit by
// light 0 with the shadow map and the reflection cube.
// In: the normal, the first texture coordinate (unit 0), the tangent and
// the binormal as the coordinates of units 1 and 2.
#version 120

varying vec3 vEyePos;
varying vec3 vNormal;
varying vec3 vTangent;
varying vec3 vBinormal;
varying vec4 vShadowCoord;  // through the texture matrix of the shadow map's unit (3)
varying vec4 vClipPos;

void main() {
  vec4 eye = gl_ModelViewMatrix * gl_Vertex;
  vEyePos = eye.xyz;
  vNormal = gl_NormalMatrix * gl_Normal;
  vTangent = gl_NormalMatrix * gl_MultiTexCoord1.xyz;
  vBinormal = gl_NormalMatrix * gl_MultiTexCoord2.xyz;
  vShadowCoord = gl_TextureMatrix[3] * eye;
  gl_TexCoord[0] = gl_MultiTexCoord0;
  gl_Position = gl_ProjectionMatrix * eye;
  vClipPos = gl_Position;
}
