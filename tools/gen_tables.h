// The generator's binary tables: base/menu.inf, base/cars.ini,
// base/optica.ini and base/career.inf.
#pragma once

#include "world/race_path.h"

#include <cstdint>
#include <string>

// Fills gCarCatalogue with the shipped trucks: ratings from the game's
// tables, part choices within their shop ranges and seven paint-zone colours.
void MakeShippedCatalogue();

// Writes the four tables and the race paths (1.ai .. 30.ai and last.ai, a
// copy of race 1 as the path recorder leaves it) under `base`. False when a file cannot be written.
bool WriteGameTables(const std::string& base);
