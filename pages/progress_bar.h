// A hand-drawn progress bar that advances in exact fractional steps.
#pragma once
#include "pages/progress_steps.h"
#include <windows.h>

struct ProgressBar {
    HWND control;           // control 214 of the Copy page
    int stepTotal;          // steps whose percentage is shown
    int stepNumber;         // the next step
    int barWidth;           // client width of the bar's control
    RECT fillRect;          // the blue part; its right edge grows
    int fillTop, fillBottom; // its rows, 2 to 18 at 100 %, scaled with the control's dpi
    int textTop;            // the percentage's top row
    ProgressSteps steps;    // barWidth split into n increments
    HDC barDC;              // held from ProgressBegin to ProgressEnd
    HBRUSH barBrush;
    HGDIOBJ savedBrush;
    char percentText[12];
};

// The bar in control fills in increments; steps percentages are shown,
// one a step. Ending a bar that never began does nothing.
void ProgressBegin(ProgressBar& bar, HWND control, int increments, int steps);
void ProgressStep(ProgressBar& bar);
void ProgressEnd(ProgressBar& bar);
