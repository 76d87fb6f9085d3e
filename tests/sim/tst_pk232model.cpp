#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>

#include "Pk232Model.h"
#include "ReadableBytes.h"

namespace {

// Drives the model on a clock of its own.
struct Rig {
    Pk232Model model;
    quint32 now = 5000;

    QByteArray Send(const QByteArray& bytes) {
        for (char c : bytes)
            model.FromHost(quint8(c), now);
        return model.ToHost(now);
    }
    QByteArray Wait(quint32 ms) {
        now += ms;
        model.Tick(now);
        return model.ToHost(now);
    }
    // Power-on to HOST mode the way the program does it.
    void StartHost() {
        model.SetUnsolicitedTraffic(false);
        Send("*\r");
        Send("restart\r");
        for (const char* line :
             {"EXP ON", "CM 5", "EAS ON", "echo off", "Mycall PA0ABC", "Mys ABCD",
              "MYPTCall PA0ABC", "hpoll off", "PTHUFF ON", "MDM ON", "ACRR 0", "PTO $19", "AWL 8",
              "par 0", "8b on", "hpoll off", "host on"}) {
            Send(QByteArray(line) + "\r");
        }
        Send("\x01OGG\x17");
    }
    QByteArray Status() { return Kept(Frames(Send("\x01OOP\x17")).value(0).mid(1)); }

    static QByteArray Frame(char control, const QByteArray& payload) {
        return "\x01" + QByteArray(1, control) + payload + "\x17";
    }
    // Control byte and payload of each complete frame in `bytes`, with the
    // DLE before a start, pass or end byte of the payload taken away.
    static QList<QByteArray> Frames(const QByteArray& bytes) {
        QList<QByteArray> frames;
        QByteArray frame;
        bool inFrame = false;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const char c = bytes.at(i);
            if (!inFrame) {
                if (c == '\x01' && i + 1 < bytes.size()) {
                    inFrame = true;
                    frame = QByteArray(1, bytes.at(++i));
                }
            } else if (c == '\x10' && i + 1 < bytes.size()) {
                frame.append(bytes.at(++i));
            } else if (c == '\x17') {
                frames.append(frame);
                inFrame = false;
            } else {
                frame.append(c);
            }
        }
        return frames;
    }
    // The characters the program keeps of a reply body.
    static QByteArray Kept(const QByteArray& body) {
        QByteArray kept;
        for (char c : body) {
            if (c == ' ' || c == '-' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                (c >= 'a' && c <= 'z'))
                kept.append(c);
        }
        return kept;
    }
    // A connected PACTOR link with PA3XYZ, this side sending.
    void Connect() {
        Send("\x01OPGPA3XYZ\x17");
        Status();
        Wait(Pk232Model::kConnectDelayMs);
    }
};

} // namespace

class TestPk232Model : public QObject {
    Q_OBJECT

private slots:
    void startUpSequenceEntersHostModeWithParametersStored();
    void commandLineAnswersEachLineWithPrompt();
    void commandLineBoundsAndIgnoresControlBytes();
    void statusReplyForEachModeCommand_data();
    void statusReplyForEachModeCommand();
    void hostCommandsAnswerShortReplies();
    void pactorCallReportsCallingThenConnected();
    void calledStationWaitsForCallingReport();
    void clockMayWrapAround();
    void amtorCallConnectsWithoutHuffman();
    void textIsEchoedWhenTransmittingElseBuffered();
    void changeOverGivesTheRemoteItsTurn();
    void disconnectEndsLinkAfterDelay();
    void hardDisconnectAndListenWhileConnected();
    void hostOffReturnsToCommandLine();
    void unsolicitedCqOnlyWhileListeningInHostMode();
    void injectedTextIsSplitIntoShortFrames();
    void garbageDoesNotStopFrameDecoding();
    void frameBytesTravelBehindDle();
    void endlessInputStaysBounded();
    void mailboxKeepsMessages();
    void readableBytesNamesControlBytes();
    void programOnPseudoTerminal();
};

