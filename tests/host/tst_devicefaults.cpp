// The serial device vanishes and comes back while the program is idle,
// receiving, typing and sending a file, against the simulated controller on
// the virtual clock. In every case the operator hears of it once, nothing
// spins or hangs, nothing shown or captured is lost, and once the device is
// back the program works again.
#include <QPlainTextEdit>
#include <QtTest>

#include "PtyMaster.h"
#include "SimulatedStation.h"
#include "host/Frames.h"
#include "link/LineBackend.h"

namespace {

constexpr int kPortErrorBoxes = 1;

int PortErrorBoxes(const ScriptedPrompts& prompts) {
    return int(prompts.Boxes().filter(QRegularExpression("^Warning\\|Port Error")).size());
}

// A link with DL1ABC, its first words received, capture on from here.
THoofdForm& Connected(SimulatedStation& s, QString& shownBeforeCapture) {
    THoofdForm& w = s.Start();
    w.ZendWindow->setFocus();
    s.RunUntil([&] { return w.Pane2->text() == "LISTEN"; });
    s.Control("call DL1ABC");
    s.RunUntil([&] { return s.Received().contains("QTH HAMBURG", Qt::CaseInsensitive); }, 60);
    shownBeforeCapture = s.Received();
    s.f.prompts.fileAnswers.enqueue(s.f.Path("capture.log"));
    w.MenuOpenLogFileClick();
    return w;
}

// What the capture file holds, as the receive window shows it, after what
// was shown before it was opened.
QString Captured(SimulatedStation& s, const QString& shownBeforeCapture) {
    return shownBeforeCapture +
           QString::fromLatin1(s.f.ReadFile("capture.log")).replace('\r', '\n');
}

} // namespace

class DeviceFaultsTest : public QObject {
    Q_OBJECT
private slots:
    void outage_data();
    void outage();
    void fileTransmissionStopsAtTheOutage();
    void fileTransmissionHeldBackFindsTheOutage();
    void realDeviceGoesAndReturnsWhileReceiving();
};

void DeviceFaultsTest::outage_data() {
    QTest::addColumn<QString>("during");
    QTest::newRow("idle") << "idle";
    QTest::newRow("receiving") << "receiving";
    QTest::newRow("typing") << "typing";
}

