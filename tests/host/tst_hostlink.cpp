// What goes on the line: the controller start-up, entering and leaving HOST
// mode, readying the controller, the clock, control characters and the
// status request.
#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QtTest>

#include "FormFixture.h"
#include "HostCheckPeer.h"
#include "shell/Widgets.h"

namespace {
QByteArray Lines(std::initializer_list<const char*> lines) {
    QByteArray out;
    for (const char* l : lines)
        out += QByteArray(l) + '\r';
    return out;
}

const QByteArray kStartOver("\x11\x18\x03", 3); // XON, CANLINE, COMMAND
// HOST OFF behind a second start byte: a unit in HOST mode leaves it.
const QByteArray kLeaveHost("\x01\x01OHON\x17");
const QByteArray kCheck("\x01OGG\x17");
const QByteArray kSecondCheck = "\x01" + kCheck;
const QString kNoHostMode("Dervalo    Warning|The PK-232 does not answer in HOST mode. Check the "
                          "cable, the port and the baud rate.");

// The tick at which `needle` starts in what was written (after `from`).
quint32 TickOf(const MemorySerialBackend& serial, const QByteArray& needle, int from = 0) {
    const int at = serial.WrittenBytes().indexOf(needle, from);
    return at < 0 ? 0 : serial.WrittenLog().at(at).tick;
}
} // namespace

class HostLinkTest : public QObject {
    Q_OBJECT
private slots:
    void startUpWithInitPk();
    void secondHostOnAndMaildrop();
    void hostModeCheckAndRecovery();
    void emptySelCall();
    void hostOffThenPlainClock();
    void zetPkKlaarFromDumbMode();
    void initPkSwitchRunsStartUpOnce();
    void controlCharacters();
    void sendAndDataFrames();
    void statusRequest();
};

void HostLinkTest::startUpWithInitPk() {
    FormFixture f;
    HostCheckPeer peer;
    f.serial.AttachPeer(&peer);
    f.WriteFile("Dervalo.INI",
                FormFixture::Settings("COM1", "9600", false, true, "PA0ABC", "ABCD"));
    THoofdForm& form = f.Start();

    // The autobaud "*" first, then HOST OFF, XON, CANLINE, COMMAND; eight
    // bits and no parity before the restart that brings them in. No clock
    // before HOST mode.
    const QByteArray expected =
        "*" + kLeaveHost + kStartOver + "\r" + Lines({"AWL 8", "par 0", "8b on", "restart"}) +
        kStartOver +
        Lines({"EXP ON", "CM 5", "EAS ON", "echo off", "Mycall PA0ABC", "Mys ABCD",
               "MYPTCall PA0ABC", "hpoll off", "PTHUFF ON", "MDM ON", "ACRR 0", "PTO $19", "AWL 8",
               "par 0", "8b on", "hpoll off", "host on"}) +
        kCheck + "\x01ODA2603050907\x17" +
        // readying for PACTOR: standby, ESC "DD" CR; then PACTOR and listen
        "\x01OPt\x17" +
        "\x1b"
        "DD\r" +
        "\x01OPt\x17" + "\x01OPN\x17";
    QCOMPARE(f.Written(), expected);
    QVERIFY(f.prompts.Boxes().isEmpty());
    // RTS and DTR were up before the first byte and stayed up.
    QCOMPARE(peer.bytesWithLinesDown, 0);
    QVERIFY(peer.linesUp && f.serial.Rts() && f.serial.Dtr());

    // The pauses: half a second after the reset; each line after the
    // answer to the one before and its quiet time; a second before
    // "\x01OGG\x17", half a second before the framed clock.
    const auto& s = f.serial;
    const quint32 quiet = CommandAnswer::kQuietMs;
    QVERIFY(TickOf(s, "AWL 8") - TickOf(s, "*") >= 500);
    QVERIFY(TickOf(s, "par 0") - TickOf(s, "AWL 8") >= quiet);
    QVERIFY(TickOf(s, "EXP ON") - TickOf(s, "restart") >= quiet);
    QVERIFY(TickOf(s, "PTO $19") - TickOf(s, "ACRR 0") >= quiet);
    QVERIFY(TickOf(s, "\x01OGG") - TickOf(s, "host on") > 1000 + quiet);
    QVERIFY(TickOf(s, "\x01ODA") - TickOf(s, "\x01OGG") > 500);

    QVERIFY(form.st.PkStarted);
    QVERIFY(form.st.HostModeActive);
    QVERIFY(form.st.PkParametersLoaded);
    QCOMPARE(form.Transmitbalk->text(), QString("Transmit"));
    QVERIFY(form.XOnLed->isVisibleTo(&form));
    QVERIFY(form.MenuUnpro->isEnabled());
    QVERIFY(!form.MenuAmtorFec->isEnabled());
    QVERIFY(!form.MenuBaudotTransmit->isEnabled());
    QCOMPARE(form.MenuYourcall->text(), QString("Your Call"));
    QVERIFY(form.StatusAanvraagTimer.isActive());

    // A later layout pass does not start the controller again.
    f.serial.ClearWritten();
    form.resize(900, 500);
    QCOMPARE(f.Written(), QByteArray("\x01ODA2603050907\x17"));
    f.serial.AttachPeer(nullptr);
}

