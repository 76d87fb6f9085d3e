// The real program against the simulator program over loopback TCP, as
// against a controller behind a serial bridge (ser2net in raw mode): the
// start-up and a contact; the simulator killed in the middle of a contact
// and started again on the same port, after which the program is back in
// HOST mode by itself with one "Port Error" said; and a bridge that takes
// the connection and never answers.
#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QtTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "LiveStation.h"
#include "link/ComBaudConfig.h"
#include "operations/CallEdit.h"

namespace {

const QString kFirstLineUnanswered =
    "Dervalo    Warning|The PK-232 did not answer the command \"AWL 8\". Nothing after it was "
    "sent. Check the cable, the port and the baud rate.";

// Calls PA3XYZ with F5 and waits for the link and the other side's greeting.
bool CallAndConnect(LiveStation& s) {
    THoofdForm& w = *s.form;
    s.Call("PA3XYZ");
    return LiveStation::WaitFor(
        [&] {
            return w.Pane2->text() == "CONNECT" && w.Pane3->text() == "PA3XYZ" &&
                   s.Received().contains("PA0ABC de PA3XYZ k\n");
        },
        20000);
}

bool InHostListening(LiveStation& s) {
    return LiveStation::WaitFor(
        [&] { return s.form->Pane1->text() == "PACTOR" && s.form->Pane2->text() == "LISTEN"; },
        20000);
}

} // namespace

class TcpLineTest : public QObject {
    Q_OBJECT
private slots:
    void startUpAndContactOverTcp();
    void restartedSimulatorIsBroughtBackIntoHostMode();
    void bridgeSwitchedOnAfterTheProgram_data();
    void bridgeSwitchedOnAfterTheProgram();
    void portFixedInTheDialogAfterAFailedStart();
    void bridgeThatNeverAnswers();
};

void TcpLineTest::startUpAndContactOverTcp() {
    if (!LiveStation::SimulatorBuilt()) QSKIP("the simulator program is not built");
    LiveStation s;
    s.tcpPort = LiveStation::FreeTcpPort();
    QVERIFY(s.StartSimulator({"--band", "off", "--air-speed", "100"}));
    THoofdForm& w = s.StartProgram();
    QVERIFY2(s.prompts.Boxes().isEmpty(), qPrintable(s.prompts.Boxes().join('\n')));
    QVERIFY(w.st.HostModeActive);
    QVERIFY(s.StateWhen("mode PN (HOST, line 8N1)").startsWith("mode PN (HOST, line 8N1)"));
    QVERIFY2(InHostListening(s), qPrintable(s.StatusText()));
    // The parameter block and HOST mode went over the connection.
    const QByteArray sent = s.FromProgram();
    QVERIFY(sent.contains("Mycall PA0ABC\rMys ABCD\rMYPTCall PA0ABC\r"));
    QVERIFY(sent.contains("host on\r"));
    QVERIFY(sent.contains("\x01OGG\x17"));
    QVERIFY(sent.contains("\x01OPN\x17"));

    QVERIFY2(CallAndConnect(s), qPrintable(s.Received() + " / " + s.StatusText()));
    QVERIFY(s.FromProgram().contains("\x01OPGPA3XYZ\x17"));
    QApplication::setActiveWindow(&w);
    w.ZendWindow->setFocus();
    QVERIFY(LiveStation::WaitFor([&] { return w.Pane5->text() == "TRANSMIT"; }, 20000));
    QTest::keyClicks(w.ZendWindow, "Hello over the net.");
    QVERIFY(LiveStation::WaitFor(
        [&] { return s.FromProgram().contains("\x01 H\x17\x01 e\x17\x01 l\x17"); }, 10000));
    QVERIFY2(LiveStation::WaitFor(
                 [&] { return s.Received().endsWith("PA3XYZ k\nHello over the net."); }, 10000),
             qPrintable(s.Received()));
    QVERIFY2(s.prompts.Boxes().isEmpty(), qPrintable(s.prompts.Boxes().join('\n')));
}

