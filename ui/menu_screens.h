// The screens that lead from the start of the game into a career and out
// of it: the main menu, the career menu, the new-career confirmation, the
// name entry and the quit confirmation. Each is drawn over the
// dispatcher's backdrop (garage, veil, side panels), in the 800 x 600 frame.
#pragma once

#include <cstdint>

// What a typed character did to the name.
enum class NameKey {
  Ignored,   // not a letter nor backspace: the typed flag stays set
  Edited,    // a letter stored or a character removed
  Dropped,   // a letter past the seventh: nothing stored, but it still clicks
};

// Letters A..Z, a..z and the code-page-1251 letters 192..255.
bool IsNameLetter(uint16_t character);

// Applies one typed character to a 9-byte name and its length. The first
// letter typed replaces the default name; backspace removes the last
// character (on an empty name it clears all nine bytes). A stored length
// outside 0..7 is first brought into that range.
NameKey ApplyNameKey(char name[9], int32_t* length, uint16_t character);

void DrawMainMenu();
void DrawCareerMenu();
void DrawNewCareerConfirm();
void DrawEnterName();
void DrawQuitConfirm();
