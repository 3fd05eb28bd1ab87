// Water: the water model with waves from the noise volume and the
// reflection cube. In: the normal and the first texture coordinate
// (unit 0); the model is drawn in world coordinates.
#version 120

varying vec3 vEyePos;
varying vec3 vNormal;
varying vec3 vWorldPos;

void main() {
  vec4 eye = gl_ModelViewMatrix * gl_Vertex;
  vEyePos = eye.xyz;
  vNormal = gl_NormalMatrix * gl_Normal;
  vWorldPos = gl_Vertex.xyz;
  gl_TexCoord[0] = gl_MultiTexCoord0;
  gl_Position = gl_ProjectionMatrix * eye;
}
