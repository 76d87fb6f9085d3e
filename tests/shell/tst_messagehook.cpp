// The application-wide message hook runs for the events each event loop takes
// from the queue, a modal dialog's loop included, and never for events sent
// from inside a handler.
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QtTest>

#include "FormFixture.h"
#include "shell/DervaloApplication.h"

class MessageHookTest : public QObject {
    Q_OBJECT
private slots:
    void runsOncePerEventTakenFromALoop();
    void keepsTheDataPaneWhileADialogIsUp();
};

void MessageHookTest::runsOncePerEventTakenFromALoop() {
    QObject target;
    int runs = 0;
    int inside = 0;
    int nested = 0;
    DervaloApplication::SetMessageHook([&] {
        ++runs;
        nested += inside;
        ++inside;
        // The hook's own events run no hook.
        QTimerEvent own(0);
        QCoreApplication::sendEvent(&target, &own);
        --inside;
    });

    int inNestedLoop = -1;
    int sentAfterLoop = -1;
    bool done = false;
    QTimer outer;
    outer.setSingleShot(true);
    QObject::connect(&outer, &QTimer::timeout, [&] {
        // A loop run from a handler: its timer event runs the hook.
        const int before = runs;
        QEventLoop loop;
        QTimer quit;
        quit.setSingleShot(true);
        QObject::connect(&quit, &QTimer::timeout, &loop, &QEventLoop::quit);
        quit.start(0);
        loop.exec();
        inNestedLoop = runs - before;
        // Back in the handler: what it sends runs no hook.
        QTimerEvent sent(0);
        QCoreApplication::sendEvent(&target, &sent);
        sentAfterLoop = runs - before - inNestedLoop;
        done = true;
    });
    outer.start(0);
    QTRY_VERIFY(done);
    DervaloApplication::SetMessageHook({});
    QVERIFY(inNestedLoop >= 1);
    QCOMPARE(sentAfterLoop, 0);
    QCOMPARE(nested, 0);
}

void MessageHookTest::keepsTheDataPaneWhileADialogIsUp() {
    FormFixture f;
    QByteArray settings = FormFixture::Settings();
    settings.chop(int(qstrlen("OFF\r\n"))); // the logbook switch on
    f.WriteFile("Dervalo.INI", settings + "ON\r\n");
    THoofdForm& form = f.Start();
    f.serial.FeedInput("\x01/CQ de PA3XYZ pse k\r\x17");
    form.GETV24Data();
    form.StopTimers();

    // The logbook entry window is up; meanwhile bytes pile up at the port.
    QString paneDuring;
    QWidget* focusDuring = nullptr;
    f.prompts.modalActions.enqueue([&](QDialog& d) {
        f.serial.FeedInput(QByteArray(20, 'x'));
        form.Temp->setFocus();
        QTimer poll;
        QElapsedTimer spent;
        spent.start();
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (form.Pane7->text() == "Databuf: 20" || spent.elapsed() > 5000) {
                paneDuring = form.Pane7->text();
                focusDuring = form.focusWidget();
                d.done(QDialog::Rejected);
            }
        });
        poll.start(10);
        return d.exec();
    });
    QTextCursor at(form.ReceiveWindow->document());
    at.setPosition(8); // inside "PA3XYZ"
    QTest::mouseDClick(form.ReceiveWindow->viewport(), Qt::LeftButton, {},
                       form.ReceiveWindow->cursorRect(at).center());
    QCOMPARE(form.st.PickedCall, QString("PA3XYZ"));
    QCOMPARE(paneDuring, QString("Databuf: 20"));
    QCOMPARE(form.V24DataLed->palette().color(QPalette::Window), QColor(255, 0, 0));
    // No focus moves while the dialog is up.
    QCOMPARE(focusDuring, form.Temp);
}

int main(int argc, char** argv) {
    DervaloApplication app(argc, argv);
    MessageHookTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_messagehook.moc"
