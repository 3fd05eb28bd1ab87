#include "framework/texture.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "framework/binary_file.h"
#include "framework/random.h"

int gMaxAnisotropy = 0;

Texture gTextures[kTextureCount];
Texture gLandscapeTextures[kLandscapeTextureCount];

namespace {

// The only TGA header we read: no image ID, no colour map, uncompressed
// true colour, origin 0.
constexpr uint8_t kTgaHeader[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr char kVolumeTexturePath[] = "base/textures/tex65.tga";

void SwapRedBlue(DecodedImage* image) {
  const size_t step = static_cast<size_t>(image->components);
  for (size_t i = 0; i + 2 < image->pixels.size(); i += step) {
    std::swap(image->pixels[i], image->pixels[i + 2]);
  }
}

GLenum PixelFormat(int components) { return components == 4 ? GL_RGBA : GL_RGB; }

GLint InternalFormat(int components, bool compressed) {
  if (compressed) return components == 4 ? GL_COMPRESSED_RGBA_ARB : GL_COMPRESSED_RGB_ARB;
  return components == 4 ? GL_RGBA : GL_RGB;
}

// Anisotropy just under the driver's maximum: 15 for 16. GL refuses values
// below 1, so a driver without anisotropy gets 1 (off) rather than an error.
void SetAnisotropyBelowMaximum(int maximum, GLenum target = GL_TEXTURE_2D) {
  int level = static_cast<int>(static_cast<float>(maximum) - 0.1f);
  if (level < 1) level = 1;
  glTexParameteri(target, GL_TEXTURE_MAX_ANISOTROPY_EXT, level);
}

// Our rows are tightly packed; GL's default row alignment of 4 would
// misread 24-bit rows of odd widths.
class TightRows {
 public:
  TightRows() {
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &saved_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  }
  ~TightRows() { glPixelStorei(GL_UNPACK_ALIGNMENT, saved_); }

 private:
  GLint saved_ = 4;
};

void UploadMipmaps(const DecodedImage& image, GLint internalFormat) {
  TightRows rows;
  gluBuild2DMipmaps(GL_TEXTURE_2D, internalFormat, image.width, image.height,
                    PixelFormat(image.components), GL_UNSIGNED_BYTE, image.pixels.data());
}

void UploadLevel0(const DecodedImage& image, GLint internalFormat) {
  TightRows rows;
  glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, image.width, image.height, 0,
               PixelFormat(image.components), GL_UNSIGNED_BYTE, image.pixels.data());
}

void SetFilters(GLint minFilter, GLint magFilter) {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
}

void SetWrap(GLint s, GLint t) {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, s);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, t);
}

void Upload3D(const uint8_t* texels, int width, int height, int depth, GLint filter) {
  glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_R, GL_REPEAT);
  TightRows rows;
  GlTexImage3D(GL_TEXTURE_3D, 0, GL_RGB8, width, height, depth, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
}

// The material textures' upload: mipmapped, repeating, anisotropy when the
// player asked for filtering.
GLuint MakeMaterialTexture(const DecodedImage& image, bool compress) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  if (gTextureFiltering == 1) SetAnisotropyBelowMaximum(gMaxAnisotropy);
  SetFilters(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
  SetWrap(GL_REPEAT, GL_REPEAT);  // GL's default, set for the TGA path's sake
  UploadMipmaps(image, InternalFormat(image.components, compress));
  return name;
}

}  // namespace

bool DecodeTga(const std::vector<uint8_t>& file, DecodedImage* image) {
  ByteCursor in(file);
  uint8_t header[12];
  in.Bytes(header, sizeof header);
  const int width = in.U16();
  const int height = in.U16();
  const int bits = in.U8();
  in.Skip(1);  // image descriptor
  if (!in.Ok() || std::memcmp(header, kTgaHeader, sizeof header) != 0) return false;
  if ((bits != 24 && bits != 32) || width == 0 || height == 0) return false;
  const int components = bits / 8;
  const size_t size = size_t(width) * size_t(height) * size_t(components);
  if (!in.Has(size)) return false;  // truncated: never upload what is not there
  image->width = width;
  image->height = height;
  image->components = components;
  image->pixels.resize(size);
  in.Bytes(image->pixels.data(), size);
  SwapRedBlue(image);
  return true;
}

bool ReadTgaImage(const char* path, DecodedImage* image) {
  std::vector<uint8_t> file;
  return ReadAssetFile(path, &file) && DecodeTga(file, image);
}

