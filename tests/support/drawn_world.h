// The drawn world of the generated data as the world loader leaves it,
// for drawing tests: the six section models with their textures (the road
// with its second coordinates and tangents), the quadtree, the landscape
// textures, the sky's and the sun's textures, and a race's path.
#pragma once

// True when everything read and the quadtree fits the models.
bool LoadDrawnWorld(int race);
void FreeDrawnWorld();