void HostLinkTest::secondHostOnAndMaildrop() {
    FormFixture f;
    HostCheckPeer peer;
    f.serial.AttachPeer(&peer);
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Create();
    f.serial.ClearWritten();
    form.st.PkParametersLoaded = true;
    form.HostOn(1);
    QCOMPARE(f.Written(), kStartOver + Lines({"hpoll off", "host on"}) + kCheck);
    QVERIFY(form.st.HostModeActive);
    QCOMPARE(form.Transmitbalk->text(), QString("Transmit"));

    // With the maildrop on even the first entry skips the parameters.
    FormFixture g;
    g.serial.AttachPeer(&peer);
    g.WriteFile("Dervalo.INI", FormFixture::Settings("COM4", "9600", true));
    THoofdForm& other = g.Create();
    g.serial.ClearWritten();
    other.HostOn(0);
    QCOMPARE(g.Written(), kStartOver + Lines({"hpoll off", "host on"}) + kCheck);
    // Not loaded, so not noted as loaded: the entry after the maildrop loads them.
    QVERIFY(!other.st.PkParametersLoaded);
    QVERIFY(f.prompts.Boxes().isEmpty() && g.prompts.Boxes().isEmpty());
    f.serial.AttachPeer(nullptr);
    g.serial.AttachPeer(nullptr);
}

void HostLinkTest::hostModeCheckAndRecovery() {
    const QByteArray entry = kStartOver + Lines({"hpoll off", "host on"});
    // Only the second check, behind two start bytes, is answered.
    {
        FormFixture f;
        HostCheckPeer peer;
        peer.answerFrom = 2;
        f.serial.AttachPeer(&peer);
        f.WriteFile("Dervalo.INI", FormFixture::Settings());
        THoofdForm& form = f.Create();
        f.serial.ClearWritten();
        form.st.PkParametersLoaded = true;
        form.HostOn(1);
        QCOMPARE(f.Written(), entry + kCheck + kSecondCheck);
        QVERIFY(form.st.HostModeActive);
        QVERIFY(f.prompts.Boxes().isEmpty());
        f.serial.AttachPeer(nullptr);
    }
    // No answer that is one: a silent line, a unit in Converse echoing the
    // check back, a unit at seven bits with even parity (0x01 comes as 0x81).
    for (int kind = 0; kind < 3; ++kind) {
        FormFixture f;
        HostCheckPeer peer;
        peer.answerFrom = kind == 2 ? 1 : 0;
        peer.echo = kind == 1;
        peer.reply = QByteArray("\x81\xCFGG\x00\x17", 6);
        f.serial.AttachPeer(&peer);
        f.WriteFile("Dervalo.INI", FormFixture::Settings());
        THoofdForm& form = f.Create();
        f.serial.ClearWritten();
        form.st.HostModeActive = true;
        form.st.PkParametersLoaded = true;
        form.HostOn(1);
        QVERIFY2(!form.st.HostModeActive, qPrintable(QString::number(kind)));
        if (kind == 1) {
            // The echoing unit never gives a prompt: its first line fails,
            // and nothing goes after it.
            QCOMPARE(f.Written(), kStartOver + Lines({"hpoll off"}));
            QCOMPARE(f.prompts.Boxes(),
                     QStringList{"Dervalo    Warning|The PK-232 did not answer the command "
                                 "\"hpoll off\". Nothing after it was sent. Check the cable, "
                                 "the port and the baud rate."});
        } else {
            QCOMPARE(f.Written(), entry + kCheck + kSecondCheck);
            QCOMPARE(f.prompts.Boxes(), QStringList{kNoHostMode});
        }
        QCOMPARE(form.Transmitbalk->text(), QString("Transmit"));
        QVERIFY(form.StatusAanvraagTimer.isActive());
        f.serial.AttachPeer(nullptr);
    }
    // A start-up that gets no answer at all warns once, naming its first
    // line, and sends nothing after it.
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings("COM1", "9600", false, true));
    THoofdForm& form = f.Start();
    QVERIFY(form.st.PkStarted);
    QVERIFY(!form.st.HostModeActive);
    QCOMPARE(f.prompts.Boxes(),
             QStringList{"Dervalo    Warning|The PK-232 did not answer the command \"AWL 8\". "
                         "Nothing after it was sent. Check the cable, the port and the baud "
                         "rate."});
    QVERIFY(f.Written().endsWith("\rAWL 8\r"));
    QVERIFY(!f.Written().contains(kCheck));
    QVERIFY(form.StatusAanvraagTimer.isActive());
}

