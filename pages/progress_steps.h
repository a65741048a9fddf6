// The progress bar's arithmetic: the width per increment is kept as a
// whole part and four decimal digits, so that n increments fill the width
// exactly, without floating point.
#pragma once

struct ProgressSteps {
    int increments[5];    // width / n: whole pixels, then four decimal digits
    int accumulators[5];  // pixels pending, then four running decimal digits
};

void SplitWidth(ProgressSteps& steps, int width, int n);
// The bar's right edge, which stays within width, after one more increment.
int AdvanceEdge(ProgressSteps& steps, int right, int width);
