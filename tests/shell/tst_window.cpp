// The main window as the operator meets it: where typing lands, which keys
// reach the menu, what is on the screen before the controller start-up,
// margins, hints, fonts, the port pane and the transmit-bar drag.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextCursor>
#include <QWindow>
#include <QtTest>

#include "FormFixture.h"
#include "link/ComBaudConfig.h"
#include "link/SerialPeer.h"
#include "shell/Widgets.h"

namespace {

// Counts the events of one type that reach an object; of key presses, the
// keys pressed.
class EventCounter : public QObject {
public:
    EventCounter(QObject* target, QEvent::Type type) : type_(type) {
        target->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != type_) return false;
        ++count;
        if (type_ == QEvent::KeyPress) keys << static_cast<QKeyEvent*>(event)->key();
        return false;
    }
    int count = 0;
    QList<int> keys;

private:
    QEvent::Type type_;
};

// Notes, when the first byte goes on the line, whether the window was on the
// screen and how often it had been painted by then.
class FirstBytePeer : public SerialPeer {
public:
    FirstBytePeer(std::function<void()> onFirst) : onFirst_(std::move(onFirst)) {}
    void FromHost(quint8, quint32) override {
        if (!seen_) onFirst_();
        seen_ = true;
    }
    void Tick(quint32) override {}
    QByteArray ToHost(quint32) override { return {}; }

private:
    std::function<void()> onFirst_;
    bool seen_ = false;
};

THoofdForm& StartActive(FormFixture& f, const QByteArray& settings = FormFixture::Settings()) {
    f.WriteFile("Dervalo.INI", settings);
    THoofdForm& form = f.Start();
    form.activateWindow();
    [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(&form);
    return form;
}

struct Shortcut {
    const char* action;
    QKeyCombination key;
};

// The menu's shortcut keys.
const QList<Shortcut> kShortcuts = {
    {"MenuOpenLogFile", Qt::ALT | Qt::Key_O},
    {"MenuEditaFile", Qt::ALT | Qt::Key_E},
    {"MenuTransmitFile", Qt::CTRL | Qt::Key_F},
    {"MenuExitDervalo", Qt::ALT | Qt::Key_X},
    {"MenuPactor", QKeyCombination(Qt::Key_F2)},
    {"MenuAmtor", QKeyCombination(Qt::Key_F3)},
    {"MenuRtty", QKeyCombination(Qt::Key_F4)},
    {"MenuDumb", QKeyCombination(Qt::Key_F10)},
    {"MenuToggleListen", QKeyCombination(Qt::Key_F6)},
    {"MenuUnpro", QKeyCombination(Qt::Key_F7)},
    {"MenuAmtorFec", Qt::ALT | Qt::Key_F7},
    {"MenuBaudotTransmit", Qt::CTRL | Qt::Key_F7},
    {"MenuStandby", Qt::CTRL | Qt::Key_S},
    {"MenuCallAstation", QKeyCombination(Qt::Key_F5)},
    {"MenuCallAListStation", Qt::ALT | Qt::Key_F5},
    {"MenuDisconnect", Qt::ALT | Qt::Key_D},
    {"MenuHardDisconnect", Qt::ALT | Qt::Key_H},
    {"MenuCallCQ", QKeyCombination(Qt::Key_F8)},
    {"MenuChangeOver", QKeyCombination(Qt::Key_End)},
    {"MenuSendHiscalldeMycall", Qt::CTRL | Qt::Key_End},
    {"MenuClearTxScreen", Qt::ALT | Qt::Key_T},
    {"MenuClearRxScreen", Qt::ALT | Qt::Key_R},
    {"Help1", QKeyCombination(Qt::Key_F1)},
};

} // namespace

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void typingAtStartLandsInTheTransmitWindow();
    void menuShortcutsFromTheTextWindows_data();
    void menuShortcutsFromTheTextWindows();
    void paintedBeforeTheStartUp();
    void centredOnTheScreen();
    void textMargins();
    void lastLineShowsWhole();
    void countPanesShowWholeNumbers();
    void hintsAndTimers();
    void plainFontsHaveNoEffects();
    void failedSettingsReadAppliesOnlyTheDefaults();
    void portPaneShowsADevicePathByItsName_data();
    void portPaneShowsADevicePathByItsName();
    void dragKeepsTheReceiveText_data();
    void dragKeepsTheReceiveText();
    void textReceivedDuringADragFollowsTheParkedText();
};

