// A hand-drawn progress bar that advances in exact fractional steps.
#pragma once
#include "pages/progress_steps.h"
#include <windows.h>

struct ProgressBar {
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

extern ProgressBar progressBar;
extern HWND progressControl;  // control 214 of the Copy page

// The bar fills in increments; steps percentages are shown, one a step.
void ProgressBegin(int increments, int steps);
void ProgressStep();
void ProgressEnd();