void HostLinkTest::emptySelCall() {
    FormFixture f;
    HostCheckPeer peer;
    f.serial.AttachPeer(&peer);
    f.WriteFile("Dervalo.INI", FormFixture::Settings("COM4", "9600", false, false, "PA0ABC", ""));
    THoofdForm& form = f.Create();
    f.serial.ClearWritten();
    form.HostOn(0);
    QVERIFY(f.Written().contains("\rMys \rMYPTCall PA0ABC\r"));
    f.serial.AttachPeer(nullptr);
}

void HostLinkTest::hostOffThenPlainClock() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Create();
    form.st.HostModeActive = true;
    f.serial.ClearWritten();
    form.hostOff();
    QVERIFY(!form.st.HostModeActive);
    QVERIFY(form.StatusAanvraagTimer.isActive());
    form.TimeToPk232();
    QCOMPARE(f.Written(), QByteArray("\x01OHON\x17"
                                     "DA 2603050907\r"));
    // The reply to leaving HOST mode is thrown away.
    f.serial.FeedInput("cmd:");
    form.hostOff();
    QCOMPARE(f.serial.PendingInput(), QByteArray());
}

void HostLinkTest::zetPkKlaarFromDumbMode() {
    FormFixture f;
    HostCheckPeer peer;
    f.serial.AttachPeer(&peer);
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Create();
    form.st.PkParametersLoaded = true;
    form.st.DumbMode = true;
    form.st.ScrollBackMode = true;
    form.st.ModeName = "AMTOR";
    f.serial.ClearWritten();
    form.ZetPkKlaar();
    // Leaving the dumb terminal starts with XON, CANLINE, COMMAND.
    QCOMPARE(f.Written(), kStartOver + Lines({"hpoll off", "host on"}) + kCheck + "\x01OPt\x17" +
                              "\x1b"
                              "DD\r");
    QVERIFY(!form.st.DumbMode);
    QVERIFY(!form.st.ScrollBackMode);
    QCOMPARE(form.st.ModeName, QString("PACTOR"));
    QVERIFY(form.StatusAanvraagTimer.isActive());
    QVERIFY(form.st.HostModeActive);
    f.serial.AttachPeer(nullptr);
}

void HostLinkTest::initPkSwitchRunsStartUpOnce() {
    FormFixture f;
    HostCheckPeer peer;
    f.serial.AttachPeer(&peer);
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Start();
    QVERIFY(!form.st.PkStarted);
    // Switching "Init Pk" on runs a layout pass, and with it the start-up.
    f.serial.ClearWritten();
    form.PkInit->trigger();
    QVERIFY(form.PkInit->isChecked());
    QVERIFY(form.st.PkInitOn);
    QVERIFY(form.st.PkStarted);
    QVERIFY(
        f.Written().contains("*" + kLeaveHost + kStartOver + "\rAWL 8\rpar 0\r8b on\rrestart\r"));
    // The parameters were only taken as loaded while "Init Pk" was off: the
    // start-up loads them, the call among them.
    QVERIFY(f.Written().contains("EXP ON\r"));
    QVERIFY(f.Written().contains("Mycall PA0ABC\r"));
    // Switching it off sends nothing.
    f.serial.ClearWritten();
    form.PkInit->trigger();
    QVERIFY(!form.st.PkInitOn);
    QVERIFY(!form.PkInit->isChecked());
    QCOMPARE(f.Written(), QByteArray());
    form.close();
    QVERIFY(f.ReadFile("Dervalo.INI").endsWith("OFF\r\nOFF\r\nOFF\r\nOFF\r\n"));
    f.serial.AttachPeer(nullptr);
}

