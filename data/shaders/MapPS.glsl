// Map: material texture (decal, unit 0), shadow map (decal2, unit 1), noise
// volume (decal3, unit 2) turning the shadow taps, and a glow layer
// (decal4, unit 3) added in proportion to emissive.
// LightNow: share of the sunlight (1 lit, 0 ambient only). Alpha falls from
// 1 at distance T0 to 0 at T1, so far objects dissolve into the sky behind
// the layer.
#version 120

uniform float LightNow;
uniform float T0;
uniform float T1;
uniform float matAmbient;
uniform float matDiffuse;
uniform float matSpecular;
uniform float emissive;
uniform float shininess;  // specular exponent; 0 keeps the default
uniform sampler2D decal;
uniform sampler2DShadow decal2;
uniform sampler3D decal3;
uniform sampler2D decal4;
uniform vec4 DistortShadowTexel;  // window size / 64 (xy), 1 / shadow-map size (zw)

varying vec3 vEyePos;
varying vec3 vNormal;
varying vec4 vShadowCoord;
varying vec4 vClipPos;

const float kDefaultExponent = 16.0;

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
  vec2 uv = gl_TexCoord[0].st;
  vec4 base = texture2D(decal, uv);
  vec3 n = normalize(vNormal);
  vec3 toEye = normalize(-vEyePos);
  vec4 lightPos = gl_LightSource[0].position;
  vec3 toLight = normalize(lightPos.xyz - vEyePos * lightPos.w);

  float lit = Shadow() * LightNow;
  float diffuse = max(dot(n, toLight), 0.0) * lit;
  float exponent = shininess > 0.0 ? shininess : kDefaultExponent;
  float specular = pow(max(dot(n, normalize(toLight + toEye)), 0.0), exponent) * matSpecular * lit;

  vec3 colour = base.rgb * (matAmbient + matDiffuse * diffuse) + specular;
  colour += texture2D(decal4, uv).rgb * emissive;
  float fade = 1.0 - clamp((length(vEyePos) - T0) / max(T1 - T0, 0.001), 0.0, 1.0);
  gl_FragColor = vec4(colour, base.a * fade);
}
