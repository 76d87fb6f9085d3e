// CQ calls and the one-way transmissions: what each key and button sends in
// each mode, the toggles on the link state, the CQ files found in any letter
// case, and their messages when missing.
#include <QAction>
#include <QDir>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QtTest>

#include "FormFixture.h"

namespace {
const QByteArray kEnd04("\x01\x20\x04\x17", 4);

QByteArray Data(const QByteArray& text) {
    return QByteArray("\x01 ") + text + "\x17";
}

struct Rig {
    FormFixture f;
    THoofdForm* form = nullptr;
    Rig(const QString& mode, const QString& state) {
        f.WriteFile("Dervalo.INI", FormFixture::Settings());
        form = &f.Start();
        form->st.ModeName = mode;
        form->st.LinkStateText = state;
        form->st.DumbMode = mode == "DUMB";
        f.serial.ClearWritten();
        f.prompts.log.clear();
    }
    QStringList TxLines() const {
        return form->ZendWindow->toPlainText().split('\n', Qt::SkipEmptyParts);
    }
};
} // namespace

class BroadcastsTest : public QObject {
    Q_OBJECT
private slots:
    void menuItemsAndKeys();
    void oneWayToggles_data();
    void oneWayToggles();
    void rttyButtonsInAnyMode_data();
    void rttyButtonsInAnyMode();
    void pactorCQ();
    void pactorCQWhileUnprotoEndsItFirst();
    void amtorAndRttyCQ();
    void rttyCQButtonOutsideRtty();
    void missingCQFile_data();
    void missingCQFile();
    void unreadableCQFileLeavesNoCQBehind();
};

void BroadcastsTest::menuItemsAndKeys() {
    Rig r("PACTOR", "");
    QCOMPARE(r.form->MenuUnpro->text(), QString("&Unpro Transmit"));
    QCOMPARE(r.form->MenuUnpro->shortcut(), QKeySequence(Qt::Key_F7));
    QCOMPARE(r.form->MenuAmtorFec->text(), QString("&Fec Transmit"));
    QCOMPARE(r.form->MenuAmtorFec->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F7));
    QCOMPARE(r.form->MenuBaudotTransmit->text(), QString("&Baudot Transmit"));
    QCOMPARE(r.form->MenuBaudotTransmit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F7));
    QCOMPARE(r.form->MenuCallCQ->text(), QString("Call C&Q"));
    QCOMPARE(r.form->MenuCallCQ->shortcut(), QKeySequence(Qt::Key_F8));
    QCOMPARE(r.form->PactorUnpro->toolTip(), QString("UNPRO TRANSMIT"));
    QCOMPARE(r.form->AmtorFEC->toolTip(), QString("FEC TRANSMIT"));
    QCOMPARE(r.form->RttyTransmit->toolTip(), QString("RTTY TRANSMIT"));
    QCOMPARE(r.form->RttyReceive->toolTip(), QString("RTTY RECEIVE"));
    for (QToolButton* b : {r.form->PactorCQ, r.form->AmtorCQ, r.form->RttyCQ})
        QCOMPARE(b->toolTip(), QString("CALL CQ"));
}

void BroadcastsTest::oneWayToggles_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QByteArray>("f7");
    QTest::addColumn<QByteArray>("altF7");
    QTest::addColumn<QByteArray>("ctrlF7");
    const QByteArray none;
    QTest::newRow("PACTOR standby") << "PACTOR"
                                    << "STANDBY" << QByteArray("\x01OPD\x17") << none << none;
    QTest::newRow("PACTOR listen") << "PACTOR"
                                   << "LISTEN" << QByteArray("\x01OPD\x17") << none << none;
    QTest::newRow("PACTOR unproto") << "PACTOR"
                                    << "UNPRO" << kEnd04 << none << none;
    QTest::newRow("PACTOR calling") << "PACTOR"
                                    << "CALLING" << kEnd04 << none << none;
    QTest::newRow("AMTOR standby") << "AMTOR"
                                   << "STANDBY" << none << QByteArray("\x01OFE\x17") << none;
    QTest::newRow("AMTOR FEC") << "AMTOR"
                               << "FEC" << none << kEnd04 << none;
    QTest::newRow("AMTOR unproto text") << "AMTOR"
                                        << "UNPRO" << none << QByteArray("\x01OFE\x17") << none;
    QTest::newRow("RTTY") << "RTTY"
                          << "" << none << none << QByteArray("\x01OXM\x17");
    QTest::newRow("RTTY FEC text") << "RTTY"
                                   << "FEC" << none << none << QByteArray("\x01OXM\x17");
    QTest::newRow("dumb terminal") << "DUMB"
                                   << "" << none << none << none;
}

