// The information pages: the short one (state 2), a Russian title and a
// Back button over the garage, which no transition enters; and the one
// about the truck class (state 60), shown after a race of a track list.
#pragma once

void DrawInfoPage();

// The class page: heading, six lines of text and Back to the main menu.
void DrawClassInformationPage();
