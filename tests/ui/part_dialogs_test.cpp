// The dialogs that no transition enters still price, colour and animate as
// their screens would: the paint palette, the part icons' pop-in and the
// part prices.
#include <gtest/gtest.h>

#include "framework/screen_state.h"
#include "ui/part_dialogs.h"
#include "ui/transitions.h"
#include "world/catalogue.h"

namespace {

void ExpectColour(int column, int row, float r, float g, float b) {
  float rgb[3];
  PaletteColour(column, row, rgb);
  EXPECT_NEAR(rgb[0], r, 1e-3) << column << ", " << row;
  EXPECT_NEAR(rgb[1], g, 1e-3) << column << ", " << row;
  EXPECT_NEAR(rgb[2], b, 1e-3) << column << ", " << row;
}

}  // namespace

TEST(PaintPalette, ColumnsRunRoundTheWheelThenGreysAndRowsDarken) {
  ExpectColour(0, 4, 1, 0, 0);            // red, the brightest row
  ExpectColour(3, 4, 1, 1, 0);            // yellow
  ExpectColour(6, 4, 0, 1, 0.333f);       // green turning to cyan
  ExpectColour(8, 4, 0, 1, 0.999f);       // cyan
  ExpectColour(9, 4, 0, 0.667f, 1);       // cyan turning to blue
  ExpectColour(12, 4, 0.333f, 0, 1);      // blue turning to violet
  ExpectColour(17, 4, 1, 0, 0.001f);      // back at red
  ExpectColour(18, 4, 0.2f, 0.2f, 0.2f);  // the darkest grey
  ExpectColour(22, 4, 1, 1, 1);           // white
  ExpectColour(22, 0, 0.2f, 0.2f, 0.2f);  // the darkest row
  ExpectColour(3, 2, 0.6f, 0.6f, 0);
}

TEST(PartIcons, TheFirstIconShrinksInAndTheSecondFollowsAtHalfTime) {
  EXPECT_FLOAT_EQ(PartIconPop(1, 0).scale, 2.5f);
  EXPECT_FLOAT_EQ(PartIconPop(1, 0).alpha, 0);
  EXPECT_NEAR(PartIconPop(1, 0.49f).scale, 1.0f, 0.01f);
  EXPECT_EQ(PartIconPop(2, 0.4f).alpha, 0) << "the second icon waits";
  EXPECT_NEAR(PartIconPop(2, 0.75f).scale, 1.15f, 1e-3);
  for (int icon : {1, 2}) {
    EXPECT_EQ(PartIconPop(icon, 1).scale, 1);
    EXPECT_EQ(PartIconPop(icon, 1).alpha, 1);
  }
}

TEST(PartDialogs, PricesComeFromTheirTablesOrAreFixed) {
  InitCarTables();
  EXPECT_EQ(PartDialogPrice(16, 3, gPriceTables), 10000);  // the engine table
  EXPECT_EQ(PartDialogPrice(17, 9, gPriceTables), 3500);   // table 9
  EXPECT_EQ(PartDialogPrice(21, 5, gPriceTables), 6500);   // table 3
  EXPECT_EQ(PartDialogPrice(23, 30, gPriceTables), 500);
  EXPECT_EQ(PartDialogPrice(ScreenState::PaintShop, 0, gPriceTables), 1000);
  EXPECT_EQ(PartDialogPrice(16, 21, gPriceTables), 0) << "a row past the table";
  EXPECT_EQ(PartDialogPrice(ScreenState::CarShop, 3, gPriceTables), 0);
}
