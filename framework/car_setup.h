// A truck's purchasable set-up. Its byte layout is stored in two files: the
// career file holds one at its start and cars.ini holds most of its fields
// (see world/catalogue.h), so the layout is fixed and checked below.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int kPartCount = 10;        // purchasable part choices per truck
inline constexpr int kPaintZoneCount = 7;    // paint zones, each an RGB colour
inline constexpr int kMaxPackageLevel = 3;   // tuning packages 0 (none) .. 3

struct CarSetup {
  float powerRating;                          // 0..1, the "Power" bar
  float handlingRating;                       // 0..1, the "Handling" bar
  float turboRating;                          // 0..1, the "Turbo" bar
  int32_t partChoice[kPartCount];             // chosen variant of each part, 0 = first
  float zoneColour[kPaintZoneCount][3];       // red, green, blue in 0..1
  int32_t reserved[2];                        // carried from cars.ini, never interpreted
  int32_t enginePackage;                      // 0..3
  int32_t suspensionPackage;                  // 0..3
  int32_t turboPackage;                       // 0..3
  int32_t catalogueIndex;                     // catalogue row 0..17 this set-up stands for
};

static_assert(sizeof(CarSetup) == 160);
static_assert(offsetof(CarSetup, handlingRating) == 4);
static_assert(offsetof(CarSetup, turboRating) == 8);
static_assert(offsetof(CarSetup, partChoice) == 12);
static_assert(offsetof(CarSetup, zoneColour) == 52);
static_assert(offsetof(CarSetup, reserved) == 136);
static_assert(offsetof(CarSetup, enginePackage) == 144);
static_assert(offsetof(CarSetup, suspensionPackage) == 148);
static_assert(offsetof(CarSetup, turboPackage) == 152);
static_assert(offsetof(CarSetup, catalogueIndex) == 156);

// Part word 7 lies in no file record and no copy routine moves it.
inline constexpr int kUnusedPartWord = 7;

// Number of variants each part's shop dialog offers; a stored choice outside
// 0..count-1 is out of range. 0 marks the two words that no shop sets and
// whose range nothing defines (words 0 and 7): they are carried unchecked.
inline constexpr int kPartChoiceCount[kPartCount] = {0, 4, 4, 6, 3, 4, 10, 0, 36, 36};

// Brings what the garage and the shops read of a set-up read from a file
// into range: each part choice with a shop into its price table, the
// packages into 0..3, the ratings into 0..1 (a non-finite rating takes the
// default set-up's). A set-up already in range is left exactly as it is.
void ClampCarSetup(CarSetup& setup);

// The fixed default set-up: the ratings of the first catalogue truck, part
// word 2 = 1, part word 3 = 2, a dark red paint, no packages, row 0.
CarSetup DefaultCarSetup();
