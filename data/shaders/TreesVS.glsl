// Trees: camera-facing billboards. All four corners arrive at the tree's
// anchor; the corner (s, t) of unit 0 places each along Right and Up times
// the size q (the lean is in Up); r is the atlas s coordinate. The crown
// stirs a little with Time. The colour tints the tree.
#version 120

uniform float Time;    // seconds of the animation clock
uniform vec3 Right;
uniform vec3 Up;
uniform vec3 CamPos;   // the camera in world coordinates

varying vec3 vEyePos;
varying vec4 vClipPos;
varying float vDistance;  // horizontal distance from the camera, world units
varying vec2 vGround;

void main() {
  vec4 corner = gl_MultiTexCoord0;
  float size = corner.q;
  vec3 anchor = gl_Vertex.xyz;
  float stir = sin(Time * 1.7 + anchor.x * 0.13 + anchor.z * 0.29) * 0.025 * corner.t * corner.t;
  vec3 position = anchor + Right * ((corner.s - 0.5 + stir) * size) + Up * (corner.t * size);
  vec4 eye = gl_ModelViewMatrix * vec4(position, 1.0);
  vEyePos = eye.xyz;
  vDistance = length(anchor.xz - CamPos.xz);
  vGround = anchor.xz;
  gl_TexCoord[0] = vec4(corner.p, corner.t, 0.0, 1.0);
  gl_FrontColor = gl_Color;
  gl_Position = gl_ProjectionMatrix * eye;
  vClipPos = gl_Position;
}
