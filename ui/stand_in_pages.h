// Minimal pages for the screens that the menus reach but that are built
// elsewhere (the options pages and the shops): a titled page with its Back button, so that every transition
// of the table lands somewhere and can be left again.
#pragma once

// The stand-in block of `screen`.
void DrawStandInPage(int screen);
