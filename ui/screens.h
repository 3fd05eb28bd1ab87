// What the framework calls in the screens.
#pragma once

// Runs and draws the current screen, once per frame outside a race.
void UpdateAndDrawScreens();
