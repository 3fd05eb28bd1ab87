// The options screens. Read the settings, the pending key bindings and the
// fade; draw the drum list (OPTIONS) or the page backdrop, the row cursor,
// the option arrows, buttons, labels and values in the current 800 x 600
// frame with alpha blending; leave blending on and 2-D texturing on.
#include "ui/options.h"

#include <cmath>

#include "framework/font.h"
#include "framework/globals.h"
#include "framework/settings.h"
#include "platform/platform.h"
#include "ui/menu_button.h"
#include "ui/menu_list.h"
#include "ui/menu_state.h"
#include "ui/option_widgets.h"
#include "ui/page_backdrop.h"

namespace {

// Row layout of the option pages: labels left at x 195, values centred at
// x 525, rows 40 units apart from y 440 down.
constexpr float kLabelX = 195, kValueX = 525, kFirstRowY = 440, kRowStep = 40;
constexpr int kFirstArrowSlot = 5;
constexpr char kRestartMessage[] = "Changes will be applied after reload the game!";

constexpr const char* kGraphicsLabels[] = {"Display Resolution:", "Anti-Aliasing:",    "Sight Range:",
                                           "Shadow detail:",      "Motion blur:",      "Soft Particles:",
                                           "Texture filtering:"};
constexpr const char* kAudioLabels[] = {"Sound:", "Music:", "EAX effects:"};
constexpr const char* kControlLabels[kKeyBindingCount] = {"Steer Left:", "Steer Right:", "Accelerate:", "Brake:",
                                                          "Turbo boost:"};
constexpr int kGraphicsRows = 7, kAudioRows = 3;

// Arrow centres: GRAPHICS left x, right x and y of both; AUDIO left x and y,
// the right arrow 151 units right of it and 9 units above.
constexpr float kGraphicsArrows[kGraphicsRows][3] = {
    {435, 586, 440},           {435.33f, 586.33f, 400.82f}, {435.66f, 586.66f, 360.65f}, {436, 587, 320.49f},
    {436.33f, 587.33f, 280.33f}, {436.66f, 587.66f, 240.16f}, {437, 588, 200}};
constexpr float kAudioArrows[kAudioRows][2] = {{435, 440}, {435.33f, 399.82f}, {435.66f, 359.65f}};
constexpr float kAudioRightShift[2] = {151, 9};

const char* OnOff(int value) { return value ? "On" : "Off"; }

float RowY(int row) { return kFirstRowY - kRowStep * float(row); }

void DrawLabel(int row, const char* text) {
  DrawFontText(kLabelX, RowY(row), 0, gMenuAlpha, 1, 1.0f, false, kAlignLeft, "%s", text);
}

void DrawValue(int row, const char* text, float alpha) {
  DrawFontText(kValueX, RowY(row), 3, alpha, 1, 1.0f, true, kAlignCentre, "%s", text);
}

void DrawRestartMessageWhenAccepted() {
  if (!gSettingsAccepted) return;
  DrawFontText(400, 120, 3, 1.0f, 1, 1.25f, true, kAlignCentre, "%s", kRestartMessage);
}

}  // namespace

const char* KeyName(int code) {
  static constexpr char kLetters[26][3] = {"A ", "B ", "C ", "D ", "E ", "F ", "G ", "H ", "I ",
                                           "J ", "K ", "L ", "M ", "N ", "O ", "P ", "Q ", "R ",
                                           "S ", "T ", "U ", "V ", "W ", "X ", "Y ", "Z "};
  if (code >= 'A' && code <= 'Z') return kLetters[code - 'A'];
  switch (code) {
    case vk::kShift: return "shift";
    case vk::kControl: return "ctrl";
    case vk::kSpace: return "space";
    case vk::kComma: return ",";
    case vk::kPeriod: return ".";
    case vk::kSlash: return "/";
    case vk::kSemicolon: return ";";
    case vk::kQuote: return "'";
    case vk::kLeftBracket: return "[";
    case vk::kRightBracket: return "]";
    case vk::kUp: return "up arrow";
    case vk::kDown: return "down arrow";
    case vk::kLeft: return "left arrow";
    case vk::kRight: return "right arrow";
    default: return nullptr;
  }
}