void TestPk232Model::startUpSequenceEntersHostModeWithParametersStored() {
    Rig rig;
    QCOMPARE(rig.Send("*\r"), QByteArray("*\r\nPK-232 simulator ready\r\ncmd:"));
    QCOMPARE(rig.Send("restart\r"), QByteArray("restart\r\nPK-232 simulator ready\r\ncmd:"));
    QCOMPARE(rig.Send("EXP ON\r"), QByteArray("EXP ON\r\ncmd:"));
    rig.Send("CM 5\rEAS ON\r");
    QCOMPARE(rig.Send("echo off\r"), QByteArray("echo off\r\ncmd:"));
    QCOMPARE(rig.Send("Mycall PA0ABC\r"), QByteArray("\r\ncmd:"));
    rig.Send("Mys ABCD\rMYPTCall PA1XY\rhpoll off\rPTHUFF ON\rMDM ON\rACRR 0\r");
    rig.Send("PTO $19\rAWL 8\rpar 0\r8b on\rhpoll off\r");
    QVERIFY(!rig.model.IsHostMode());
    QCOMPARE(rig.Send("host on\r"), QByteArray());
    QVERIFY(rig.model.IsHostMode());
    QCOMPARE(rig.Send("\x01OGG\x17"), QByteArray("\x01OGG\x00\x17", 6));

    QCOMPARE(rig.model.MyCall(), QByteArray("PA0ABC"));
    QCOMPARE(rig.model.MySelCall(), QByteArray("ABCD"));
    QCOMPARE(rig.model.MyPtCall(), QByteArray("PA1XY"));
    QVERIFY(!rig.model.EchoOn());
    QCOMPARE(rig.model.Param("exp"), QByteArray("ON"));
    QCOMPARE(rig.model.Param("CM"), QByteArray("5"));
    QCOMPARE(rig.model.Param("PTO"), QByteArray("$19"));
    QCOMPARE(rig.model.Param("8b"), QByteArray("on"));
    QCOMPARE(rig.model.LinesReceived().size(), 19);
    QCOMPARE(rig.model.FramesReceived().size(), 1);
}

void TestPk232Model::commandLineAnswersEachLineWithPrompt() {
    Rig rig;
    QCOMPARE(rig.Send("bogus 1\r"), QByteArray("bogus 1\r\n?bad\r\ncmd:"));
    QCOMPARE(rig.Send("\r"), QByteArray("\r\ncmd:"));
    QCOMPARE(rig.Send("ECHO OFF\r"), QByteArray("ECHO OFF\r\ncmd:"));
    QCOMPARE(rig.Send("mYcAlL pa0abc\r"), QByteArray("\r\ncmd:"));
    QCOMPARE(rig.model.MyCall(), QByteArray("pa0abc")); // arguments as typed
    QCOMPARE(rig.Send("MYCALL\r"), QByteArray("\r\nMYCALL pa0abc\r\ncmd:"));
    QCOMPARE(rig.Send("MYC PA0XYZ\r"), QByteArray("\r\ncmd:"));
    QCOMPARE(rig.model.MyCall(), QByteArray("PA0XYZ"));

    QCOMPARE(rig.Send("DA 2603050907\r"), QByteArray("\r\ncmd:"));
    QCOMPARE(rig.model.ClockText(), QByteArray("2603050907"));
    QCOMPARE(rig.Send("DA 26030509\r"), QByteArray("\r\n?bad\r\ncmd:"));
    QCOMPARE(rig.model.ClockText(), QByteArray("2603050907"));

    // restart keeps the parameters
    QCOMPARE(rig.Send("restart\r"), QByteArray("\r\nPK-232 simulator ready\r\ncmd:"));
    QCOMPARE(rig.model.MyCall(), QByteArray("PA0XYZ"));
}

void TestPk232Model::commandLineBoundsAndIgnoresControlBytes() {
    Rig rig;
    // Line feed, ESC and 0x19 do nothing; backspace edits with echo.
    QCOMPARE(rig.Send("\n\x19MYCALL PA0ABX\b"), QByteArray("MYCALL PA0ABX\b \b"));
    rig.Send("C\r");
    QCOMPARE(rig.model.MyCall(), QByteArray("PA0ABC"));
    const auto params = rig.model.Params();
    QCOMPARE(rig.Send("\x1b"
                      "DD\r"),
             QByteArray("DD\r\n?bad\r\ncmd:"));
    QCOMPARE(rig.model.Params(), params);

    // Only the first kMaxLine characters of a line are kept and echoed.
    const QByteArray echo = rig.Send("MYCALL " + QByteArray(1000, 'X'));
    QCOMPARE(echo.size(), Pk232Model::kMaxLine);
    rig.Send("\r");
    QCOMPARE(rig.model.MyCall(), QByteArray(Pk232Model::kMaxLine - 7, 'X'));
    // Latin-1 bytes pass through unchanged.
    QCOMPARE(rig.Send("MYS \xe9\xff\r"), QByteArray("MYS \xe9\xff\r\ncmd:"));
    QCOMPARE(rig.model.MySelCall(), QByteArray("\xe9\xff"));
}

