// The page backdrop. Reads the menu clock and the fade curves; draws the
// grey page, tex03, tex05 and tex19 in the current 800 x 600 frame with
// depth testing off; leaves blending and 2-D texturing as it found them.
#include "ui/page_backdrop.h"

#include <cmath>

#include "framework/font.h"
#include "framework/globals.h"
#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "render/gl_state.h"
#include "ui/menu_draw.h"
#include "ui/menu_state.h"

namespace {
constexpr float kPageGrey = 0.92f, kEmblemGrey = 0.86f;
constexpr float kPanelWidth = 150.0f;
}  // namespace

void DrawEmblem() {
  WithGlCapabilities(kBlendedTexturing, [] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    BindMenuTexture(kEmblemTexture);
    glPushMatrix();
    glTranslatef(400, 280, 0);
    glRotatef(50 + 10 * std::sin(0.4f * gMenuClock), 0, 0, 1);
    const float s = 0.3f * std::sin(0.27f * gMenuClock) + 1 + 4 * gMenuDim;
    glScalef(s, s, 1);
    glColor4f(kEmblemGrey, kEmblemGrey, kEmblemGrey, 1 - gMenuDim);
    DrawCentredQuad(800, 400, 0, 0, 1, 1);
    glPopMatrix();
  });
}

void DrawSidePanels(float r, float g, float b, float a) {
  WithGlCapabilities(kBlendedTexturing, [r, g, b, a] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(r, g, b, a);
    BindMenuTexture(kSidePanelTexture);
    DrawTexturedQuad(0, 0, kPanelWidth, kFrameHeight, 0, 0, 1, 1);
    DrawTexturedQuad(kFrameWidth - kPanelWidth, 0, kFrameWidth, kFrameHeight, 1, 0, 0, 1);
  });
}

void DrawPageHeading(const char* heading) {
  DrawFontText(740 + 500 * gMenuSlide, 540, 3, 1, 1, 2.25f, true, kAlignRight, "%s", heading);
}

void DrawPageBackdrop(const char* heading, BackdropSteps steps) {
  WithGlCapabilities({{GL_TEXTURE_2D, false}, {GL_BLEND, false}}, [] {
    glColor4f(kPageGrey, kPageGrey, kPageGrey, 1);
    DrawQuad(0, 0, kFrameWidth, kFrameHeight);
  });
  DrawEmblem();
  DrawSidePanels(1, 1, 1, 0.85f);
  if (steps == BackdropSteps::PageOnly) return;
  WithGlCapabilities(kBlendedTexturing, [] {
    BindMenuTexture(kIconStripTexture);
    glPushMatrix();
    glTranslatef(660 + 250 * gMenuDim, 530, 0);
    glRotatef(115, 0, 0, 1);
    glColor4f(0, 0, 0, 1);
    DrawCentredQuad(140, 140, 0.75f, 0, 0.625f, 1);
    glPopMatrix();
  });
  if (steps == BackdropSteps::WithHeading) DrawPageHeading(heading);
}
