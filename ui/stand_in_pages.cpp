// Stand-in pages. Read the career's name; draw the page backdrop, a
// heading and a Back button (the garage: its drum list too) in the
// current 800 x 600 frame; leave blending off and 2-D texturing on.
#include "ui/stand_in_pages.h"

#include <cstring>

#include "framework/font.h"
#include "framework/globals.h"
#include "ui/menu_button.h"
#include "ui/menu_list.h"
#include "ui/page_backdrop.h"
#include "ui/screen_machine.h"

namespace {

namespace S = ScreenState;

const char* StandInHeading(int screen) {
  switch (screen) {
    case S::Garage: return "GARAGE";
    case S::Competitions: return "COMPETITIONS";
    case S::QuickRace: return "QUICK RACE";
    default: return "";
  }
}

}  // namespace

void DrawStandInPage(int screen) {
  DrawPageBackdrop(StandInHeading(screen), BackdropSteps::WithHeading);
  if (screen == S::Garage) {
    char name[kPlayerNameSize + 1] = {};
    std::memcpy(name, gPlayerName, kPlayerNameSize);
    DrawFontText(400, 330, 0, 1 - gMenuDim, 1, 2.25f, false, kAlignCentre, "%s", name);
    DrawMenuList(3);
  }
  MenuButton(70, 45, "Back", ButtonKind::Back, 0);
}
