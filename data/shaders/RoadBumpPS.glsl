// RoadBump: the section texture (decal, unit 0, over uv0) is the road,
// its alpha marking road (1) over landscape (0); the landscape is a
// (decal4, unit 3) on flat ground and b (decal5, unit 4) on slopes, with
// their normal maps (decal6, decal7, units 5 and 6), all over uv1; shadow
// map (decal2, unit 1);
// noise volume (decal3, unit 2) turning the shadow taps; two glow layers
// (decal8, decal9, units 7 and 8) added in proportion to emissive.
// LightNow: share of the sunlight. Alpha falls from 1 at T0 to 0 at T1.
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
uniform sampler2D decal5;
uniform sampler2D decal6;
uniform sampler2D decal7;
uniform sampler2D decal8;
uniform sampler2D decal9;
uniform vec4 DistortShadowTexel;  // window size / 64 (xy), 1 / shadow-map size (zw)

varying vec3 vEyePos;
varying vec3 vNormal;
varying vec3 vTangent;
varying vec3 vBinormal;
varying vec4 vShadowCoord;
varying vec4 vClipPos;
varying float vUpness;  // the world normal's height: 1 on flat ground

const float kDefaultExponent = 32.0;

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

vec3 SurfaceNormal(vec2 tiling, float slope) {
  vec3 n = normalize(vNormal);
  if (dot(vTangent, vTangent) < 1e-8 || dot(vBinormal, vBinormal) < 1e-8) return n;
  vec3 bump = mix(texture2D(decal6, tiling).rgb, texture2D(decal7, tiling).rgb, slope) * 2.0 - 1.0;
  return normalize(normalize(vTangent) * bump.x + normalize(vBinormal) * bump.y + n * bump.z);
}

void main() {
  vec2 section = gl_TexCoord[0].st;
  vec2 tiling = gl_TexCoord[1].st;
  vec4 road = texture2D(decal, section);
  float slope = smoothstep(0.85, 0.6, vUpness);
  vec3 ground = mix(texture2D(decal4, tiling).rgb, texture2D(decal5, tiling).rgb, slope);
  ground = mix(ground, road.rgb, road.a);

  vec3 n = SurfaceNormal(tiling, slope);
  vec3 toEye = normalize(-vEyePos);
  vec4 lightPos = gl_LightSource[0].position;
  vec3 toLight = normalize(lightPos.xyz - vEyePos * lightPos.w);

  float lit = Shadow() * LightNow;
  float diffuse = max(dot(n, toLight), 0.0) * lit;
  float exponent = shininess > 0.0 ? shininess : kDefaultExponent;
  float specular = pow(max(dot(n, normalize(toLight + toEye)), 0.0), exponent) * matSpecular * lit;

  vec3 colour = ground * (matAmbient + matDiffuse * diffuse) + specular * ground;
  vec4 glow = texture2D(decal8, section) + texture2D(decal9, tiling);
  colour += glow.rgb * emissive;
  float fade = 1.0 - clamp((length(vEyePos) - T0) / max(T1 - T0, 0.001), 0.0, 1.0);
  gl_FragColor = vec4(colour, fade);
}
