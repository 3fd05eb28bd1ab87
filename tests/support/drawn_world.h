// The drawn world of the generated data as the world loader leaves it,
// for drawing tests: the six section models with their textures (the road
// with its second coordinates and tangents), the quadtree, the landscape
// textures, the sky's and the sun's textures, and a race's path.
#pragma once

#include "math/ne_math.h"

// True when everything read and the quadtree fits the models.
bool LoadDrawnWorld(int race);
void FreeDrawnWorld();

// The racers' trucks as a track load leaves them: each slot's models by
// its carKind (the player's by gPlayerCarIndex, set to slot 0's carKind)
// with its marker points, the shared suspension and spinning-part models
// and the prop part models. True when every truck's drawn models read. The
// models stay loaded (a later load of the same trucks keeps them).
bool LoadDrawnTrucks();

// What a race tick publishes with the player's truck on path point k of
// the loaded path, facing the next one: the chase camera behind it, the
// leaves whose centre lies within 420 of the eye, the truck's matrix.
void PublishPlayerAt(int k);

// What a race tick publishes with the camera at `eye` looking at `target`
// (upright): the leaves whose centre lies within 420 of the eye, seen by
// the camera and the sun alike, the sun's matrices over them, and every
// racer marked visible. The racers' matrices stay as the last tick left them.
void PublishCameraAt(const neV3& eye, const neV3& target);
