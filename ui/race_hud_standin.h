// STAND-IN until the race HUD and countdown land: the race overlay puts the
// race frame's picture on the window and counts the start down. Replace
// with the real HUD; the declaration stays.
#pragma once

// Draws into the window framebuffer the scene (the motion-blur composite
// with motion blur on) and the glow added over it, then the countdown:
// 3, 2, 1 while the start hold lasts, whose end it asks of the next copy
// step, and "START" for a second after. Leaves depth testing on, blending
// off, unit 0 with 2-D texturing on. Draws nothing when the race frame's
// render targets were not made.
void DrawRaceHud();
