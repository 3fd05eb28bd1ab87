// The numbered textures base/textures/tex09.tga .. tex70.tga that the
// texture list loader reads at start-up (tex65, the water volume, is
// written by gen_images). Each draws what the renderer and the screens use
// it for: the menus' pictures come from gen_menu_art, the race and career
// screens' from gen_race_art; a menu picture not yet painted is a neutral
// plate of the size the screen draws it at.
#pragma once

#include <string>

#include "framework/texture_roles.h"
#include "tools/tga_writer.h"

// What one numbered texture is.
struct ListedTexture {
  int number;
  int width, height;
  int components;  // 4 where the renderer blends or cuts by alpha
  int mode;        // the filter mode the texture list loader uses for it
  const char* use;
};

// The table of tex09 .. tex70 without tex65, in number order; null for a
// number outside it.
const ListedTexture* FindListedTexture(int number);
int ListedTextureCount();
const ListedTexture& ListedTextureAt(int i);

// The picture of one listed texture.
RasterImage MakeListedTexture(int number);

bool GenerateListedTextures(const std::string& base);
