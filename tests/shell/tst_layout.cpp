// The layout pass: its arithmetic, the window it produces, and the drag of
// the transmit bar.
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "FormFixture.h"
#include "shell/Appearance.h"
#include "shell/Layout.h"
#include "shell/Widgets.h"

class LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void splitArithmetic();
    void buttonSizesAt776();
    void windowFollowsTheLayout();
    void dragLimits();
    void splitFromTheFileStaysDraggable();
    void dragThroughTheWindow();
    void fontsAndColoursAreStored();
    void colourValues();
    void fontToFit();
};

void LayoutTest::splitArithmetic() {
    // 400 - round(105.2) = 295; releasing there stores 105 * 1000 div 400.
    QCOMPARE(Layout::TransmitBarTopFor(400, 263), 295);
    QCOMPARE(Layout::SplitPerMilleFor(400, 295), 262);
    QCOMPARE(Layout::TransmitBarTopFor(400, 262), 295);
    // Halves go to the even neighbour: 500 * 0.001 * 5 = 2.5 -> 2, 3.5 -> 4.
    QCOMPARE(Layout::TransmitBarTopFor(500, 5), 498);
    QCOMPARE(Layout::TransmitBarTopFor(700, 5), 696);
    QCOMPARE(Layout::SplitPerMilleFor(0, 10), 0);
}

void LayoutTest::buttonSizesAt776() {
    const Layout::Result r = Layout::Compute({776, 457, 400, 263});
    QCOMPARE(r.knoppenBalk.size(), QSize(258, 66));
    QCOMPARE(r.tabBalk.size(), QSize(518, 66));
    QCOMPARE(r.modeButtonWidth, 62);
    QCOMPARE(r.modeButtonHeight, 36);
    QCOMPARE(r.lowerRow[0].size(), QSize(61, 33));
    // Rows filled from the right without gaps.
    QCOMPARE(r.lowerRow[0].left(), 258 - 61 - 10);
    QCOMPARE(r.lowerRow[3].left(), 258 - 61 - 10 - 3 * 61);
    QCOMPARE(r.upperRow[0].top(), 2);
    QCOMPARE(r.lowerRow[0].top(), 35);
    QCOMPARE(r.modeButtonLefts[1] - r.modeButtonLefts[0], 64);
    // The lamps from the right, 20 pixels plus a lamp's width apart.
    const Layout::Design d;
    QCOMPARE(r.v24DataLedLeft, 706);
    QCOMPARE(r.logLedLeft, 706 - d.ledWidth - 20);
    QCOMPARE(r.xonLedLeft, 706 - 3 * (d.ledWidth + 20));
    QCOMPARE(r.TransmitBarTop, 295);
    QCOMPARE(r.receiveWindow, QRect(0, 86, 768, 295 - 86));
    QCOMPARE(r.transmitWindow.top(), 315);
    QCOMPARE(r.transmitWindow.bottom() + 1, 400 - d.statusBarHeight);
    QCOMPARE(r.panes[0].left(), 3);
    QCOMPARE(r.panes[1].left(), 3 + 768 / 8 - 3 + 3);
    QCOMPARE(r.logBookViewWidth, 760);
}

void LayoutTest::windowFollowsTheLayout() {
    FormFixture f;
    THoofdForm& form = f.Start();
    // 776 wide with the frame: a client of 768, which the text windows fill.
    QCOMPARE(form.width(), 768);
    QCOMPARE(form.OuterWidth(), 776);
    const int CH = form.centralWidget()->height();
    QCOMPARE(form.st.TransmitBarTop, Layout::TransmitBarTopFor(CH, 263));
    QCOMPARE(form.Transmitbalk->y(), form.st.TransmitBarTop);
    QCOMPARE(form.KnoppenBalk->geometry(), QRect(518, 0, 258, 66));
    QCOMPARE(form.SpeedTxClear->size(), QSize(61, 33));
    QCOMPARE(form.PactorHardDisconnect->size(), QSize(62, 36));
    QCOMPARE(form.RttyHiscall->x(), form.PactorCQ->x());
    QCOMPARE(form.ReceiveWindow->y() + form.ReceiveWindow->height(), form.st.TransmitBarTop);
    QCOMPARE(form.ZendWindow->y(), form.st.TransmitBarTop + form.Transmitbalk->height());
    QCOMPARE(form.Pane8->x() + form.Pane8->width() <= form.width(), true);
    QCOMPARE(form.ReceiveWindow->geometry().right() + 1, form.centralWidget()->width());
    QCOMPARE(form.ZendWindow->geometry().right() + 1, form.centralWidget()->width());

    form.resize(1000, 600);
    QCOMPARE(form.KnoppenBalk->width(), 336);
    QCOMPARE(form.st.TransmitBarTop,
             Layout::TransmitBarTopFor(form.centralWidget()->height(), 263));
    QCOMPARE(form.V24DataLed->x(), 938);
    QCOMPARE(form.ZendWindow->width(), 1000);
}

