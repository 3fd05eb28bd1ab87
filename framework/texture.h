// Textures: the TGA and BMP readers, the upload of 2-D textures with the
// game's filter modes, the two 3-D volumes, and the global texture arrays.
//
// Every loader needs a current GL context (main thread at start-up, the
// worker's shared context later); the image readers alone need none.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/settings.h"
#include "framework/texture_roles.h"  // kTextureCount
#include "platform/gl.h"

// glId of a Texture that holds no GL texture.
inline constexpr uint32_t kNoTexture = 0xFFFFFFFFu;

// One decoded image: rows in the order they are uploaded, pixels in
// red, green, blue (and alpha) order, tightly packed.
struct DecodedImage {
  int width = 0;
  int height = 0;
  int components = 0;  // 3 (RGB) or 4 (RGBA)
  std::vector<uint8_t> pixels;
};

// Uncompressed 24- or 32-bit TGA: the 12-byte header must be the plain
// true-colour header byte for byte; rows are kept in file order (our files
// store them bottom-up, which is what GL expects). False on any other
// header, a zero size, or fewer pixel bytes than the header promises.
bool DecodeTga(const std::vector<uint8_t>& file, DecodedImage* image);
bool ReadTgaImage(const char* path, DecodedImage* image);

// Uncompressed 24-bit BMP (BITMAPINFOHEADER or later); rows come out
// bottom-up whatever the file's row order, 3 bytes per pixel, no padding.
bool DecodeBmp(const std::vector<uint8_t>& file, DecodedImage* image);
bool ReadBmpImage(const char* path, DecodedImage* image);

// Filter modes of Texture::LoadFromTGA.
enum TextureMode {
  kTexTrilinear = 0,           // mipmaps, default wrap
  kTexBilinearMipmapped = 1,   // linear filters, mipmaps built
  kTexNearest = 2,             // level 0 only
  kTexTrilinearClamped = 3,    // mipmaps, clamp to edge on s and t
  kTexCompressedClampT = 4,    // compressed, mipmaps, repeat s, clamp t
  kTexCompressedLinear = 5,    // compressed, level 0 only, repeat
  kTexCompressedAnisotropic = 6,  // compressed, mipmaps, repeat, anisotropy
};

struct Texture {
  uint32_t glId = kNoTexture;  // GL texture name, kNoTexture when none
  int width = 0;               // pixels
  int height = 0;              // pixels
  int components = 0;          // 3 (RGB) or 4 (RGBA)

  // The destructor makes no GL call: global textures outlive the context,
  // so their names are given back by Release while it is still current.
  Texture() = default;

  // Reads a TGA file and makes a new GL texture with the mode's filters
  // (a name already held is not deleted). False when the path is empty,
  // the file cannot be read or its header is refused; glId is then kept.
  bool LoadFromTGA(const char* path, int mode);

  // Deletes the GL name once and marks the record empty.
  void Release();
};

// Anisotropy the driver allows (GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT), read at
// start-up by the GL set-up.
extern int gMaxAnisotropy;
// The settings words read here (framework/settings.h): gTextureFiltering
// (anisotropy for the free loaders) and gTextureCompression (material textures).

inline constexpr int kLandscapeTextureCount = 10;  // landscape00..04, then their normal maps
extern Texture gTextures[kTextureCount];
extern Texture gLandscapeTextures[kLandscapeTextureCount];

// Turns a loaded texture's anisotropy off unless the player asked for
// filtering (gTextureFiltering 1); leaves the texture bound.
void FollowFilteringSetting(const Texture& texture);

// Gives back the GL names of gTextures and gLandscapeTextures, each once;
// the renderer's ReleaseTextures calls it at shutdown with the main context
// current.
void ReleaseTextureTables();

// A mipmapped, repeating 2-D texture from a TGA file; anisotropy when
// gTextureFiltering is 1; compressed formats when asked. 0 on failure.
GLuint CreateTextureFromTGA(const char* path, bool compress);
// A mipmapped 2-D RGB texture from a 24-bit BMP file. 0 on failure.
GLuint CreateTextureFromBMP(const char* path, bool compress);

// Side of the 3-D textures made at start-up, in texels.
inline constexpr int kVolumeTextureSize = 64;
// The volume of base/textures/tex65.tga: its first size³ RGB pixels, row
// after row and slice after slice. False unless the file is 24-bit and
// holds that many pixels.
bool Load3DTextureTGA(GLuint* texture, int size);
// A volume of random texels: red 1..127, green and blue 0..254.
bool MakeNoise3DTexture(GLuint* texture, int size);
// The texel values MakeNoise3DTexture uploads (for the tests).
std::vector<uint8_t> MakeNoiseTexels(int size);

// A compressed, mipmapped 2-D texture array of the landscape layers from
// base/world/textures/: landscape00..04 then their normal maps _n (ten
// layers), or for the small form landscape00, 01, 00_n, 01_n. Anisotropy
// as the free loaders. False, with no texture made, unless every file is
// a size x size TGA.
bool LoadTerrainLayerArray(GLuint* texture, int size);
bool LoadTerrainLayerArraySmall(GLuint* texture, int size);
// A 3-D texture of `depth` slices, each the 24-bit BMP at `path`: linear,
// repeating on s, t and r, with the texture environment set to replace.
// False, with no texture made and a message for a volume refused, when the
// file cannot be read, depth < 1, a side (depth included) is above
// GL_MAX_3D_TEXTURE_SIZE or the volume is larger than kMaxAssetFileBytes.
bool Load3DTextureFromBitmaps(const char* path, GLuint* texture, int depth);
