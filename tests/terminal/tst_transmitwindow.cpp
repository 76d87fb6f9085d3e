// The transmit window: how it starts, a click in it, the read-back key,
// clearing it and clearing the controller's transmit buffer.
#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

#include "FormFixture.h"
#include "LinkScript.h"

using namespace LinkScript;

class TransmitWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithThreeEmptyLinesAndTakesTab();
    void clickGivesItTheFocus();
    void ctrlPgUpAloneStartsReadBack();
    void ctrlPgUpWithAnEmptyReceiveWindow();
    void clearingSendsNothing();
    void clearTransmitBufferInAndOutOfHostMode();
};

void TransmitWindowTest::startsWithThreeEmptyLinesAndTakesTab() {
    FormFixture f;
    THoofdForm& form = f.Create();
    QPlainTextEdit* z = form.ZendWindow;
    QCOMPARE(z->blockCount(), 3);
    QCOMPARE(z->toPlainText(), QString("\n\n"));
    QVERIFY(!z->tabChangesFocus());
    // Out of the Tab order, but a click still gives it the focus.
    QCOMPARE(z->focusPolicy(), Qt::ClickFocus);
    QTest::keyClick(z, Qt::Key_Tab);
    QCOMPARE(z->document()->firstBlock().text(), QString("\t"));
}

void TransmitWindowTest::clickGivesItTheFocus() {
    FormFixture f;
    THoofdForm& form = f.Start();
    // Only the click handler itself can move the focus to a window that
    // takes none.
    form.ZendWindow->setFocusPolicy(Qt::NoFocus);
    form.Temp->setFocus();
    QCOMPARE(form.focusWidget(), form.Temp);
    QTest::mouseClick(form.ZendWindow->viewport(), Qt::LeftButton);
    QCOMPARE(form.focusWidget(), form.ZendWindow);
}

void TransmitWindowTest::ctrlPgUpAloneStartsReadBack() {
    FormFixture f;
    THoofdForm& form = f.Create();
    form.show();
    for (int i = 0; i < 200; ++i)
        form.ReceiveWindow->appendPlainText(QStringLiteral("line %1").arg(i));
    QScrollBar* bar = form.ReceiveWindow->verticalScrollBar();
    bar->setValue(bar->maximum());
    const int end = bar->value();
    QVERIFY(end > 20);
    f.serial.ClearWritten();

    for (const Qt::KeyboardModifiers mods :
         {Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier),
          Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier),
          Qt::KeyboardModifiers(Qt::NoModifier)}) {
        QTest::keyClick(form.ZendWindow, Qt::Key_PageUp, mods);
        QVERIFY(!form.st.ScrollBackMode);
        QCOMPARE(bar->value(), end);
    }

    QTest::keyClick(form.ZendWindow, Qt::Key_PageUp, Qt::ControlModifier);
    QVERIFY(form.st.ScrollBackMode);
    QCOMPARE(bar->value(), end - 10);
    QCOMPARE(f.Written(), QByteArray());
}

void TransmitWindowTest::ctrlPgUpWithAnEmptyReceiveWindow() {
    FormFixture f;
    THoofdForm& form = f.Create();
    QTest::keyClick(form.ZendWindow, Qt::Key_PageUp, Qt::ControlModifier);
    QVERIFY(form.st.ScrollBackMode);
    QCOMPARE(form.ReceiveWindow->verticalScrollBar()->value(), 0);
}

void TransmitWindowTest::clearingSendsNothing() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Connect(f, false, true);
    QTest::keyClicks(form.ZendWindow, "abc");
    f.serial.ClearWritten();
    form.MenuClearTxScreenClick();
    QCOMPARE(form.ZendWindow->toPlainText(), QString());
    // The menu item (Alt+T) and the "Clear TX" button do the same.
    form.ZendWindow->setPlainText("x");
    QCOMPARE(form.MenuClearTxScreen->shortcut(), QKeySequence(Qt::ALT | Qt::Key_T));
    form.MenuClearTxScreen->trigger();
    QCOMPARE(form.ZendWindow->toPlainText(), QString());
    form.ZendWindow->setPlainText("y");
    QCOMPARE(form.SpeedTxClear->text(), QString("Clear TX"));
    form.SpeedTxClear->click();
    QCOMPARE(form.ZendWindow->toPlainText(), QString());
    QCOMPARE(f.Written(), QByteArray());
}

void TransmitWindowTest::clearTransmitBufferInAndOutOfHostMode() {
    FormFixture f;
    THoofdForm& form = f.Create();
    const QString shown = form.ZendWindow->toPlainText();
    form.st.HostModeActive = true;
    f.serial.ClearWritten();
    form.ClearTransmitBuffer->click();
    QCOMPARE(f.Written(), QByteArray("\x17\x01OTC\x17"));
    form.st.HostModeActive = false;
    f.serial.ClearWritten();
    form.ClearTransmitBuffer->click();
    QCOMPARE(f.Written(), QByteArray("TClear\r"));
    QCOMPARE(form.ZendWindow->toPlainText(), shown);
}

QTEST_MAIN(TransmitWindowTest)
#include "tst_transmitwindow.moc"
