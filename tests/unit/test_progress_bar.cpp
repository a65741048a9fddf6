// The edges the bar reaches and its pixels are checked end to end and for
// every width in ProgressSteps; here what a screenshot cannot tell.
#include "pages/progress_bar.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

TEST(Bar, PercentagesTheBandLeftToRepaintAndItsContextAndBrushReleased)
{
    // A real static control, 438 pixels wide, stands for control 214.
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 478, 60, NULL, NULL, NULL, NULL);
    HWND control = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 10, 10, 438, 20, parent,
                                   NULL, NULL, NULL);
    ProgressBar progressBar = {};
    ProgressBegin(progressBar, control, 4, 5);
    HBRUSH brush = progressBar.barBrush;
    std::vector<std::string> percents;
    std::vector<RECT> bands;
    for (int step = 0; step < 6; ++step) {
        ValidateRect(control, NULL);
        ProgressStep(progressBar);
        percents.push_back(progressBar.percentText);
        RECT band = {};
        GetUpdateRect(control, &band, FALSE);
        bands.push_back(band);
    }
    ProgressEnd(progressBar);
    EXPECT_EQ((std::vector<std::string>{"20", "40", "60", "80", "100", "100"}), percents)
        << "a sixth step only fills the bar";
    // Between the bar's end and its mirror image, empty past the middle.
    RECT first = {0, 2, 438, 18}, second = {110, 2, 328, 18};
    EXPECT_TRUE(EqualRect(&first, &bands[0]));
    EXPECT_TRUE(EqualRect(&second, &bands[1]));
    EXPECT_TRUE(IsRectEmpty(&bands[2])) << "219 is the middle";
    EXPECT_TRUE(IsRectEmpty(&bands[3]));
    EXPECT_TRUE(progressBar.barDC == NULL && progressBar.barBrush == NULL);
    EXPECT_EQ(0u, GetObjectType(brush)) << "the brush is deleted";
    DestroyWindow(parent);
}
