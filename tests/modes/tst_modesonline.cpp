// Morse, ASCII, NAVTEX and packet from the real program to the simulator
// program on a pseudo-terminal: each mode's switch on the line, its received
// text in the window and its status on the status line; NAVTEX's kept
// message files, one for a repeat; a packet contact on its channel.
#include <QAction>
#include <QTabBar>
#include <QToolButton>
#include <QDir>
#include <QLineEdit>
#include <QTreeWidget>
#include <QtTest>

#include "LiveStation.h"
#include "modes/NavtexListForm.h"
#include "modes/NavtexSettingsForm.h"
#include "shell/Widgets.h"

namespace {
QByteArray Command(const QByteArray& body) {
    return "\x01O" + body + "\x17";
}
// One data frame per character, as the keyboard sends them.
QByteArray DataFrames(const QByteArray& keys) {
    QByteArray out;
    for (char c : keys)
        out += QByteArray("\x01 ") + c + '\x17';
    return out;
}

// The program in HOST mode against the simulator, the band quiet.
THoofdForm& Started(LiveStation& s) {
    if (!s.StartSimulator({"--band", "off"})) return *s.form;
    THoofdForm& w = s.StartProgram();
    LiveStation::WaitFor([&] { return w.Pane1->text() == "PACTOR"; }, 10000);
    return w;
}
} // namespace

class ModesOnlineTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        if (!LiveStation::SimulatorBuilt()) QSKIP("the simulator program is not built");
    }
    void morseReceivesAtItsSpeedAndSendsTypedText();
    void asciiSetsItsRateAndReceives();
    void navtexKeepsEachMessageOnce();
    void packetMonitorsConnectsTalksAndDisconnects();
};

void ModesOnlineTest::morseReceivesAtItsSpeedAndSendsTypedText() {
    LiveStation s;
    THoofdForm& w = Started(s);
    QVERIFY(w.st.HostModeActive);
    w.MenuMorse->trigger();
    QCOMPARE(w.TabBalk->currentWidget(), w.MorsePage);
    QVERIFY(LiveStation::WaitFor(
        [&] { return s.FromProgram().contains(Command("MO") + Command("MP20")); }, 10000));
    // Readied first, as every switch.
    const QByteArray sent = s.FromProgram();
    QVERIFY(sent.lastIndexOf("\x1B" "DD\r") < sent.lastIndexOf(Command("MO")));

    // Ten times the air's pace: Morse at 18 WPM takes 11 s for this line.
    QVERIFY(s.Control("speed 10").contains("x10"));
    QVERIFY(s.Control("morse 18 CQ CQ DE K1ABC K").contains("sent"));
    QVERIFY2(LiveStation::WaitFor(
                 [&] {
                     return s.Received().contains("CQ CQ DE K1ABC K") &&
                            w.Pane1->text() == "MORSE" && w.Pane2->text() == "18 WPM";
                 },
                 10000),
             qPrintable(s.StatusText()));

    // Transmit, a typed line one frame a key, back as the echo.
    QTest::mouseClick(w.modes.Rows[0][1], Qt::LeftButton);
    QVERIFY(LiveStation::WaitFor([&] { return s.FromProgram().contains(Command("XM")); }, 5000));
    QTest::keyClicks(w.ZendWindow, "K1ABC DE PA0ABC");
    QVERIFY(LiveStation::WaitFor(
        [&] { return s.FromProgram().contains(DataFrames("K1ABC DE PA0ABC")); }, 10000));
    QVERIFY2(LiveStation::WaitFor([&] { return s.Received().endsWith("K1ABC DE PA0ABC"); }, 10000),
             qPrintable(s.Received()));
}

void ModesOnlineTest::asciiSetsItsRateAndReceives() {
    LiveStation s;
    s.WriteFile("Dervalo-extra.ini", "ABAUD=300\r\n");
    THoofdForm& w = Started(s);
    QTest::mouseClick(w.TabBalk->tabBar(), Qt::LeftButton, {},
                      w.TabBalk->tabBar()->tabRect(w.TabBalk->indexOf(w.AsciiPage)).center());
    QVERIFY(LiveStation::WaitFor(
        [&] {
            return s.FromProgram().contains(Command("AS") + Command("XB0") + Command("AB300"));
        },
        10000));
    QVERIFY(s.Control("ascii THE QUICK BROWN FOX 0123456789").contains("sent"));
    QVERIFY2(LiveStation::WaitFor(
                 [&] {
                     return s.Received().contains("THE QUICK BROWN FOX 0123456789") &&
                            w.Pane1->text() == "ASCII" && w.Pane2->text() == "STANDBY";
                 },
                 10000),
             qPrintable(s.StatusText()));
    QVERIFY(s.State().contains("ABAUD 300, XBAUD 0"));
}