void WindowTest::typingAtStartLandsInTheTransmitWindow() {
    FormFixture f;
    THoofdForm& form = StartActive(f);
    QCOMPARE(QApplication::focusWidget(), form.ZendWindow);
    QTest::keyClicks(QApplication::focusWidget(), "cq de pa0abc");
    // Typed at the caret, in front of the three empty lines it starts with.
    QCOMPARE(form.ZendWindow->toPlainText(), QString("cq de pa0abc\n\n"));
    QVERIFY(form.ReceiveWindow->toPlainText().isEmpty());
}

void WindowTest::menuShortcutsFromTheTextWindows_data() {
    QTest::addColumn<QString>("window");
    QTest::newRow("transmit window") << "ZendWindow";
    QTest::newRow("receive window") << "ReceiveWindow";
    QTest::newRow("hidden focus holder") << "Temp";
}

void WindowTest::menuShortcutsFromTheTextWindows() {
    // Every shortcut reaches its menu item with the focus in a text window,
    // also the keys the text box or the keyboard path would take (End,
    // Ctrl+End, Ctrl+S, Ctrl+F); Alt+H is Hard Disconnect, not the Help
    // menu. The window never sees the key.
    QFETCH(QString, window);
    FormFixture f;
    THoofdForm& form = StartActive(f);
    auto* target = form.findChild<QWidget*>(window);
    QVERIFY(target);
    EventCounter keys(target, QEvent::KeyPress);
    f.prompts.confirmAnswers.enqueue(false); // the Exit item asks to close
    for (const Shortcut& s : kShortcuts) {
        auto* action = form.findChild<QAction*>(s.action);
        QVERIFY2(action, s.action);
        QCOMPARE(action->shortcut(), QKeySequence(s.key));
        action->setEnabled(true);
        if (auto* edit = qobject_cast<QPlainTextEdit*>(target)) {
            edit->setPlainText("abc");
            edit->moveCursor(QTextCursor::Start);
        }
        target->setFocus();
        f.serial.ClearWritten();
        QSignalSpy triggered(action, &QAction::triggered);
        QTest::keyClick(target, s.key.key(), s.key.keyboardModifiers());
        QVERIFY2(triggered.count() == 1, s.action);
        QVERIFY2(!keys.keys.contains(s.key.key()), s.action);
        // Nothing went out as a control character.
        QVERIFY2(!f.Written().contains('\x13') && !f.Written().contains('\x06'), s.action);
        if (auto* edit = qobject_cast<QPlainTextEdit*>(target))
            QVERIFY2(edit->textCursor().position() == 0, s.action);
    }
    QVERIFY(form.isVisible());
    // The Help command keeps F1 and the mouse; it has no Alt letter of its own.
    QVERIFY(!form.Help1->text().contains('&'));
}

void WindowTest::paintedBeforeTheStartUp() {
    // With "Init Pk" on the start-up pauses for seconds; the window is on the
    // screen and painted before its first byte goes out.
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings("COM4", "9600", false, true));
    f.Create();
    THoofdForm& form = *f.form;
    EventCounter paints(form.Receivebalk, QEvent::Paint);
    bool exposed = false;
    int paintedBefore = -1;
    FirstBytePeer peer([&] {
        exposed = form.windowHandle() && form.windowHandle()->isExposed();
        paintedBefore = paints.count;
    });
    f.serial.AttachPeer(&peer);
    form.show();
    f.serial.AttachPeer(nullptr);
    QVERIFY(form.st.PkStarted);
    QVERIFY(exposed);
    QVERIFY(paintedBefore > 0);
    QVERIFY(f.Written().startsWith("*\x01\x01OHON\x17\x11\x18\x03\r"));
}

