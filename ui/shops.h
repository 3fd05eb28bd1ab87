// The TUNING list (state 11), the engine, suspension and turbo shops (12,
// 13, 14) and the car shop (15): each previews the highlighted choice on
// the player's truck, shows its price and buys it with Buy or Accept.
#pragma once

// The tuning shops' preview: once the drum has stopped on a settled screen,
// the live set-up's package of the shop (0 engine, 1 suspension, 2 turbo)
// becomes the cursor row.
void PreviewPackage(int shop);

// The car shop's preview: once the drum has stopped, the screen stands
// fully, input is unlocked and the loader idle, a cursor on another truck
// selects that catalogue truck (packages 0); its models are then rebuilt.
void PreviewCar();

void DrawTuningMenu();
void DrawPackageShop(int screen);
void DrawCarShop();