void DeviceFaultsTest::outage() {
    QFETCH(QString, during);
    SimulatedStation s;
    QString early;
    THoofdForm& w = Connected(s, early);
    QVERIFY(w.st.IsConnected && w.st.LogFileOpen);
    if (during == "receiving") {
        s.Control("text first part of a long story that goes on and on");
        QVERIFY(s.RunUntil([&] { return s.Received().contains("first part"); }, 20));
    }
    const QString before = s.Received();
    QCOMPARE(Captured(s, early), before);
    const qsizetype typedBefore = w.ZendWindow->toPlainText().size();

    // The device goes. Some 11 seconds of virtual time pass.
    s.f.serial.SetGone(true);
    const int attemptsBefore = s.f.serial.OpenAttempts();
    const quint64 goneAt = s.f.clock.Elapsed();
    for (int i = 0; i < 20; ++i) {
        s.Pass();
        if (during == "typing" && i % 4 == 0) QTest::keyClicks(w.ZendWindow, "abc");
    }
    // No retrying in a loop: one reopen per byte the program writes, that
    // is the status requests (five bytes every 557 ms, about 9 a second) and
    // the typed keys (a frame of three bytes each).
    const double seconds = double(s.f.clock.Elapsed() - goneAt) / 1000;
    const int typedBytes = during == "typing" ? 5 * 3 * 3 : 0;
    const double attemptsPerSecond =
        (s.f.serial.OpenAttempts() - attemptsBefore - typedBytes) / seconds;
    QVERIFY2(attemptsPerSecond <= 12, qPrintable(QString::number(attemptsPerSecond)));
    QCOMPARE(PortErrorBoxes(s.f.prompts), kPortErrorBoxes);
    QVERIFY2(s.Received().startsWith(before), qPrintable(s.Received()));
    // What was typed meanwhile stays in the transmit window.
    if (during == "typing") {
        QVERIFY(w.ZendWindow->toPlainText().contains(QString("abc").repeated(5)));
        QCOMPARE(w.ZendWindow->toPlainText().size(), typedBefore + 15);
    }

    // Back: status requests are answered, text arrives, typing goes out,
    // and the capture file still holds every byte shown.
    s.f.serial.SetGone(false);
    // The first write finds the line back. Text that arrives before the
    // tick that checks the controller is shown, not thrown away by the check.
    w.StatusAanvraagTimerTimer();
    s.f.serial.FeedInput(QByteArray("\x01"
                                    "0was on the way\r\x17"));
    for (int tick = 0; tick < 3; ++tick) {
        s.f.clock.Advance(113);
        w.SchryfintervalTimer();
    }
    QVERIFY2(s.Received().contains("was on the way\n"), qPrintable(s.Received().right(300)));
    w.st.ModeName.clear();
    QVERIFY(s.RunUntil([&] { return w.st.ModeName == "PACTOR"; }, 10));
    s.Control("text back again");
    QVERIFY2(s.RunUntil([&] { return s.Received().contains("back again"); }, 20),
             qPrintable(s.Received()));
    s.f.serial.ClearWritten();
    QTest::keyClicks(w.ZendWindow, "de");
    QVERIFY(s.f.Written().contains(Frames::DataFrame("d") + Frames::DataFrame("e")));
    QVERIFY(s.Received().startsWith(before));
    QCOMPARE(Captured(s, early), s.Received());
    QCOMPARE(PortErrorBoxes(s.f.prompts), kPortErrorBoxes);
    QCOMPARE(s.f.prompts.Boxes().size(), kPortErrorBoxes);
}

void DeviceFaultsTest::fileTransmissionStopsAtTheOutage() {
    SimulatedStation s;
    QString early;
    THoofdForm& w = Connected(s, early);
    QByteArray file;
    for (int i = 1; i <= 200; ++i)
        file += "line " + QByteArray::number(i) + " of the file\r\n";
    s.f.WriteFile("story.txt", file);

    // The device goes at the 30th pass of the transmission loop; a loop
    // that would not stop is broken off with Escape after 20000 passes.
    int passes = 0;
    s.f.prompts.escapeScript = [&] {
        ++passes;
        if (passes == 30) s.f.serial.SetGone(true);
        return passes > 20000;
    };
    const int attemptsBefore = s.f.serial.OpenAttempts();
    w.Guarded([&] { w.SendFile(s.f.Path("story.txt")); });
    QVERIFY2(passes < 100, qPrintable(QString::number(passes)));
    // One reopen for each byte of the one frame that found the device gone.
    QVERIFY(s.f.serial.OpenAttempts() - attemptsBefore <= 40);
    QVERIFY(!w.st.FileTransmitActive && w.st.TxPendingCount == 0);
    QVERIFY(w.Schryfinterval.isActive() && w.StatusAanvraagTimer.isActive());
    // One "Port Error", then where the transmission stopped.
    const QStringList boxes = s.f.prompts.Boxes();
    QCOMPARE(PortErrorBoxes(s.f.prompts), kPortErrorBoxes);
    QCOMPARE(boxes.size(), 2);
    QVERIFY2(boxes.last().startsWith("Dervalo|File transmission stopped at line "),
             qPrintable(boxes.last()));
    const int stoppedAt = boxes.last().section("line ", 1).section(' ', 0, 0).toInt();
    // Every line before it went out whole; none after it.
    const QByteArray written = s.f.Written();
    for (int i = 1; i < stoppedAt; ++i)
        QVERIFY(written.contains(
            Frames::DataFrame("line " + QByteArray::number(i) + " of the file\r")));
    QVERIFY(!written.contains("line " + QByteArray::number(stoppedAt + 1) + " of"));

    // Back: the program works again.
    s.f.serial.SetGone(false);
    w.st.ModeName.clear();
    QVERIFY(s.RunUntil([&] { return w.st.ModeName == "PACTOR"; }, 10));
    QCOMPARE(PortErrorBoxes(s.f.prompts), kPortErrorBoxes);
}