void LayoutTest::dragLimits() {
    // Above 115 the bar stays and the release puts it at 120; below H - 140
    // at H - 160.
    auto step = Layout::DragMove(110, -30, 457);
    QVERIFY(step.hitTop);
    QVERIFY(!step.moved);
    QCOMPARE(Layout::DragReleaseTop(110, true, false, 457), 120);
    step = Layout::DragMove(320, 40, 457);
    QVERIFY(step.hitBottom);
    QCOMPARE(Layout::DragReleaseTop(320, false, true, 457), 297);
    step = Layout::DragMove(200, -15, 457);
    QVERIFY(step.moved);
    QCOMPARE(step.barTop, 185);
    QCOMPARE(Layout::DragReleaseTop(185, false, false, 457), 185);
}

void LayoutTest::splitFromTheFileStaysDraggable() {
    // 0 puts the bar below the window, 65535 (and -1, kept to 16 bits) far
    // above it; the window shows with the bar at the drag's limit instead.
    for (const QByteArray& split : {QByteArray("0"), QByteArray("65535"), QByteArray("-1")}) {
        FormFixture f;
        QByteArray ini = FormFixture::Settings();
        QVERIFY(ini.contains("\r\n263\r\n"));
        ini.replace("\r\n263\r\n", "\r\n" + split + "\r\n");
        f.WriteFile("Dervalo.INI", ini);
        THoofdForm& form = f.Start();
        const int CH = form.centralWidget()->height();
        const int H = form.OuterHeight();
        const int top = split == "0" ? H - 160 : 120;
        QCOMPARE(form.st.SplitPerMille, quint16((CH - top) * 1000 / CH));
        QVERIFY2(qAbs(form.Transmitbalk->y() - top) <= 1, split.constData());
        QVERIFY(form.ReceiveWindow->height() > 0);
        QVERIFY(form.ZendWindow->height() > 0);
    }
}

void LayoutTest::dragThroughTheWindow() {
    FormFixture f;
    THoofdForm& form = f.Start();
    form.ReceiveWindow->setPlainText("line one\nline two");
    QApplication::clipboard()->setText("old clipboard");

    form.TransmitbalkMouseDown();
    QVERIFY(form.st.BarDragging);
    QVERIFY(form.ReceiveWindow->toPlainText().isEmpty());
    QCOMPARE(QApplication::clipboard()->text(), QString("line one\nline two"));
    // Drag up far past the limit.
    for (int i = 0; i < 30; ++i)
        form.TransmitbalkMouseMove(-20);
    QVERIFY(form.st.BarHitTop);
    form.TransmitbalkMouseUp();
    const int CH = form.centralWidget()->height();
    QCOMPARE(form.st.SplitPerMille, quint16((CH - 120) * 1000 / CH));
    QCOMPARE(form.Transmitbalk->y(), Layout::TransmitBarTopFor(CH, form.st.SplitPerMille));
    QCOMPARE(form.ReceiveWindow->toPlainText(), QString("line one\nline two"));
    QVERIFY(!form.st.BarDragging);
    QVERIFY(!form.st.BarHitTop);

    // And down past the lower limit.
    form.TransmitbalkMouseDown();
    for (int i = 0; i < 30; ++i)
        form.TransmitbalkMouseMove(20);
    QVERIFY(form.st.BarHitBottom);
    form.TransmitbalkMouseUp();
    QCOMPARE(form.st.SplitPerMille, quint16((CH - (form.OuterHeight() - 160)) * 1000 / CH));
    QCOMPARE(form.OuterHeight(), form.height() + THoofdForm::kTitleAllowance);

    // The split reaches the settings file.
    form.close();
    QCOMPARE(f.ReadFile("Dervalo.INI").split('\n').at(24).trimmed(),
             QByteArray::number(form.st.SplitPerMille));
}

