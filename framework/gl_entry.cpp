#include "framework/gl_entry.h"

namespace {

using ActiveTextureFn = void (*)(GLenum);
using MultiTexCoord3fFn = void (*)(GLenum, GLfloat, GLfloat, GLfloat);
using TexImage3DFn = void (*)(GLenum, GLint, GLint, GLsizei, GLsizei, GLsizei, GLint, GLenum,
                              GLenum, const void*);
using Uniform1fFn = void (*)(GLint, GLfloat);

ActiveTextureFn activeTexture = nullptr;
ActiveTextureFn clientActiveTexture = nullptr;
MultiTexCoord3fFn multiTexCoord3f = nullptr;
TexImage3DFn texImage3D = nullptr;
Uniform1fFn uniform1f = nullptr;

template <typename Fn>
bool Fetch(void* (*lookup)(const char*), const char* name, Fn* out) {
  *out = reinterpret_cast<Fn>(lookup(name));
  return *out != nullptr;
}

}  // namespace

bool LoadAssetGlEntryPoints(void* (*lookup)(const char* name)) {
  bool ok = Fetch(lookup, "glActiveTextureARB", &activeTexture);
  ok &= Fetch(lookup, "glClientActiveTextureARB", &clientActiveTexture);
  ok &= Fetch(lookup, "glMultiTexCoord3fARB", &multiTexCoord3f);
  ok &= Fetch(lookup, "glTexImage3D", &texImage3D);
  ok &= Fetch(lookup, "glUniform1fARB", &uniform1f);
  return ok;
}

void GlActiveTexture(GLenum unit) {
  if (activeTexture) activeTexture(unit);
}
void GlClientActiveTexture(GLenum unit) {
  if (clientActiveTexture) clientActiveTexture(unit);
}
void GlMultiTexCoord3f(GLenum unit, float s, float t, float r) {
  if (multiTexCoord3f) multiTexCoord3f(unit, s, t, r);
}
void GlTexImage3D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                  GLsizei height, GLsizei depth, GLint border, GLenum format, GLenum type,
                  const void* pixels) {
  if (texImage3D)
    texImage3D(target, level, internalFormat, width, height, depth, border, format, type, pixels);
}
void GlUniform1f(GLint location, float value) {
  if (uniform1f) uniform1f(location, value);
}
