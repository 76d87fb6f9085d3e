// The receive window as the receive buffer: read-back holds received text
// while the operator scrolls and lets it out at the end, the keys of the
// hidden focus holder, restoring the window, picking and clearing, and what
// the message hook keeps in check.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

#include "FormFixture.h"

namespace {

THoofdForm& Shown(FormFixture& f, bool logBook = false) {
    QByteArray settings = FormFixture::Settings();
    if (logBook) { // the logbook switch is the last line
        settings.chop(int(qstrlen("OFF\r\n")));
        settings += "ON\r\n";
    }
    f.WriteFile("Dervalo.INI", settings);
    THoofdForm& form = f.Start();
    f.serial.ClearWritten();
    return form;
}

void Receive(FormFixture& f, const QByteArray& text) {
    f.serial.FeedInput("\x01/" + text + "\x17");
    f.form->GETV24Data();
}

QByteArray Lines(int n) {
    QByteArray out;
    for (int i = 0; i < n; ++i)
        out += "line " + QByteArray::number(i) + "\r";
    return out;
}

QScrollBar* Bar(THoofdForm& form) {
    return form.ReceiveWindow->verticalScrollBar();
}

QColor LampColour(QLabel* lamp) {
    return lamp->palette().color(QPalette::Window);
}

} // namespace

class ReceiveWindowTest : public QObject {
    Q_OBJECT
private slots:
    void readBackHoldsTextUntilTheEnd();
    void tempKeys_data();
    void tempKeys();
    void tempLeavesShortcutsToTheMenu();
    void dataPaneBoundary_data();
    void dataPaneBoundary();
    void transmitWindowLimit_data();
    void transmitWindowLimit();
    void mouseCursorFollowsTheLogbook();
    void restoreKeepsTextAndMovesCaretToTheEnd();
    void pickTakesTheSelection();
    void doubleClickPicksTheWord();
    void clearShowsZeroAndRestartsTimers();
    void receivedTextGoesToTheEndPastASelection();
    void smallerFontAtTheEndHoldsNothing();
};

void ReceiveWindowTest::readBackHoldsTextUntilTheEnd() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    Receive(f, Lines(200));
    form.ReceiveHandle();
    // The window has followed the text to its end.
    const int end = Bar(form)->value();
    QVERIFY(end > 0);
    QCOMPARE(end, Bar(form)->maximum());
    QCOMPARE(form.focusWidget(), form.ZendWindow);

    // One line up by the scroll bar: the next message holds the text.
    Bar(form)->triggerAction(QAbstractSlider::SliderSingleStepSub);
    form.ReceiveHandle();
    QVERIFY(form.st.HoldReceive);
    QVERIFY(form.st.ScrollBackMode);
    QCOMPARE(form.focusWidget(), form.Temp);

    const QString before = form.ReceiveWindow->toPlainText();
    Receive(f, "NEW TEXT\r");
    QCOMPARE(form.ReceiveWindow->toPlainText(), before);
    QCOMPARE(form.st.PendingReceiveText, QByteArray("NEW TEXT\r"));
    QCOMPARE(Bar(form)->value(), end - 1);
    form.ReceiveHandle();
    QCOMPARE(form.Pane7->text(), QString("Databuf: 9"));
    QCOMPARE(LampColour(form.V24DataLed), QColor(255, 0, 0));
    QCOMPARE(form.V24DataLed->palette().color(QPalette::WindowText), QColor(Qt::white));

    // Back at the end the hold ends; the held text goes out at the next
    // decoder call, before the new frame.
    QTest::keyClick(form.Temp, Qt::Key_Down);
    QCOMPARE(Bar(form)->value(), end);
    form.ReceiveHandle();
    QVERIFY(!form.st.HoldReceive);
    QVERIFY(!form.st.ScrollBackMode);
    QCOMPARE(form.focusWidget(), form.ZendWindow);
    Receive(f, "more");
    QVERIFY(form.ReceiveWindow->toPlainText().endsWith("line 199\nNEW TEXT\nmore"));
    QCOMPARE(Bar(form)->value(), Bar(form)->maximum());
    QVERIFY(form.st.PendingReceiveText.isEmpty());
    form.ReceiveHandle();
    QCOMPARE(form.Pane7->text(), QString("Data buffer 0"));
    QCOMPARE(LampColour(form.V24DataLed), QColor(0, 255, 0));
    QCOMPARE(form.V24DataLed->palette().color(QPalette::WindowText), QColor(Qt::black));
}