void TestPk232Model::statusReplyForEachModeCommand_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("status");
    QTest::newRow("PACTOR standby") << QByteArray("Pt") << QByteArray("OPPt0--0");
    QTest::newRow("PACTOR listen") << QByteArray("PN") << QByteArray("OPPN3--0");
    QTest::newRow("PACTOR unproto") << QByteArray("PD") << QByteArray("OPPD4S-0");
    QTest::newRow("AMTOR standby") << QByteArray("AM") << QByteArray("OPAM0--0");
    QTest::newRow("AMTOR listen") << QByteArray("AL") << QByteArray("OPAL3--0");
    QTest::newRow("AMTOR FEC") << QByteArray("FE") << QByteArray("OPFE4S-0");
    QTest::newRow("RTTY") << QByteArray("BA") << QByteArray("OPBA0--0");
    QTest::newRow("RTTY transmit") << QByteArray("XM") << QByteArray("OPBAS--0");
    QTest::newRow("RTTY receive") << QByteArray("RC") << QByteArray("OPBA0--0");
    QTest::newRow("PACTOR calling") << QByteArray("PGPA3XYZ") << QByteArray("OPPG1S-0");
    QTest::newRow("AMTOR calling") << QByteArray("ACXYZW") << QByteArray("OPAC1S-0");
}

void TestPk232Model::statusReplyForEachModeCommand() {
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, status);
    Rig rig;
    rig.StartHost();
    rig.Send("\x01OXM\x17"); // from somewhere else
    rig.Send(Rig::Frame('O', command));
    const QByteArray reply = rig.Send("\x01OOP\x17");
    QCOMPARE(reply, Rig::Frame('O', status));
}

void TestPk232Model::hostCommandsAnswerShortReplies() {
    Rig rig;
    rig.StartHost();
    QCOMPARE(rig.Send("\x01ODA2612281430\x17"), QByteArray("\x01ODA\x00\x17", 6));
    QCOMPARE(rig.model.ClockText(), QByteArray("2612281430"));
    QCOMPARE(rig.Send("\x01OTLY\x17"), QByteArray("\x01OTL\x00\x17", 6));
    QVERIFY(rig.model.MaildropOn());
    rig.Send("\x01OTLN\x17");
    QVERIFY(!rig.model.MaildropOn());
    QCOMPARE(rig.Send("\x01OZZ9\x17"), QByteArray("\x01OZZ?\x17"));
    // Bytes between frames are ignored.
    QCOMPARE(rig.Send("\x1b"
                      "DD\r\x19*\rhost on\r"),
             QByteArray());
    QCOMPARE(rig.model.ModeCode(), QByteArray("Pt"));
}

void TestPk232Model::pactorCallReportsCallingThenConnected() {
    Rig rig;
    rig.StartHost();
    rig.Send("\x01OPN\x17");
    QCOMPARE(rig.Send("\x01OPGPA3XYZ\x17"), QByteArray("\x01OPG\x00\x17", 6));
    QCOMPARE(rig.Status(), QByteArray("OPPG1S-0"));
    QCOMPARE(rig.Wait(Pk232Model::kConnectDelayMs - 1), QByteArray());
    QCOMPARE(rig.Status(), QByteArray("OPPG1S-0"));
    QCOMPARE(rig.Wait(1), QByteArray("\x01P CONNECTED to PA3XYZ\x17"));
    QCOMPARE(rig.model.LinkState(), Pk232Model::Link::Connected);
    QCOMPARE(rig.model.LinkCall(), QByteArray("PA3XYZ"));
    // Connected: idle, this side sending, Huffman on (PTHUFF ON).
    QCOMPARE(rig.Status(), QByteArray("OPPG3S-1"));
}

