// The program against the simulated PK-232: in-process on the virtual clock,
// and through a real pseudo-terminal served by the simulator program.
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "FormFixture.h"
#include "Pk232Model.h"
#include "link/LineBackend.h"

class EndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void startUpAgainstTheModel();
    void startUpThroughAPseudoTerminal();
};

void EndToEndTest::startUpAgainstTheModel() {
    FormFixture f;
    Pk232Model pk;
    pk.SetUnsolicitedTraffic(false);
    f.serial.AttachPeer(&pk);
    f.WriteFile("Dervalo.INI",
                FormFixture::Settings("COM1", "9600", false, true, "PA0ABC", "ABCD"));
    THoofdForm& form = f.Start();

    QVERIFY(pk.IsHostMode());
    QCOMPARE(pk.MyCall(), QByteArray("PA0ABC"));
    QCOMPARE(pk.MySelCall(), QByteArray("ABCD"));
    QCOMPARE(pk.ClockText(), QByteArray("2603050907"));
    QCOMPARE(pk.ModeCode(), QByteArray("PN"));

    // A few ticks of the two timers, as the event loop would run them.
    auto run = [&](int ticks) {
        for (int i = 0; i < ticks; ++i) {
            form.StatusAanvraagTimerTimer();
            for (int j = 0; j < 5; ++j) {
                f.clock.Advance(113);
                form.SchryfintervalTimer();
            }
        }
    };
    run(3);
    QCOMPARE(form.Pane1->text(), QString("PACTOR"));
    QCOMPARE(form.Pane2->text(), QString("LISTEN"));
    QCOMPARE(form.Pane5->text(), QString("RECEIVE"));

    // Text heard on the air shows in the receive window.
    pk.InjectRemoteText("CQ CQ de PA3XYZ\r", f.clock.TickCount());
    run(2);
    QVERIFY2(form.ReceiveWindow->toPlainText().contains("CQ CQ de PA3XYZ"),
             qPrintable(form.ReceiveWindow->toPlainText()));
}

void EndToEndTest::startUpThroughAPseudoTerminal() {
    const QString sim = qEnvironmentVariable("DERVALO_SIM");
    if (sim.isEmpty() || !QFile::exists(sim)) QSKIP("the simulator program is not built");

    QTemporaryDir dir;
    const QString link = dir.filePath("pk232");
    QProcess simulator;
    simulator.start(sim, {"--link", link, "--quiet"});
    QVERIFY(simulator.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(link).isSymLink(), 5000);

    {
        QFile ini(dir.filePath("Dervalo.INI"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(FormFixture::Settings(link.toLatin1(), "9600", false, true));
    }

    LineBackend serial;
    SystemClock clock;
    ScriptedPrompts prompts;
    {
        THoofdForm form(serial, clock, prompts, dir.path());
        form.CreateDialogs();
        form.show(); // the start-up runs here, with its real pauses
        QVERIFY2(prompts.Boxes().isEmpty(), qPrintable(prompts.Boxes().join('\n')));
        QVERIFY(form.st.HostModeActive);

        // The timers now run from the event loop.
        QTRY_COMPARE_WITH_TIMEOUT(form.Pane1->text(), QString("PACTOR"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(form.Pane2->text(), QString("LISTEN"), 10000);
        // The port pane shows the device path by its name.
        QCOMPARE(form.Pane8->text(), QString("pk232: 9600"));

        // Text heard with the frame bytes in it travels escaped and shows
        // whole: the bytes 0x17, 0x01 and 0x10 are not shown, the rest is.
        simulator.write("text AB\\x17CD\\x01EF\\x10GH\\r\n");
        QTRY_VERIFY2_WITH_TIMEOUT(form.ReceiveWindow->toPlainText().contains("ABCDEFGH"),
                                  qPrintable(form.ReceiveWindow->toPlainText()), 10000);

        form.close(); // back out of HOST mode
        QVERIFY(!form.st.HostModeActive);
    }
    simulator.terminate();
    QVERIFY(simulator.waitForFinished(5000));
}

QTEST_MAIN(EndToEndTest)
#include "tst_endtoend.moc"
