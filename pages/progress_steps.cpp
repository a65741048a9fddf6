#include "pages/progress_steps.h"

void SplitWidth(ProgressSteps& steps, int width, int n)
{
    int remainder = width % n;
    steps.increments[0] = width / n;
    for (int k = 1; k < 5; ++k) {
        steps.increments[k] = remainder * 10 / n;
        remainder = remainder * 10 % n;
    }
    for (int k = 0; k < 5; ++k)
        steps.accumulators[k] = 0;
}

static int GrowByOnePixel(int right, int width)
{
    return right >= width - 1 ? width : right + 1;
}

int AdvanceEdge(ProgressSteps& steps, int right, int width)
{
    for (int k = 4; k >= 1; --k) {
        steps.accumulators[k] += steps.increments[k];
        if (steps.accumulators[k] >= 10) {
            steps.accumulators[k] -= 10;
            steps.accumulators[k - 1] += 1;
        }
    }
    if (steps.increments[0] == 0) {
        // Narrower than n pixels: at most one pixel a step.
        if (steps.accumulators[0] > 0) {
            right = GrowByOnePixel(right, width);
            steps.accumulators[0] -= 1;
        }
        return right;
    }
    while (steps.accumulators[0] != 0) {
        right = GrowByOnePixel(right, width);
        steps.accumulators[0] -= 1;
    }
    steps.accumulators[0] = steps.increments[0];
    return right;
}