void TestPk232Model::calledStationWaitsForCallingReport() {
    Rig rig;
    rig.StartHost();
    rig.Send("\x01OPGPA3XYZ\x17");
    // No status asked: the program has not seen the calling phase yet.
    QCOMPARE(rig.Wait(10000), QByteArray());
    QCOMPARE(rig.model.LinkState(), Pk232Model::Link::Calling);
    const QByteArray reply = rig.Send("\x01OOP\x17");
    QCOMPARE(reply, QByteArray("\x01OOPPG1S-0\x17\x01P CONNECTED to PA3XYZ\x17"));
    // The first report of the link is idle, even with text going out.
    rig.Send("\x01 hi\x17");
    QCOMPARE(rig.Status(), QByteArray("OPPG3S-1"));
    rig.Send("\x01 more\x17");
    QCOMPARE(rig.Status(), QByteArray("OPPG4S-1"));
    rig.Wait(Pk232Model::kTrafficShowMs);
    QCOMPARE(rig.Status(), QByteArray("OPPG3S-1"));

    // A station that never answers: calling until ended by 0x04.
    Rig silent;
    silent.StartHost();
    silent.model.SetAnswerCalls(false);
    silent.Send("\x01OPGPA3XYZ\x17");
    silent.Status();
    QCOMPARE(silent.Wait(60000), QByteArray());
    QCOMPARE(silent.Status(), QByteArray("OPPG1S-0"));
    silent.Send("\x01 \x04\x17");
    QCOMPARE(silent.Status(), QByteArray("OPPt0--0"));
}

void TestPk232Model::clockMayWrapAround() {
    Rig rig;
    rig.now = 0xFFFFFFFFu - 1000;
    rig.StartHost();
    rig.Send("\x01OPGPA3XYZ\x17");
    rig.Status();
    QCOMPARE(rig.Wait(Pk232Model::kConnectDelayMs - 1), QByteArray());
    QCOMPARE(rig.Wait(1), QByteArray("\x01P CONNECTED to PA3XYZ\x17"));
    // A clock that steps back is held where it was: no time runs twice.
    const quint32 connectedAt = rig.now;
    rig.now = connectedAt - 5000;
    rig.Send("\x01 \x04\x17");
    QCOMPARE(rig.Wait(Pk232Model::kDisconnectDelayMs + 2000), QByteArray());
    rig.now = connectedAt;
    QCOMPARE(rig.Wait(Pk232Model::kDisconnectDelayMs - 1), QByteArray());
    QCOMPARE(rig.Wait(1), QByteArray("\x01P DISCONNECTED\x17"));
}

void TestPk232Model::amtorCallConnectsWithoutHuffman() {
    Rig rig;
    rig.StartHost();
    rig.Send("\x01OACPXYZ\x17");
    QCOMPARE(rig.Status(), QByteArray("OPAC1S-0"));
    QCOMPARE(rig.Wait(Pk232Model::kConnectDelayMs), QByteArray("\x01P CONNECTED to PXYZ\x17"));
    QCOMPARE(rig.Status(), QByteArray("OPAC3S-0"));
    // "+?" hands the turn over in AMTOR; the text before it goes out first.
    QCOMPARE(rig.Send("\x01 ok +?\x17"), Rig::Frame('0', "ok "));
    QVERIFY(!rig.model.WeAreSending());
    QCOMPARE(rig.Status(), QByteArray("OPAC4--0"));
}

void TestPk232Model::textIsEchoedWhenTransmittingElseBuffered() {
    Rig rig;
    rig.StartHost();
    // Standby: kept in the transmit buffer, nothing echoed.
    QCOMPARE(rig.Send("\x01 CQ\r\x17"), QByteArray());
    QCOMPARE(rig.model.TransmitBuffer(), QByteArray("CQ\r"));
    rig.Send("\x01OTC\x17");
    QCOMPARE(rig.model.TransmitBuffer(), QByteArray());
    rig.Send("\x01 CQ de\x07 PA0ABC\r\x17");
    // Unproto sends what waited, and from then on echoes at once.
    QCOMPARE(rig.Send("\x01OPD\x17"),
             Rig::Frame('0', "CQ de\x07 PA0ABC\r\n") + Rig::Frame('O', QByteArray("PD\x00", 3)));
    QCOMPARE(rig.Send("\x01 k\x17"), Rig::Frame('0', "k"));
    // 0x04 ends the unproto transmission.
    QCOMPARE(rig.Send("\x01 \x04\x17"), QByteArray());
    QCOMPARE(rig.Status(), QByteArray("OPPt0--0"));

    rig.Send("\x01OFE\x17");
    QCOMPARE(rig.Send("\x01 fec\x17"), Rig::Frame('0', "fec"));
    rig.Send("\x01 \x04\x17");
    QCOMPARE(rig.Status(), QByteArray("OPAM0--0"));
    rig.Send("\x01OXM\x17");
    QCOMPARE(rig.Send("\x01 ry\x17"), Rig::Frame('0', "ry"));
    rig.Send("\x01 \x04\x17");
    QCOMPARE(rig.Status(), QByteArray("OPBA0--0"));

    // On a link: echoed while this side sends.
    rig.Connect();
    QCOMPARE(rig.Send("\x01 hello\r\x17"), Rig::Frame('0', "hello\r\n"));
    // The transmit buffer is bounded.
    rig.Send("\x01 \x19\x17");
    for (int i = 0; i < 10; ++i)
        rig.Send(Rig::Frame(' ', QByteArray(1000, 'x')));
    QCOMPARE(rig.model.TransmitBuffer().size(), Pk232Model::kMaxTransmitBuffer);
}

