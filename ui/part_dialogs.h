// The buy-a-part dialogs (states 16..21, 23, 24) and the paint shop (22).
// They are complete screens, but no transition of the game enters them.
#pragma once

// The colour of palette cell (column 0..22, row 0..4): columns 0..17 run
// round the colour wheel, 18..22 are greys; each row darkens.
void PaletteColour(int column, int row, float rgb[3]);

// Scale and alpha of the part icon `icon` (1 or 2) at pop-in time t.
struct IconPop {
  float scale, alpha;
};
IconPop PartIconPop(int icon, float t);

void DrawPartDialog(int screen);
void DrawPaintShop();
