// The test hooks behind the platform services (see platform.h for the
// environment variables). Internal to platform/.
#pragma once

#include "platform/platform.h"
#include "platform/test_env.h"

#include <cstdint>
#include <string>
#include <vector>

bool NonInteractiveRun();

// Milliseconds per frame of the fixed-frame-time hook; 0 when it is off.
uint32_t FixedFrameMilliseconds();

// Frames swapped so far.
uint32_t SwappedFrames();

// Called by Sys_SwapBuffers around the swap: the frame dump before it,
// the frame count after it.
void BeforeSwap(int width, int height);
void AfterSwap();

// True when an input script drives the run (ZARNOK_INPUT is set).
bool ScriptedInputRun();

// The next scripted event due at the current frame, if any.
bool NextScriptedEvent(Event* event);

// One parsed line of an input script.
struct ScriptedEvent {
  uint32_t frame;
  Event event;
};

// Parses an input script; lines that cannot be read are reported on stderr
// and skipped.
std::vector<ScriptedEvent> ParseInputScript(const std::string& text);

// Encodes an RGB image (rows top to bottom, 3 bytes a pixel) as a PNG file
// image: stored deflate blocks, so no compression library is needed.
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgb);
