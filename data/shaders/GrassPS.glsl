// Grass: the atlas (decal, unit 0) with a slow ground tint from decal2
// (unit 1) over the world's x, z; lit by light 0 from above, tips catching
// a sheen when shininess is above 0. Alpha falls from the atlas's at T0 to
// 0 at T1, dithered per pixel with the same texture tiled every 64 window
// pixels, so that the alpha test thins the far tufts out instead of cutting
// them at one line.
#version 120

uniform float T0;
uniform float T1;
uniform float matAmbient;
uniform float matDiffuse;
uniform float emissive;
uniform float shininess;
uniform sampler2D decal;
uniform sampler2D decal2;
uniform vec4 DistortShadowTexel;  // window size / 64 (xy), 1 / shadow-map size (zw)

varying vec3 vEyePos;
varying vec4 vClipPos;
varying vec2 vGround;

const float kTintScale = 1.0 / 48.0;  // world units per tint repeat, inverted
const float kSheen = 0.2;

void main() {
  vec2 uv = gl_TexCoord[0].st;
  vec4 base = texture2D(decal, uv);
  vec3 tint = mix(vec3(1.0), texture2D(decal2, vGround * kTintScale).rgb * 1.6, 0.35);

  vec3 up = normalize(gl_NormalMatrix * vec3(0.0, 1.0, 0.0));
  vec4 lightPos = gl_LightSource[0].position;
  vec3 toLight = normalize(lightPos.xyz - vEyePos * lightPos.w);
  float diffuse = max(dot(up, toLight), 0.0);
  float sheen = shininess > 0.0 ? pow(diffuse, shininess) * kSheen * uv.t : 0.0;
  vec3 colour = base.rgb * tint * (matAmbient * 0.6 + matDiffuse * diffuse + emissive) + sheen;

  vec2 screen = vClipPos.xy / vClipPos.w * 0.5 + 0.5;
  float dither = texture2D(decal2, screen * DistortShadowTexel.xy).g - 0.5;
  float fade = 1.0 - clamp((length(vEyePos) - T0) / max(T1 - T0, 0.001) + dither * 0.3, 0.0, 1.0);
  gl_FragColor = vec4(colour, base.a * fade);
}
