// Blur: one full-screen quad; the coordinates of unit 0 are source pixels.
#version 120

void main() {
  gl_TexCoord[0] = gl_MultiTexCoord0;
  gl_Position = ftransform();
}
