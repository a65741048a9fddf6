// A hand-drawn progress bar that advances in exact fractional steps: the
// width per increment is kept as a whole part and four decimal digits, so
// that n increments fill the width exactly, without floating point.
#pragma once
#include <windows.h>

struct ProgressBar {
    int stepTotal;          // steps whose percentage is shown
    int stepNumber;         // the next step
    int barWidth;           // client width of the bar's control
    RECT fillRect;          // the blue part; its right edge grows
    int increments[5];      // barWidth / n: whole pixels, then four decimal digits
    int accumulators[5];    // pixels pending, then four running decimal digits
    HDC barDC;              // held from ProgressBegin to ProgressEnd
    HBRUSH barBrush;
    HGDIOBJ savedBrush;
    char percentText[12];
};

extern ProgressBar progressBar;
extern HWND progressControl;  // control 214 of the Copy page

void ProgressBegin(int increments);
void ProgressStep();
void ProgressEnd();
