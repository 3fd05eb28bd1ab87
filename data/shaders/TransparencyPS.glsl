// Transparency: material texture (decal, unit 0) whose alpha the alpha
// test cuts at 0.5, shadow map (decal2, unit 1) and the noise volume
// (decal3, unit 2) turning its taps. shininess above 0 adds a sheen of that
// exponent. Alpha falls from the texture's at T0 to 0 at T1.
#version 120

uniform float T0;
uniform float T1;
uniform float matAmbient;
uniform float matDiffuse;
uniform float emissive;
uniform float shininess;
uniform sampler2D decal;
uniform sampler2DShadow decal2;
uniform sampler3D decal3;
uniform vec4 DistortShadowTexel;  // window size / 64 (xy), 1 / shadow-map size (zw)

varying vec3 vEyePos;
varying vec3 vNormal;
varying vec4 vShadowCoord;
varying vec4 vClipPos;

const float kSheen = 0.25;

float Shadow() {
  vec2 screen = vClipPos.xy / vClipPos.w * 0.5 + 0.5;
  float angle = texture3D(decal3, vec3(screen * DistortShadowTexel.xy, 0.5)).g * 6.2831853;
  vec2 along = vec2(cos(angle), sin(angle)) * DistortShadowTexel.zw * 1.5 * vShadowCoord.w;
  vec2 across = vec2(-along.y, along.x);
  float lit = shadow2DProj(decal2, vShadowCoord + vec4(along, 0.0, 0.0)).r;
  lit += shadow2DProj(decal2, vShadowCoord - vec4(along, 0.0, 0.0)).r;
  lit += shadow2DProj(decal2, vShadowCoord + vec4(across, 0.0, 0.0)).r;
  lit += shadow2DProj(decal2, vShadowCoord - vec4(across, 0.0, 0.0)).r;
  return lit * 0.25;
}

void main() {
  vec4 base = texture2D(decal, gl_TexCoord[0].st);
  vec3 n = normalize(gl_FrontFacing ? vNormal : -vNormal);  // cut-outs are seen from both sides
  vec3 toEye = normalize(-vEyePos);
  vec4 lightPos = gl_LightSource[0].position;
  vec3 toLight = normalize(lightPos.xyz - vEyePos * lightPos.w);

  float lit = Shadow();
  float diffuse = max(dot(n, toLight), 0.0) * lit;
  float sheen = shininess > 0.0 ? pow(max(dot(n, normalize(toLight + toEye)), 0.0), shininess) * kSheen * lit : 0.0;

  vec3 colour = base.rgb * (matAmbient + matDiffuse * diffuse + emissive) + sheen;
  float fade = 1.0 - clamp((length(vEyePos) - T0) / max(T1 - T0, 0.001), 0.0, 1.0);
  gl_FragColor = vec4(colour, base.a * fade);
}
