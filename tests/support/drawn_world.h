// The drawn world of the generated data as the world loader leaves it,
// for drawing tests: the six section models with their textures (the road
// with its second coordinates and tangents), the quadtree, the landscape
// textures, the sky's and the sun's textures, and a race's path.
#pragma once

// True when everything read and the quadtree fits the models.
bool LoadDrawnWorld(int race);
void FreeDrawnWorld();

// What a race tick publishes with the player's truck on path point k of
// the loaded path, facing the next one: the chase camera behind it, the
// leaves whose centre lies within 420 of the eye, the truck's matrix.
void PublishPlayerAt(int k);
