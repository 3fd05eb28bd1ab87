// DirtTrace: dirt texture (decal, unit 0) pressed into the ground by its
// normal map (decal3, unit 2), lit by light 0 with the shadow map (decal4,
// unit 3) whose taps the noise volume (decal5, unit 4) turns, and wet with
// a share RefInt of the reflection cube (decal2, unit 1). Its alpha is the
// texture's times the corner opacity, times GlassAlpha while GlassNow is
// 1; LightNow adds a glow of the dirt's own colour.
#version 120

uniform float matAmbient;
uniform float matDiffuse;
uniform float matSpecular;
uniform float emissive;
uniform float shininess;  // specular exponent; 0 keeps the default
uniform sampler2D decal;
uniform samplerCube decal2;
uniform sampler2D decal3;
uniform sampler2DShadow decal4;
uniform sampler3D decal5;
uniform float RefInt;
uniform float GlassNow;
uniform float GlassAlpha;
uniform float LightNow;
uniform vec4 DistortShadowTexel;  // window size / 64 (xy), 1 / shadow-map size (zw)

varying vec3 vEyePos;
varying vec3 vNormal;
varying vec3 vTangent;
varying vec3 vBinormal;
varying vec4 vShadowCoord;
varying vec4 vClipPos;

const float kDefaultExponent = 12.0;

float Shadow() {
  vec2 screen = vClipPos.xy / vClipPos.w * 0.5 + 0.5;
  float angle = texture3D(decal5, vec3(screen * DistortShadowTexel.xy, 0.5)).g * 6.2831853;
  vec2 along = vec2(cos(angle), sin(angle)) * DistortShadowTexel.zw * 1.5 * vShadowCoord.w;
  vec2 across = vec2(-along.y, along.x);
  float lit = shadow2DProj(decal4, vShadowCoord + vec4(along, 0.0, 0.0)).r;
  lit += shadow2DProj(decal4, vShadowCoord - vec4(along, 0.0, 0.0)).r;
  lit += shadow2DProj(decal4, vShadowCoord + vec4(across, 0.0, 0.0)).r;
  lit += shadow2DProj(decal4, vShadowCoord - vec4(across, 0.0, 0.0)).r;
  return lit * 0.25;
}

vec3 SurfaceNormal(vec2 uv) {
  vec3 n = normalize(vNormal);
  if (dot(vTangent, vTangent) < 1e-8 || dot(vBinormal, vBinormal) < 1e-8) return n;
  vec3 bump = texture2D(decal3, uv).rgb * 2.0 - 1.0;
  return normalize(normalize(vTangent) * bump.x + normalize(vBinormal) * bump.y + n * bump.z);
}

void main() {
  vec2 uv = gl_TexCoord[0].st;
  float opacity = gl_TexCoord[0].p;
  vec4 dirt = texture2D(decal, uv);
  vec3 n = SurfaceNormal(uv);
  vec3 toEye = normalize(-vEyePos);
  vec4 lightPos = gl_LightSource[0].position;
  vec3 toLight = normalize(lightPos.xyz - vEyePos * lightPos.w);

  float lit = Shadow();
  float diffuse = max(dot(n, toLight), 0.0) * lit;
  float exponent = shininess > 0.0 ? shininess : kDefaultExponent;
  float specular = pow(max(dot(n, normalize(toLight + toEye)), 0.0), exponent) * matSpecular * lit;

  vec3 colour = dirt.rgb * (matAmbient + matDiffuse * diffuse + emissive + LightNow) + specular;
  vec3 direction = (gl_TextureMatrix[1] * vec4(reflect(-toEye, n), 0.0)).xyz;
  colour = mix(colour, textureCube(decal2, direction).rgb, clamp(RefInt * 0.5, 0.0, 1.0));
  float alpha = dirt.a * clamp(opacity, 0.0, 1.0) * mix(1.0, GlassAlpha, GlassNow);
  gl_FragColor = vec4(colour, alpha);
}