bool DecodeBmp(const std::vector<uint8_t>& file, DecodedImage* image) {
  constexpr size_t kFileHeaderSize = 14;
  constexpr uint32_t kMinInfoHeaderSize = 40;
  ByteCursor in(file);
  const uint16_t magic = in.U16();
  in.Skip(8);  // file size, two reserved words
  const uint32_t pixelOffset = in.U32();
  const uint32_t infoSize = in.U32();
  const int32_t width = in.I32();
  const int32_t rawHeight = in.I32();
  const uint16_t planes = in.U16();
  const uint16_t bits = in.U16();
  const uint32_t compression = in.U32();
  if (!in.Ok() || magic != 0x4D42 /* "BM" */ || infoSize < kMinInfoHeaderSize) return false;
  if (planes != 1 || bits != 24 || compression != 0) return false;
  if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) return false;
  const bool topDown = rawHeight < 0;
  const int32_t height = topDown ? -rawHeight : rawHeight;
  const size_t rowBytes = size_t(width) * 3;
  const size_t stride = (rowBytes + 3) & ~size_t(3);
  if (pixelOffset < kFileHeaderSize + infoSize || pixelOffset > file.size()) return false;
  if ((file.size() - pixelOffset) / stride < size_t(height)) return false;
  image->width = width;
  image->height = height;
  image->components = 3;
  image->pixels.resize(rowBytes * size_t(height));
  for (int32_t row = 0; row < height; ++row) {
    const int32_t fileRow = topDown ? height - 1 - row : row;
    std::memcpy(&image->pixels[rowBytes * size_t(row)],
                &file[pixelOffset + stride * size_t(fileRow)], rowBytes);
  }
  SwapRedBlue(image);
  return true;
}

bool ReadBmpImage(const char* path, DecodedImage* image) {
  std::vector<uint8_t> file;
  return ReadAssetFile(path, &file) && DecodeBmp(file, image);
}

