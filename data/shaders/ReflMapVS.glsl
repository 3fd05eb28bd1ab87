// ReflMap: the world and the garage as the reflection cube map sees them,
// cheaply lit. In: the normal and the first texture coordinate (unit 0).
#version 120

varying vec3 vEyePos;
varying vec3 vNormal;

void main() {
  vec4 eye = gl_ModelViewMatrix * gl_Vertex;
  vEyePos = eye.xyz;
  vNormal = gl_NormalMatrix * gl_Normal;
  gl_TexCoord[0] = gl_MultiTexCoord0;
  gl_Position = gl_ProjectionMatrix * eye;
}
