// Transparency: the alpha-tested cut-outs of the world and the garage, lit
// by light 0 from both sides with the shadow map, fading into the sky
// between T0 and T1.
// In: the normal and the first texture coordinate (unit 0).
#version 120

varying vec3 vEyePos;
varying vec3 vNormal;
varying vec4 vShadowCoord;  // through the texture matrix of the shadow map's unit (1)
varying vec4 vClipPos;

void main() {
  vec4 eye = gl_ModelViewMatrix * gl_Vertex;
  vEyePos = eye.xyz;
  vNormal = gl_NormalMatrix * gl_Normal;
  vShadowCoord = gl_TextureMatrix[1] * eye;
  gl_TexCoord[0] = gl_MultiTexCoord0;
  gl_Position = gl_ProjectionMatrix * eye;
  vClipPos = gl_Position;
}