void WindowTest::centredOnTheScreen() {
    QCOMPARE(CentredTopLeft(QRect(0, 0, 800, 800), QSize(776, 487)), QPoint(12, 156));
    QCOMPARE(CentredTopLeft(QRect(1280, 24, 1920, 1056), QSize(300, 200)), QPoint(2090, 452));
    // Larger than the screen: the top-left corner stays on it.
    QCOMPARE(CentredTopLeft(QRect(0, 0, 640, 480), QSize(776, 487)), QPoint(0, 0));

    FormFixture f;
    THoofdForm& form = StartActive(f);
    const QRect screen = form.screen()->availableGeometry();
    const QPoint offset = form.frameGeometry().center() - screen.center();
    QVERIFY2(qAbs(offset.x()) <= 4 && qAbs(offset.y()) <= 4,
             qPrintable(QString("%1,%2").arg(offset.x()).arg(offset.y())));
}

void WindowTest::textMargins() {
    // The text starts 5 pixels in from the left edge, at the top edge, and
    // a gap of 12 pixels stays below the text area.
    FormFixture f;
    THoofdForm& form = StartActive(f);
    for (QPlainTextEdit* w : {form.ReceiveWindow, form.ZendWindow}) {
        w->setPlainText("first line");
        const QRect inner = w->contentsRect();
        const QRect area = w->viewport()->geometry();
        QCOMPARE(area.left() - inner.left(), 5);
        QCOMPARE(area.top(), inner.top());
        QCOMPARE(inner.bottom() - area.bottom(), 12);
        QTextCursor start(w->document());
        QCOMPARE(w->cursorRect(start).top(), 0);
        QVERIFY(w->cursorRect(start).left() <= 1);
    }
    // A layout pass sets them again, not on top of what was there.
    form.resize(900, 500);
    QCOMPARE(form.ReceiveWindow->viewport()->geometry().left() -
                 form.ReceiveWindow->contentsRect().left(),
             5);
}

void WindowTest::lastLineShowsWhole() {
    FormFixture f;
    THoofdForm& form = StartActive(f);
    QByteArray lines;
    for (int i = 0; i < 300; ++i)
        lines += "line " + QByteArray::number(i) + "\r";
    f.serial.FeedInput("\x01/" + lines + "the newest line\x17");
    form.GETV24Data();
    form.ScrollNaarEnd();
    form.ZendWindow->setPlainText(QString("typed\n").repeated(100) + "being typed");
    form.ZendWindow->moveCursor(QTextCursor::End);
    for (QPlainTextEdit* w : {form.ReceiveWindow, form.ZendWindow}) {
        QVERIFY(w->verticalScrollBar()->maximum() > 0);
        // The part of the text area inside the window's frame, and the last
        // line's rectangle there.
        const QRect shown = w->viewport()->geometry() & w->contentsRect();
        QTextCursor end(w->document());
        end.movePosition(QTextCursor::End);
        const QRect last = w->cursorRect(end).translated(w->viewport()->geometry().topLeft());
        QVERIFY2(shown.contains(last), qPrintable(QString("line %1-%2, shown to %3")
                                                      .arg(last.top())
                                                      .arg(last.bottom())
                                                      .arg(shown.bottom())));
    }
}

void WindowTest::countPanesShowWholeNumbers() {
    FormFixture f;
    THoofdForm& form = StartActive(f);
    const QStringList texts = {"Buffer: 1039616", "Databuf: 1039616", "Data buffer 32767",
                               "ttyUSB12: 38400", "CONNECT"};
    for (const QString& text : texts) {
        for (QLabel* pane : form.Panes) {
            THoofdForm::SetPane(pane, text);
            const auto* shown = qobject_cast<TPane*>(pane);
            QVERIFY(shown);
            const QFont font = shown->ShownFont();
            QVERIFY2(QFontMetrics(font).horizontalAdvance(text) <=
                         pane->contentsRect().width() - pane->indent(),
                     qPrintable(pane->objectName() + ": " + text));
            QVERIFY(QFontInfo(font).pixelSize() >= 6);
        }
    }
    // A text that fits keeps the status line's font.
    THoofdForm::SetPane(form.Pane6, "Buffer:0");
    QCOMPARE(qobject_cast<TPane*>(form.Pane6)->ShownFont(), form.Pane6->font());
}

