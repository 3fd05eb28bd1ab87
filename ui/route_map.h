// The route map: the current race path drawn once into its 1024 x 1024
// texture, shown turning on the track-choice screens and, during a race,
// as the player-centred minimap with the four trucks' markers.
#pragma once

#include "framework/vector_math.h"
#include "world/race_path.h"
#include "world/racer.h"  // kRacerCount

inline constexpr float kRouteMapSize = 1024.0f;  // texels a side
// Where a world point falls on the map, in map units 0..1.
inline constexpr float kRouteMapScale = 0.001f * 0.45f;  // map units per world unit
inline constexpr float kRouteMapOriginU = 0.546f, kRouteMapOriginV = 0.324f;
// Opponents fade out between these distances from the player, world units.
inline constexpr float kMarkerFadeStart = 240.0f;
inline constexpr float kMarkerFadeEnd = 260.0f;

extern float gRouteMapOffsetX, gRouteMapOffsetY;  // the previews' shift that centres the route
extern float gRouteMapRadius;                     // texels from the centre to the farthest point, at least 1

// A world point's map position, in map units.
void RouteMapPoint(const neV3& world, float* u, float* v);

// The centre of `last` + 1 points in map texels and the greatest distance
// of a point from it; a path of one point has its centre on it. With no
// points the centre is the map's middle.
struct RouteFrame {
  float centreX = 512.0f, centreY = 512.0f, radius = 0.0f;
};
RouteFrame MeasureRoute(const Waypoint* points, int last);
// The previews' scale for a route radius: 512 texels over the radius, the
// radius taken as at least 1 texel.
float RoutePreviewScale(float radius);

// An opponent's marker alpha at distance d from the player.
float OpponentMarkerAlpha(float distance, float alpha);

// Draws gRacePath into the route map and leaves the offsets and radius for
// the previews; draws nothing for an empty path.
void RenderRouteMap();
// The route map as a preview quad of half-size `halfSize` x the preview
// scale, centred by the offsets, turning with the menu clock, at (x, y),
// in the current colour.
void DrawRouteMapPreview(float x, float y, float halfSize);
// The minimap at the current origin, centred on racer 0 (the player) and
// turned by the player's forward axis, with the other racers' markers;
// `alpha` scales every marker.
void DrawMiniMap(const neV3 (&racerPositions)[kRacerCount], const neV3& playerForward, float alpha);
