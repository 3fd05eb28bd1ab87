// The numbered textures loaded once at start-up by the worker: the menu,
// HUD and effect pictures tex09..tex70 and the five landscape textures
// with their normal maps.
#pragma once

// Loads gTextures[9..70] from base/textures/texNN.tga and the landscape
// textures from base/world/textures/; a missing file leaves its slot empty.
void LoadTextureList();

// The filter mode (TextureMode) that texNN.tga is loaded with.
int TextureListMode(int slot);
