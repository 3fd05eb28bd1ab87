// The screen dispatcher: once per frame outside a race it advances the
// fade, switches to the target screen when the fade has run out, and draws
// the garage backdrop, the veil, the side panels, the current screen and
// the pointer (UpdateAndDrawScreens, in ui/screens.h). The state the
// screens share lives below it, in ui/menu_state.h.
#pragma once

// The fade of a settled screen grows, an unsettled one shrinks and switches
// to the target once it reaches 0: the entry row, a fresh list, no hover,
// the selectors of the entered screen and the settle sound to come.
void AdvanceScreenFade(float frameFactor);
