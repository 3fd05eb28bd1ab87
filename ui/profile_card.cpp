// The profile card. Reads the career (name, level, points, cash, owned
// truck) and the ratings it is given; draws tex16, texts and the level and
// rating bars (tex34) in the current 800 x 600 frame with alpha blending;
// leaves the model-view as it found it and blending on.
#include "ui/profile_card.h"

#include <cstdio>
#include <cstring>

#include "framework/font.h"
#include "framework/settings.h"
#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "render/gl_state.h"
#include "ui/menu_draw.h"
#include "ui/option_widgets.h"
#include "world/catalogue.h"

namespace {

constexpr float kCardTurn = 10.0f;  // degrees

void CardText(float x, float y, int colour, float scale, const char* text) {
  DrawFontText(x, y, colour, gTextAlpha, 1, scale, false, kAlignLeft, "%s", text);
}

void ValueBarAt(float x, float y, float target, int index) {
  glPushMatrix();
  glTranslatef(x, y, 0);
  DrawValueBar(target, index);
  glPopMatrix();
}

}  // namespace

CarRatings LiveCarRatings() {
  const CarSetup& s = gPlayerCarSetup;
  return {RatingBar(s.powerRating, s.enginePackage), RatingBar(s.handlingRating, s.suspensionPackage),
          RatingBar(s.turboRating, s.turboPackage)};
}

void DrawProfileCard(float x, float y, const CarRatings& ratings, bool withBars) {
  glPushMatrix();
  glTranslatef(x, y, 0);
  glRotatef(kCardTurn, 0, 0, 1);
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
    BindMenuTexture(kProfileCardTexture);
    DrawTexturedQuad(-106, -205, 104, 75, 0, 0, 1, 1);
    char name[kPlayerNameSize + 1] = {};
    std::memcpy(name, gPlayerName, kPlayerNameSize);
    char line[32];
    CardText(-70, 52, 4, 0.7f, "Profile");
    CardText(-70, 37, 0, 1.25f, name);
    glPushMatrix();
    glTranslatef(-71, 2, 0);
    DrawVerticalBar(gCareerPoints / kPointsPerRatingLevel);
    glPopMatrix();
    std::snprintf(line, sizeof line, "Rating level %2i", int(gRatingLevel));
    CardText(-65, 16.5f, 1, 0.7f, line);
    CardText(-70, 0, 4, 0.7f, "Cash");
    std::snprintf(line, sizeof line, "%2i", int(gCash));
    CardText(-70, -15, 0, 1.25f, line);
    CardText(-70, -35, 4, 0.7f, "Car");
    const int owned = gCareerCarIndex >= 0 && gCareerCarIndex < kCatalogueSize ? gCareerCarIndex : 0;
    CardText(-70, -50, 0, 1.25f, kCarNames[owned]);
    if (withBars) {
      CardText(-70, -65, 1, 0.75f, "Power");
      CardText(-70, -85, 1, 0.75f, "Handling");
      CardText(-70, -105, 1, 0.75f, "Turbo");
      ValueBarAt(-70, -77, ratings.power, 0);
      ValueBarAt(-70, -97, ratings.handling, 1);
      ValueBarAt(-70, -117, ratings.turbo, 2);
    }
  });
  glPopMatrix();
}