void TcpLineTest::restartedSimulatorIsBroughtBackIntoHostMode() {
    if (!LiveStation::SimulatorBuilt()) QSKIP("the simulator program is not built");
    LiveStation s;
    s.tcpPort = LiveStation::FreeTcpPort();
    const QStringList options{"--band", "off", "--air-speed", "100"};
    QVERIFY(s.StartSimulator(options));
    THoofdForm& w = s.StartProgram();
    QVERIFY2(InHostListening(s), qPrintable(s.StatusText()));
    QVERIFY2(CallAndConnect(s), qPrintable(s.Received() + " / " + s.StatusText()));
    const QString before = s.Received();

    // The simulator dies in the middle of the contact: the next status
    // request finds the connection gone and cannot make a new one.
    s.simulator.kill();
    QVERIFY(s.simulator.waitForFinished(5000));
    const QString gone = "Warning|Port Error\n" + s.PortName() + ": Connection refused";
    QVERIFY2(LiveStation::WaitFor([&] { return !s.prompts.Boxes().isEmpty(); }, 10000),
             "no Port Error");
    QCOMPARE(s.prompts.Boxes(), QStringList{gone});
    // More writes meanwhile fail at once, unsaid.
    for (int i = 0; i < 3; ++i)
        w.sendstatusreq();
    QCOMPARE(s.prompts.Boxes(), QStringList{gone});

    // A new simulator on the same port, at its command line: the program
    // finds it does not answer in HOST mode and brings it there as at
    // start-up, parameters and all, then PACTOR, listening.
    const qsizetype sentBefore = s.FromProgram().size();
    QVERIFY(s.StartSimulator(options));
    QVERIFY2(InHostListening(s), qPrintable(s.StatusText()));
    const QByteArray state = s.StateWhen("mode PN (HOST, line 8N1)");
    QVERIFY2(state.startsWith("mode PN (HOST, line 8N1)"), state.constData());
    const QByteArray sent = s.FromProgram().mid(sentBefore);
    QVERIFY(sent.contains("\x01OGG\x17"));
    QVERIFY(sent.contains("Mycall PA0ABC\r"));
    QVERIFY(sent.indexOf("host on\r") < sent.lastIndexOf("\x01OGG\x17"));
    QVERIFY(sent.contains("\x01OOP\x17"));
    QVERIFY(w.st.HostModeActive);
    // The link went with the restart: no call, no link phase left shown.
    QVERIFY(!w.st.IsConnected);
    QCOMPARE(w.Pane3->text(), QString());
    // Nothing shown was lost, and nothing more was said.
    QVERIFY(s.Received().startsWith(before));
    QCOMPARE(s.prompts.Boxes(), QStringList{gone});

    // A new call works.
    QVERIFY(s.Control("call DL1ABC").contains("DL1ABC calls and connects"));
    QVERIFY2(LiveStation::WaitFor([&] { return w.Pane3->text() == "DL1ABC"; }, 10000),
             qPrintable(s.StatusText()));
    QVERIFY2(
        LiveStation::WaitFor([&] { return s.Received().contains("PA0ABC de DL1ABC\n"); }, 10000),
        qPrintable(s.Received()));
    QCOMPARE(s.prompts.Boxes(), QStringList{gone});
}

void TcpLineTest::bridgeSwitchedOnAfterTheProgram_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("whileTheBoxIsUp");
    QTest::newRow("at its command line") << "cmd" << false;
    // Left in HOST mode by an earlier session: it answers the check, but
    // has not had this run's parameters.
    QTest::newRow("in HOST mode") << "host" << false;
    // The operator switches the bridge on while the "Port Error" of the
    // start-up is still up: the reset went nowhere, nothing more goes blind.
    QTest::newRow("in HOST mode, while the box is up") << "host" << true;
}

void TcpLineTest::bridgeSwitchedOnAfterTheProgram() {
    if (!LiveStation::SimulatorBuilt()) QSKIP("the simulator program is not built");
    QFETCH(QString, start);
    QFETCH(bool, whileTheBoxIsUp);
    LiveStation s;
    s.tcpPort = LiveStation::FreeTcpPort();
    const QStringList options{"--start", start, "--band", "off", "--air-speed", "100"};
    bool started = false;
    if (whileTheBoxIsUp)
        s.prompts.whileBox = [&] {
            started = s.StartSimulator(options);
            QTest::qWait(2000); // reconnected meanwhile
        };
    THoofdForm& w = s.StartProgram(); // the start-up ends with the line down
    // One box for the line that is not there, none about HOST mode.
    const QStringList down{"Warning|Port Error\n" + s.PortName() + ": Connection refused"};
    QCOMPARE(s.prompts.Boxes(), down);
    QVERIFY(!w.st.HostModeActive && !w.st.PkParametersLoaded);
    if (!whileTheBoxIsUp) {
        QCOMPARE(w.Pane8->text(), QString("offline"));
        // The bridge comes up: the program enters HOST mode by itself, with
        // the parameters.
        started = s.StartSimulator(options);
    }
    QVERIFY(started);
    QVERIFY2(InHostListening(s), qPrintable(s.StatusText()));
    QVERIFY(w.st.HostModeActive && w.st.PkParametersLoaded);
    QVERIFY(s.FromProgram().contains("Mycall PA0ABC\r"));
    QCOMPARE(w.Pane8->text(), s.PortName() + ": 9600");
    QVERIFY(s.Control("call DL1ABC").contains("DL1ABC calls and connects"));
    QVERIFY2(
        LiveStation::WaitFor([&] { return s.Received().contains("PA0ABC de DL1ABC\n"); }, 10000),
        qPrintable(s.Received()));
    // The clear of Escape during a file transmission goes framed.
    const qsizetype sent = s.FromProgram().size();
    w.ClearTransmitBufferClick();
    QVERIFY(LiveStation::WaitFor(
        [&] { return s.FromProgram().mid(sent).contains("\x17\x01OTC\x17"); }, 5000));
    QVERIFY(!s.FromProgram().mid(sent).contains("TClear"));
    QCOMPARE(s.prompts.Boxes(), down);
}