const char* GraphicsValueText(int row) {
  static constexpr const char* kModes[kResolutionCount] = {"1024x768",  "1280x768",  "1280x960",  "1280x1024",
                                                           "1600x900",  "1600x1000", "1600x1200", "1680x1050",
                                                           "1920x1080", "1920x1200"};
  static constexpr const char* kSight[] = {"Min", "Normal", "Max"};
  static constexpr const char* kShadows[] = {"Off", "Normal", "Max", "Ultra HD"};
  auto pick = [](const char* const* texts, int count, int value) { return value >= 0 && value < count ? texts[value] : ""; };
  switch (row) {
    case 0: return pick(kModes, kResolutionCount, gPendingResolutionIndex);
    case 1:
      switch (gAntiAliasingChoice) {
        case 0: return "Off";
        case 2: return "2xAA";
        case 4: return "4xAA";
        case 8: return "8xAA";
        default: return "";
      }
    case 2: return pick(kSight, 3, gSightRange);
    case 3: return pick(kShadows, 4, gShadowDetail);
    case 4: return OnOff(gMotionBlur);
    case 5: return OnOff(gSoftParticles);
    case 6: return gTextureFiltering ? "Anisotropic" : "Trilinear";
    default: return "";
  }
}

const char* AudioValueText(int row) {
  switch (row) {
    case 0: return OnOff(gSoundOn);
    case 1: return OnOff(gMusicOn);
    case 2: return OnOff(gEaxOn);
    default: return "";
  }
}

void DrawOptionsMenu() {
  DrawMenuList(3);
  MenuButton(kFirstButtonX, kButtonRowY, "Back", ButtonKind::Back, 0);
}

void DrawGraphicsOptions() {
  DrawPageBackdrop("GRAPHICS", BackdropSteps::WithHeading);
  MenuButton(kFirstButtonX, kButtonRowY, "Back", ButtonKind::Back, 0);
  MenuButton(kSecondButtonX, kButtonRowY, "Accept", ButtonKind::Confirm, 1);
  DrawOptionsListCursor();
  DrawRestartMessageWhenAccepted();
  for (int row = 0; row < kGraphicsRows; ++row) {
    const float* at = kGraphicsArrows[row];
    OptionArrowButton(at[0], at[2], kFirstArrowSlot + 2 * row, false);
    OptionArrowButton(at[1], at[2], kFirstArrowSlot + 2 * row + 1, true);
  }
  for (int row = 0; row < kGraphicsRows; ++row) {
    DrawLabel(row, kGraphicsLabels[row]);
    DrawValue(row, GraphicsValueText(row), gMenuAlpha);
  }
}

void DrawAudioOptions() {
  DrawPageBackdrop("AUDIO", BackdropSteps::WithHeading);
  MenuButton(kFirstButtonX, kButtonRowY, "Back", ButtonKind::Back, 0);
  DrawOptionsListCursor();
  DrawRestartMessageWhenAccepted();
  for (int row = 0; row < kAudioRows; ++row) {
    const float* at = kAudioArrows[row];
    OptionArrowButton(at[0], at[1], kFirstArrowSlot + 2 * row, false);
    OptionArrowButton(at[0] + kAudioRightShift[0], at[1] + kAudioRightShift[1], kFirstArrowSlot + 2 * row + 1, true);
  }
  for (int row = 0; row < kAudioRows; ++row) {
    DrawLabel(row, kAudioLabels[row]);
    DrawValue(row, AudioValueText(row), gMenuAlpha);
  }
}

void DrawControlsOptions() {
  DrawPageBackdrop("CONTROLS", BackdropSteps::WithHeading);
  MenuButton(kFirstButtonX, kLowButtonRowY, "Back", ButtonKind::Back, 0);
  MenuButton(kSecondButtonX, kLowButtonRowY, "Change", ButtonKind::Confirm, 1);
  DrawOptionsListCursor();
  for (int row = 0; row < kKeyBindingCount; ++row) {
    DrawLabel(row, kControlLabels[row]);
    if (gWaitingForKey && gSelectedRow == row) {
      // A pulse between nothing and twice the menu alpha.
      DrawValue(row, "Press key", (std::sin(6.5f * gMenuClock) + 1) * gMenuAlpha);
    } else {
      const char* name = KeyName(gPendingKeyBindings[row]);
      if (name != nullptr) DrawValue(row, name, gMenuAlpha);
    }
  }
}
