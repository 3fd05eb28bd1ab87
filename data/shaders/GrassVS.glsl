// Grass: camera-facing tufts. All four corners of a tuft arrive at its
// anchor point; the corner (s, t) of unit 0 places each: s across along
// Right, t up along Up, both times the tuft's size q. r is the atlas s
// coordinate of the corner. The tip corners carry the kind's sway vector
// as the coordinate of unit 1, and flutter a little more with Time.
#version 120

uniform float Time;  // seconds of the animation clock
uniform vec3 Right;  // unit length
uniform vec3 Up;     // twice unit length

varying vec3 vEyePos;
varying vec4 vClipPos;
varying vec2 vGround;  // world x, z of the anchor, for the ground tint

void main() {
  vec4 corner = gl_MultiTexCoord0;
  float size = corner.q;
  vec3 anchor = gl_Vertex.xyz;
  float flutter = sin(Time * 2.3 + anchor.x * 0.71 + anchor.z * 0.53) * 0.06 * corner.t;
  vec3 position = anchor + Right * ((corner.s - 0.5 + flutter) * size) + Up * (corner.t * size) +
                  gl_MultiTexCoord1.xyz * size;
  vec4 eye = gl_ModelViewMatrix * vec4(position, 1.0);
  vEyePos = eye.xyz;
  vGround = anchor.xz;
  gl_TexCoord[0] = vec4(corner.p, corner.t, 0.0, 1.0);
  gl_Position = gl_ProjectionMatrix * eye;
  vClipPos = gl_Position;
}
