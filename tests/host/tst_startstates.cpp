// The program's start-up through a pseudo-terminal against the simulator
// program standing in each state a real unit can be found in: already in
// HOST mode, at its command line, in Converse mode, and cold (waiting for
// the autobaud character, then at 7 bits with even parity until a restart).
// Each time the program reaches HOST mode, PACTOR, listening, every
// parameter line taken and none refused: the simulator refuses a line that
// comes before its answer to the one before, as a unit does. A unit with
// HPOLL on is brought to send unasked; a unit without the PACTOR option
// gives one warning and listens in AMTOR. A unit that never answers stops
// the start-up at its first line, with a warning naming it. "Init Pk"
// switched on from the menu loads the call.
#include <QAction>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

#include "LiveStation.h"
#include "PtyMaster.h"
#include "shell/Widgets.h"

class StartStatesTest : public QObject {
    Q_OBJECT
private slots:
    void reachesHostModeFromEveryState_data();
    void reachesHostModeFromEveryState();
    void silentUnitIsReportedAndNotBelieved();
    void initPkSwitchedOnFromTheMenuLoadsTheCall();
    void simulatorStallsAndSaysWhyItCannotStart();
    void unitWithoutPactorListensInAmtor();
};

void StartStatesTest::reachesHostModeFromEveryState_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QByteArray>("before"); // the simulator's own account first
    QTest::addColumn<bool>("hpoll");        // the unit sends only when polled
    QTest::newRow("host") << "host" << QByteArray("(HOST, line 8N1)") << false;
    QTest::newRow("host, HPOLL on") << "host" << QByteArray("(HOST, line 8N1)") << true;
    QTest::newRow("cmd") << "cmd" << QByteArray("(command line, line 8N1)") << false;
    QTest::newRow("converse") << "converse" << QByteArray("(Converse, line 8N1)") << false;
    QTest::newRow("cold") << "cold" << QByteArray("(cold, waiting for '*', line 7E1)") << false;
}

void StartStatesTest::reachesHostModeFromEveryState() {
    if (!LiveStation::SimulatorBuilt()) QSKIP("the simulator program is not built");
    QFETCH(QString, start);
    QFETCH(QByteArray, before);
    QFETCH(bool, hpoll);
    LiveStation s;
    QVERIFY(s.StartSimulator({"--start", start, "--band", "off", "--air-speed", "0"}));
    const QByteArray first = s.State();
    QVERIFY2(first.contains(before), first.constData());
    if (hpoll) QCOMPARE(s.Control("hpoll on"), QByteArray("HPOLL on\n"));

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
    // Every parameter line was taken, and no line was refused even once.
    const QByteArray params = s.Control("params", "end of parameters\n");
    for (const char* param :
         {"EXPERT ON", "CM 5", "EAS ON", "ECHO off", "MYCALL PA0ABC", "MYSELCAL ABCD",
          "MYPTCALL PA0ABC", "HPOLL off", "PTHUFF ON", "MDM ON", "ACRREPT 0", "PTOVER $19",
          "AWLEN 8", "PARITY 0", "8BITCONV on"}) {
        QVERIFY2(params.contains(QByteArray(param) + "\n"), params.constData());
    }
    QVERIFY2(!s.ToProgram().contains("?What?"), s.ToProgram().constData());
}

void StartStatesTest::silentUnitIsReportedAndNotBelieved() {
    // A line with nothing on it: every byte goes into the terminal, nothing
    // ever comes back.
    PtyMaster line;
    QVERIFY(line.Ok());
    LiveStation s;
    THoofdForm& w = s.StartProgram(line.SlavePath());
    QCOMPARE(s.prompts.Boxes(),
             QStringList{"Dervalo    Warning|The PK-232 did not answer the command \"AWL 8\". "
                         "Nothing after it was sent. Check the cable, the port and the baud "
                         "rate."});
    QVERIFY(!w.st.HostModeActive);
    // The start-up ended at its first unanswered line: nothing after it.
    const QByteArray sent = line.Drain();
    QVERIFY2(sent.endsWith("AWL 8\r"), sent.constData());
    QVERIFY(!sent.contains("OGG"));
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

void StartStatesTest::unitWithoutPactorListensInAmtor() {
    if (!LiveStation::SimulatorBuilt()) QSKIP("the simulator program is not built");
    LiveStation s;
    QVERIFY(s.StartSimulator({"--start", "cold", "--no-pactor", "--band", "off"}));
    THoofdForm& w = s.StartProgram();
    // Its PACTOR lines refused twice: one warning, no other, and AMTOR.
    QCOMPARE(s.prompts.Boxes(),
             QStringList{"Dervalo    Warning|This PK-232 has no PACTOR option"});
    QVERIFY(w.st.HostModeActive);
    const QByteArray state = s.StateWhen("mode AL (HOST, line 8N1)");
    QVERIFY2(state.startsWith("mode AL (HOST, line 8N1)"), state.constData());
    QVERIFY2(LiveStation::WaitFor(
                 [&] { return w.Pane1->text() == "AMTOR" && w.Pane2->text() == "LISTEN"; }, 10000),
             qPrintable(s.StatusText()));
    QCOMPARE(w.TabBalk->Page(), 1);
    // The lines it does know were all taken.
    QVERIFY(s.Control("params", "end of parameters\n").contains("MYCALL PA0ABC\n"));
    QCOMPARE(s.prompts.Boxes().size(), 1);
}

QTEST_MAIN(StartStatesTest)
#include "tst_startstates.moc"
