// Grass: the atlas (decal, unit 0) with a slow ground tint from decal2
// (unit 1) over the world's x, z; lit by light 0 from above, tips catching
// a sheen when shininess is above 0. Alpha falls from the atlas's at T0 to
// 0 at T1, dithered per pixel with the same texture tiled every 64 window
// pixels, so that the alpha test thins the far tufts out instead of cutting
// them at one line.
// Built after the shared CommonLighting and CommonFade sources.
#version 120

uniform sampler2D decal;
uniform sampler2D decal2;

varying vec2 vGround;

const float kTintScale = 1.0 / 48.0;  // world units per tint repeat, inverted
const float kSheen = 0.2;

void main() {
  vec2 uv = gl_TexCoord[0].st;
  vec4 base = texture2D(decal, uv);
  vec3 tint = mix(vec3(1.0), texture2D(decal2, vGround * kTintScale).rgb * 1.6, 0.35);

  vec3 up = normalize(gl_NormalMatrix * vec3(0.0, 1.0, 0.0));
  vec3 toLight = ToLight();
  float diffuse = max(dot(up, toLight), 0.0);
  float sheen = shininess > 0.0 ? pow(diffuse, shininess) * kSheen * uv.t : 0.0;
  vec3 colour = base.rgb * tint * (matAmbient * 0.6 + matDiffuse * diffuse + emissive) + sheen;

  float dither = texture2D(decal2, NoiseCoord()).g - 0.5;
  float fade = Fade(length(vEyePos), dither * 0.3);
  gl_FragColor = vec4(colour, base.a * fade);
}