void ModesOnlineTest::navtexKeepsEachMessageOnce() {
    LiveStation s;
    THoofdForm& w = Started(s);
    w.MenuNavtex->trigger();
    QVERIFY(LiveStation::WaitFor(
        [&] {
            return s.FromProgram().contains(Command("NA") + Command("NSALL") + Command("NMALL"));
        },
        10000));
    QVERIFY2(LiveStation::WaitFor([&] { return w.Pane1->text() == "NAVTEX"; }, 10000),
             qPrintable(s.StatusText()));
    // Three stations' messages, then the first one's repeat; half of them in
    // 0x30 blocks.
    QVERIFY(s.Control("navtex 2").contains("navtex PA12 SE45"));
    QVERIFY(s.Control("navtex block 30").contains("block 30"));
    QVERIFY(s.Control("navtex 2").contains("navtex TB03 PA12"));
    QVERIFY2(LiveStation::WaitFor(
                 [&] { return s.Received().count("ZCZC PA12") == 2 && s.Received().contains("SOUTHWEST 8"); },
                 10000),
             qPrintable(s.Received()));
    QVERIFY(LiveStation::WaitFor([&] { return w.modes.NavtexKept.size() == 3; }, 5000));
    const QStringList files = QDir(s.Path("navtex")).entryList({"*.txt"}, QDir::Files, QDir::Name);
    QCOMPARE(files.size(), 3);
    QVERIFY(files[0].startsWith("PA12-") && files[1].startsWith("SE45-") && files[2].startsWith("TB03-"));
    QFile pa12(s.Path("navtex/" + files[0]));
    QVERIFY(pa12.open(QIODevice::ReadOnly));
    const QByteArray text = pa12.readAll();
    // A text file: each line ends in CR LF, whatever the controller sent.
    QVERIFY2(text.startsWith("ZCZC PA12\r\n") && text.endsWith("\r\nNNNN\r\n") &&
                 text.count('\r') == text.count("\r\n") && text.count('\n') == text.count('\r'),
             text.constData());
    QVERIFY(text.contains("LIGHT BUOY 54-40N 005-30W UNLIT."));

    // The list: time, station, class, serial, first line.
    QTest::mouseClick(w.modes.Rows[2][0], Qt::LeftButton);
    QVERIFY(w.NavtexListForm && w.NavtexListForm->isVisible());
    QTreeWidget* list = w.NavtexListForm->List;
    QCOMPARE(list->topLevelItemCount(), 3);
    QTreeWidgetItem* first = list->topLevelItem(0);
    QCOMPARE(QStringList({first->text(1), first->text(2), first->text(3), first->text(4)}),
             QStringList({"P", "A", "12", "091200 UTC DEC"}));
    w.NavtexListForm->OpenMessage(2);
    QVERIFY(w.NavtexListForm->TextView->toPlainText().contains("GALE WARNING 03"));

    // Stations and classes: class E left out, while A cannot be; kept in
    // the extra settings.
    s.prompts.modalActions.enqueue([](QDialog& d) {
        auto& dlg = static_cast<TNavtexSettingsForm&>(d);
        dlg.Stations->setText("yes p,s");
        dlg.Classes->setText("no e");
        dlg.accept();
        return dlg.result();
    });
    QTest::mouseClick(w.modes.Rows[2][1], Qt::LeftButton);
    QVERIFY(LiveStation::WaitFor(
        [&] { return s.FromProgram().contains(Command("NSYES PS") + Command("NMNO E")); }, 10000));
    QVERIFY(s.Control("navtex 3").contains("navtex SD17 PA12 -SE45"));
    QVERIFY(LiveStation::WaitFor([&] { return w.modes.NavtexKept.size() == 4; }, 10000));
    QVERIFY(LiveStation::WaitFor([&] { return s.Received().count("ZCZC PA12") == 3; }, 10000));
    QCOMPARE(QDir(s.Path("navtex")).entryList({"*.txt"}, QDir::Files).size(), 4);
    QFile extra(s.Path("Dervalo-extra.ini"));
    QVERIFY(extra.open(QIODevice::ReadOnly));
    QVERIFY(extra.readAll().contains("NAVSTN=YES PS\r\nNAVMSG=NO E\r\n"));

    // A new run finds them kept: a repeat of each writes nothing.
    w.NavtexListForm->hide();
    s.form.reset();
    THoofdForm& again = s.StartProgram();
    QVERIFY(LiveStation::WaitFor([&] { return again.Pane1->text() == "PACTOR"; }, 10000));
    again.MenuNavtex->trigger();
    QVERIFY(s.StateWhen("navtex, NAVSTN").contains("navtex, NAVSTN"));
    // Station T is now left out; PA12 is a repeat of the file kept.
    const QByteArray sent = s.Control("navtex 2");
    QVERIFY2(sent.contains("navtex -TB03 PA12"), sent.constData());
    QVERIFY(LiveStation::WaitFor([&] { return s.Received().contains("ZCZC PA12"); }, 10000));
    QVERIFY(LiveStation::WaitFor([&] { return s.Received().contains("NNNN"); }, 10000));
    QCOMPARE(QDir(s.Path("navtex")).entryList({"*.txt"}, QDir::Files).size(), 4);
    QCOMPARE(again.modes.NavtexKept.size(), 4);
}

