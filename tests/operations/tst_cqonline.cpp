// A CQ call in each mode (PACTOR unproto, AMTOR FEC, RTTY) from the real
// program to the simulator program on a pseudo-terminal: the CQ text goes
// out and comes back as it is sent, the transmission is ended by the 0x04
// in a data frame, and the controller is back to receiving afterwards.
#include <QAction>
#include <QtTest>

#include "LiveStation.h"

class CqOnlineTest : public QObject {
    Q_OBJECT
private slots:
    void cqInEachModeEndsItsTransmission();
};

void CqOnlineTest::cqInEachModeEndsItsTransmission() {
    if (!LiveStation::SimulatorBuilt()) QSKIP("the simulator program is not built");
    LiveStation s;
    QVERIFY(s.StartSimulator({"--band", "off", "--air-speed", "0"}));
    THoofdForm& w = s.StartProgram();
    QVERIFY(w.st.HostModeActive);
    QVERIFY2(LiveStation::WaitFor([&] { return w.Pane2->text() == "LISTEN"; }, 10000),
             qPrintable(s.StatusText()));

    struct Mode {
        const char* name;
        QAction* menu;
        const char* file;
        QByteArray receiving; // the controller's status afterwards
        QString echo;         // what comes back of the CQ text
    };
    const QList<Mode> modes = {
        {"PACTOR", w.MenuPactor, "Dervalo.CQP", "status OPPt0--0", "CQ CQ de PA0ABC\npse k\n"},
        {"AMTOR", w.MenuAmtor, "Dervalo.CQA", "status OPAM0--0", "CQ CQ DE PA0ABC\nPSE K\n"},
        {"RTTY", w.MenuRtty, "Dervalo.CQB", "status OPBA0--0", "CQ CQ DE PA0ABC\nPSE K\n"},
    };
    for (const Mode& mode : modes) {
        const QString what = QString::fromLatin1(mode.name);
        mode.menu->trigger();
        QVERIFY2(LiveStation::WaitFor([&] { return w.Pane1->text() == what; }, 10000),
                 qPrintable(what + ": " + s.StatusText()));
        s.WriteFile(mode.file, "CQ CQ de PA0ABC\r\npse k\r\n");
        const qsizetype sentBefore = s.FromProgram().size();
        const qsizetype shownBefore = s.Received().size();

        w.MenuCallCQ->trigger(); // F8: returns once the file is sent
        QVERIFY(!w.st.FileTransmitActive);
        QVERIFY(!w.st.SendingCQ);

        // The text goes out and comes back line by line (a carriage return is
        // sent but not echoed; the program ends the line), and the
        // controller is back to receiving.
        QVERIFY2(LiveStation::WaitFor(
                     [&] { return s.Received().mid(shownBefore).contains(mode.echo); }, 15000),
                 qPrintable(what + ": " + s.Received().mid(shownBefore)));
        const QByteArray state = s.StateWhen(mode.receiving);
        QVERIFY2(state.contains(mode.receiving), qPrintable(what + ": " + state));
        QVERIFY2(
            LiveStation::WaitFor(
                [&] { return w.Pane2->text() == "STANDBY" && w.Pane5->text().isEmpty(); }, 10000),
            qPrintable(what + ": " + s.StatusText()));
        // On the line: the lines in data frames, the end in one of its own.
        const QByteArray sent = s.FromProgram().mid(sentBefore);
        QVERIFY2(sent.contains("\x01 CQ CQ de PA0ABC\r\x17\x01 pse k\r\x17\x01 \x04\x17"),
                 sent.constData());
    }
    QVERIFY2(s.prompts.Boxes().isEmpty(), qPrintable(s.prompts.Boxes().join('\n')));
}

QTEST_MAIN(CqOnlineTest)
#include "tst_cqonline.moc"