void TestPk232Model::changeOverGivesTheRemoteItsTurn() {
    Rig rig;
    rig.StartHost();
    rig.Connect();
    QVERIFY(rig.model.WeAreSending());
    // 0x19 (PACTOR change over) while sending: the remote gets the turn.
    QCOMPARE(rig.Send("\x01 bye\x19\x17"), Rig::Frame('0', "bye"));
    QVERIFY(!rig.model.WeAreSending());
    QCOMPARE(rig.Status(), QByteArray("OPPG3--1"));
    QCOMPARE(rig.Send("\x01 queued\x17"), QByteArray());

    const QByteArray heard = rig.Wait(Pk232Model::kRemoteTalkDelayMs);
    const QList<QByteArray> frames = Rig::Frames(heard);
    QVERIFY(frames.size() >= 2);
    for (const QByteArray& frame : frames) {
        QCOMPARE(frame.at(0), '/');
        QVERIFY(frame.size() - 1 <= Pk232Model::kMaxTextFrame);
    }
    QCOMPARE(frames.first(), QByteArray("/PA0ABC de PA3XYZ\r\n"));
    QVERIFY(frames.last().endsWith("PA0ABC de PA3XYZ k\r\n"));
    // The remote hands back; the waiting text goes out.
    QCOMPARE(rig.Wait(Pk232Model::kHandBackDelayMs), Rig::Frame('0', "queued"));
    QVERIFY(rig.model.WeAreSending());

    // AG swaps in either direction, and a break-in stops the remote's reply.
    rig.Send("\x01OAG\x17");
    QVERIFY(!rig.model.WeAreSending());
    rig.Send("\x01OAG\x17");
    QVERIFY(rig.model.WeAreSending());
    QCOMPARE(rig.Wait(10000), QByteArray());
}

void TestPk232Model::disconnectEndsLinkAfterDelay() {
    Rig rig;
    rig.StartHost();
    rig.Connect();
    QCOMPARE(rig.Send("\x01 73\r\x04\x17"), Rig::Frame('0', "73\r\n"));
    QCOMPARE(rig.model.LinkState(), Pk232Model::Link::Connected);
    QCOMPARE(rig.Wait(Pk232Model::kDisconnectDelayMs - 1), QByteArray());
    QCOMPARE(rig.Wait(1), QByteArray("\x01P DISCONNECTED\x17"));
    QCOMPARE(rig.model.LinkState(), Pk232Model::Link::None);
    QCOMPARE(rig.Status(), QByteArray("OPPt0--0"));

    // The other side may end it too.
    rig.Connect();
    rig.model.InjectLinkEvent(Pk232Model::LinkEvent::RemoteDisconnect, rig.now);
    QCOMPARE(rig.model.ToHost(rig.now), QByteArray("\x01P DISCONNECTED\x17"));
}

void TestPk232Model::hardDisconnectAndListenWhileConnected() {
    Rig rig;
    rig.StartHost();
    rig.Connect();
    // Listen, unproto and other modes are refused during a link.
    for (const char* command : {"PN", "AL", "PD", "FE", "BA", "XM", "PGPA9ZZZ"}) {
        const QByteArray reply = rig.Send(Rig::Frame('O', command));
        QCOMPARE(reply, Rig::Frame('O', QByteArray(command).left(2) + "?"));
    }
    QCOMPARE(rig.Status(), QByteArray("OPPG3S-1"));
    QCOMPARE(rig.Send("\x01OPt\x17"), QByteArray("\x01P DISCONNECTED\x17\x01OPt\x00\x17", 22));
    QCOMPARE(rig.Status(), QByteArray("OPPt0--0"));

    // An AMTOR standby ends a PACTOR link too, and leaves AMTOR standby.
    rig.Connect();
    rig.Send("\x01OAM\x17");
    QCOMPARE(rig.Status(), QByteArray("OPAM0--0"));

    // A station calling us sends first.
    rig.model.InjectLinkEvent(Pk232Model::LinkEvent::IncomingCall, rig.now, "DL1AB");
    QCOMPARE(rig.model.ToHost(rig.now), QByteArray("\x01P CONNECTED to DL1AB\x17"));
    QCOMPARE(rig.Status(), QByteArray("OPAC3--0"));
}

