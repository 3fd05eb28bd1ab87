// The GL and GLU headers, plus our own extension entry points.
//
// Extension functions are global function pointers named after the GL
// functions, fetched once at start-up with Sys_GLProcAddress, and only when
// the extension string lists the extension: on Linux a non-null address
// proves nothing. Mesa's gl.h declares the multitexture functions itself;
// its block is kept out so that the names are free for our pointers, and
// the tokens and pointer types are given here.
#pragma once

#define GL_ARB_multitexture 1
#include <GL/gl.h>
#include <GL/glu.h>

#define GL_TEXTURE0_ARB 0x84C0
#define GL_TEXTURE1_ARB 0x84C1
#define GL_TEXTURE2_ARB 0x84C2
#define GL_TEXTURE3_ARB 0x84C3
#define GL_TEXTURE4_ARB 0x84C4
#define GL_TEXTURE5_ARB 0x84C5
#define GL_TEXTURE6_ARB 0x84C6
#define GL_TEXTURE7_ARB 0x84C7
#define GL_ACTIVE_TEXTURE_ARB 0x84E0
#define GL_CLIENT_ACTIVE_TEXTURE_ARB 0x84E1
#define GL_MAX_TEXTURE_UNITS_ARB 0x84E2

typedef void(APIENTRYP PFNGLMULTITEXCOORD1FARBPROC)(GLenum target, GLfloat s);
typedef void(APIENTRYP PFNGLMULTITEXCOORD2FARBPROC)(GLenum target, GLfloat s, GLfloat t);
typedef void(APIENTRYP PFNGLMULTITEXCOORD3FARBPROC)(GLenum target, GLfloat s, GLfloat t, GLfloat r);
typedef void(APIENTRYP PFNGLMULTITEXCOORD4FARBPROC)(GLenum target, GLfloat s, GLfloat t, GLfloat r,
                                                    GLfloat q);
typedef void(APIENTRYP PFNGLMULTITEXCOORD2FVARBPROC)(GLenum target, const GLfloat* v);
typedef void(APIENTRYP PFNGLMULTITEXCOORD3FVARBPROC)(GLenum target, const GLfloat* v);
typedef void(APIENTRYP PFNGLMULTITEXCOORD4FVARBPROC)(GLenum target, const GLfloat* v);
typedef void(APIENTRYP PFNGLACTIVETEXTUREARBPROC)(GLenum texture);
typedef void(APIENTRYP PFNGLCLIENTACTIVETEXTUREARBPROC)(GLenum texture);

// GL_ARB_multitexture (with GL_EXT_texture_env_combine): fetched by SetupMultitexture.
extern PFNGLMULTITEXCOORD1FARBPROC glMultiTexCoord1fARB;
extern PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB;
extern PFNGLMULTITEXCOORD3FARBPROC glMultiTexCoord3fARB;
extern PFNGLMULTITEXCOORD4FARBPROC glMultiTexCoord4fARB;
extern PFNGLMULTITEXCOORD2FVARBPROC glMultiTexCoord2fvARB;
extern PFNGLMULTITEXCOORD3FVARBPROC glMultiTexCoord3fvARB;
extern PFNGLMULTITEXCOORD4FVARBPROC glMultiTexCoord4fvARB;
extern PFNGLACTIVETEXTUREARBPROC glActiveTextureARB;
extern PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB;

// Address of a GL entry point of the current driver, or null. Needs a window.
void* Sys_GLProcAddress(const char* name);

// Fetches a GL entry point into a pointer of its own type.
template <typename Pointer>
void Sys_FetchGL(Pointer& pointer, const char* name) {
  pointer = reinterpret_cast<Pointer>(Sys_GLProcAddress(name));
}

// Whether name is one entry of a list whose entries end at a newline or at
// the end of the list. Prefixes and parts of entries do not match.
bool HasExtension(const char* list, const char* name);

// Checks the multitexture extensions and fetches their entry points; true
// when both are present. Needs the main context current.
bool SetupMultitexture();

// Fetches glTexImage3D and glUniform1fARB with a GL context current (the
// uniform setter only where the driver lists the shader objects). True when
// both were found.
bool FetchAssetGlEntryPoints();

// Calls through the entry points beyond OpenGL 1.1 that textures, models and
// effects use. A call whose entry point is missing does nothing.
void GlActiveTexture(GLenum unit);
void GlClientActiveTexture(GLenum unit);
void GlMultiTexCoord3f(GLenum unit, float s, float t, float r);
void GlTexImage3D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                  GLsizei height, GLsizei depth, GLint border, GLenum format, GLenum type,
                  const void* pixels);
void GlUniform1f(GLint location, float value);

// Whether the current context's extension string lists the extension as
// one of its entries. The test hook ZARNOK_HIDE_GL_EXTENSIONS takes names
// out of the string (see platform.h).
bool Sys_HasGLExtension(const char* name);

// Sets the swap interval of the current context (0: no wait for the
// vertical retrace). False where the driver cannot.
bool Sys_SetSwapInterval(int interval);

