// The start-up screen (ScreenState::Splash): the title picture, then the
// title page while the worker loads the start-up assets, then the Enter
// prompt that leads to the main menu.
#pragma once

// Seconds of the splash clock at which each phase starts or ends.
inline constexpr float kTitlePictureEnd = 7.0f;

extern float gPromptClock;  // pulse clock of the Enter prompt, runs once the load is done

// The title picture's alpha at splash time t: fading in to 2 s, shown from
// 2 s, fading out from 5 s to 7 s.
float TitlePictureAlpha(float t);

// The title page's brightness at splash time t: from black between 7 and 9 s.
float TitlePageBrightness(float t);

// One frame of the splash: its own 800 x 600 frame, no fade, no pointer.
// Past the title picture it gives the picture's texture back.
void UpdateAndDrawSplash();
