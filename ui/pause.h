// The pause screen (state 101): Race, Restart and Quit over the page
// backdrop, and the loader hand-over that finishes a restart or a quit.
#pragma once

// Steps 4-6 of the pause block without drawing: the LOADING sign's alpha,
// and the worker's answers taken: a reloaded track starts the race at once,
// a loaded garage (after a quit, or after a restart whose track failed)
// switches at once to the screen the game mode returns to.
void TakePauseLoaderAnswer();

// Block of the screen function for screen 101.
void DrawPauseScreen();
