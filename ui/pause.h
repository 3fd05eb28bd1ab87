// The pause screen (state 101): Race, Restart and Quit over the page
// backdrop, and the loader hand-over that finishes a restart or a quit.
#pragma once

// The pause screen's loader hand-over, without drawing: the LOADING
// sign's alpha, and the worker's answers taken: a reloaded track starts
// the race at once, a loaded garage (after a quit, or after a restart whose
// track failed) switches at once to the screen the game mode returns to.
void TakePauseLoaderAnswer();

void DrawPauseScreen();