void WindowTest::hintsAndTimers() {
    FormFixture f;
    THoofdForm& form = StartActive(f);
    int hints = 0;
    for (QWidget* w : form.findChildren<QWidget*>()) {
        if (w->toolTip().isEmpty()) continue;
        ++hints;
        QVERIFY2(w->toolTipDuration() == 2500, qPrintable(w->objectName()));
    }
    QVERIFY(hints > 30);
    QCOMPARE(form.ComBaudConfig->toolTipDuration(), 2500);

    // The timers keep their intervals to the millisecond.
    QCOMPARE(form.Schryfinterval.timerType(), Qt::PreciseTimer);
    QCOMPARE(form.StatusAanvraagTimer.timerType(), Qt::PreciseTimer);
    QCOMPARE(form.Schryfinterval.interval(), 113);
    QCOMPARE(form.StatusAanvraagTimer.interval(), 557);
}

void WindowTest::plainFontsHaveNoEffects() {
    // The general-button and status-line fonts come without underline and
    // strike-out, whatever the dialog gave, and are stored as chosen.
    FormFixture f;
    THoofdForm& form = StartActive(f);
    QFont chosen("DejaVu Sans", 13);
    chosen.setUnderline(true);
    chosen.setStrikeOut(true);
    chosen.setItalic(true);
    f.prompts.fontAnswers.enqueue(Prompts::FontChoice{chosen, QColor()});
    f.prompts.fontAnswers.enqueue(Prompts::FontChoice{chosen, QColor()});
    form.KnoppenBalk1Click();
    form.Statusline1Click();
    QCOMPARE(f.prompts.Calls("font"), (QStringList{"font|plain", "font|plain"}));
    for (QWidget* w :
         {static_cast<QWidget*>(form.KnoppenBalk), static_cast<QWidget*>(form.SpeedCho),
          static_cast<QWidget*>(form.Statusbalk), static_cast<QWidget*>(form.Pane1)}) {
        QVERIFY2(!w->font().underline(), qPrintable(w->objectName()));
        QVERIFY2(!w->font().strikeOut(), qPrintable(w->objectName()));
        QVERIFY(w->font().italic());
        QCOMPARE(w->font().pointSize(), 13);
    }
    QCOMPARE(form.st.ButtonFontStyle, quint8(2));
    QCOMPARE(form.st.StatusFontSize, quint16(13));
}

void WindowTest::failedSettingsReadAppliesOnlyTheDefaults() {
    // The read stops at line 25; the button and status fonts read before it
    // are not applied, the defaults are.
    QByteArray settings = FormFixture::Settings();
    QList<QByteArray> lines = settings.split('\n');
    lines[15] = "Courier\r";
    lines[16] = "20\r";
    lines[17] = "3\r";
    lines[18] = "Courier\r";
    lines[19] = "22\r";
    lines[20] = "4\r";
    lines[24] = "split\r";
    settings = lines.join('\n');

    FormFixture reference;
    THoofdForm& plain = reference.Create();

    FormFixture f;
    f.WriteFile("Dervalo.INI", settings);
    THoofdForm& form = f.Create();
    QCOMPARE(f.prompts.Boxes(), QStringList{"Dervalo    Warning|Dervalo.ini not found on disk"});
    QCOMPARE(form.KnoppenBalk->font(), plain.KnoppenBalk->font());
    QCOMPARE(form.Statusbalk->font(), plain.Statusbalk->font());
    QVERIFY(!form.KnoppenBalk->font().bold());
    QVERIFY(form.Statusbalk->font().pointSize() != 22);
    // The defaults themselves are there.
    QCOMPARE(form.st.SplitPerMille, quint16(263));
    QCOMPARE(form.ZendWindow->palette().color(QPalette::Base), QColor(0, 0, 255));
}

