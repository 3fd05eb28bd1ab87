// RoadBump: the section texture (decal, unit 0, over uv0) is the road,
// its alpha marking road (1) over landscape (0); the landscape is a
// (decal4, unit 3) on flat ground and b (decal5, unit 4) on slopes, with
// their normal maps (decal6, decal7, units 5 and 6), all over uv1; shadow
// map (decal2, unit 1);
// noise volume (decal3, unit 2) turning the shadow taps; two glow layers
// (decal8, decal9, units 7 and 8) added in proportion to emissive.
// LightNow: share of the sunlight. Alpha falls from 1 at T0 to 0 at T1.
// Built after the shared CommonLighting, CommonShadow, CommonNormalMap and
// CommonFade sources.
#version 120

uniform float LightNow;
uniform float matSpecular;
uniform sampler2D decal;
uniform sampler2DShadow decal2;
uniform sampler3D decal3;
uniform sampler2D decal4;
uniform sampler2D decal5;
uniform sampler2D decal6;
uniform sampler2D decal7;
uniform sampler2D decal8;
uniform sampler2D decal9;

varying float vUpness;  // the world normal's height: 1 on flat ground

const float kDefaultExponent = 32.0;  // the highlight's exponent while shininess is 0

void main() {
  vec2 section = gl_TexCoord[0].st;
  vec2 tiling = gl_TexCoord[1].st;
  vec4 road = texture2D(decal, section);
  float slope = smoothstep(0.85, 0.6, vUpness);
  vec3 ground = mix(texture2D(decal4, tiling).rgb, texture2D(decal5, tiling).rgb, slope);
  ground = mix(ground, road.rgb, road.a);

  vec3 n = SurfaceNormal(mix(texture2D(decal6, tiling).rgb, texture2D(decal7, tiling).rgb, slope));
  vec3 toEye = ToEye();
  vec3 toLight = ToLight();

  float lit = Shadow(decal2, decal3) * LightNow;
  float diffuse = max(dot(n, toLight), 0.0) * lit;
  float specular = Highlight(n, toLight, toEye, ShininessOr(kDefaultExponent)) * matSpecular * lit;

  vec3 colour = ground * (matAmbient + matDiffuse * diffuse) + specular * ground;
  vec4 glow = texture2D(decal8, section) + texture2D(decal9, tiling);
  colour += glow.rgb * emissive;
  float fade = Fade(length(vEyePos), 0.0);
  gl_FragColor = vec4(colour, fade);
}
