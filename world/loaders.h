// The race and the garage: loading a race (its rivals and their trucks,
// the race path, the world models, the props, the physics world and a music
// track) and the garage after it. Both run on the worker thread with its GL
// context current, while the loader status keeps the main thread off what
// changes. The renderer makes the trucks' display lists once a race has
// loaded and frees them before the garage loads (render/model_draw_lists.h).
#pragma once

inline constexpr int kRaceCount = 30;  // races 1..30

// Loads race n (1..30) and sets up the race: three rivals on trucks that
// differ from each other and from the player's, their models, the race
// path, the world models, the props, the quadtree, the race state, the
// physics world, a random music track and the bonus state. The garage
// models go. False when the race cannot be run (a number outside 1..30, a
// refused race path, a physics ground that does not read, a quadtree file
// that does not fit the models); the garage is then loaded again, and no
// simulator, body or world is left behind.
bool LoadWorld(int n);
// Ends a race and loads the garage: sounds stopped, the simulator and its
// bodies and props gone, the world models freed, the garage models and the
// menu music loaded.
void LoadGarage();
