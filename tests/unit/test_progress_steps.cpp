// Pure: also built natively, under the sanitizers (tests/native).
#include "pages/progress_steps.h"
#include <gtest/gtest.h>

// The bar's edge lags one call behind the increments: call k+1 shows k
// increments. Every edge must be k * width / n rounded either way, and the
// last must be the whole width, for any width and count.
TEST(ProgressSteps, EveryWidthAndCountFillExactlyAndEdgesStayWithinAPixel)
{
    int failures = 0;
    for (int n = 1; n <= 24; ++n) {
        for (int width = 0; width <= 1200 && failures < 5; ++width) {
            ProgressSteps steps;
            SplitWidth(steps, width, n);
            int right = 0;
            for (int k = 0; k <= n + 2; ++k) {
                int previous = right;
                right = AdvanceEdge(steps, right, width);
                long long shown = k < n ? k : n; // increments the edge shows by now
                long long gap = (long long)right * n - shown * width;
                if (right < previous || gap <= -n || gap >= n) {
                    ADD_FAILURE() << "width " << width << ", n " << n << ", call " << k + 1 << ": edge " << right
                                  << " after " << previous;
                    ++failures;
                    break;
                }
            }
            if (right != width) {
                ADD_FAILURE() << "width " << width << ", n " << n << " ends at " << right;
                ++failures;
            }
        }
    }
}
