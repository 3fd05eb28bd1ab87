// Minimal pages for the screens that the menus do not reach yet (the
// profile, the race bonus, the information page): a page with its Back
// button, so that every screen number lands somewhere and can be left again.
#pragma once

// The stand-in block of `screen`.
void DrawStandInPage(int screen);
