// Stand-in pages. Draw the page backdrop, a
// heading and a Back button (the options menu: its drum list) in the
// current 800 x 600 frame; leave blending off and 2-D texturing on.
#include "ui/stand_in_pages.h"

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
    case S::GraphicsOptions: return "GRAPHICS";
    case S::AudioOptions: return "AUDIO";
    case S::ControlsOptions: return "CONTROLS";
    case S::TuningMenu: return "TUNING";
    case S::CarShop: return "CAR SHOP";
    default: return "";
  }
}

}  // namespace

void DrawStandInPage(int screen) {
  if (screen == S::Options) {
    DrawMenuList(3);
  } else {
    DrawPageBackdrop(StandInHeading(screen), BackdropSteps::WithHeading);
  }
  MenuButton(70, 45, "Back", ButtonKind::Back, 0);
}
