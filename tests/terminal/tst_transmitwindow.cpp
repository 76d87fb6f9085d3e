// The transmit window: how it starts, a click in it, the read-back key,
// clearing it and clearing the controller's transmit buffer.
#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include "FormFixture.h"

class TransmitWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startAndClick();
    void ctrlPgUpAloneStartsReadBack();
    void clearingSendsNothing();
    void clearTransmitBufferInAndOutOfHostMode();
};

void TransmitWindowTest::startAndClick() {
    FormFixture f;
    THoofdForm& form = f.Start();
    QPlainTextEdit* z = form.ZendWindow;
    QCOMPARE(z->toPlainText(), QString("\n\n")); // three empty lines
    QVERIFY(!z->tabChangesFocus());
    QCOMPARE(z->focusPolicy(), Qt::ClickFocus); // out of the Tab order
    // A click gives it the focus by its own handler, not by the policy.
    z->setFocusPolicy(Qt::NoFocus);
    form.Temp->setFocus();
    QTest::mouseClick(z->viewport(), Qt::LeftButton);
    QCOMPARE(form.focusWidget(), z);
}

void TransmitWindowTest::ctrlPgUpAloneStartsReadBack() {
    FormFixture f;
    THoofdForm& form = f.Create();
    form.show();
    // With an empty receive window it is set and nothing scrolls.
    QTest::keyClick(form.ZendWindow, Qt::Key_PageUp, Qt::ControlModifier);
    QVERIFY(form.st.ScrollBackMode);
    form.st.ScrollBackMode = false;

    for (int i = 0; i < 200; ++i)
        form.ReceiveWindow->appendPlainText(QStringLiteral("line %1").arg(i));
    QScrollBar* bar = form.ReceiveWindow->verticalScrollBar();
    bar->setValue(bar->maximum());
    const int end = bar->value();
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

void TransmitWindowTest::clearingSendsNothing() {
    FormFixture f;
    THoofdForm& form = f.Create();
    f.serial.ClearWritten();
    // The handler, the menu item (Alt+T) and the "Clear TX" button.
    QCOMPARE(form.MenuClearTxScreen->shortcut(), QKeySequence(Qt::ALT | Qt::Key_T));
    QCOMPARE(form.SpeedTxClear->text(), QString("Clear TX"));
    for (const std::function<void()>& clear : std::initializer_list<std::function<void()>>{
             [&] { form.MenuClearTxScreenClick(); }, [&] { form.MenuClearTxScreen->trigger(); },
             [&] { form.SpeedTxClear->click(); }}) {
        form.ZendWindow->setPlainText("abc");
        clear();
        QCOMPARE(form.ZendWindow->toPlainText(), QString());
    }
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