void ModesOnlineTest::packetMonitorsConnectsTalksAndDisconnects() {
    LiveStation s;
    s.WriteFile("Dervalo-extra.ini", "MONITOR=1\r\n");
    THoofdForm& w = Started(s);
    w.MenuPacket->trigger();
    QVERIFY(LiveStation::WaitFor(
        [&] { return s.FromProgram().contains(Command("PA") + Command("MN1")); }, 10000));
    QVERIFY2(LiveStation::WaitFor([&] { return w.Pane1->text() == "PACKET"; }, 10000),
             qPrintable(s.StatusText()));

    // MONITOR 1: unproto frames only, each stamped.
    QVERIFY(s.Control("packet monitor").contains("monitored"));
    QVERIFY(LiveStation::WaitFor([&] { return s.Received().contains("N0CALL>BEACON:"); }, 10000));
    QVERIFY2(QRegularExpression("\\n\\d\\d:\\d\\d:\\d\\d K1ABC>W2XYZ\\*>WIDE2-1>APRS:!4903")
                 .match("\n" + s.Received())
                 .hasMatch(),
             qPrintable(s.Received()));
    QVERIFY(!s.Received().contains("[C]"));

    // The call dialog: CO on channel 0's command block.
    s.Call("k2def via w2xyz");
    QVERIFY(LiveStation::WaitFor(
        [&] { return s.FromProgram().contains("\x01@COK2DEF VIA W2XYZ\x17"); }, 10000));
    QVERIFY2(LiveStation::WaitFor(
                 [&] {
                     return w.st.IsConnected && w.Pane2->text() == "CONNECT" &&
                            w.Pane3->text() == "K2DEF";
                 },
                 10000),
             qPrintable(s.StatusText()));
    // One event line for the link, with what the logbook knows of him.
    QVERIFY(LiveStation::WaitFor([&] { return s.ReceivedAll().contains("UTC  CONNECTED to K2DEF: first contact\n"); },
                                 10000));
    QCOMPARE(s.ReceivedAll().count("CONNECTED to K2DEF"), 1);
    QVERIFY(LiveStation::WaitFor([&] { return s.Received().contains("Type BYE to end."); }, 10000));

    // A typed line goes out whole on channel 0's data block.
    QTest::keyClicks(w.ZendWindow, "Hello Dave");
    QTest::keyClick(w.ZendWindow, Qt::Key_Return);
    QVERIFY(LiveStation::WaitFor([&] { return s.FromProgram().contains("\x01 Hello Dave\r\x17"); },
                                 10000));
    QVERIFY(LiveStation::WaitFor([&] { return s.Received().contains("K2DEF copies: Hello Dave"); },
                                 10000));
    // Nothing is echoed in packet: the line sent shows in the operator's colour.
    QVERIFY2(s.Received().contains("Type BYE to end.\nHello Dave\nK2DEF copies: Hello Dave"),
             qPrintable(s.Received()));

    // Disconnect: DI on the channel; the link message ends the contact.
    w.MenuDisconnect->trigger();
    QVERIFY(LiveStation::WaitFor([&] { return s.FromProgram().contains("\x01@DI\x17"); }, 10000));
    QVERIFY2(LiveStation::WaitFor(
                 [&] { return !w.st.IsConnected && s.ReceivedAll().contains("UTC  DISCONNECTED from K2DEF ("); },
                 10000),
             qPrintable(s.ReceivedAll()));
    QCOMPARE(s.ReceivedAll().count("DISCONNECTED"), 1);
    QCOMPARE(w.Pane3->text(), QString());

    // A busy station: an event line, no link.
    QVERIFY(s.Control("packet answer busy").contains("busy"));
    s.Call("W3ABC");
    QVERIFY(LiveStation::WaitFor([&] { return s.ReceivedAll().contains("UTC  W3ABC busy\n"); }, 10000));
    QVERIFY(!w.st.IsConnected);
    QVERIFY(s.Control("packet answer on").contains("on"));

    // A station calling in takes the lowest free channel, 0.
    QVERIFY(s.Control("packet call W2XYZ").contains("channel 0"));
    QVERIFY(LiveStation::WaitFor([&] { return w.st.IsConnected && w.modes.PacketChannel == 0; },
                                 10000));
    // A second one is refused (USERS 1): the controller's words as an event
    // line, and the link and its call stay.
    QVERIFY(s.Control("packet call K9XYZ").contains("refused"));
    QVERIFY(LiveStation::WaitFor(
        [&] { return s.ReceivedAll().contains("UTC  Connect request K9XYZ\n"); }, 10000));
    QVERIFY(w.st.IsConnected && w.modes.PacketChannel == 0);
    QCOMPARE(w.Pane3->text(), QString("W2XYZ"));
    QVERIFY(s.Control("packet disc").contains("disconnected"));
    QVERIFY(LiveStation::WaitFor([&] { return !w.st.IsConnected; }, 10000));
    QVERIFY2(s.prompts.Boxes().isEmpty(), qPrintable(s.prompts.Boxes().join('\n')));
}

QTEST_MAIN(ModesOnlineTest)
#include "tst_modesonline.moc"
