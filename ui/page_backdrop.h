// The page backdrop: the opaque grey page with the turning emblem, the two
// side strips, the corner icon and the heading that the full-page screens
// draw first; and the side strips alone, which every menu frame draws.
#pragma once

// How much of the backdrop a page draws.
enum class BackdropSteps {
  PageOnly,        // grey page, emblem, side strips
  WithCornerIcon,  // and the corner icon
  WithHeading,     // and the heading
};

// Draws the backdrop up to `steps`; `heading` is printed only with WithHeading.
void DrawPageBackdrop(const char* heading, BackdropSteps steps);

// The emblem (tex03) turning behind the page, with its fade.
void DrawEmblem();

// The side strips (tex05) at both edges in the given colour; the right one
// mirrored.
void DrawSidePanels(float r, float g, float b, float a);

// A heading sliding in from the right at the top of the page.
void DrawPageHeading(const char* heading);
