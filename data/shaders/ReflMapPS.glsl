// ReflMap: material texture (decal, unit 0) with the ambient and diffuse
// terms of light 0; LightNow is the share of the diffuse term (the cube
// passes set 0: flat, evenly lit reflections).
#version 120

uniform float LightNow;
uniform sampler2D decal;

varying vec3 vEyePos;
varying vec3 vNormal;

void main() {
  vec4 base = texture2D(decal, gl_TexCoord[0].st);
  vec4 lightPos = gl_LightSource[0].position;
  vec3 toLight = normalize(lightPos.xyz - vEyePos * lightPos.w);
  float diffuse = max(dot(normalize(vNormal), toLight), 0.0);
  vec3 light = gl_LightSource[0].ambient.rgb + gl_LightSource[0].diffuse.rgb * diffuse * LightNow;
  gl_FragColor = vec4(base.rgb * clamp(light, 0.0, 1.5), base.a);
}