void BroadcastsTest::oneWayToggles() {
    QFETCH(QString, mode);
    QFETCH(QString, state);
    QFETCH(QByteArray, f7);
    QFETCH(QByteArray, altF7);
    QFETCH(QByteArray, ctrlF7);
    Rig r(mode, state);
    r.form->MenuUnpro->trigger();
    QCOMPARE(r.f.Written(), f7);
    r.f.serial.ClearWritten();
    r.form->MenuAmtorFec->trigger();
    QCOMPARE(r.f.Written(), altF7);
    r.f.serial.ClearWritten();
    r.form->MenuBaudotTransmit->trigger();
    QCOMPARE(r.f.Written(), ctrlF7);
    // The buttons of the pages do the same as their menu items.
    r.f.serial.ClearWritten();
    r.form->PactorUnpro->click();
    r.form->AmtorFEC->click();
    QCOMPARE(r.f.Written(), f7 + altF7);
    // F8 in the dumb terminal does nothing at all; elsewhere it looks for the
    // mode's CQ file (none here).
    r.f.serial.ClearWritten();
    r.form->MenuCallCQ->trigger();
    QCOMPARE(r.f.Written(), QByteArray());
    QCOMPARE(r.f.prompts.Boxes().size(), mode == "DUMB" ? 0 : 1);
    QVERIFY(!r.form->st.SendingCQ);
}

void BroadcastsTest::rttyButtonsInAnyMode_data() {
    QTest::addColumn<QString>("mode");
    for (const char* m : {"PACTOR", "AMTOR", "RTTY", "DUMB", ""})
        QTest::newRow(*m ? m : "no mode") << QString(m);
}

void BroadcastsTest::rttyButtonsInAnyMode() {
    QFETCH(QString, mode);
    Rig r(mode, "LISTEN");
    r.form->RttyTransmit->click();
    r.form->RttyReceive->click();
    QCOMPARE(r.f.Written(), QByteArray("\x01OXM\x17\x01ORC\x17"));
}

void BroadcastsTest::pactorCQ() {
    // The CQ file is found in any letter case; its lines follow the unproto
    // command, are shown in the transmit window, and 0x04 ends the call.
    Rig r("PACTOR", "STANDBY");
    r.f.WriteFile("dervalo.cqp", "CQ CQ CQ de PA0ABC\r\npse k\r\n");
    r.form->PactorCQ->click();
    QCOMPARE(r.f.Written(),
             QByteArray("\x01OPD\x17") + Data("CQ CQ CQ de PA0ABC\r") + Data("pse k\r") + "\x04");
    QCOMPARE(r.TxLines(), (QStringList{"CQ CQ CQ de PA0ABC", "pse k"}));
    QVERIFY(r.f.prompts.log.isEmpty()); // no dialog, no message
    QVERIFY(!r.form->st.SendingCQ);
    QVERIFY(!r.form->st.FileTransmitActive);
    QVERIFY(r.form->StatusAanvraagTimer.isActive());

    // F8 in PACTOR is the same call.
    r.f.serial.ClearWritten();
    r.form->MenuCallCQ->trigger();
    QVERIFY(r.f.Written().startsWith("\x01OPD\x17\x01 CQ CQ"));
    QVERIFY(r.f.Written().endsWith("\x04"));
}

