#include "pages/progress_bar.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

// A real static control of the given client width stands for control 214.
class Bar : public ::testing::Test {
protected:
    void Make(int width)
    {
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, width + 40, 60, NULL, NULL, NULL, NULL);
        progressControl = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 10, 10, width, 20,
                                          parent, NULL, NULL, NULL);
        ValidateRect(progressControl, NULL);
    }
    void TearDown() override
    {
        DestroyWindow(parent);
        progressControl = NULL;
    }

    // The right edge of the bar after each of five steps, and what each step
    // left to repaint.
    std::vector<int> Edges(std::vector<RECT>* bands = nullptr)
    {
        ProgressBegin(4, 5);
        std::vector<int> edges;
        for (int step = 0; step < 5; ++step) {
            ValidateRect(progressControl, NULL);
            ProgressStep();
            edges.push_back(progressBar.fillRect.right);
            RECT band = {};
            GetUpdateRect(progressControl, &band, FALSE);
            if (bands)
                bands->push_back(band);
        }
        ProgressEnd();
        return edges;
    }

    HWND parent = NULL;
};

} // namespace

TEST_F(Bar, FractionalIncrementsFillTheWidthExactly)
{
    Make(438);
    ProgressBegin(4, 5);
    EXPECT_EQ(438, progressBar.barWidth);
    EXPECT_EQ((std::vector<int>{109, 5, 0, 0, 0}),
              std::vector<int>(progressBar.steps.increments, progressBar.steps.increments + 5));
    ProgressEnd();
    EXPECT_EQ((std::vector<int>{0, 110, 219, 329, 438}), Edges());
}

TEST_F(Bar, WidthsThatDivideOrBarelyExist)
{
    Make(400);
    EXPECT_EQ((std::vector<int>{0, 100, 200, 300, 400}), Edges());
    TearDown();
    Make(3); // narrower than four increments: a pixel a step at most
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 3}), Edges());
    TearDown();
    Make(1);
    std::vector<int> edges = Edges();
    EXPECT_EQ(1, edges.back());
    for (int edge : edges)
        EXPECT_LE(edge, 1) << "never beyond the bar";
}

TEST_F(Bar, PercentagesAndTheBandLeftToRepaint)
{
    Make(438);
    std::vector<RECT> bands;
    ProgressBegin(4, 5);
    std::vector<std::string> percents;
    for (int step = 0; step < 6; ++step) {
        ValidateRect(progressControl, NULL);
        ProgressStep();
        percents.push_back(progressBar.percentText);
        RECT band = {};
        GetUpdateRect(progressControl, &band, FALSE);
        bands.push_back(band);
    }
    ProgressEnd();
    EXPECT_EQ((std::vector<std::string>{"20", "40", "60", "80", "100", "100"}), percents)
        << "a sixth step only fills the bar";
    // Between the bar's end and its mirror image, empty past the middle.
    EXPECT_EQ(0, bands[0].left);
    EXPECT_EQ(438, bands[0].right);
    EXPECT_EQ(2, bands[0].top);
    EXPECT_EQ(18, bands[0].bottom);
    EXPECT_EQ(110, bands[1].left);
    EXPECT_EQ(328, bands[1].right);
    EXPECT_TRUE(IsRectEmpty(&bands[2])) << "219 is the middle";
    EXPECT_TRUE(IsRectEmpty(&bands[3]));
}

TEST_F(Bar, DrawsBlueUpToItsEdgeAndReleasesItsContext)
{
    Make(438);
    ProgressBegin(4, 5);
    for (int step = 0; step < 3; ++step)
        ProgressStep();
    HDC control = GetDC(progressControl);
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(control, 5, 10));
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(control, 218, 3));
    ReleaseDC(progressControl, control);
    ProgressEnd();
    EXPECT_TRUE(progressBar.barDC == NULL);
    EXPECT_TRUE(progressBar.barBrush == NULL);
}