bool Texture::LoadFromTGA(const char* path, int mode) {
  DecodedImage image;
  if (!ReadTgaImage(path, &image)) return false;
  width = image.width;
  height = image.height;
  components = image.components == 3 ? 3 : 4;
  GLuint name = 0;
  glGenTextures(1, &name);
  glId = name;
  glBindTexture(GL_TEXTURE_2D, name);
  const GLint plain = InternalFormat(components, false);
  const GLint compressed = InternalFormat(components, true);
  switch (mode) {
    case kTexTrilinear:
      SetFilters(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
      UploadMipmaps(image, plain);
      break;
    case kTexBilinearMipmapped:
      SetFilters(GL_LINEAR, GL_LINEAR);
      UploadMipmaps(image, plain);
      break;
    case kTexNearest:
      SetFilters(GL_NEAREST, GL_NEAREST);
      UploadLevel0(image, plain);
      break;
    case kTexTrilinearClamped:
      SetFilters(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
      SetWrap(GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE);
      UploadMipmaps(image, plain);
      break;
    case kTexCompressedClampT:
      SetFilters(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
      SetWrap(GL_REPEAT, GL_CLAMP_TO_EDGE);
      UploadMipmaps(image, compressed);
      break;
    case kTexCompressedLinear:
      SetFilters(GL_LINEAR, GL_LINEAR);
      SetWrap(GL_REPEAT, GL_REPEAT);
      UploadLevel0(image, compressed);
      break;
    case kTexCompressedAnisotropic: {
      GLint maximum = 0;
      glGetIntegerv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &maximum);
      SetAnisotropyBelowMaximum(maximum);
      SetFilters(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
      SetWrap(GL_REPEAT, GL_REPEAT);
      UploadMipmaps(image, compressed);
      break;
    }
    default:
      break;  // an unknown mode leaves the name made and bound with no image
  }
  return true;
}

void Texture::Release() {
  if (glId != kNoTexture) {
    GLuint name = glId;
    glDeleteTextures(1, &name);
  }
  glId = kNoTexture;
}

void ReleaseTextureTables() {
  for (Texture& texture : gTextures) texture.Release();
  for (Texture& texture : gLandscapeTextures) texture.Release();
}

GLuint CreateTextureFromTGA(const char* path, bool compress) {
  DecodedImage image;
  return ReadTgaImage(path, &image) ? MakeMaterialTexture(image, compress) : 0;
}

GLuint CreateTextureFromBMP(const char* path, bool compress) {
  DecodedImage image;
  return ReadBmpImage(path, &image) ? MakeMaterialTexture(image, compress) : 0;
}

bool Load3DTextureTGA(GLuint* texture, int size) {
  DecodedImage image;
  if (size <= 0 || !ReadTgaImage(kVolumeTexturePath, &image)) return false;
  const size_t texels = size_t(size) * size_t(size) * size_t(size);
  if (image.components != 3 || image.pixels.size() / 3 < texels) return false;
  glGenTextures(1, texture);
  glBindTexture(GL_TEXTURE_3D, *texture);
  Upload3D(image.pixels.data(), size, size, size, GL_LINEAR);
  return true;
}

std::vector<uint8_t> MakeNoiseTexels(int size) {
  const size_t texels = size_t(size) * size_t(size) * size_t(size);
  std::vector<uint8_t> rgb(texels * 3);
  for (size_t i = 0; i < texels; ++i) {
    int red = Random() % 128;
    if (red == 0) red = 1;
    rgb[i * 3 + 0] = uint8_t(red);
    rgb[i * 3 + 1] = uint8_t(Random() % 255);
    rgb[i * 3 + 2] = uint8_t(Random() % 255);
  }
  return rgb;
}

bool MakeNoise3DTexture(GLuint* texture, int size) {
  if (size <= 0) return false;
  const std::vector<uint8_t> rgb = MakeNoiseTexels(size);
  glGenTextures(1, texture);
  glBindTexture(GL_TEXTURE_3D, *texture);
  Upload3D(rgb.data(), size, size, size, GL_NEAREST);
  return true;
}

void FollowFilteringSetting(const Texture& texture) {
  if (gTextureFiltering == 1 || texture.glId == kNoTexture) return;
  glBindTexture(GL_TEXTURE_2D, texture.glId);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 1);
}

namespace {

constexpr const char* kTerrainLayers[] = {"landscape00",   "landscape01",   "landscape02",   "landscape03",
                                          "landscape04",   "landscape00_n", "landscape01_n", "landscape02_n",
                                          "landscape03_n", "landscape04_n"};
constexpr const char* kTerrainLayersSmall[] = {"landscape00", "landscape01", "landscape00_n", "landscape01_n"};

// The RGB texels of one size x size image (alpha dropped); false otherwise.
bool AppendRgbLayer(const DecodedImage& image, int size, std::vector<uint8_t>* layers) {
  if (image.width != size || image.height != size) return false;
  const size_t step = size_t(image.components);
  for (size_t i = 0; i + 2 < image.pixels.size(); i += step)
    layers->insert(layers->end(), &image.pixels[i], &image.pixels[i] + 3);
  return true;
}

template <size_t N>
bool LoadLayerArray(GLuint* texture, int size, const char* const (&names)[N]) {
  if (size <= 0) return false;
  std::vector<uint8_t> layers;
  for (const char* name : names) {
    const std::string path = std::string("base/world/textures/") + name + ".tga";
    DecodedImage image;
    if (!ReadTgaImage(path.c_str(), &image) || !AppendRgbLayer(image, size, &layers)) return false;
  }
  glGenTextures(1, texture);
  glBindTexture(GL_TEXTURE_2D_ARRAY_EXT, *texture);
  if (gTextureFiltering == 1) SetAnisotropyBelowMaximum(gMaxAnisotropy, GL_TEXTURE_2D_ARRAY_EXT);
  // Without the framebuffer extension's mipmap builder the array stays
  // complete by sampling level 0 only.
  const bool mipmapped = glGenerateMipmapEXT != nullptr;
  glTexParameteri(GL_TEXTURE_2D_ARRAY_EXT, GL_TEXTURE_MIN_FILTER, mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D_ARRAY_EXT, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D_ARRAY_EXT, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D_ARRAY_EXT, GL_TEXTURE_WRAP_T, GL_REPEAT);
  TightRows rows;
  GlTexImage3D(GL_TEXTURE_2D_ARRAY_EXT, 0, GL_COMPRESSED_RGB_ARB, size, size, GLsizei(N), 0, GL_RGB,
               GL_UNSIGNED_BYTE, layers.data());
  if (mipmapped) glGenerateMipmapEXT(GL_TEXTURE_2D_ARRAY_EXT);
  return true;
}

}  // namespace

bool LoadTerrainLayerArray(GLuint* texture, int size) { return LoadLayerArray(texture, size, kTerrainLayers); }

bool LoadTerrainLayerArraySmall(GLuint* texture, int size) {
  return LoadLayerArray(texture, size, kTerrainLayersSmall);
}

namespace {

// Why a width x height x depth RGB volume is refused, or null: GL takes no
// side above the driver's 3-D limit, and no file makes us hold more bytes
// than the largest asset file.
const char* VolumeFault(int width, int height, int depth) {
  GLint largestSide = 0;
  glGetIntegerv(GL_MAX_3D_TEXTURE_SIZE, &largestSide);
  if (width > largestSide || height > largestSide || depth > largestSide)
    return "a side is longer than the driver's 3-D texture allows";
  if (size_t(width) * size_t(height) * 3 * size_t(depth) > kMaxAssetFileBytes) return "the volume is too large";
  return nullptr;
}

}  // namespace

bool Load3DTextureFromBitmaps(const char* path, GLuint* texture, int depth) {
  DecodedImage image;
  if (depth < 1 || !ReadBmpImage(path, &image)) return false;
  if (const char* fault = VolumeFault(image.width, image.height, depth)) {
    std::fprintf(stderr, "%s: %s; no volume is made\n", path, fault);
    return false;
  }
  std::vector<uint8_t> volume;
  volume.reserve(image.pixels.size() * size_t(depth));
  for (int slice = 0; slice < depth; ++slice) volume.insert(volume.end(), image.pixels.begin(), image.pixels.end());
  glGenTextures(1, texture);
  glBindTexture(GL_TEXTURE_3D, *texture);
  Upload3D(volume.data(), image.width, image.height, depth, GL_LINEAR);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  return true;
}
