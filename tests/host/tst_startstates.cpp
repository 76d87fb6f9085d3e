// The program's start-up through a pseudo-terminal against the simulator
// program standing in each state a real unit can be found in: already in
// HOST mode, at its command line, in Converse mode, and cold (waiting for
// the autobaud character, then at 7 bits with even parity until a restart).
// Each time the program reaches HOST mode, PACTOR, listening. A unit that
// never answers leaves the program warning and out of HOST mode.
#include <QAction>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

#include "LiveStation.h"
#include "PtyMaster.h"

class StartStatesTest : public QObject {
    Q_OBJECT
private slots:
    void reachesHostModeFromEveryState_data();
    void reachesHostModeFromEveryState();
    void silentUnitIsReportedAndNotBelieved();
    void initPkSwitchedOnFromTheMenuLoadsTheCall();
    void simulatorStallsAndSaysWhyItCannotStart();
};

void StartStatesTest::reachesHostModeFromEveryState_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QByteArray>("before"); // the simulator's own account first
    QTest::newRow("host") << "host" << QByteArray("(HOST, line 8N1)");
    QTest::newRow("cmd") << "cmd" << QByteArray("(command line, line 8N1)");
    QTest::newRow("converse") << "converse" << QByteArray("(Converse, line 8N1)");
    QTest::newRow("cold") << "cold" << QByteArray("(cold, waiting for '*', line 7E1)");
}

void StartStatesTest::reachesHostModeFromEveryState() {
    if (!LiveStation::SimulatorBuilt()) QSKIP("the simulator program is not built");
    QFETCH(QString, start);
    QFETCH(QByteArray, before);
    LiveStation s;
    QVERIFY(s.StartSimulator({"--start", start, "--band", "off", "--air-speed", "0"}));
    const QByteArray first = s.State();
    QVERIFY2(first.contains(before), first.constData());

    THoofdForm& w = s.StartProgram(); // the start-up, with its real pauses
    QVERIFY2(s.prompts.Boxes().isEmpty(), qPrintable(s.prompts.Boxes().join('\n')));
    QVERIFY(w.st.HostModeActive);
    const QByteArray state = s.StateWhen("mode PN (HOST, line 8N1)");
    QVERIFY2(state.startsWith("mode PN (HOST, line 8N1)"), state.constData());
    // The status replies reach the status line.
    QVERIFY2(LiveStation::WaitFor(
                 [&] { return w.Pane1->text() == "PACTOR" && w.Pane2->text() == "LISTEN"; }, 10000),
             qPrintable(s.StatusText()));
    // The parameters went to the unit as commands, not as text (nor were
    // they ignored by a unit already in HOST mode): the other station greets
    // the call loaded at start.
    QVERIFY(s.Control("call DL1ABC").contains("DL1ABC calls and connects"));
    QVERIFY2(LiveStation::WaitFor([&] { return w.Pane3->text() == "DL1ABC"; }, 10000),
             qPrintable(s.StatusText()));
    QVERIFY2(LiveStation::WaitFor([&] { return s.Received().contains(" de DL1ABC\n"); }, 10000),
             qPrintable(s.Received()));
    QVERIFY2(s.Received().contains("PA0ABC de DL1ABC\n"), qPrintable(s.Received()));
    QVERIFY2(s.prompts.Boxes().isEmpty(), qPrintable(s.prompts.Boxes().join('\n')));
}

void StartStatesTest::silentUnitIsReportedAndNotBelieved() {
    // A line with nothing on it: every byte goes into the terminal, nothing
    // ever comes back.
    PtyMaster line;
    QVERIFY(line.Ok());
    LiveStation s;
    THoofdForm& w = s.StartProgram(line.SlavePath());
    QCOMPARE(s.prompts.Boxes(),
             QStringList{"Dervalo    Warning|The PK-232 does not answer in HOST mode. Check the "
                         "cable, the port and the baud rate."});
    QVERIFY(!w.st.HostModeActive);
    // The check was tried twice, the second time behind a second start byte.
    const QByteArray sent = line.Drain();
    QVERIFY(sent.contains("\x01OGG\x17"));
    QVERIFY(sent.contains("\x01\x01OGG\x17"));
    QVERIFY(w.Pane2->text() != "LISTEN");
}