void DeviceFaultsTest::fileTransmissionHeldBackFindsTheOutage() {
    // The device goes while the transmission waits for the echo to catch
    // up (XOff): no write fails by itself, and no echo will come.
    SimulatedStation s;
    QString early;
    THoofdForm& w = Connected(s, early);
    s.f.WriteFile("story.txt", QByteArray(200, 'x').append("\r\n").repeated(100));
    int passes = 0;
    s.f.prompts.escapeScript = [&] {
        ++passes;
        if (w.st.TxPendingCount >= THoofdForm::kTxHoldCount) s.f.serial.SetGone(true);
        return passes > 100000;
    };
    w.Guarded([&] { w.SendFile(s.f.Path("story.txt")); });
    QVERIFY2(passes < 100000, "held back for good");
    QCOMPARE(PortErrorBoxes(s.f.prompts), kPortErrorBoxes);
    QVERIFY2(s.f.prompts.Boxes().last().startsWith("Dervalo|File transmission stopped at line "),
             qPrintable(s.f.prompts.Boxes().last()));
    QVERIFY(!w.st.FileTransmitActive && w.StatusAanvraagTimer.isActive());
}

void DeviceFaultsTest::realDeviceGoesAndReturnsWhileReceiving() {
    // A pseudo-terminal under a link name; its master closes (the slave
    // hangs up) and the name goes, then a new one appears under the name.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("pk232"));
    auto first = std::make_unique<PtyMaster>();
    QVERIFY(first->Ok() && QFile::link(first->SlavePath(), link));
    {
        QFile ini(dir.filePath(QStringLiteral("Dervalo.INI")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(FormFixture::Settings(QFile::encodeName(link)));
    }
    LineBackend backend;
    VirtualClock clock;
    ScriptedPrompts prompts;
    THoofdForm w(backend, clock, prompts, dir.path());
    w.CreateDialogs();
    prompts.fileAnswers.enqueue(dir.filePath(QStringLiteral("capture.log")));
    w.MenuOpenLogFileClick();
    // Reads until the text is shown, for at most about two seconds of real
    // time (the pseudo-terminal passes the bytes on in its own time).
    const auto receive = [&](const QByteArray& text) {
        for (int i = 0; i < 2000 && !w.ReceiveWindow->toPlainText().contains(text); ++i) {
            w.Guarded([&] { w.SchryfintervalTimer(); });
            clock.Advance(113);
            QThread::msleep(1);
        }
        return w.ReceiveWindow->toPlainText().contains(text);
    };
    QVERIFY(first->Send("\x01"
                        "0before the outage\r\x17"));
    QVERIFY(receive("before the outage"));

    first.reset();
    QVERIFY(QFile::remove(link));
    for (int i = 0; i < 20; ++i) {
        w.Guarded([&] { w.StatusAanvraagTimerTimer(); });
        w.Guarded([&] { w.SchryfintervalTimer(); });
    }
    QCOMPARE(PortErrorBoxes(prompts), kPortErrorBoxes);

    PtyMaster second;
    QVERIFY(second.Ok() && QFile::link(second.SlavePath(), link));
    w.Guarded([&] { w.StatusAanvraagTimerTimer(); });
    QCOMPARE(second.Receive(5), Frames::CommandFrame("OP"));
    QVERIFY(second.Send("\x01"
                        "0after it\r\x17"));
    QVERIFY(receive("after it"));
    QCOMPARE(prompts.Boxes().size(), kPortErrorBoxes);
    QFile capture(dir.filePath(QStringLiteral("capture.log")));
    QVERIFY(capture.open(QIODevice::ReadOnly));
    QCOMPARE(capture.readAll(), QByteArray("before the outage\rafter it\r"));
}

QTEST_MAIN(DeviceFaultsTest)
#include "tst_devicefaults.moc"