void TestPk232Model::hostOffReturnsToCommandLine() {
    Rig rig;
    rig.StartHost();
    QCOMPARE(rig.Send("\x01OHON\x17"), QByteArray("\r\ncmd:"));
    QVERIFY(!rig.model.IsHostMode());
    // Frames mean nothing on the command line.
    QCOMPARE(rig.Send("\x01OOP\x17"), QByteArray());
    QCOMPARE(rig.Send("\r"), QByteArray("\r\n?bad\r\ncmd:"));
    QCOMPARE(rig.Send("host on\r"), QByteArray());
    QCOMPARE(rig.Status(), QByteArray("OPPt0--0"));
    QCOMPARE(rig.Send("\x01OHOY\x17"), QByteArray("\x01OHO\x00\x17", 6));
    QVERIFY(rig.model.IsHostMode());
}

void TestPk232Model::unsolicitedCqOnlyWhileListeningInHostMode() {
    const QByteArray cq = "\x01/CQ CQ CQ de PA3XYZ PA3XYZ k\r\n\x17";
    Rig rig;
    rig.StartHost();
    rig.model.SetUnsolicitedTraffic(true);
    rig.Send("\x01OPN\x17");
    QCOMPARE(rig.Wait(Pk232Model::kFirstCqDelayMs - 1), QByteArray());
    QCOMPARE(rig.Wait(1), cq);
    QCOMPARE(rig.Status(), QByteArray("OPPN4--0"));
    QCOMPARE(rig.Wait(Pk232Model::kCqIntervalMs), cq);
    // A long silence brings one call, not a backlog.
    QCOMPARE(rig.Wait(10 * Pk232Model::kCqIntervalMs), cq);
    rig.Send("\x01OPt\x17");
    QCOMPARE(rig.Wait(10 * Pk232Model::kCqIntervalMs), QByteArray());
    rig.Send("\x01OBA\x17");
    QVERIFY(rig.Wait(Pk232Model::kFirstCqDelayMs).startsWith("\x01/RYRYRY CQ"));

    // Switched off: silence.
    rig.model.SetUnsolicitedTraffic(false);
    QCOMPARE(rig.Wait(10 * Pk232Model::kCqIntervalMs), QByteArray());
    // Never on the command line.
    rig.model.SetUnsolicitedTraffic(true);
    rig.Send("\x01OHON\x17");
    QCOMPARE(rig.Wait(10 * Pk232Model::kCqIntervalMs), QByteArray());
}

void TestPk232Model::injectedTextIsSplitIntoShortFrames() {
    Rig rig;
    rig.StartHost();
    rig.model.InjectRemoteText(QByteArray(200, 'a') + "\r\nb\r\n", rig.now);
    const QList<QByteArray> frames = Rig::Frames(rig.model.ToHost(rig.now));
    QCOMPARE(frames.size(), 4);
    QCOMPARE(frames[0], "/" + QByteArray(80, 'a'));
    QCOMPARE(frames[2], "/" + QByteArray(40, 'a') + "\r\n");
    QCOMPARE(frames[3], QByteArray("/b\r\n"));
    // An end byte inside the text cannot cut a frame short: it travels
    // behind a DLE.
    rig.model.InjectRemoteText("x\x17y", rig.now);
    QCOMPARE(rig.model.ToHost(rig.now), QByteArray("\x01/x\x10\x17y\x17"));
}