void LayoutTest::fontsAndColoursAreStored() {
    FormFixture f;
    THoofdForm& form = f.Start();
    QFont boldItalic("DejaVu Sans", 11);
    boldItalic.setBold(true);
    boldItalic.setItalic(true);
    f.prompts.fontAnswers.enqueue(Prompts::FontChoice{boldItalic, QColor(255, 0, 0)});
    form.MenuRxWindowFontClick();
    QCOMPARE(form.st.RxFontStyle, QString("Bold"));
    QCOMPARE(form.st.RxFontSize, quint8(11));
    QCOMPARE(form.st.RxFontColor, 255);
    QVERIFY(form.ReceiveWindow->font().italic());
    f.prompts.fontAnswers.enqueue(Prompts::FontChoice{boldItalic, QColor()});
    form.KnoppenBalk1Click();
    QCOMPARE(form.st.ButtonFontStyle, quint8(4));
    QCOMPARE(f.prompts.log.last(), QString("font|plain"));
    // Cancel changes nothing.
    form.Statusline1Click();
    QCOMPARE(form.st.StatusFontStyle, quint8(0));

    f.prompts.colorAnswers.enqueue(QColor(0, 0, 128));
    form.TransmitandReceivebar1Click();
    QCOMPARE(form.st.ReceiveBarColor, 128 << 16);
    QCOMPARE(form.st.TransmitBarColor, 128 << 16);
    form.MenuTxWindowColorClick(); // cancelled
    QCOMPARE(form.st.TxWindowColor, 16711680);

    form.close();
    // The next start brings the receive font back bold but not italic, and
    // the buttons bold italic.
    FormFixture g;
    g.WriteFile("Dervalo.INI", f.ReadFile("Dervalo.INI"));
    THoofdForm& again = g.Start();
    QVERIFY(again.ReceiveWindow->font().bold());
    QVERIFY(!again.ReceiveWindow->font().italic());
    QVERIFY(again.KnoppenBalk->font().bold());
    QVERIFY(again.KnoppenBalk->font().italic());
    QCOMPARE(again.Receivebalk->palette().color(QPalette::Window), QColor(0, 0, 128));
}

void LayoutTest::colourValues() {
    QCOMPARE(Appearance::FromWinColor(16711680), QColor(0, 0, 255));
    QCOMPARE(Appearance::FromWinColor(255), QColor(255, 0, 0));
    QCOMPARE(Appearance::FromWinColor(11203312), QColor(240, 242, 170));
    QCOMPARE(Appearance::ToWinColor(QColor(240, 242, 170)), 11203312);
    // A system colour maps onto the palette.
    QCOMPARE(Appearance::FromWinColor(qint32(0x80000005)),
             QApplication::palette().color(QPalette::Base));
}

void LayoutTest::fontToFit() {
    QFont font;
    font.setPixelSize(16);
    const QString text = "Buffer: 1039616";
    const int wide = QFontMetrics(font).horizontalAdvance(text);
    QCOMPARE(Appearance::FontToFit(font, text, wide), font);
    const QFont fitted = Appearance::FontToFit(font, text, wide / 2);
    QVERIFY(QFontMetrics(fitted).horizontalAdvance(text) <= wide / 2);
    QVERIFY(fitted.pixelSize() < 16 && fitted.pixelSize() > 6);
    // Nowhere to fit: it stops at six pixels.
    QCOMPARE(Appearance::FontToFit(font, text, 1).pixelSize(), 6);
}

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
