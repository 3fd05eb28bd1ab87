// The information page (state 2): a Russian title and a Back button over
// the garage. No transition enters it.
#pragma once

void DrawInfoPage();
