// The colour index palette and the colour dialog.
#include "platform/ui/KvUiColor.h"
#include "platform/ui/KvUiColorDialog.h"

#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct Known {
    int index;
    int r, g, b;
};

}  // namespace

// Entries of the CAD programs' published colour index table.
TEST(AciPalette, MatchesThePublishedTable)
{
    const Known table[] = {
        {1, 255, 0, 0},     {2, 255, 255, 0},   {3, 0, 255, 0},     {4, 0, 255, 255},   {5, 0, 0, 255},
        {6, 255, 0, 255},   {7, 255, 255, 255}, {8, 128, 128, 128}, {9, 192, 192, 192}, {10, 255, 0, 0},
        {11, 255, 127, 127}, {12, 204, 0, 0},   {13, 204, 102, 102}, {14, 153, 0, 0},   {15, 153, 76, 76},
        {16, 127, 0, 0},    {17, 127, 63, 63},  {18, 76, 0, 0},     {19, 76, 38, 38},   {20, 255, 63, 0},
        {21, 255, 159, 127}, {30, 255, 127, 0}, {40, 255, 191, 0},  {50, 255, 255, 0},  {60, 191, 255, 0},
        {90, 0, 255, 0},   {130, 0, 255, 255}, {140, 0, 191, 255}, {150, 0, 127, 255}, {151, 127, 191, 255},
        {170, 0, 0, 255},   {210, 255, 0, 255}, {249, 76, 38, 47},  {250, 51, 51, 51},  {251, 91, 91, 91},
        {252, 132, 132, 132}, {253, 173, 173, 173}, {254, 214, 214, 214}, {255, 255, 255, 255},
    };
    for (const Known& k : table)
        EXPECT_EQ(AciToRgb(k.index), KvUiColor::Rgb(k.r, k.g, k.b)) << "colour " << k.index;
}

TEST(AciPalette, MetaColoursAndBadIndexes)
{
    EXPECT_TRUE(AciToRgb(kAciByLayer).valid);
    EXPECT_TRUE(AciToRgb(kAciByBlock).valid);
    EXPECT_FALSE(AciToRgb(257).valid);
    EXPECT_FALSE(AciToRgb(-1).valid);
}

TEST(AciPalette, NearestIndexOfAPaletteColourIsAnIndexOfThatColour)
{
    for (int index = 1; index <= 255; ++index)
        EXPECT_EQ(AciToRgb(RgbToNearestAci(AciToRgb(index))), AciToRgb(index)) << index;
    EXPECT_EQ(RgbToNearestAci(KvUiColor::Rgb(250, 5, 3)), 1);
    EXPECT_EQ(RgbToNearestAci(KvUiColor{}), 7);
}

TEST(AciPalette, ComplementInvertsEachChannel)
{
    EXPECT_EQ(KvUiColor::Rgb(255, 0, 10).Complement(), KvUiColor::Rgb(0, 255, 245));
}

TEST(ColorDialog, ClickedSwatchIsTheResult)
{
    KvUiColorDialog dialog(7, true, 7);
    QTimer::singleShot(0, [&dialog]() {
        dialog.GetSwatch(151)->click();
        dialog.OnOK();
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetColorIndex(), 151);
}

TEST(ColorDialog, MetaColoursOnlyWhenAllowed)
{
    KvUiColorDialog strict(256, false, 7);
    EXPECT_EQ(strict.GetColorIndex(), 7);
    EXPECT_FALSE(strict.ChooseIndex(kAciByLayer));
    EXPECT_FALSE(strict.ChooseIndex(kAciByBlock));
    EXPECT_FALSE(strict.ChooseIndex(300));
    KvUiColorDialog open(3, true, 7);
    EXPECT_TRUE(open.ChooseIndex(kAciByLayer));
    EXPECT_EQ(open.GetColorIndex(), 256);
    EXPECT_TRUE(open.ChooseIndex(kAciByBlock));
    EXPECT_EQ(open.GetColorIndex(), 0);
}
