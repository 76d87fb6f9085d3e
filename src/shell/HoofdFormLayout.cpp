// The layout pass, the transmit bar drag, and the fonts and colours of the
// main window's parts.
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QToolButton>

#include "logbook/LogBookShowForm.h"
#include "shell/Appearance.h"
#include "shell/ExtraSettings.h"
#include "shell/HoofdForm.h"
#include "shell/InOutError.h"
#include "shell/Layout.h"
#include "shell/Prompts.h"
#include "shell/Widgets.h"

namespace {
void SetBackground(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, c);
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}
QColor Background(QWidget* w) {
    return w->palette().color(QPalette::Base);
}
void SetTextColour(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::Text, c);
    w->setPalette(p);
}
} // namespace

int THoofdForm::OuterWidth() const {
    // The client's width and the frame the layout rules count with.
    return width() + kFrameWidth;
}

int THoofdForm::OuterHeight() const {
    // The drag limits are measured from the window's outer height, title bar
    // included; at least a usual title bar is allowed for, also where the
    // platform does not tell the frame.
    return qMax(frameGeometry().height(), height() + kTitleAllowance);
}

void THoofdForm::FormResize() {
    if (st.Closing) return;
    LayOut();
    // 17. Painted at once: the start-up's pauses come next.
    repaint();
    ControllerStartUp();
}

void THoofdForm::LayOut() {
    if (st.Closing) return;
    const int W = OuterWidth();
    const int H = OuterHeight();
    const int CH = centralWidget()->height();
    const Layout::Design d;
    const Layout::Result r = Layout::Compute({W, H, CH, st.SplitPerMille}, d);

    st.RxMaxScrollPos = 0;
    st.TransmitBarTop = r.TransmitBarTop;
    Receivebalk->setGeometry(r.receiveBar);
    Transmitbalk->setGeometry(r.transmitBar);
    Temp->move(0, Transmitbalk->y());
    TabBalk->setGeometry(r.tabBalk);
    ReceiveWindow->setGeometry(r.receiveWindow);
    Versie->move(r.versieLeft, Versie->y());
    XOnLed->move(r.xonLedLeft, d.ledTop);
    LeesLed->move(r.leesLedLeft, d.ledTop);
    LogLed->move(r.logLedLeft, d.ledTop);
    V24DataLed->move(r.v24DataLedLeft, d.ledTop);
    ZendWindow->setGeometry(r.transmitWindow);

    const QVector<QVector<QToolButton*>> rows = {
        {MdcList, MdcRead, MdcWrite, MdcKill},
        {PactorStb, PactorListen, PactorUnpro, PactorCQ, PactorCall, PactorListCall,
         pactorDisconnect, PactorHardDisconnect},
        {AmtorStb, AmtorListen, AmtorFEC, AmtorCQ, Amtorcall, AmtorListcall, AmtorDisConnect,
         AmtorHardDisconnect},
        {RttyReceive, RttyTransmit, RttyCQ, RttyHiscall},
        {FaxStart, FaxStop, FaxSettingsButton, FaxShowWindow, FaxSaveImage}};
    for (const auto& row : rows)
        for (int i = 0; i < row.size(); ++i)
            row[i]->setGeometry(r.modeButtonLefts[i], r.modeButtonTop, r.modeButtonWidth,
                                r.modeButtonHeight);
    LayOutModePages(r.modeButtonLefts, r.modeButtonTop, r.modeButtonWidth, r.modeButtonHeight);

    KnoppenBalk->setGeometry(r.knoppenBalk);
    const QVector<QPushButton*> lower = {SpeedTxClear, SpeedRxClear, SpeedHiscall, SpeedCho};
    const QVector<QPushButton*> upper = {SaveBuffer, ClearTransmitBuffer, XmitFile, OpenLogFile};
    for (int i = 0; i < 4; ++i) {
        lower[i]->setGeometry(r.lowerRow[i]);
        upper[i]->setGeometry(r.upperRow[i]);
    }

    if (LogBookShowForm) LogBookShowForm->resize(r.logBookViewWidth, LogBookShowForm->height());

    Statusbalk->setGeometry(r.statusBar);
    for (int i = 0; i < 8; ++i)
        Panes[i]->setGeometry(r.panes[i]);
    LayOutRigPane();

    // Text margins of the two text windows: the text starts 5 pixels in from
    // the left edge, and a gap of 12 pixels stays below the text area.
    for (QPlainTextEdit* w : {ReceiveWindow, ZendWindow})
        if (auto* t = qobject_cast<TTextWindow*>(w)) t->SetTextMargins(5, 12);
}

