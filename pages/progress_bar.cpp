#include "pages/progress_bar.h"
#include "base/dpi.h"
#include "base/text.h"

void ProgressBegin(ProgressBar& bar, HWND control, int n, int steps)
{
    bar.control = control;
    GetClientRect(control, &bar.fillRect);
    bar.barWidth = bar.fillRect.right;
    bar.stepTotal = steps;
    bar.stepNumber = 1;
    SplitWidth(bar.steps, bar.barWidth, n);
    int dpi = WindowDpi(control);
    bar.fillTop = ScaleToDpi(2, dpi);
    bar.fillBottom = ScaleToDpi(18, dpi);
    bar.textTop = ScaleToDpi(1, dpi);
    SetRect(&bar.fillRect, 0, bar.fillTop, 0, bar.fillBottom);
    bar.barDC = GetDC(control);
    bar.barBrush = CreateSolidBrush(RGB(0, 0, 255));
    bar.savedBrush = SelectObject(bar.barDC, bar.barBrush);
}

void ProgressStep(ProgressBar& bar)
{
    bar.fillRect.right = AdvanceEdge(bar.steps, bar.fillRect.right, bar.barWidth);
    FillRect(bar.barDC, &bar.fillRect, bar.barBrush);

    if (bar.stepNumber <= bar.stepTotal) {
        // Between the bar's end and its mirror image: black again when the
        // control next paints, so an old percentage does not linger there.
        // Past the middle the band is empty; handed over inverted, the
        // system would turn it round and black out the bar itself.
        RECT band = {bar.fillRect.right, bar.fillTop, bar.barWidth - bar.fillRect.right, bar.fillBottom};
        if (band.left < band.right)
            InvalidateRect(bar.control, &band, TRUE);
        SetBkMode(bar.barDC, TRANSPARENT);
        SetTextColor(bar.barDC, RGB(255, 255, 255));
        FormatText(bar.percentText, "%d", bar.stepNumber * 100 / bar.stepTotal);
        int length = (int)TextLength(bar.percentText);
        SIZE extent = {0, 0};
        GetTextExtentPoint32A(bar.barDC, bar.percentText, length, &extent);
        TextOutA(bar.barDC, bar.barWidth / 2 - extent.cx / 2, bar.textTop, bar.percentText, length);
        ++bar.stepNumber;
    }
}

void ProgressEnd(ProgressBar& bar)
{
    if (!bar.barDC)
        return;
    if (bar.savedBrush)
        SelectObject(bar.barDC, bar.savedBrush);
    ReleaseDC(bar.control, bar.barDC);
    if (bar.barBrush)
        DeleteObject(bar.barBrush);
    bar.barDC = NULL;
    bar.barBrush = NULL;
    bar.savedBrush = NULL;
}
