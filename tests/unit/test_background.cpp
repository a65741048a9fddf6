#include "app/background.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

// The gradient as a person measures it on screen: the blue of each row,
// from the top of the picture down.
std::vector<int> RowsFromTop(int height, int width = 3)
{
    int rowSize = (width + 3) & ~3;
    std::vector<BYTE> pixels((size_t)rowSize * height, 0xEE);
    FillGradient(pixels.data(), width, height, rowSize);
    std::vector<int> rows;
    for (int top = 0; top < height; ++top)
        rows.push_back(pixels[(size_t)(height - 1 - top) * rowSize]);
    return rows;
}

// Lengths of the runs of equal rows, from the bottom up.
std::vector<int> BandsFromBottom(const std::vector<int>& rowsFromTop)
{
    std::vector<int> bands;
    for (int i = (int)rowsFromTop.size() - 1; i >= 0; --i) {
        if (bands.empty() || rowsFromTop[i] != rowsFromTop[i + 1])
            bands.push_back(0);
        ++bands.back();
    }
    return bands;
}

} // namespace

TEST(Gradient, TopValueAndBandLengthFollowTheScreenHeight)
{
    struct Case {
        int height, top, band, topBand;
    } cases[] = {
        {480, 16, 2, 2},
        {600, 56, 3, 3},
        {768, 64, 4, 4},
        {1024, 51, 5, 4}, // 1024 rows leave 4 for the topmost band
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        std::vector<int> rows = RowsFromTop(c.height);
        EXPECT_EQ(c.top, rows.front());
        EXPECT_EQ(255, rows.back());
        std::vector<int> bands = BandsFromBottom(rows);
        for (size_t i = 0; i + 1 < bands.size(); ++i)
            ASSERT_EQ(c.band, bands[i]) << "band " << i;
        EXPECT_EQ(c.topBand, bands.back());
        for (size_t i = 1; i < rows.size(); ++i)
            ASSERT_LE(rows[i - 1], rows[i]) << "the picture darkens upwards";
    }
}

TEST(Gradient, BelowTwoHundredFiftyFiveRowsEachRowIsOneStepDarker)
{
    std::vector<int> rows = RowsFromTop(200);
    for (int top = 0; top < 200; ++top)
        ASSERT_EQ(255 - (199 - top), rows[top]);
}

TEST(Gradient, RowPaddingIsNotWritten)
{
    const int width = 5, height = 300, rowSize = 8;
    std::vector<BYTE> pixels((size_t)rowSize * height, 0xEE);
    FillGradient(pixels.data(), width, height, rowSize);
    for (int row = 0; row < height; ++row) {
        for (int x = width; x < rowSize; ++x)
            ASSERT_EQ(0xEE, pixels[(size_t)row * rowSize + x]) << "row " << row;
        ASSERT_EQ(pixels[(size_t)row * rowSize], pixels[(size_t)row * rowSize + width - 1]);
    }
}

TEST(Background, PictureIsAnEightBitSectionOfTheScreenWithAPaletteOfBlues)
{
    screenWidth = 101; // an odd width: rows are padded to 104 bytes
    screenHeight = 480;
    BuildBackground(NULL);
    ASSERT_TRUE(backgroundBitmap != NULL);
    ASSERT_TRUE(backgroundPalette != NULL);
    DIBSECTION section;
    ASSERT_EQ((int)sizeof section, GetObjectA(backgroundBitmap, sizeof section, &section));
    EXPECT_EQ(101, section.dsBm.bmWidth);
    EXPECT_EQ(480, section.dsBm.bmHeight);
    EXPECT_EQ(8, section.dsBm.bmBitsPixel);
    EXPECT_EQ(104 * 480u, section.dsBmih.biSizeImage);
    EXPECT_EQ(backgroundPixels, section.dsBm.bmBits);
    // Memory holds the rows bottom-up: the first row is the bright bottom.
    EXPECT_EQ(255, backgroundPixels[0]);
    EXPECT_EQ(16, backgroundPixels[479 * 104]);

    PALETTEENTRY entries[256];
    ASSERT_EQ(256u, GetPaletteEntries(backgroundPalette, 0, 256, entries));
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(0, entries[i].peRed);
        ASSERT_EQ(0, entries[i].peGreen);
        ASSERT_EQ(i, entries[i].peBlue);
    }
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, backgroundBitmap);
    RGBQUAD table[256];
    ASSERT_EQ(256u, GetDIBColorTable(memory, 0, 256, table));
    EXPECT_EQ(200, table[200].rgbBlue);
    EXPECT_EQ(0, table[200].rgbRed + table[200].rgbGreen);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);

    // A second picture replaces the first without leaving it behind, and
    // the end of the run releases what it made.
    HBITMAP first = backgroundBitmap;
    HPALETTE firstPalette = backgroundPalette;
    BuildBackground(NULL);
    EXPECT_EQ(0u, GetObjectType(first)) << "the first picture is released";
    EXPECT_EQ(0u, GetObjectType(firstPalette)) << "the first palette is released";
    HBITMAP second = backgroundBitmap;
    ReleaseBackground();
    EXPECT_EQ(0u, GetObjectType(second));
    EXPECT_TRUE(backgroundBitmap == NULL && backgroundPalette == NULL && backgroundInfo == NULL);
}
