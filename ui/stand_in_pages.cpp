// Stand-in pages. Draw the page backdrop and a Back button in the current
// 800 x 600 frame; leave blending off and 2-D texturing on.
#include "ui/stand_in_pages.h"

#include "ui/menu_button.h"
#include "ui/page_backdrop.h"

void DrawStandInPage(int /*screen*/) {
  DrawPageBackdrop("", BackdropSteps::WithHeading);
  MenuButton(70, 45, "Back", ButtonKind::Back, 0);
}
