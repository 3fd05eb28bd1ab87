// Water: the surface texture (decal, unit 0) shifted by waves read from
// the volume (noiseMap, unit 2) drifting with time; the waves tilt the
// normal by amplitude, and the reflection cube (envMap, unit 1, through the
// texture matrix of unit 1) shows more at grazing angles.
#version 120

uniform sampler2D decal;
uniform samplerCube envMap;
uniform sampler3D noiseMap;
uniform float time;       // seconds of the animation clock
uniform float amplitude;  // wave strength, 1 normal

varying vec3 vEyePos;
varying vec3 vNormal;
varying vec3 vWorldPos;

const float kWaveScale = 1.0 / 40.0;  // world units per wave repeat, inverted

void main() {
  vec3 waveCoord = vec3(vWorldPos.xz * kWaveScale, time * 0.03);
  vec3 wave = texture3D(noiseMap, waveCoord).rgb + texture3D(noiseMap, waveCoord * 2.1 + 0.37).rgb - 1.0;
  vec3 n = normalize(normalize(vNormal) + gl_NormalMatrix * vec3(wave.r, 0.0, wave.g) * 0.25 * amplitude);
  vec4 surface = texture2D(decal, gl_TexCoord[0].st + wave.gb * 0.02 * amplitude);

  vec3 toEye = normalize(-vEyePos);
  float facing = 1.0 - max(dot(n, toEye), 0.0);
  float fresnel = 0.1 + 0.9 * facing * facing * facing;
  vec3 direction = (gl_TextureMatrix[1] * vec4(reflect(-toEye, n), 0.0)).xyz;
  vec3 colour = mix(surface.rgb, textureCube(envMap, direction).rgb, fresnel);
  gl_FragColor = vec4(colour, clamp(0.55 + 0.45 * fresnel, 0.0, 1.0));
}
