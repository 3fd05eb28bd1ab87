// The main menu, career menu, new-career confirmation, name entry and quit
// confirmation. Read the career, the typed characters and the loader
// hand-over; draw tex07 (logo), the page backdrop, buttons and the drum
// list in the current 800 x 600 frame with alpha blending; leave blending
// off and 2-D texturing on.
#include "ui/menu_screens.h"

#include <algorithm>
#include <cstring>

#include "framework/font.h"
#include "framework/globals.h"
#include "framework/sound.h"
#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "render/gl_state.h"
#include "ui/menu_button.h"
#include "ui/menu_draw.h"
#include "ui/menu_list.h"
#include "ui/menu_state.h"
#include "ui/option_widgets.h"
#include "ui/page_backdrop.h"
#include "world/catalogue.h"

namespace {

// The main menu restores the career's truck only once the screen stands.
constexpr float kRestoreFade = 0.999f;

void DrawLogo() {
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1 - gMenuDim);
    BindMenuTexture(kLogoTexture);
    DrawTexturedQuad(370, 465, 630, 595, 0, 0, 1, 1);
  });
}

// After a quick race the live truck is a random one: the career's own
// set-up (with the packages bought for it) comes back, and the screen
// function's set-up check then asks for the truck to be rebuilt.
void RestoreCareerTruck() {
  if (ScreenSettled(kRestoreFade) && !gInputLocked && gPlayerCarIndex != gCareerCarIndex &&
      gLoaderStatus == LoaderStatus::Idle) {
    RestoreCarSetup();
  }
}

void DrawLoadingWhileTruckLoads() {
  const bool loading = gLoaderStatus == LoaderStatus::LoadStartupOrPlayerCar;
  gLoadingAlpha = std::clamp(gLoadingAlpha + (loading ? 0.02f : -0.02f) * gFrameFactor, 0.0f, 1.0f);
  DrawLoadingIndicator(400, 335, gMenuClock, gLoadingAlpha);
}

// Every character typed since the last frame, in order; before the Next
// button looks at Enter, so letters typed with it still make the name.
void TakeTypedCharacters() {
  bool keyed = false;
  for (int i = 0; i < gCharTyped; ++i) {
    keyed |= ApplyNameKey(gPlayerName, &gPlayerNameLength, gTypedChars[i]) != NameKey::Ignored;
  }
  gCharTyped = 0;
  if (keyed && gSoundOn) gSndMenuHover.Play();
}

}  // namespace

bool IsNameLetter(uint16_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 192 && c <= 255); }

NameKey ApplyNameKey(char name[9], int32_t* length, uint16_t character) {
  if (character != vk::kBackspace && !IsNameLetter(character)) return NameKey::Ignored;
  *length = std::clamp(*length, 0, int32_t(kMaxPlayerNameLength));
  if (character == vk::kBackspace) {
    if (*length == 0) {
      std::memset(name, 0, kPlayerNameSize);
    } else {
      *length -= 1;
      name[*length] = 0;
    }
    return NameKey::Edited;
  }
  if (*length >= kMaxPlayerNameLength) return NameKey::Dropped;
  if (*length == 0) std::memset(name, 0, kPlayerNameSize);
  name[*length] = static_cast<char>(character);
  *length += 1;
  return NameKey::Edited;
}

void DrawMainMenu() {
  DrawLogo();
  RestoreCareerTruck();
  DrawLoadingWhileTruckLoads();
  DrawMenuList(3);
  MenuButton(kFirstButtonX, kButtonRowY, "Quit", ButtonKind::Back, 0);
}

void DrawCareerMenu() {
  DrawMenuList(2);
  MenuButton(kFirstButtonX, kButtonRowY, "Back", ButtonKind::Back, 0);
}

void DrawNewCareerConfirm() {
  DrawPageBackdrop("NEW CAREER", BackdropSteps::WithHeading);
  MenuButton(kYesButtonX, 250, "Yes", ButtonKind::Confirm, 7);
  MenuButton(kNoButtonX, 250, "No", ButtonKind::Back, 8);
  DrawFontText(400, 370, 0, 1, 1, 1, false, kAlignCentre,
               "Attention! Do you wish to overwrite previously saved career?");
  DrawFontText(400, 330, 0, 1, 1, 1, false, kAlignCentre, "Begin new career?");
}

void DrawEnterName() {
  TakeTypedCharacters();
  DrawPageBackdrop(nullptr, BackdropSteps::PageOnly);
  MenuButton(340, 210, "Next", ButtonKind::Confirm, 7);
  const float alpha = 1 - gMenuDim;
  DrawFontText(400, 370, 3, alpha, 1, 1.5f, true, kAlignCentre, "Enter your name:");
  char shown[kPlayerNameSize + 1] = {};
  std::memcpy(shown, gPlayerName, kPlayerNameSize);
  DrawFontText(400, 300, 0, alpha, 1, 2.25f, false, kAlignCentre, "%s", shown);
}

void DrawQuitConfirm() {
  DrawPageBackdrop("QUIT", BackdropSteps::WithHeading);
  MenuButton(kYesButtonX, 240, "Yes", ButtonKind::Confirm, 7);
  MenuButton(kNoButtonX, 240, "No", ButtonKind::Back, 8);
  DrawFontText(400, 340, 0, 1 - gMenuDim, 1, 1.0f, false, kAlignCentre, "Do you really want to quit?");
}
