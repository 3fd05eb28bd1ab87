// Storage of the GL extension entry points and their look-up: the one
// place that reads the extension string and fetches entry points.
#include "platform/gl.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>

#include "platform/test_env.h"

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

TexImage3DFn texImage3D = nullptr;

// Fetches an entry point of an extension when the extension string lists
// it, else nulls the pointer. True when the pointer is set.
template <typename Pointer>
bool FetchIfListed(bool listed, Pointer& pointer, const char* name) {
  pointer = listed ? reinterpret_cast<Pointer>(Sys_GLProcAddress(name)) : nullptr;
  return pointer != nullptr;
}

// The current context's extension string, one name per line, without the
// names a test hides.
std::string ExtensionList() {
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  std::string list = extensions ? extensions : "";
  std::replace(list.begin(), list.end(), ' ', '\n');
  const char* hidden = TestEnv("ZARNOK_HIDE_GL_EXTENSIONS");
  if (hidden == nullptr) return list;
  std::string hiddenList = hidden;
  std::replace(hiddenList.begin(), hiddenList.end(), ',', '\n');
  std::stringstream entries(list);
  std::string kept, entry;
  while (std::getline(entries, entry)) {
    if (!HasExtension(hiddenList.c_str(), entry.c_str())) kept += (kept.empty() ? "" : "\n") + entry;
  }
  return kept;
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
  if (!Sys_HasGLExtension("GL_ARB_multitexture") || !Sys_HasGLExtension("GL_EXT_texture_env_combine")) {
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
  FetchIfListed(Sys_HasGLExtension("GL_ARB_shader_objects"), glUniform1fARB, "glUniform1fARB");
  return texImage3D != nullptr && glUniform1fARB != nullptr;
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
  if (glUniform1fARB) glUniform1fARB(location, value);
}

bool Sys_HasGLExtension(const char* name) { return HasExtension(ExtensionList().c_str(), name); }

bool Sys_SetSwapInterval(int interval) { return SDL_GL_SetSwapInterval(interval) == 0; }

PFNGLISRENDERBUFFEREXTPROC glIsRenderbufferEXT = nullptr;
PFNGLBINDRENDERBUFFEREXTPROC glBindRenderbufferEXT = nullptr;
PFNGLDELETERENDERBUFFERSEXTPROC glDeleteRenderbuffersEXT = nullptr;
PFNGLGENRENDERBUFFERSEXTPROC glGenRenderbuffersEXT = nullptr;
PFNGLRENDERBUFFERSTORAGEEXTPROC glRenderbufferStorageEXT = nullptr;
PFNGLRENDERBUFFERSTORAGEMULTISAMPLEEXTPROC glRenderbufferStorageMultisampleEXT = nullptr;
PFNGLBLITFRAMEBUFFEREXTPROC glBlitFramebufferEXT = nullptr;
PFNGLGETRENDERBUFFERPARAMETERIVEXTPROC glGetRenderbufferParameterivEXT = nullptr;
PFNGLISFRAMEBUFFEREXTPROC glIsFramebufferEXT = nullptr;
PFNGLBINDFRAMEBUFFEREXTPROC glBindFramebufferEXT = nullptr;
PFNGLDELETEFRAMEBUFFERSEXTPROC glDeleteFramebuffersEXT = nullptr;
PFNGLGENFRAMEBUFFERSEXTPROC glGenFramebuffersEXT = nullptr;
PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC glCheckFramebufferStatusEXT = nullptr;
PFNGLFRAMEBUFFERTEXTURE1DEXTPROC glFramebufferTexture1DEXT = nullptr;
PFNGLFRAMEBUFFERTEXTURE2DEXTPROC glFramebufferTexture2DEXT = nullptr;
PFNGLFRAMEBUFFERTEXTURE3DEXTPROC glFramebufferTexture3DEXT = nullptr;
PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC glFramebufferRenderbufferEXT = nullptr;
PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVEXTPROC glGetFramebufferAttachmentParameterivEXT = nullptr;
PFNGLGENERATEMIPMAPEXTPROC glGenerateMipmapEXT = nullptr;
PFNGLGENQUERIESARBPROC glGenQueriesARB = nullptr;
PFNGLDELETEQUERIESARBPROC glDeleteQueriesARB = nullptr;
PFNGLISQUERYARBPROC glIsQueryARB = nullptr;
PFNGLBEGINQUERYARBPROC glBeginQueryARB = nullptr;
PFNGLENDQUERYARBPROC glEndQueryARB = nullptr;
PFNGLGETQUERYIVARBPROC glGetQueryivARB = nullptr;
PFNGLGETQUERYOBJECTIVARBPROC glGetQueryObjectivARB = nullptr;
PFNGLGETQUERYOBJECTUIVARBPROC glGetQueryObjectuivARB = nullptr;
PFNGLCLAMPCOLORARBPROC glClampColorARB = nullptr;
PFNGLCREATEPROGRAMOBJECTARBPROC glCreateProgramObjectARB = nullptr;
PFNGLCREATESHADEROBJECTARBPROC glCreateShaderObjectARB = nullptr;
PFNGLCOMPILESHADERARBPROC glCompileShaderARB = nullptr;
PFNGLLINKPROGRAMARBPROC glLinkProgramARB = nullptr;
PFNGLGETINFOLOGARBPROC glGetInfoLogARB = nullptr;
PFNGLDELETEOBJECTARBPROC glDeleteObjectARB = nullptr;
PFNGLUSEPROGRAMOBJECTARBPROC glUseProgramObjectARB = nullptr;
PFNGLSHADERSOURCEARBPROC glShaderSourceARB = nullptr;
PFNGLATTACHOBJECTARBPROC glAttachObjectARB = nullptr;
PFNGLGETOBJECTPARAMETERIVARBPROC glGetObjectParameterivARB = nullptr;
PFNGLGETUNIFORMLOCATIONARBPROC glGetUniformLocationARB = nullptr;
PFNGLUNIFORM4FARBPROC glUniform4fARB = nullptr;
PFNGLUNIFORM3FARBPROC glUniform3fARB = nullptr;
PFNGLUNIFORM2FARBPROC glUniform2fARB = nullptr;
PFNGLUNIFORM1FARBPROC glUniform1fARB = nullptr;
PFNGLUNIFORM1IARBPROC glUniform1iARB = nullptr;
PFNGLUNIFORMMATRIX4FVARBPROC glUniformMatrix4fvARB = nullptr;

bool FetchFramebufferEntryPoints() {
  const bool fbo = Sys_HasGLExtension("GL_EXT_framebuffer_object");
  const bool multisample = Sys_HasGLExtension("GL_EXT_framebuffer_multisample");
  const bool blit = Sys_HasGLExtension("GL_EXT_framebuffer_blit");
  bool all = true;
  all &= FetchIfListed(fbo, glIsRenderbufferEXT, "glIsRenderbufferEXT");
  all &= FetchIfListed(fbo, glBindRenderbufferEXT, "glBindRenderbufferEXT");
  all &= FetchIfListed(fbo, glDeleteRenderbuffersEXT, "glDeleteRenderbuffersEXT");
  all &= FetchIfListed(fbo, glGenRenderbuffersEXT, "glGenRenderbuffersEXT");
  all &= FetchIfListed(fbo, glRenderbufferStorageEXT, "glRenderbufferStorageEXT");
  FetchIfListed(multisample, glRenderbufferStorageMultisampleEXT, "glRenderbufferStorageMultisampleEXT");
  FetchIfListed(blit, glBlitFramebufferEXT, "glBlitFramebufferEXT");
  all &= FetchIfListed(fbo, glGetRenderbufferParameterivEXT, "glGetRenderbufferParameterivEXT");
  all &= FetchIfListed(fbo, glIsFramebufferEXT, "glIsFramebufferEXT");
  all &= FetchIfListed(fbo, glBindFramebufferEXT, "glBindFramebufferEXT");
  all &= FetchIfListed(fbo, glDeleteFramebuffersEXT, "glDeleteFramebuffersEXT");
  all &= FetchIfListed(fbo, glGenFramebuffersEXT, "glGenFramebuffersEXT");
  all &= FetchIfListed(fbo, glCheckFramebufferStatusEXT, "glCheckFramebufferStatusEXT");
  all &= FetchIfListed(fbo, glFramebufferTexture1DEXT, "glFramebufferTexture1DEXT");
  all &= FetchIfListed(fbo, glFramebufferTexture2DEXT, "glFramebufferTexture2DEXT");
  all &= FetchIfListed(fbo, glFramebufferTexture3DEXT, "glFramebufferTexture3DEXT");
  all &= FetchIfListed(fbo, glFramebufferRenderbufferEXT, "glFramebufferRenderbufferEXT");
  all &= FetchIfListed(fbo, glGetFramebufferAttachmentParameterivEXT, "glGetFramebufferAttachmentParameterivEXT");
  all &= FetchIfListed(fbo, glGenerateMipmapEXT, "glGenerateMipmapEXT");
  return all;
}

bool FetchOcclusionQueryEntryPoints() {
  const bool listed = Sys_HasGLExtension("GL_ARB_occlusion_query");
  bool all = true;
  all &= FetchIfListed(listed, glGenQueriesARB, "glGenQueriesARB");
  all &= FetchIfListed(listed, glDeleteQueriesARB, "glDeleteQueriesARB");
  all &= FetchIfListed(listed, glIsQueryARB, "glIsQueryARB");
  all &= FetchIfListed(listed, glBeginQueryARB, "glBeginQueryARB");
  all &= FetchIfListed(listed, glEndQueryARB, "glEndQueryARB");
  all &= FetchIfListed(listed, glGetQueryivARB, "glGetQueryivARB");
  all &= FetchIfListed(listed, glGetQueryObjectivARB, "glGetQueryObjectivARB");
  all &= FetchIfListed(listed, glGetQueryObjectuivARB, "glGetQueryObjectuivARB");
  return all;
}

bool FetchColourClampEntryPoint() {
  return FetchIfListed(Sys_HasGLExtension("GL_ARB_color_buffer_float"), glClampColorARB, "glClampColorARB");
}

bool FetchShaderEntryPoints() {
  const bool listed =
      Sys_HasGLExtension("GL_ARB_shading_language_100") && Sys_HasGLExtension("GL_ARB_shader_objects");
  bool all = listed;
  all &= FetchIfListed(listed, glCreateProgramObjectARB, "glCreateProgramObjectARB");
  all &= FetchIfListed(listed, glCreateShaderObjectARB, "glCreateShaderObjectARB");
  all &= FetchIfListed(listed, glCompileShaderARB, "glCompileShaderARB");
  all &= FetchIfListed(listed, glLinkProgramARB, "glLinkProgramARB");
  all &= FetchIfListed(listed, glGetInfoLogARB, "glGetInfoLogARB");
  all &= FetchIfListed(listed, glDeleteObjectARB, "glDeleteObjectARB");
  all &= FetchIfListed(listed, glUseProgramObjectARB, "glUseProgramObjectARB");
  all &= FetchIfListed(listed, glShaderSourceARB, "glShaderSourceARB");
  all &= FetchIfListed(listed, glAttachObjectARB, "glAttachObjectARB");
  all &= FetchIfListed(listed, glGetObjectParameterivARB, "glGetObjectParameterivARB");
  all &= FetchIfListed(listed, glGetUniformLocationARB, "glGetUniformLocationARB");
  all &= FetchIfListed(listed, glUniform4fARB, "glUniform4fARB");
  all &= FetchIfListed(listed, glUniform3fARB, "glUniform3fARB");
  all &= FetchIfListed(listed, glUniform2fARB, "glUniform2fARB");
  all &= FetchIfListed(listed, glUniform1fARB, "glUniform1fARB");
  all &= FetchIfListed(listed, glUniform1iARB, "glUniform1iARB");
  all &= FetchIfListed(listed, glUniformMatrix4fvARB, "glUniformMatrix4fvARB");
  return all;
}
