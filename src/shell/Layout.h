#pragma once

#include <QRect>
#include <QVector>

// The main window is laid out by code: every resize places every area from
// the window's size and one stored proportion, the split between the receive
// and the transmit part. This is the arithmetic, free of widgets.
namespace Layout {

// Sizes fixed by the window's design.
struct Design {
    int receiveBarHeight = 20;
    int statusBarHeight = 22;
    int ledWidth = 42;
    int ledHeight = 16;
    int ledTop = 2;
    int modeBarHeight = 66;
    int pactorStbLeft = 2;
    int pactorStbTop = 2;
    int versieWidth = 120;
};

struct Input {
    int W = 0;  // the main window's width
    int H = 0;  // the main window's height
    int CH = 0; // the height of its client area
    int SplitPerMille = 0;
};

struct Result {
    int TransmitBarTop = 0;
    QRect receiveBar, transmitBar, receiveWindow, transmitWindow, tabBalk, knoppenBalk;
    int versieLeft = 0;
    // Left edges of the lamps XOnLed, LeesLed, LogLed, V24DataLed.
    int xonLedLeft = 0, leesLedLeft = 0, logLedLeft = 0, v24DataLedLeft = 0;
    // One mode button's size and top; lefts of the buttons in a row.
    int modeButtonWidth = 0, modeButtonHeight = 0, modeButtonTop = 0;
    QVector<int> modeButtonLefts; // for eight buttons
    // General buttons, in the order SpeedTxClear, SpeedRxClear, SpeedHiscall,
    // SpeedCho (lower row) and SaveBuffer, ClearTransmitBuffer, XmitFile,
    // OpenLogFile (upper row); positions inside KnoppenBalk's parent.
    QVector<QRect> lowerRow, upperRow;
    int logBookViewWidth = 0;
    QRect statusBar;
    QVector<QRect> panes; // Pane1 to Pane8, inside the status bar
};

// Rounds to the nearest integer, halves to the even neighbour.
int RoundHalfEven(double v);

// TransmitBarTop := CH - round(CH * SplitPerMille * 0.001).
int TransmitBarTopFor(int CH, int SplitPerMille);

// The split stored when the bar is released with its top at `barTop`.
int SplitPerMilleFor(int CH, int barTop);

Result Compute(const Input& in, const Design& design = Design());

// One pointer move while the transmit bar is dragged.
struct DragStep {
    int barTop;
    bool hitTop;
    bool hitBottom;
    bool moved;
};
DragStep DragMove(int barTop, int y, int H);
// Where the bar goes on release after hitting a limit (or stays).
int DragReleaseTop(int barTop, bool hitTop, bool hitBottom, int H);
// The split kept to what a drag can set in a window of this size: the bar's
// top between the release limits 120 and H - 160. A window too small for
// both limits leaves the split as it is.
int SplitWithinDrag(int CH, int H, int SplitPerMille);

} // namespace Layout
