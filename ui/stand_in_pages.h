// Minimal pages for the screens that the menus reach but that are built
// elsewhere (the garage hub, the options pages, the shops, the race
// screens): a titled page with its Back button, so that every transition
// of the table lands somewhere and can be left again.
#pragma once

// The stand-in block of `screen`.
void DrawStandInPage(int screen);
