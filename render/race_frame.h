// The race frame on the render thread. Reads what the worker's last race
// tick published (race_view.h, the racer records, the dust rings, the prop
// bodies, the leaf distances) while the worker waits in the lock-step, into
// one record (RaceFrameInput, race_frame_input.h); flips gRenderBit; then draws the frame
// from that record only: reflection and shadow passes, projection, camera and
// lights, the world scene into gSceneTexture and the post chain. Leaves the
// window framebuffer bound with the window viewport, no program current,
// unit 0 active with 2-D texturing on; the race HUD then puts the picture
// on the window.
#pragma once

#include "render/race_frame_input.h"

// Asks the next copy step to lift the start hold (the countdown's end): the
// worker reads the hold during its step, so it changes only while it waits.
void RequestStartHoldRelease();

// The copy step: everything the worker published into `frame`, taken while
// the worker waits (gSimBit differs from gRenderBit), and the menu clock
// advanced by the frame.
void CopyPublishedRaceState(RaceFrameInput& frame);

// Whether the render targets the passes draw into exist (their start-up
// may have failed, or not run in a test); without them a race frame only
// keeps the lock-step.
bool RaceFrameTargetsMade();

// One race frame: the copy step, the flip of gRenderBit, then every pass.
// Called once gSimBit differs from gRenderBit; the caller draws the HUD and
// swaps.
void RenderRaceFrame();
