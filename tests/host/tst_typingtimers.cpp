// Typing and the two timers on the real clock and the real event loop: keys
// that come faster than the timers' intervals leave their beat alone.
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QtTest>

#include "FormFixture.h"

class TypingTimersTest : public QObject {
    Q_OBJECT
private slots:
    void statusRequestsAndFramesGoOnWhileTyping();
};

void TypingTimersTest::statusRequestsAndFramesGoOnWhileTyping() {
    QTemporaryDir dir;
    QFile ini(dir.filePath("Dervalo.INI"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(FormFixture::Settings());
    ini.close();
    SystemClock clock;
    MemorySerialBackend serial;
    ScriptedPrompts prompts;
    THoofdForm form(serial, clock, prompts, dir.path());
    form.CreateDialogs(); // the timers are stopped; the first key starts them

    // Ten keys a second, faster than either timer's interval, for 3.5 s; a
    // text frame arrives a second into the typing.
    QElapsedTimer typing;
    typing.start();
    bool fed = false;
    bool readWhileTyping = false;
    for (int key = 0; typing.elapsed() < 3500; ++key) {
        while (typing.elapsed() < key * 100)
            QTest::qWait(5);
        QTest::keyClick(form.ZendWindow, Qt::Key_A);
        if (!fed && typing.elapsed() >= 1000) {
            serial.FeedInput("\x01/hello\x17");
            fed = true;
        }
        if (form.ReceiveWindow->toPlainText() == QLatin1String("hello")) readWhileTyping = true;
    }
    const int requests = int(serial.WrittenBytes().count("\x01OOP\x17"));
    // The status timer asks every 557 ms: about six times in 3.5 s.
    QVERIFY2(requests >= 4, QByteArray::number(requests).constData());
    QVERIFY(readWhileTyping);
}

QTEST_MAIN(TypingTimersTest)
#include "tst_typingtimers.moc"
