// The information page. Reads the fade; draws a Back button and the title
// through the font-2 printer in the current 800 x 600 frame over the
// garage; leaves blending off and the text colour scheme 0.
#include "ui/info_page.h"

#include "framework/font.h"
#include "ui/menu_button.h"
#include "ui/screen_machine.h"

namespace {
// "Информация" in code page 1251.
constexpr char kInformationTitle[] = "\xC8\xED\xF4\xEE\xF0\xEC\xE0\xF6\xE8\xFF";
}  // namespace

void DrawInfoPage() {
  MenuButton(655 + 15 * gLateFade, 42 - 15 * gLateFade, "Back", ButtonKind::Back, 0);
  gTextColour = 1;
  gTextAlpha = gMenuAlpha;
  PrintText2(183 - 30 * gMenuDim, 422 + 30 * gMenuDim, 1, "%s", kInformationTitle);
  gTextColour = 0;
}