void StartStatesTest::initPkSwitchedOnFromTheMenuLoadsTheCall() {
    if (!LiveStation::SimulatorBuilt()) QSKIP("the simulator program is not built");
    LiveStation s;
    QVERIFY(s.StartSimulator({"--start", "host", "--band", "off", "--air-speed", "0"}));
    THoofdForm& w = s.StartProgram(s.PortName(), false);
    // "Init Pk" off: the unit is taken to be in HOST mode, and the clock
    // goes to it framed, never as a plain line it would ignore.
    QVERIFY(w.st.HostModeActive);
    QVERIFY2(LiveStation::WaitFor([&] { return s.FromProgram().contains("\x01ODA"); }, 5000),
             s.FromProgram().constData());
    QVERIFY(!s.FromProgram().contains("DA "));
    // Switched on from the menu: the whole start-up, parameters included.
    w.PkInit->trigger();
    QVERIFY(w.st.PkInitOn && w.st.HostModeActive && w.st.PkParametersLoaded);
    QVERIFY(s.FromProgram().contains("Mycall PA0ABC\r"));
    QVERIFY2(LiveStation::WaitFor(
                 [&] { return w.Pane1->text() == "PACTOR" && w.Pane2->text() == "LISTEN"; }, 10000),
             qPrintable(s.StatusText()));
    // The other station greets the call, not NOCALL.
    QVERIFY(s.Control("call DL1ABC").contains("DL1ABC calls and connects"));
    QVERIFY2(LiveStation::WaitFor([&] { return s.Received().contains(" de DL1ABC\n"); }, 10000),
             qPrintable(s.Received()));
    QVERIFY2(s.Received().contains("PA0ABC de DL1ABC\n"), qPrintable(s.Received()));
    QVERIFY2(s.prompts.Boxes().isEmpty(), qPrintable(s.prompts.Boxes().join('\n')));
}

void StartStatesTest::simulatorStallsAndSaysWhyItCannotStart() {
    if (!LiveStation::SimulatorBuilt()) QSKIP("the simulator program is not built");
    // --log and --link into a folder that is not there: the path and why.
    for (const QString option : {"--log", "--link"}) {
        QProcess sim;
        sim.start(LiveStation::SimulatorProgram(), {option, "/no/such/folder/pk232"});
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitCode(), 1);
        const QByteArray said = sim.readAllStandardError();
        QVERIFY2(said.contains("/no/such/folder/pk232: No such file or directory"), said.constData());
    }
    // "stall on": the unit takes nothing off the line, so the line's buffer
    // fills and writes stop; "stall off" and it takes bytes again.
    LiveStation s;
    QVERIFY(s.StartSimulator({"--band", "off"}));
    const int fd = ::open(qPrintable(s.Device()), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    QVERIFY(s.Control("stall on").contains("stalled"));
    const QByteArray block(1024, ' ');
    qint64 taken = 0;
    while (taken < 16 * 1024 * 1024) {
        const ssize_t n = ::write(fd, block.constData(), size_t(block.size()));
        if (n <= 0) break;
        taken += n;
    }
    QVERIFY2(taken < 16 * 1024 * 1024, "the stalled line took everything");
    QVERIFY(s.State().contains("line stalled"));
    QVERIFY(s.Control("stall off").contains("goes on"));
    QVERIFY(LiveStation::WaitFor(
        [&] { return ::write(fd, block.constData(), size_t(block.size())) > 0; }, 5000));
    ::close(fd);
}

QTEST_MAIN(StartStatesTest)
#include "tst_startstates.moc"
