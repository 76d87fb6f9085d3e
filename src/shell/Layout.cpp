#include "shell/Layout.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace Layout {

int RoundHalfEven(double v) {
    const double r = std::nearbyint(v); // the default rounding mode: halves to even
    return int(r);
}

int TransmitBarTopFor(int CH, int SplitPerMille) {
    return CH - RoundHalfEven(double(CH) * double(SplitPerMille) * 0.001);
}

int SplitPerMilleFor(int CH, int barTop) {
    if (CH <= 0) return 0;
    return (CH - barTop) * 1000 / CH;
}

Result Compute(const Input& in, const Design& d) {
    Result r;
    const int W = in.W;
    const int CH = in.CH;
    r.TransmitBarTop = TransmitBarTopFor(CH, in.SplitPerMille);

    // Mode bar and general-button panel share the top row.
    const int knoppenWidth = W / 3;
    r.tabBalk = QRect(0, 0, W - knoppenWidth, d.modeBarHeight);
    r.knoppenBalk = QRect(W - knoppenWidth, r.tabBalk.top(), knoppenWidth, d.modeBarHeight);

    r.receiveBar = QRect(0, r.tabBalk.height(), W, d.receiveBarHeight);
    const int rxTop = r.tabBalk.height() + d.receiveBarHeight;
    r.receiveWindow = QRect(0, rxTop, W - 8, r.TransmitBarTop - rxTop);
    r.versieLeft = W - 140;

    r.transmitBar = QRect(0, r.TransmitBarTop, W, d.receiveBarHeight);
    r.v24DataLedLeft = W - 70;
    r.logLedLeft = r.v24DataLedLeft - d.ledWidth - 20;
    r.leesLedLeft = r.logLedLeft - d.ledWidth - 20;
    r.xonLedLeft = r.leesLedLeft - d.ledWidth - 20;

    const int txTop = r.transmitBar.height() + r.TransmitBarTop;
    r.transmitWindow = QRect(0, txTop, W - 8, CH - txTop - d.statusBarHeight);

    r.modeButtonHeight = r.tabBalk.height() - 30;
    r.modeButtonWidth = r.tabBalk.width() / 8 - 2;
    r.modeButtonTop = d.pactorStbTop;
    int left = d.pactorStbLeft;
    for (int i = 0; i < 8; ++i) {
        r.modeButtonLefts << left;
        left += r.modeButtonWidth + 2;
    }

    // General buttons, two rows filled from the right without gaps.
    const int bh = r.knoppenBalk.height() / 2;
    const int bw = r.knoppenBalk.width() / 4 - 3;
    const int lowerTop = r.knoppenBalk.top() + r.knoppenBalk.height() / 2 + 2;
    const int upperTop = r.knoppenBalk.top() + 2;
    int l = r.knoppenBalk.width() - bw - 10;
    for (int i = 0; i < 4; ++i) {
        r.lowerRow << QRect(l, lowerTop, bw, bh);
        l -= bw;
    }
    l = r.knoppenBalk.width() - bw - 10;
    for (int i = 0; i < 4; ++i) {
        r.upperRow << QRect(l, upperTop, bw, bh);
        l -= bw;
    }

    r.logBookViewWidth = W - 16;

    r.statusBar = QRect(0, CH - d.statusBarHeight, W, d.statusBarHeight);
    const int pw = r.transmitWindow.width() / 8 - 3;
    int pl = 3;
    for (int i = 0; i < 8; ++i) {
        r.panes << QRect(pl, 1, pw, d.statusBarHeight - 2);
        pl += pw + 3;
    }
    return r;
}

DragStep DragMove(int barTop, int y, int H) {
    if (barTop < 115) return {barTop, true, false, false};
    if (barTop > H - 140) return {barTop, false, true, false};
    return {barTop + y, false, false, true};
}

int DragReleaseTop(int barTop, bool hitTop, bool hitBottom, int H) {
    if (hitTop) barTop = 120;
    if (hitBottom) barTop = H - 160;
    return barTop;
}

int SplitWithinDrag(int CH, int H, int SplitPerMille) {
    const int highest = SplitPerMilleFor(CH, DragReleaseTop(0, true, false, H));
    const int lowest = SplitPerMilleFor(CH, DragReleaseTop(0, false, true, H));
    if (CH <= 0 || lowest > highest) return SplitPerMille;
    return std::clamp(SplitPerMille, lowest, highest);
}

} // namespace Layout
