// The numbered textures and the terrain's layers, loaded once at start-up,
// each with its filter mode.
#pragma once

// gTextures from kFirstListedTexture up, from base/textures/texNN.tga, and the ten landscape
// textures, each with its filter mode.
void LoadTextureList();
