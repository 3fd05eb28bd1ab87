// The screens' one entry point, called by the program's frame loop.
#pragma once

// Runs and draws the current screen, once per frame outside a race.
void UpdateAndDrawScreens();