void ReceiveWindowTest::tempKeys_data() {
    QTest::addColumn<bool>("scrollBack");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("expected"); // "end", "top", or a step from 100: "-page" ...
    for (bool on : {true, false}) {
        const char* m = on ? "reading back" : "not reading back";
        QTest::addRow("Escape, %s", m) << on << int(Qt::Key_Escape) << 0 << "end";
        QTest::addRow("PgUp, %s", m) << on << int(Qt::Key_PageUp) << 0 << (on ? "-page" : "0");
        QTest::addRow("Ctrl+PgUp, %s", m)
            << on << int(Qt::Key_PageUp) << int(Qt::ControlModifier) << (on ? "-page" : "0");
        QTest::addRow("PgDn, %s", m) << on << int(Qt::Key_PageDown) << 0 << (on ? "+page" : "0");
        QTest::addRow("Home, %s", m) << on << int(Qt::Key_Home) << 0 << (on ? "top" : "0");
        QTest::addRow("Up, %s", m) << on << int(Qt::Key_Up) << 0 << (on ? "-1" : "0");
        QTest::addRow("Down, %s", m) << on << int(Qt::Key_Down) << 0 << (on ? "+1" : "0");
        QTest::addRow("End, %s", m) << on << int(Qt::Key_End) << 0 << "0";
        QTest::addRow("letter, %s", m) << on << int(Qt::Key_A) << 0 << "0";
    }
}

void ReceiveWindowTest::tempKeys() {
    QFETCH(bool, scrollBack);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, expected);
    FormFixture f;
    THoofdForm& form = Shown(f);
    Receive(f, Lines(300));
    QScrollBar* bar = Bar(form);
    bar->setValue(100);
    form.st.ScrollBackMode = scrollBack;
    form.Temp->setFocus();
    const int page = bar->pageStep();

    QTest::keyClick(form.Temp, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    int want = 100;
    if (expected == "end")
        want = bar->maximum();
    else if (expected == "top")
        want = 0;
    else if (expected == "-page")
        want = 100 - page;
    else if (expected == "+page")
        want = 100 + page;
    else
        want = 100 + expected.toInt();
    if (expected.endsWith("page")) {
        // One page: the page step as the window reckons it once there.
        QVERIFY(page > 1);
        QVERIFY2(qAbs(bar->value() - want) <= 1, qPrintable(QString::number(bar->value())));
    } else {
        QCOMPARE(bar->value(), want);
    }
    QCOMPARE(form.focusWidget(),
             key == Qt::Key_Escape ? static_cast<QWidget*>(form.ZendWindow) : form.Temp);
    // Nothing collects in the hidden box.
    QCOMPARE(form.Temp->text(), QString());
}

void ReceiveWindowTest::tempLeavesShortcutsToTheMenu() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    // The End key is the change-over shortcut: the focus holder must not
    // claim it the way a line edit does.
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_End, Qt::NoModifier);
    override.ignore();
    QCoreApplication::sendEvent(form.Temp, &override);
    QVERIFY(!override.isAccepted());
}

void ReceiveWindowTest::dataPaneBoundary_data() {
    QTest::addColumn<int>("waiting");
    QTest::addColumn<QString>("pane");
    QTest::addColumn<bool>("red");
    QTest::newRow("13") << 13 << "Data buffer 0" << false;
    QTest::newRow("14") << 14 << "Databuf: 14" << true;
}

void ReceiveWindowTest::dataPaneBoundary() {
    QFETCH(int, waiting);
    QFETCH(QString, pane);
    QFETCH(bool, red);
    FormFixture f;
    THoofdForm& form = Shown(f);
    f.serial.FeedInput(QByteArray(waiting, 'x'));
    form.ReceiveHandle();
    QCOMPARE(form.Pane7->text(), pane);
    QCOMPARE(LampColour(form.V24DataLed), red ? QColor(255, 0, 0) : QColor(0, 255, 0));
    // Held text counts instead of the queue.
    form.st.PendingReceiveText = "abc";
    form.ReceiveHandle();
    QCOMPARE(form.Pane7->text(), QString("Databuf: 3"));
}

void ReceiveWindowTest::transmitWindowLimit_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("kept");
    QTest::newRow("4000") << QString(4000, 'a') << true;
    QTest::newRow("4001") << QString(4001, 'a') << false;
    // A line break counts as its two characters.
    QTest::newRow("4000 with a line break") << QString(3997, 'a') + "\na" << true;
    QTest::newRow("4001 with a line break") << QString(3998, 'a') + "\na" << false;
}

