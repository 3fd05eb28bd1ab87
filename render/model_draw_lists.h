// Display lists of the models the world loads: the world reads the models
// and keeps them, the renderer makes and frees their GL lists. A model
// without lists is drawn corner by corner, to the same picture. Worker
// thread, with its GL context current, right after the load they follow.
#pragma once

// The four racers' trucks, once a race has loaded: they live as long as the
// race. The rivals' trucks stay loaded in the garage for the next race,
// where only the player's is drawn, corner by corner as every model
// without lists.
void BuildRacerDrawLists();
// Before the garage loads: the trucks' lists go with the race.
void FreeRacerDrawLists();
// The prop part models' lists, once they have loaded at start-up; drawn
// from nothing else, the models give their triangles back then.
void BuildPropPartDrawLists();