void TcpLineTest::portFixedInTheDialogAfterAFailedStart() {
    if (!LiveStation::SimulatorBuilt()) QSKIP("the simulator program is not built");
    LiveStation s;
    s.tcpPort = LiveStation::FreeTcpPort();
    quint16 wrong = LiveStation::FreeTcpPort();
    while (wrong == s.tcpPort)
        wrong = LiveStation::FreeTcpPort();
    THoofdForm& w = s.StartProgram(QStringLiteral("tcp:127.0.0.1:%1").arg(wrong));
    QCOMPARE(s.prompts.Boxes().size(), 1); // the port that is not there
    QVERIFY(!w.st.HostModeActive);
    QVERIFY(s.StartSimulator({"--band", "off", "--air-speed", "100"}));
    // The right port in the dialog: the whole start-up on it.
    s.prompts.modalActions.enqueue([&](QDialog& d) {
        auto& dlg = static_cast<TComBaudConfig&>(d);
        dlg.SetNetworkPick(QStringLiteral("127.0.0.1:%1").arg(s.tcpPort));
        dlg.PoortOkKnopClick();
        return dlg.result();
    });
    w.MenuComPortClick();
    QVERIFY2(InHostListening(s), qPrintable(s.StatusText()));
    QVERIFY(w.st.HostModeActive && w.st.PkParametersLoaded);
    const QByteArray sent = s.FromProgram();
    QVERIFY(sent.contains("Mycall PA0ABC\r"));
    QVERIFY(sent.indexOf("host on\r") < sent.lastIndexOf("\x01OGG\x17"));
    QCOMPARE(w.Pane8->text(), s.PortName() + ": 9600");
    QCOMPARE(s.prompts.Boxes().size(), 1);
}

void TcpLineTest::bridgeThatNeverAnswers() {
    // A bridge that takes the connection and then neither reads nor writes.
    const int bridge = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    QVERIFY(::bind(bridge, reinterpret_cast<sockaddr*>(&a), len) == 0 && ::listen(bridge, 1) == 0 &&
            ::getsockname(bridge, reinterpret_cast<sockaddr*>(&a), &len) == 0);
    LiveStation s;
    s.tcpPort = ntohs(a.sin_port);
    THoofdForm& w = s.StartProgram(); // returns: the start-up is bounded
    QCOMPARE(s.prompts.Boxes(), QStringList{kFirstLineUnanswered});
    QVERIFY(!w.st.HostModeActive);
    // The window goes on handling its events.
    bool fired = false;
    QTimer::singleShot(10, &w, [&] { fired = true; });
    QVERIFY(LiveStation::WaitFor([&] { return fired; }, 5000));
    // The start-up stopped at its first line: no check went out.
    const int peer = ::accept(bridge, nullptr, nullptr);
    QVERIFY(peer >= 0);
    QByteArray got(65536, '\0');
    const ssize_t n = ::recv(peer, got.data(), size_t(got.size()), MSG_DONTWAIT);
    QVERIFY(n > 0);
    got.truncate(n);
    QVERIFY(got.endsWith("\rAWL 8\r"));
    QVERIFY(!got.contains("\x01OGG\x17"));
    QCOMPARE(s.prompts.Boxes(), QStringList{kFirstLineUnanswered});
    ::close(peer);
    ::close(bridge);
}

QTEST_MAIN(TcpLineTest)
#include "tst_tcpline.moc"