void ReceiveWindowTest::transmitWindowLimit() {
    QFETCH(QString, text);
    QFETCH(bool, kept);
    FormFixture f;
    THoofdForm& form = Shown(f);
    form.ZendWindow->setPlainText(text);
    form.ReceiveHandle();
    QCOMPARE(form.ZendWindow->toPlainText(), kept ? text : QString());
}

void ReceiveWindowTest::mouseCursorFollowsTheLogbook() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    form.ReceiveHandle();
    QCOMPARE(form.ReceiveWindow->viewport()->cursor().shape(), Qt::ForbiddenCursor);
    form.st.LogBookOn = true;
    form.ReceiveHandle();
    QCOMPARE(form.ReceiveWindow->viewport()->cursor().shape(), Qt::ArrowCursor);
}

void ReceiveWindowTest::restoreKeepsTextAndMovesCaretToTheEnd() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    Receive(f, Lines(200) + "last");
    const QString text = form.ReceiveWindow->toPlainText();
    // A pick left the caret and a selection in the middle, scrolled up.
    QTextCursor c(form.ReceiveWindow->document()->findBlockByNumber(20));
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    form.ReceiveWindow->setTextCursor(c);
    Bar(form)->setValue(0);
    QApplication::clipboard()->setText("old clipboard");
    form.Temp->setFocus();

    form.HerstelReceiveWindow();
    QCOMPARE(form.ReceiveWindow->toPlainText(), text);
    QVERIFY(!form.ReceiveWindow->textCursor().hasSelection());
    QCOMPARE(form.ReceiveWindow->textCursor().position(),
             form.ReceiveWindow->document()->characterCount() - 1);
    QCOMPARE(Bar(form)->value(), Bar(form)->maximum());
    QVERIFY(QApplication::clipboard()->text().isEmpty());
    QCOMPARE(form.focusWidget(), form.ZendWindow);
    // Received text goes on at the end again.
    Receive(f, " more");
    QVERIFY(form.ReceiveWindow->toPlainText().endsWith("line 199\nlast more"));
}

void ReceiveWindowTest::pickTakesTheSelection() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    Receive(f, "PA3XYZ de PA0ABC\rpse k\r");
    auto select = [&](int from, int to) {
        QTextCursor c = form.ReceiveWindow->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        form.ReceiveWindow->setTextCursor(c);
    };

    // The logbook off: nothing.
    select(0, 6);
    quint64 before = f.clock.Elapsed();
    form.ReceiveWindowDblClick();
    QVERIFY(form.st.PickedCall.isEmpty());
    QCOMPARE(f.clock.Elapsed(), before);

    form.st.LogBookOn = true;
    select(3, 3); // nothing selected: nothing
    form.ReceiveWindowDblClick();
    QVERIFY(form.st.PickedCall.isEmpty());
    QCOMPARE(f.clock.Elapsed(), before);

    // The whole selection, several words and a line break included.
    select(0, 20);
    form.ReceiveWindowDblClick();
    QCOMPARE(form.st.PickedCall, QString("PA3XYZ de PA0ABC\r\npse"));
    QVERIFY(f.clock.Elapsed() - before >= 500);
}

void ReceiveWindowTest::doubleClickPicksTheWord() {
    FormFixture f;
    THoofdForm& form = Shown(f, true);
    QVERIFY(form.st.LogBookOn);
    Receive(f, "CQ de PA3XYZ pse k\r");
    QTextCursor at = form.ReceiveWindow->textCursor();
    at.setPosition(8); // inside "PA3XYZ"
    const QPoint point = form.ReceiveWindow->cursorRect(at).center();
    QTest::mouseDClick(form.ReceiveWindow->viewport(), Qt::LeftButton, {}, point);
    QCOMPARE(form.st.PickedCall, QString("PA3XYZ"));
}

void ReceiveWindowTest::clearShowsZeroAndRestartsTimers() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    for (const QByteArray& text : {QByteArray(), Lines(100)}) {
        if (!text.isEmpty()) Receive(f, text);
        form.ReceiveHandle();
        form.StopTimers();
        form.SpeedRxClear->click();
        QVERIFY(form.ReceiveWindow->toPlainText().isEmpty());
        QCOMPARE(form.Pane6->text(), QString("Buffer:0"));
        QCOMPARE(form.st.RxMaxScrollPos, 0u);
        QVERIFY(form.Schryfinterval.isActive());
        QVERIFY(form.StatusAanvraagTimer.isActive());
    }
}

