#include "app/background.h"
#include <gtest/gtest.h>
#include <vector>

// The gradient as a person measures it on screen, on rows of 5 pixels padded
// to 8 bytes: the blue of each row from the top, in bands of equal rows.
TEST(Gradient, TopValueAndBandLengthFollowTheScreenHeightAndPaddingStays)
{
    struct Case {
        int height, top, band, topBand;
    } cases[] = {
        {200, 56, 1, 1}, // fewer rows than steps: each row one step darker
        {480, 16, 2, 2},
        {600, 56, 3, 3},
        {768, 64, 4, 4},
        {1024, 51, 5, 4}, // 1024 rows leave 4 for the topmost band
    };
    const int width = 5, rowSize = 8;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        std::vector<BYTE> pixels((size_t)rowSize * c.height, 0xEE);
        FillGradient(pixels.data(), width, c.height, rowSize);
        std::vector<int> rows, bands; // bands from the bottom up
        for (int top = 0; top < c.height; ++top) {
            const BYTE* row = &pixels[(size_t)(c.height - 1 - top) * rowSize];
            ASSERT_EQ(std::vector<BYTE>(width, row[0]), std::vector<BYTE>(row, row + width)) << "row " << top;
            ASSERT_EQ(std::vector<BYTE>(rowSize - width, 0xEE), std::vector<BYTE>(row + width, row + rowSize))
                << "padding of row " << top;
            rows.push_back(row[0]);
        }
        for (int i = c.height - 1; i >= 0; --i) {
            if (bands.empty() || rows[i] != rows[i + 1])
                bands.push_back(0);
            ++bands.back();
        }
        EXPECT_EQ(c.top, rows.front());
        EXPECT_EQ(255, rows.back());
        for (size_t i = 0; i + 1 < bands.size(); ++i)
            ASSERT_EQ(c.band, bands[i]) << "band " << i;
        EXPECT_EQ(c.topBand, bands.back());
        for (size_t i = 1; i < rows.size(); ++i)
            ASSERT_LE(rows[i - 1], rows[i]) << "the picture darkens upwards";
    }
}

TEST(Background, PictureIsAnEightBitSectionOfTheScreenWithAPaletteOfBlues)
{
    Background background;
    background.screenWidth = 101; // an odd width: rows are padded to 104 bytes
    background.screenHeight = 480;
    BuildBackground(background, NULL);
    ASSERT_TRUE(background.bitmap != NULL);
    ASSERT_TRUE(background.palette != NULL);
    DIBSECTION section;
    ASSERT_EQ((int)sizeof section, GetObjectA(background.bitmap, sizeof section, &section));
    EXPECT_EQ(101, section.dsBm.bmWidth);
    EXPECT_EQ(480, section.dsBm.bmHeight);
    EXPECT_EQ(8, section.dsBm.bmBitsPixel);
    EXPECT_EQ(104 * 480u, section.dsBmih.biSizeImage);
    EXPECT_EQ(background.pixels, section.dsBm.bmBits);
    // Memory holds the rows bottom-up: the first row is the bright bottom.
    EXPECT_EQ(255, background.pixels[0]);
    EXPECT_EQ(16, background.pixels[479 * 104]);

    // The colours themselves show in the end-to-end screenshots; the palette
    // matters on a 256-colour screen, which those do not use.
    PALETTEENTRY entries[256];
    ASSERT_EQ(256u, GetPaletteEntries(background.palette, 0, 256, entries));
    for (int i = 0; i < 256; ++i)
        ASSERT_TRUE(entries[i].peRed == 0 && entries[i].peGreen == 0 && entries[i].peBlue == i) << i;

    // A second picture replaces the first without leaving it behind, and
    // the end of the run releases what it made.
    HBITMAP first = background.bitmap;
    HPALETTE firstPalette = background.palette;
    BuildBackground(background, NULL);
    EXPECT_EQ(0u, GetObjectType(first)) << "the first picture is released";
    EXPECT_EQ(0u, GetObjectType(firstPalette)) << "the first palette is released";
    HBITMAP second = background.bitmap;
    ReleaseBackground(background);
    EXPECT_EQ(0u, GetObjectType(second));
    EXPECT_TRUE(background.bitmap == NULL && background.palette == NULL && background.info == NULL);
}