// ---- Entry points the renderer's start-up has fetched ----
// Each is null until fetched, and stays null when the extension string
// does not list its extension. Each fetch needs the main context current.

// The framebuffer entry points below; true when all are there but the
// multisample storage and the blit, which only anti-aliasing needs.
bool FetchFramebufferEntryPoints();
// The occlusion-query entry points; true when all are there.
bool FetchOcclusionQueryEntryPoints();
// glClampColorARB; true when it is there.
bool FetchColourClampEntryPoint();
// The shader-object entry points, where the driver lists both the shading
// language and the shader objects; true when all are there.
bool FetchShaderEntryPoints();

// GL_EXT_framebuffer_object, with GL_EXT_framebuffer_multisample and
// GL_EXT_framebuffer_blit for the last two of the first group.
extern PFNGLISRENDERBUFFEREXTPROC glIsRenderbufferEXT;
extern PFNGLBINDRENDERBUFFEREXTPROC glBindRenderbufferEXT;
extern PFNGLDELETERENDERBUFFERSEXTPROC glDeleteRenderbuffersEXT;
extern PFNGLGENRENDERBUFFERSEXTPROC glGenRenderbuffersEXT;
extern PFNGLRENDERBUFFERSTORAGEEXTPROC glRenderbufferStorageEXT;
extern PFNGLRENDERBUFFERSTORAGEMULTISAMPLEEXTPROC glRenderbufferStorageMultisampleEXT;
extern PFNGLBLITFRAMEBUFFEREXTPROC glBlitFramebufferEXT;
extern PFNGLGETRENDERBUFFERPARAMETERIVEXTPROC glGetRenderbufferParameterivEXT;
extern PFNGLISFRAMEBUFFEREXTPROC glIsFramebufferEXT;
extern PFNGLBINDFRAMEBUFFEREXTPROC glBindFramebufferEXT;
extern PFNGLDELETEFRAMEBUFFERSEXTPROC glDeleteFramebuffersEXT;
extern PFNGLGENFRAMEBUFFERSEXTPROC glGenFramebuffersEXT;
extern PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC glCheckFramebufferStatusEXT;
extern PFNGLFRAMEBUFFERTEXTURE1DEXTPROC glFramebufferTexture1DEXT;
extern PFNGLFRAMEBUFFERTEXTURE2DEXTPROC glFramebufferTexture2DEXT;
extern PFNGLFRAMEBUFFERTEXTURE3DEXTPROC glFramebufferTexture3DEXT;
extern PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC glFramebufferRenderbufferEXT;
extern PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVEXTPROC glGetFramebufferAttachmentParameterivEXT;
extern PFNGLGENERATEMIPMAPEXTPROC glGenerateMipmapEXT;

// GL_ARB_occlusion_query.
extern PFNGLGENQUERIESARBPROC glGenQueriesARB;
extern PFNGLDELETEQUERIESARBPROC glDeleteQueriesARB;
extern PFNGLISQUERYARBPROC glIsQueryARB;
extern PFNGLBEGINQUERYARBPROC glBeginQueryARB;
extern PFNGLENDQUERYARBPROC glEndQueryARB;
extern PFNGLGETQUERYIVARBPROC glGetQueryivARB;
extern PFNGLGETQUERYOBJECTIVARBPROC glGetQueryObjectivARB;
extern PFNGLGETQUERYOBJECTUIVARBPROC glGetQueryObjectuivARB;

// GL_ARB_color_buffer_float.
extern PFNGLCLAMPCOLORARBPROC glClampColorARB;

// GL_ARB_shader_objects.
extern PFNGLCREATEPROGRAMOBJECTARBPROC glCreateProgramObjectARB;
extern PFNGLCREATESHADEROBJECTARBPROC glCreateShaderObjectARB;
extern PFNGLCOMPILESHADERARBPROC glCompileShaderARB;
extern PFNGLLINKPROGRAMARBPROC glLinkProgramARB;
extern PFNGLGETINFOLOGARBPROC glGetInfoLogARB;
extern PFNGLDELETEOBJECTARBPROC glDeleteObjectARB;
extern PFNGLUSEPROGRAMOBJECTARBPROC glUseProgramObjectARB;
extern PFNGLSHADERSOURCEARBPROC glShaderSourceARB;
extern PFNGLATTACHOBJECTARBPROC glAttachObjectARB;
extern PFNGLGETOBJECTPARAMETERIVARBPROC glGetObjectParameterivARB;
extern PFNGLGETUNIFORMLOCATIONARBPROC glGetUniformLocationARB;
extern PFNGLUNIFORM4FARBPROC glUniform4fARB;
extern PFNGLUNIFORM3FARBPROC glUniform3fARB;
extern PFNGLUNIFORM2FARBPROC glUniform2fARB;
extern PFNGLUNIFORM1FARBPROC glUniform1fARB;
extern PFNGLUNIFORM1IARBPROC glUniform1iARB;
extern PFNGLUNIFORMMATRIX4FVARBPROC glUniformMatrix4fvARB;
