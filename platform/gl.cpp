// Storage of the GL extension entry points and their look-up: the one
// place that reads the extension string and fetches entry points.
#include "platform/gl.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>
#include <string>

PFNGLMULTITEXCOORD1FARBPROC glMultiTexCoord1fARB = nullptr;
PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB = nullptr;
PFNGLMULTITEXCOORD3FARBPROC glMultiTexCoord3fARB = nullptr;
PFNGLMULTITEXCOORD4FARBPROC glMultiTexCoord4fARB = nullptr;
PFNGLMULTITEXCOORD2FVARBPROC glMultiTexCoord2fvARB = nullptr;
PFNGLMULTITEXCOORD3FVARBPROC glMultiTexCoord3fvARB = nullptr;
PFNGLMULTITEXCOORD4FVARBPROC glMultiTexCoord4fvARB = nullptr;
PFNGLACTIVETEXTUREARBPROC glActiveTextureARB = nullptr;
PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB = nullptr;

namespace {

using TexImage3DFn = void(APIENTRYP)(GLenum, GLint, GLint, GLsizei, GLsizei, GLsizei, GLint,
                                     GLenum, GLenum, const void*);
using Uniform1fFn = void(APIENTRYP)(GLint, GLfloat);

TexImage3DFn texImage3D = nullptr;
Uniform1fFn uniform1f = nullptr;

// The current context's extension string, one name per line.
std::string ExtensionList() {
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  std::string list = extensions ? extensions : "";
  std::replace(list.begin(), list.end(), ' ', '\n');
  return list;
}

}  // namespace

void* Sys_GLProcAddress(const char* name) { return SDL_GL_GetProcAddress(name); }

bool HasExtension(const char* list, const char* name) {
  size_t length = std::strlen(name);
  const char* entry = list;
  while (true) {
    const char* end = std::strchr(entry, '\n');
    size_t entryLength = end ? static_cast<size_t>(end - entry) : std::strlen(entry);
    if (entryLength == length && std::strncmp(entry, name, length) == 0) return true;
    if (!end) return false;
    entry = end + 1;
  }
}

bool SetupMultitexture() {
  const std::string list = ExtensionList();
  if (!HasExtension(list.c_str(), "GL_ARB_multitexture") ||
      !HasExtension(list.c_str(), "GL_EXT_texture_env_combine")) {
    return false;
  }
  Sys_FetchGL(glMultiTexCoord1fARB, "glMultiTexCoord1fARB");
  Sys_FetchGL(glMultiTexCoord2fARB, "glMultiTexCoord2fARB");
  Sys_FetchGL(glMultiTexCoord3fARB, "glMultiTexCoord3fARB");
  Sys_FetchGL(glMultiTexCoord4fARB, "glMultiTexCoord4fARB");
  Sys_FetchGL(glMultiTexCoord2fvARB, "glMultiTexCoord2fvARB");
  Sys_FetchGL(glMultiTexCoord3fvARB, "glMultiTexCoord3fvARB");
  Sys_FetchGL(glMultiTexCoord4fvARB, "glMultiTexCoord4fvARB");
  Sys_FetchGL(glActiveTextureARB, "glActiveTextureARB");
  Sys_FetchGL(glClientActiveTextureARB, "glClientActiveTextureARB");
  return true;
}

bool FetchAssetGlEntryPoints() {
  // glTexImage3D is core since GL 1.2; the uniform setter is there only
  // when the driver lists the shader objects.
  Sys_FetchGL(texImage3D, "glTexImage3D");
  const std::string list = ExtensionList();
  uniform1f = nullptr;
  if (HasExtension(list.c_str(), "GL_ARB_shader_objects")) Sys_FetchGL(uniform1f, "glUniform1fARB");
  return texImage3D != nullptr && uniform1f != nullptr;
}

void GlActiveTexture(GLenum unit) {
  if (glActiveTextureARB) glActiveTextureARB(unit);
}
void GlClientActiveTexture(GLenum unit) {
  if (glClientActiveTextureARB) glClientActiveTextureARB(unit);
}
void GlMultiTexCoord3f(GLenum unit, float s, float t, float r) {
  if (glMultiTexCoord3fARB) glMultiTexCoord3fARB(unit, s, t, r);
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