void TestPk232Model::garbageDoesNotStopFrameDecoding() {
    Rig rig;
    rig.StartHost();
    std::mt19937 random(232);
    QByteArray garbage;
    for (int i = 0; i < 20000; ++i) {
        const char c = char(random() & 0xFF);
        if (c != '\x01') garbage.append(c);
    }
    rig.Send(garbage);
    QCOMPARE(rig.Send("\x01OOP\x17"), QByteArray("\x01OOPPt0--0\x17"));
    // Unknown control bytes and empty frames are read to their end and dropped.
    QCOMPARE(rig.Send("\x01\x41OOP\x17\x01O\x17\x01OOP\x17"),
             QByteArray("\x01O?\x17\x01OOPPt0--0\x17"));
    // A frame that stops half way is given up after a silence.
    rig.Send("\x01OO");
    rig.Wait(Pk232Model::kFrameGapMs + 1);
    QCOMPARE(rig.Send("\x01OOP\x17"), QByteArray("\x01OOPPt0--0\x17"));
    // Random bytes with start bytes in them, then an end byte to close
    // whatever they opened: the next frame is answered.
    for (int round = 0; round < 50; ++round) {
        QByteArray noise;
        for (int i = 0; i < 300; ++i)
            noise.append(char(random() & 0xFF));
        rig.Send(noise.replace('\x20', '\x21').replace('O', 'Q') + "x\x17");
        QCOMPARE(rig.Send("\x01OOP\x17"), QByteArray("\x01OOPPt0--0\x17"));
    }
}

void TestPk232Model::frameBytesTravelBehindDle() {
    QByteArray every;
    for (int b = 0; b < 256; ++b)
        every.append(char(b));

    // Out: every byte value of a received text comes back whole once the
    // DLEs are taken away, and the raw frame holds no bare start or end byte.
    Rig rig;
    rig.StartHost();
    rig.model.InjectRemoteText(every.left(10), rig.now); // up to the line feed
    rig.model.InjectRemoteText(every.mid(11), rig.now);
    const QByteArray raw = rig.model.ToHost(rig.now);
    QByteArray heard;
    for (const QByteArray& frame : Rig::Frames(raw)) {
        QCOMPARE(frame.at(0), '/');
        heard += frame.mid(1);
    }
    QCOMPARE(heard, every.left(10) + every.mid(11));
    const int frames = int(Rig::Frames(raw).size());
    QCOMPARE(raw.count('\x01'), frames + 1); // each frame's start, one escaped
    QCOMPARE(raw.count('\x17'), frames + 1);
    QCOMPARE(raw.count('\x10'), 4); // three passes and the escaped DLE
    QVERIFY(raw.contains("\x10\x01\x02") && raw.contains("\x10\x10\x11"));
    QCOMPARE(rig.model.ToHost(rig.now), QByteArray());

    // In: a DLE makes the next byte data, whatever it is.
    QByteArray escaped = "\x01 ";
    for (char c : every) {
        if (c == '\x01' || c == '\x10' || c == '\x17') escaped.append('\x10');
        escaped.append(c);
    }
    rig.Send(escaped + "\x17");
    QCOMPARE(rig.model.FramesReceived().last().control, quint8(' '));
    QCOMPARE(rig.model.FramesReceived().last().payload, every);
    // A DLE as the last payload byte escapes the end byte that follows.
    rig.Send(QByteArray("\x01 ab\x10", 5));
    const int taken = int(rig.model.FramesReceived().size());
    rig.Send("\x17");
    QCOMPARE(rig.model.FramesReceived().size(), taken); // still open
    rig.Send("cd\x17");
    QCOMPARE(rig.model.FramesReceived().last().payload, QByteArray("ab\x17"
                                                                   "cd"));
    // A call with an escaped end byte in it is one command.
    QCOMPARE(rig.Send("\x01OPGPA\x10\x17"
                      "3\x17"),
             QByteArray("\x01OPG\x00\x17", 6));
    QCOMPARE(rig.model.LinkCall(), QByteArray("PA\x17"
                                              "3"));
    rig.Send("\x01OPt\x17");
    // An unescaped start byte inside a frame begins a new one; the broken
    // frame is dropped.
    const int before = int(rig.model.FramesReceived().size());
    QCOMPARE(rig.Send("\x01OPN\x01OOP\x17"), QByteArray("\x01OOPPt0--0\x17"));
    QCOMPARE(rig.model.FramesReceived().size(), before + 1);
    // Outside frames a DLE is nothing special: the start byte after it counts.
    QCOMPARE(rig.Send("\x10\x01OOP\x17"), QByteArray("\x01OOPPt0--0\x17"));
    // The echo of an escaped data byte is escaped again.
    rig.Send("\x01OPD\x17");
    QCOMPARE(rig.Send("\x01 x\x10\x10y\x17") + rig.Wait(10), QByteArray("\x01"
                                                                        "0x\x10\x10y\x17"));
}