void HostLinkTest::controlCharacters() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Create();
    f.serial.ClearWritten();
    form.SendCTRL(3);
    QCOMPARE(f.Written(), QByteArray("\x01\x20\x03\x17"));
    // Each note is a line of its own, after the window's three empty lines.
    QCOMPARE(form.ZendWindow->toPlainText(), QString("\n\n\nCTRL-C"));
    form.st.DumbMode = true;
    f.serial.ClearWritten();
    form.SendCTRL(4);
    QCOMPARE(f.Written(), QByteArray("\x04"));
    QCOMPARE(form.ZendWindow->toPlainText(), QString("\n\n\nCTRL-C\nCTRL-D"));
}

void HostLinkTest::sendAndDataFrames() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Create();
    f.serial.ClearWritten();
    form.Send("");
    QCOMPARE(f.Written(), QByteArray());
    form.senddata("");
    QCOMPARE(f.Written(), QByteArray("\x01\x20\x17"));
    f.serial.ClearWritten();
    QByteArray big;
    for (int i = 0; i < 700; ++i)
        big += char(i % 256);
    form.Send(big);
    QCOMPARE(f.Written(), big);

    // Outside a file transmission the pending count never moves; during one
    // the text of every data frame counts, the bytes the controller will
    // echo, even when a write failed; framing and commands do not.
    QCOMPARE(form.st.TxPendingCount, quint16(0));
    form.st.FileTransmitActive = true;
    f.serial.SetFailWrites(1);
    form.senddata("abc");
    QCOMPARE(form.st.TxPendingCount, quint16(3));
    form.Send("\x01OTC\x17");
    QCOMPARE(form.st.TxPendingCount, quint16(3));
    // A frame the line refuses is lost, with the one "Port Error" of the
    // outage; the line is opened again at once, and as the unit behind it
    // may have been restarted, nothing more of the file goes out.
    QVERIFY(!f.Written().contains(" abc"));
    QVERIFY(!f.Written().contains("OTC"));
    QCOMPARE(f.prompts.Boxes(), QStringList{"Warning|Port Error"});
    form.st.FileTransmitActive = false;
    form.Send("\x01OTC\x17");
    QCOMPARE(f.Written(), big + "\x01OTC\x17");
}

void HostLinkTest::statusRequest() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Create();
    f.serial.ClearWritten();
    form.StatusAanvraagTimerTimer();
    QCOMPARE(f.Written(), QByteArray("\x01OOP\x17"));
    QCOMPARE(form.Pane6->text(), QString("Buffer: 0"));
    QCOMPARE(form.Pane7->text(), QString("Data buffer 0"));

    // Input waiting: nothing asked, the panes still refreshed.
    f.serial.ClearWritten();
    f.serial.FeedInput("\x01/x\x17");
    form.ReceiveWindow->setPlainText("hello");
    form.StatusAanvraagTimerTimer();
    QCOMPARE(f.Written(), QByteArray());
    QCOMPARE(form.Pane6->text(), QString("Buffer: 5"));
    QCOMPARE(form.Pane7->text(), QString("Data buffer 4"));

    // In the dumb terminal only the panes.
    form.st.DumbMode = true;
    f.serial.FeedInput("");
    form.SchryfintervalTimer();
    f.serial.ClearWritten();
    form.StatusAanvraagTimerTimer();
    QCOMPARE(f.Written(), QByteArray());
    QCOMPARE(form.Pane7->text(), QString("Data buffer 0"));
}

QTEST_MAIN(HostLinkTest)
#include "tst_hostlink.moc"
