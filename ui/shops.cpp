// The tuning list, the package shops and the car shop. Read the career, the
// live set-up, the price tables, the drum list and the loader hand-over;
// draw the page backdrop (package shops only), the profile card, the price,
// the info line (tex40), buttons, the drum list and the LOADING sign in the
// current 800 x 600 frame with alpha blending; leave blending on.
#include "ui/shops.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/font.h"
#include "framework/globals.h"
#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "render/gl_state.h"
#include "ui/menu_button.h"
#include "ui/menu_draw.h"
#include "ui/menu_list.h"
#include "ui/menu_state.h"
#include "ui/option_widgets.h"
#include "ui/page_backdrop.h"
#include "ui/profile_card.h"
#include "world/catalogue.h"
#include "world/race_state.h"

namespace {

namespace S = ScreenState;

constexpr int kPackageRows = kMaxPackageLevel + 1;  // NA and packages 1..3
// Price rows of the three package shops: engine, suspension, turbo.
constexpr int kPackagePriceRows[3] = {0, 1, 2};
constexpr const char* kShopLines[3] = {"Engine tuning.", "Suspension tuning.", "Turbo tuning."};
// The drum counts as stopped below this many degrees of turn.
constexpr float kDrumAtRest = 1.0f;
// The car shop selects a truck only once its screen stands fully.
constexpr float kCarPreviewFade = 0.999f;

int32_t& LivePackage(int shop) {
  if (shop == 1) return gPlayerCarSetup.suspensionPackage;
  if (shop == 2) return gPlayerCarSetup.turboPackage;
  return gPlayerCarSetup.enginePackage;
}

int PriceAtCursor(int row) {
  return gMenuCursor >= 0 && gMenuCursor < kPriceChoiceCount ? gPriceTables[row][gMenuCursor] : 0;
}

bool DrumAtRest() { return std::abs(gListAngle) < kDrumAtRest; }

void DrawInfoLine(const char* line, int colour, bool shadow) {
  glPushMatrix();
  glTranslatef(80 - 500 * gMenuDim, 475, 0);
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
    BindMenuTexture(kHintBadgeTexture);
    DrawCentredQuad(50, 50, 0, 0, 1, 1);
    DrawFontText(0, 0, 2, 1.0f, 1, 1.75f, false, kAlignCentre, "i");
    DrawFontText(25, 0, colour, gTextAlpha, 1, 0.75f, shadow, kAlignLeft, "%s", line);
  });
  glPopMatrix();
}

// The price of the highlighted row, big and red, under its caption.
void DrawPrice(float x, float y, const char* caption, int captionColour, bool captionShadow, int price) {
  DrawFontText(x, y + 30, captionColour, gTextAlpha, 2, 0.75f, captionShadow, kAlignCentre, "%s", caption);
  DrawFontText(x, y, 3, gTextAlpha, 1, 2.25f, true, kAlignCentre, "%2i", price);
}

CarRatings RatingsForThisFrame() {
  const CarRatings ratings = LiveCarRatings();
  gCarPowerFactor = ratings.power;  // the racers' drive force scales with it
  return ratings;
}

}  // namespace

void PreviewPackage(int shop) {
  if (DrumAtRest() && gScreen == gTargetScreen) LivePackage(shop) = gMenuCursor;
}

void PreviewCar() {
  if (DrumAtRest() && ScreenSettled(kCarPreviewFade) && !gInputLocked && gPlayerCarIndex != gMenuCursor &&
      gLoaderStatus == LoaderStatus::Idle && gMenuCursor >= 0 && gMenuCursor < kCatalogueSize) {
    SelectCatalogueCar(gMenuCursor);
  }
}

void DrawTuningMenu() {
  MenuButton(kFirstButtonX, kLowButtonRowY, "Back", ButtonKind::Back, 0);
  DrawMenuList(3);
}

void DrawPackageShop(int screen) {
  const int shop = std::clamp(screen - S::EngineTuning, 0, 2);
  DrawPageBackdrop(nullptr, BackdropSteps::PageOnly);
  PreviewPackage(shop);
  DrawProfileCard(200 + 500 * gMenuDim, 320, RatingsForThisFrame(), true);
  DrawPrice(440 + 500 * gMenuSlide, 320, "PACKAGE COST", 0, false, PriceAtCursor(kPackagePriceRows[shop]));
  DrawInfoLine(kShopLines[shop], 0, false);
  // The buttons come before the list, so that Enter buys rather than
  // confirming the list.
  MenuButton(kFirstButtonX, kLowButtonRowY, "Back", ButtonKind::Back, 0);
  MenuButton(kSecondButtonX, kLowButtonRowY, "Buy", ButtonKind::Confirm, 1);
  DrawMenuList(kPackageRows);
}

void DrawCarShop() {
  PreviewCar();
  DrawProfileCard(500, 150 - 250 * gMenuDim, RatingsForThisFrame(), false);
  DrawPrice(200 - 500 * gMenuSlide, 145, "CAR COST", 1, true, PriceAtCursor(kCarPriceRow));
  DrawInfoLine("Select car.", 1, true);
  MenuButton(kFirstButtonX, kLowButtonRowY, "Back", ButtonKind::Back, 0);
  MenuButton(kSecondButtonX, kLowButtonRowY, "Accept", ButtonKind::Confirm, 1);
  DrawMenuList(std::clamp(int(gCareerCarLimit), 0, kCatalogueSize - 1) + 1);
  const bool loading = gLoaderStatus == LoaderStatus::LoadStartupOrPlayerCar;
  gLoadingAlpha = std::clamp(gLoadingAlpha + (loading ? kLoadingFadeStep : -kLoadingFadeStep) * gFrameFactor, 0.0f, 1.0f);
  DrawLoadingIndicator(400, 335, gMenuClock, gLoadingAlpha);
}