// ---- dragging the transmit bar ----

void THoofdForm::TransmitbalkMouseDown() {
    // The text is parked once per drag: a second button pressed while the
    // bar moves must not park the emptied window over it.
    if (st.BarDragging) return;
    st.BarDragging = true;
    // The receive text is parked on the clipboard while the bar moves (an
    // empty window parks an empty text, so nothing old comes back later).
    // The copy kept here is what comes back, whatever else takes the
    // clipboard meanwhile.
    clipboardDuringDrag_ = QTextDocumentFragment(ReceiveWindow->document());
    QApplication::clipboard()->setText(ReceiveWindow->toPlainText());
    ReceiveWindow->clear();
}

void THoofdForm::TransmitbalkMouseMove(int y) {
    if (!st.BarDragging) return;
    const Layout::DragStep step = Layout::DragMove(Transmitbalk->y(), y, OuterHeight());
    if (step.hitTop) st.BarHitTop = true;
    if (step.hitBottom) st.BarHitBottom = true;
    if (!step.moved) return;
    Transmitbalk->move(Transmitbalk->x(), step.barTop);
    ReceiveWindow->resize(ReceiveWindow->width(), st.TransmitBarTop - ReceiveWindow->y());
    ZendWindow->move(ZendWindow->x(), Transmitbalk->height() + st.TransmitBarTop);
    st.TransmitBarTop = step.barTop;
}

void THoofdForm::TransmitbalkMouseUp() {
    if (!st.BarDragging) return;
    const int top =
        Layout::DragReleaseTop(Transmitbalk->y(), st.BarHitTop, st.BarHitBottom, OuterHeight());
    Transmitbalk->move(Transmitbalk->x(), top);
    // The parked text goes back before whatever was received meanwhile,
    // each character as it stood, in its colour.
    QTextCursor start(ReceiveWindow->document());
    start.insertFragment(clipboardDuringDrag_);
    clipboardDuringDrag_ = QTextDocumentFragment();
    st.TransmitBarTop = top;
    const int CH = centralWidget()->height();
    st.SplitPerMille = quint16(Layout::SplitPerMilleFor(CH, st.TransmitBarTop));
    st.BarDragging = false;
    st.RxMaxScrollPos = 0;
    FormResize();
    ScrollNaarEnd();
    st.BarHitTop = false;
    st.BarHitBottom = false;
}

// ---- fonts and colours ----

void THoofdForm::ApplyStoredAppearance() {
    ApplyWindowAppearance();
    ApplyButtonAndStatusFonts();
}

void THoofdForm::ApplyWindowAppearance() {
    QFont rx = ReceiveWindow->font();
    Appearance::ApplyNameAndSize(rx, st.RxFontName, st.RxFontSize);
    ReceiveWindow->setFont(rx);
    SetBackground(ReceiveWindow, Appearance::FromWinColor(st.RxWindowColor));
    QFont tx = ZendWindow->font();
    Appearance::ApplyNameAndSize(tx, st.TxFontName, st.TxFontSize);
    ZendWindow->setFont(tx);
    SetBackground(ZendWindow, Appearance::FromWinColor(st.TxWindowColor));
    rx.setBold(st.RxFontStyle == QLatin1String("Bold"));
    ReceiveWindow->setFont(rx);
    tx.setBold(st.TxFontStyle == QLatin1String("Bold"));
    ZendWindow->setFont(tx);
    SetTextColour(ReceiveWindow, Appearance::FromWinColor(st.RxFontColor));
    SetTextColour(ZendWindow, Appearance::FromWinColor(st.TxFontColor));
    SetBackground(Receivebalk, Appearance::FromWinColor(st.ReceiveBarColor));
    SetBackground(Transmitbalk, Appearance::FromWinColor(st.TransmitBarColor));
    SetBackground(Temp, Appearance::FromWinColor(st.TransmitBarColor));
}

void THoofdForm::ApplyButtonAndStatusFonts() {
    QFont buttons = KnoppenBalk->font();
    Appearance::ApplyStyleCode(buttons, st.ButtonFontStyle);
    QFont status = Statusbalk->font();
    Appearance::ApplyStyleCode(status, st.StatusFontStyle);
    Appearance::ApplyNameAndSize(buttons, st.ButtonFontName, st.ButtonFontSize);
    Appearance::ApplyNameAndSize(status, st.StatusFontName, st.StatusFontSize);
    KnoppenBalk->setFont(buttons);
    Statusbalk->setFont(status);
}