void BroadcastsTest::pactorCQWhileUnprotoEndsItFirst() {
    Rig r("PACTOR", "UNPRO");
    r.f.WriteFile("Dervalo.CQP", "CQ\r\n");
    r.form->PactorCQ->click();
    QCOMPARE(r.f.Written(), kEnd04 + Data("CQ\r") + "\x04");
}

void BroadcastsTest::amtorAndRttyCQ() {
    Rig r("AMTOR", "STANDBY");
    r.f.WriteFile("DERVALO.CQA", "CQ FEC\r\n");
    r.f.WriteFile("Dervalo.cqb", "RYRYRY\r\nCQ RTTY");
    r.form->MenuCallCQ->trigger();
    QCOMPARE(r.f.Written(), QByteArray("\x01OFE\x17") + Data("CQ FEC\r") + "\x04");
    QVERIFY(!r.form->st.SendingCQ);

    r.f.serial.ClearWritten();
    r.form->st.ModeName = "RTTY";
    r.form->st.LinkStateText = "";
    r.form->MenuCallCQ->trigger();
    QCOMPARE(r.f.Written(),
             QByteArray("\x01OXM\x17") + Data("RYRYRY\r") + Data("CQ RTTY\r") + "\x04");
    QCOMPARE(r.TxLines(), (QStringList{"CQ FEC", "RYRYRY", "CQ RTTY"}));
}

void BroadcastsTest::rttyCQButtonOutsideRtty() {
    // The RTTY page's CQ button while the mode is still PACTOR: the Baudot
    // transmit step does nothing there, the file goes out all the same.
    Rig r("PACTOR", "STANDBY");
    r.f.WriteFile("Dervalo.CQB", "CQ\r\n");
    r.form->RttyCQ->click();
    QCOMPARE(r.f.Written(), Data("CQ\r") + "\x04");
}

void BroadcastsTest::missingCQFile_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("message");
    QTest::newRow("PACTOR") << "PACTOR"
                            << "File Dervalo.CQP not found !";
    QTest::newRow("AMTOR") << "AMTOR"
                           << "File Dervalo.CQA not found !";
    QTest::newRow("RTTY") << "RTTY"
                          << "File Dervalo.CQB not found !";
}

void BroadcastsTest::missingCQFile() {
    QFETCH(QString, mode);
    QFETCH(QString, message);
    Rig r(mode, "STANDBY");
    r.f.WriteFile("Dervalo.CQX", "CQ\r\n"); // another mode's file does not count
    r.form->MenuCallCQ->trigger();
    QCOMPARE(r.f.prompts.Boxes(), QStringList{"Dervalo    Warning|" + message});
    QCOMPARE(r.f.Written(), QByteArray()); // no transmission started either
    QVERIFY(!r.form->st.SendingCQ);
}

void BroadcastsTest::unreadableCQFileLeavesNoCQBehind() {
    // A CQ "file" that is a folder cannot be read: the error is shown, and a
    // file sent later is not taken for a CQ call.
    Rig r("PACTOR", "UNPRO");
    QVERIFY(QDir(r.f.dir.path()).mkdir("Dervalo.CQP"));
    r.form->PactorCQ->click();
    QCOMPARE(r.f.prompts.Boxes(), QStringList{"Dervalo|File access denied"});
    QCOMPARE(r.f.Written(), kEnd04); // the toggle went out before the file was tried
    QVERIFY(!r.form->st.SendingCQ);
    QVERIFY(!r.form->st.FileTransmitActive);

    r.f.serial.ClearWritten();
    r.f.WriteFile("plain.txt", "hello\r\n");
    r.form->SendFile(r.f.Path("plain.txt"));
    QCOMPARE(r.f.Written(), Data("hello\r"));
}

QTEST_MAIN(BroadcastsTest)
#include "tst_broadcasts.moc"
