// One race tick on the worker thread: the frame time, the physics world
// with the racers' updates, the props, the camera and listener, culling for
// the camera, the shadow light and the reflection faces, the racers' world
// matrices, the render copies, and the bonus clocks and display queue.
#pragma once

extern float gPointSoundFade;  // gain of the checkpoint sound, -1.5 at program start, never reset

// The race tick with the frame clock's time; the worker's race step.
void StepRaceSimulation();
// The race tick for a frame of `frameSeconds`: over 0.2 s counts as a
// stall, in which every rate-based update stands still.
void RunRaceTick(float frameSeconds);