void WindowTest::portPaneShowsADevicePathByItsName_data() {
    QTest::addColumn<QByteArray>("port");
    QTest::addColumn<QString>("pane");
    QTest::newRow("COM name") << QByteArray("COM2") << "COM2: 9600";
    QTest::newRow("device path") << QByteArray("/dev/ttyUSB0") << "ttyUSB0: 9600";
    QTest::newRow("pseudo-terminal link") << QByteArray("/tmp/sim/pk232") << "pk232: 9600";
    QTest::newRow("Windows device path") << QByteArray("\\\\.\\COM12") << "COM12: 9600";
}

void WindowTest::portPaneShowsADevicePathByItsName() {
    QFETCH(QByteArray, port);
    QFETCH(QString, pane);
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings(port));
    THoofdForm& form = f.Create();
    QCOMPARE(form.Pane8->text(), pane);
    QCOMPARE(f.serial.OpenedDevice(), QString::fromLatin1(port)); // the port itself is the path
}

void WindowTest::dragKeepsTheReceiveText_data() {
    // Sequences of presses (+), releases (-) and moves (m) on the bar.
    QTest::addColumn<QString>("sequence");
    QTest::newRow("left press, right press, right release") << "+L +R -R -L";
    QTest::newRow("left press, right press, left release") << "+L +R -L -R";
    QTest::newRow("moves between") << "+L m +R m -R m +R -R -L";
    QTest::newRow("three buttons") << "+L +R +M -M -R -L";
    QTest::newRow("plain drag") << "+L m m -L";
}

void WindowTest::dragKeepsTheReceiveText() {
    QFETCH(QString, sequence);
    FormFixture f;
    THoofdForm& form = StartActive(f);
    const QString received = "first line\nsecond line\nthird";
    form.ReceiveWindow->setPlainText(received);
    const QPoint at(40, 5);
    for (const QString& step : sequence.split(' ')) {
        const Qt::MouseButton button = step.endsWith('L')   ? Qt::LeftButton
                                       : step.endsWith('R') ? Qt::RightButton
                                                            : Qt::MiddleButton;
        if (step.startsWith('+')) {
            QTest::mousePress(form.Transmitbalk, button, {}, at);
        } else if (step.startsWith('-')) {
            QTest::mouseRelease(form.Transmitbalk, button, {}, at);
        } else {
            QTest::mouseMove(form.Transmitbalk, at + QPoint(0, 1));
        }
        // Someone else takes the clipboard meanwhile.
        QApplication::clipboard()->setText("from another program");
    }
    QVERIFY(!form.st.BarDragging);
    QCOMPARE(form.ReceiveWindow->toPlainText(), received);
}

void WindowTest::textReceivedDuringADragFollowsTheParkedText() {
    FormFixture f;
    THoofdForm& form = StartActive(f);
    f.prompts.fileAnswers.enqueue("capture.log");
    form.MenuOpenLogFileClick();
    auto receive = [&](const QByteArray& text) {
        f.serial.FeedInput("\x01/" + text + "\x17");
        form.GETV24Data();
    };
    receive("first\xA0line\rsecond");
    QTest::mousePress(form.Transmitbalk, Qt::LeftButton, {}, QPoint(40, 5));
    receive(" half\rduring the drag\r");
    QTest::mouseRelease(form.Transmitbalk, Qt::LeftButton, {}, QPoint(40, 5));

    QCOMPARE(form.ReceiveWindow->document()->toRawText(),
             QString::fromUtf16(u"first\u00A0line\u2029second half\u2029during the drag\u2029"));
    f.prompts.fileAnswers.enqueue("rx.buf");
    form.SaveBufferClick();
    QByteArray captured = f.ReadFile("capture.log");
    QCOMPARE(captured, QByteArray("first\xA0line\rsecond half\rduring the drag\r"));
    QCOMPARE(f.ReadFile("rx.buf"), captured.replace("\r", "\r\n"));
}

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
