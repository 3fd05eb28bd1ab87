// Shared by the normal-mapped fragment shaders, ahead of their own source:
// the normal and the tangent frame their vertex shader sends.
#version 120

varying vec3 vNormal;
varying vec3 vTangent;
varying vec3 vBinormal;

// The surface normal, bent by a texel of a normal map (0 to 1 per axis)
// where a tangent frame was sent.
vec3 SurfaceNormal(vec3 normalTexel) {
  vec3 n = normalize(vNormal);
  if (dot(vTangent, vTangent) < 1e-8 || dot(vBinormal, vBinormal) < 1e-8) return n;
  vec3 bump = normalTexel * 2.0 - 1.0;
  return normalize(normalize(vTangent) * bump.x + normalize(vBinormal) * bump.y + n * bump.z);
}