void TestPk232Model::endlessInputStaysBounded() {
    Rig rig;
    rig.StartHost();
    // An endless data frame is read on and dropped whole at its end.
    rig.Send("\x01 ");
    rig.Send(QByteArray(500'000, 'x'));
    QCOMPARE(rig.Send("\x17"), QByteArray());
    QCOMPARE(rig.model.FramesReceived().size(), 1); // only the GG frame
    QCOMPARE(rig.Send("\x01OOP\x17"), QByteArray("\x01OOPPt0--0\x17"));

    // A program that never reads loses whole replies, never parts.
    for (int i = 0; i < 20000; ++i) {
        for (char c : QByteArray("\x01OOP\x17"))
            rig.model.FromHost(quint8(c), rig.now);
    }
    const QByteArray out = rig.model.ToHost(rig.now);
    QVERIFY(out.size() <= Pk232Model::kMaxOutput);
    QCOMPARE(out.size() % 11, 0); // status frames of 11 bytes
    QVERIFY(out.endsWith("\x01OOPPt0--0\x17"));
    QCOMPARE(rig.model.FramesReceived().size(), Pk232Model::kMaxLog);

    // The same on the command line: no line ever ends.
    Rig line;
    line.Send("echo off\r");
    QCOMPARE(line.Send(QByteArray(500'000, 'y')), QByteArray());
    QCOMPARE(line.Send("\r"), QByteArray("\r\n?bad\r\ncmd:"));
}

void TestPk232Model::mailboxKeepsMessages() {
    Rig rig;
    rig.Send("echo off\r");
    QVERIFY(rig.Send("MDC\r").endsWith("MBX>"));
    QVERIFY(rig.model.InMailbox());
    QCOMPARE(rig.Send("S pa3xyz\r"), QByteArray("\r\nEnter message, end with Ctrl-Z\r\n"));
    // What a text file sent from the program looks like, framing bytes included.
    rig.Send("\x01 line one\r\x17\r\x1a\r");
    QCOMPARE(rig.model.MessageCount(), 2);
    QCOMPARE(rig.Send("R 2\r"), QByteArray("\r\nTo: PA3XYZ\r\n line one\r\nMBX>"));
    QCOMPARE(rig.Send("R 9\r"), QByteArray("\r\nNo such message\r\nMBX>"));
    QCOMPARE(rig.Send("K 1\r"), QByteArray("\r\nMessage 1 killed\r\nMBX>"));
    QCOMPARE(rig.Send("L\r"), QByteArray("\r\nNo. To       Size\r\n1   PA3XYZ   11\r\nMBX>"));
    QCOMPARE(rig.Send("B\r"), QByteArray("\r\nBye\r\ncmd:"));
    QVERIFY(!rig.model.InMailbox());
}

void TestPk232Model::readableBytesNamesControlBytes() {
    QCOMPARE(ReadableBytes(QByteArray("\x01OOP\x17\r\n\x1b\\a\x7f\xe9\x00", 13)),
             QByteArray("<SOH>OOP<ETB><CR><LF><ESC>\\\\a\\x7F\\xE9<NUL>"));
}

void TestPk232Model::programOnPseudoTerminal() {
    const QByteArray program = qgetenv("DERVALO_SIM");
    if (program.isEmpty()) QSKIP("DERVALO_SIM is not set");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString linkPath = dir.filePath("pk232");

    QProcess sim;
    sim.start(QString::fromLocal8Bit(program), {"--link", linkPath, "--quiet"});
    QVERIFY(sim.waitForStarted(10000));
    QVERIFY(sim.waitForReadyRead(10000));
    const QByteArray slave = sim.readLine().trimmed();
    QVERIFY(slave.startsWith("/dev/"));
    QCOMPARE(QFileInfo(linkPath).symLinkTarget().toLocal8Bit(), slave);

    // Plain POSIX I/O, no terminal set-up of our own: the line must be raw.
    const int fd = ::open(QFile::encodeName(linkPath).constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    const QByteArray request = "echo off\rhost on\r\x01OOP\x17";
    QCOMPARE(::write(fd, request.constData(), size_t(request.size())), ssize_t(request.size()));
    QByteArray got;
    for (int i = 0; i < 200 && !got.contains("\x01OOPPt0--0\x17"); ++i) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) > 0) {
            char buffer[256];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) got.append(buffer, n);
        }
    }
    ::close(fd);
    QCOMPARE(got, QByteArray("echo off\r\ncmd:\x01OOPPt0--0\x17"));

    sim.terminate(); // SIGTERM
    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    struct stat st {};
    QVERIFY(::lstat(QFile::encodeName(linkPath).constData(), &st) != 0);
}

QTEST_GUILESS_MAIN(TestPk232Model)
#include "tst_pk232model.moc"