void ReceiveWindowTest::receivedTextGoesToTheEndPastASelection() {
    FormFixture f;
    THoofdForm& form = Shown(f, true);
    f.prompts.fileAnswers.enqueue("capture.log");
    form.MenuOpenLogFileClick();
    QVERIFY(form.st.LogFileOpen);
    Receive(f, Lines(60) + "CQ de PA3XYZ pse k\r");
    QPlainTextEdit* rx = form.ReceiveWindow;
    auto selection = [rx] {
        const QTextCursor c = rx->textCursor();
        return QString("%1:%2:%3").arg(c.anchor()).arg(c.position()).arg(c.selectedText());
    };

    // A call picked by a double click: text arriving while the entry window
    // is open goes to the end and leaves the pick alone.
    QTextCursor at(rx->document()->lastBlock().previous());
    at.movePosition(QTextCursor::NextWord);
    at.movePosition(QTextCursor::NextWord); // inside "PA3XYZ"
    at.movePosition(QTextCursor::Right);
    QString picked, afterText;
    f.prompts.modalActions.enqueue([&](QDialog&) {
        picked = selection();
        Receive(f, "PA3XYZ de PA0ABC\r");
        Receive(f, Lines(40));
        afterText = selection();
        return int(QDialog::Rejected);
    });
    QTest::mouseDClick(rx->viewport(), Qt::LeftButton, {}, rx->cursorRect(at).center());
    QCOMPARE(form.st.PickedCall, QString("PA3XYZ"));
    QVERIFY(picked.endsWith(":PA3XYZ"));
    QCOMPARE(afterText, picked);
    QCOMPARE(selection(), picked);
    // The window still follows the end.
    QCOMPARE(Bar(form)->value(), Bar(form)->maximum());

    // A selection reaching the very end keeps to its own characters.
    Receive(f, "73 es gl");
    QTextCursor last(rx->document());
    last.movePosition(QTextCursor::End);
    last.movePosition(QTextCursor::PreviousWord, QTextCursor::KeepAnchor);
    rx->setTextCursor(last);
    const QString atEnd = selection();
    Receive(f, " sk\r");
    QCOMPARE(selection(), atEnd);
    QVERIFY(atEnd.endsWith(":gl"));
    QVERIFY(rx->toPlainText().endsWith("line 39\n73 es gl sk\n"));

    // The buffer is what was received and captured, in order.
    f.prompts.fileAnswers.enqueue("rx.buf");
    form.SaveBufferClick();
    QByteArray captured = f.ReadFile("capture.log");
    QVERIFY(captured.startsWith("line 0\r") && captured.endsWith("73 es gl sk\r"));
    QCOMPARE(f.ReadFile("rx.buf"), captured.replace("\r", "\r\n"));
}

void ReceiveWindowTest::smallerFontAtTheEndHoldsNothing() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    Receive(f, Lines(200));
    form.ReceiveHandle();
    const int end = Bar(form)->maximum();
    QCOMPARE(form.st.RxMaxScrollPos, quint32(end));

    // A smaller font shows more lines: the end moves up (once the window
    // lays out its lines again, here on the next text), and the window is
    // at it.
    QFont small = form.ReceiveWindow->font();
    small.setPixelSize(QFontInfo(small).pixelSize() / 2);
    f.prompts.fontAnswers.enqueue(Prompts::FontChoice{small, QColor(Qt::black)});
    form.MenuRxWindowFontClick();
    Receive(f, "next\r");
    QVERIFY(Bar(form)->maximum() < end);
    QCOMPARE(Bar(form)->value(), Bar(form)->maximum());
    form.ReceiveHandle();
    QVERIFY(!form.st.HoldReceive);
    QVERIFY(!form.st.ScrollBackMode);
    QCOMPARE(form.focusWidget(), form.ZendWindow);
    Receive(f, "NEW TEXT\r");
    QVERIFY(form.ReceiveWindow->toPlainText().endsWith("line 199\nnext\nNEW TEXT\n"));
    QVERIFY(form.st.PendingReceiveText.isEmpty());

    // Scrolling back from the new end still holds.
    form.ReceiveHandle();
    Bar(form)->triggerAction(QAbstractSlider::SliderSingleStepSub);
    form.ReceiveHandle();
    QVERIFY(form.st.HoldReceive);
    QCOMPARE(form.focusWidget(), form.Temp);
}

QTEST_MAIN(ReceiveWindowTest)
#include "tst_receivewindow.moc"
