// What the wheels leave behind. Reads a copy of the tyre-track rings the
// wheel model fills (the race frame's, with each ring's head as it copied
// it) and a store of dust particles; draws the tracks as one quad list with
// the caller's DirtTrace program and textures, and the dust as alpha
// blended camera-facing quads. The dust drawing also ages the particles and
// lets them die. Both leave depth writes on; the dust leaves blending and
// culling as it found them.
#pragma once

#include "world/racer.h"

#include <cstdint>

// Segment drawn i-th (0 the newest, 399 the oldest) of a ring whose head
// (one past the newest segment) is `head`.
int TyreTrackSegment(int32_t head, int i);
// Opacity factor of the i-th newest segment: 1 for the newest, about 0 for the oldest.
float TyreTrackFade(int i);

// Every racer's track ring of every wheel.
using TyreTrackRings = TyreTrackQuad[kRacerCount][kWheelCount][kTyreTrackRingSize];

// Every segment of every wheel of every racer, newest first per ring, in
// one quad list: binormal on unit 2, tangent on unit 1, the normal, then
// the corners with (s, t, opacity).
void DrawTyreTracks(const TyreTrackRings& tracks, const int32_t heads[kRacerCount][kWheelCount]);

// A dust particle's look at its age 0..1.
float DustAlpha(float age);
float DustSize(float age);
// Age a particle gains in a frame of `frameFactor` (frame seconds x 100):
// it lives four seconds.
float DustAgeStep(float frameFactor);

// Draws the live particles (texture 54) and then ages each by the frame;
// one that reaches age 1 dies.
void DrawWheelDust(WheelParticle (&dust)[kRacerCount][kWheelCount][kDustRingSize], const neV3& eye,
                   float frameFactor);