namespace {
// The stored font name: the name the operator chose.
QString StoredName(const QFont& f) {
    return f.family();
}
} // namespace

void THoofdForm::MenuRxWindowFontClick() {
    const auto choice = prompts_.ChooseFont(fontDialogFont_, fontDialogColor_, true);
    if (!choice) return;
    fontDialogFont_ = choice->font;
    fontDialogColor_ = choice->color;
    ReceiveWindow->setFont(choice->font);
    SetTextColour(ReceiveWindow, choice->color);
    st.RxFontName = StoredName(choice->font);
    st.RxFontSize = quint8(choice->font.pointSize());
    st.RxFontColor = Appearance::ToWinColor(choice->color);
    st.RxFontStyle = choice->font.bold() ? QStringLiteral("Bold") : QStringLiteral("Normal");
}

void THoofdForm::MenuTxWindowFontClick() {
    const auto choice = prompts_.ChooseFont(fontDialogFont_, fontDialogColor_, true);
    if (!choice) return;
    fontDialogFont_ = choice->font;
    fontDialogColor_ = choice->color;
    ZendWindow->setFont(choice->font);
    SetTextColour(ZendWindow, choice->color);
    st.TxFontName = StoredName(choice->font);
    st.TxFontSize = quint8(choice->font.pointSize());
    st.TxFontColor = Appearance::ToWinColor(choice->color);
    st.TxFontStyle = choice->font.bold() ? QStringLiteral("Bold") : QStringLiteral("Normal");
}

namespace {
// A font from the dialog without its effects part: no underline or
// strike-out comes with it.
QFont WithoutEffects(QFont font) {
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}
} // namespace

void THoofdForm::KnoppenBalk1Click() {
    const auto choice = prompts_.ChooseFont(fontDialogFont_, fontDialogColor_, false);
    if (!choice) return;
    const QFont font = WithoutEffects(choice->font);
    fontDialogFont_ = font;
    KnoppenBalk->setFont(font);
    st.ButtonFontName = StoredName(font);
    st.ButtonFontSize = quint16(font.pointSize());
    st.ButtonFontStyle = Appearance::StyleCodeOf(font);
}

void THoofdForm::Statusline1Click() {
    const auto choice = prompts_.ChooseFont(fontDialogFont_, fontDialogColor_, false);
    if (!choice) return;
    const QFont font = WithoutEffects(choice->font);
    fontDialogFont_ = font;
    Statusbalk->setFont(font);
    st.StatusFontName = StoredName(font);
    st.StatusFontSize = quint16(font.pointSize());
    st.StatusFontStyle = Appearance::StyleCodeOf(font);
}

void THoofdForm::MenuRxWindowColorClick() {
    if (const auto c = prompts_.ChooseColor(Background(ReceiveWindow))) {
        SetBackground(ReceiveWindow, *c);
        st.RxWindowColor = Appearance::ToWinColor(*c);
    }
    // Without a choice the stored value stays, which is the window's colour.
}

void THoofdForm::MenuTxWindowColorClick() {
    if (const auto c = prompts_.ChooseColor(Background(ZendWindow))) {
        SetBackground(ZendWindow, *c);
        st.TxWindowColor = Appearance::ToWinColor(*c);
    }
}

void THoofdForm::MenuEchoColorClick() {
    const auto c = prompts_.ChooseColor(st.EchoColour);
    if (!c || *c == st.EchoColour) return;
    // Text shown from now on takes the new colour; the colour is kept at
    // once in its own file, never in the settings file.
    st.EchoColour = *c;
    QString path;
    if (!ExtraSettings::WriteEchoColour(folder_, st.EchoColour, path))
        throw InOutError(QStringLiteral("Error writing %1").arg(path));
}

void THoofdForm::TransmitandReceivebar1Click() {
    if (const auto c = prompts_.ChooseColor(Receivebalk->palette().color(QPalette::Window))) {
        SetBackground(Receivebalk, *c);
        st.ReceiveBarColor = Appearance::ToWinColor(*c);
    }
    st.TransmitBarColor = st.ReceiveBarColor;
    SetBackground(Transmitbalk, Appearance::FromWinColor(st.TransmitBarColor));
}
