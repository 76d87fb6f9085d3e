// The maildrop switch and the maildrop check: the frames around the switch
// in each mode, opening and closing the mailbox, the mailbox commands with
// their input boxes, and the start-up once the maildrop is switched off.
#include <QAction>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>

#include "FormFixture.h"
#include "HostCheckPeer.h"
#include "shell/Widgets.h"

namespace {
// Back into HOST mode (the parameters already loaded; XON, CANLINE and
// COMMAND first), then the readying of every switch: listen off in PACTOR
// terms, escape, "DD", carriage return.
const QByteArray kBackToHost = "\x11\x18\x03hpoll off\rhost on\r\x01OGG\x17"
                               "\x01OPt\x17\x1B"
                               "DD\r";
const QByteArray kCloseMailbox = "\x0D\x42\x0D";

struct Rig {
    HostCheckPeer controller; // answers the HOST-mode check
    FormFixture f;
    THoofdForm* form = nullptr;
    explicit Rig(const QString& mode = "PACTOR", bool maildrop = false, bool pkInit = false) {
        f.serial.AttachPeer(&controller);
        f.WriteFile("Dervalo.INI", FormFixture::Settings("COM4", "9600", maildrop, pkInit));
        form = &f.Start();
        form->st.ModeName = mode;
        form->st.DumbMode = mode == "DUMB";
        // The mode's page showing, as a switch would leave it.
        const QSignalBlocker quiet(form->TabBalk);
        form->TabBalk->setCurrentIndex(mode == "AMTOR"  ? 1
                                       : mode == "RTTY" ? 2
                                       : mode == "DUMB" ? 3
                                                        : 0);
        f.serial.ClearWritten();
        f.prompts.log.clear();
    }
    // The four mailbox buttons, all shown (1), all hidden (0) or mixed (-1).
    int Buttons() const {
        int shown = 0;
        for (QToolButton* b : {form->MdcList, form->MdcRead, form->MdcWrite, form->MdcKill})
            shown += !b->isHidden();
        return shown == 4 ? 1 : shown == 0 ? 0 : -1;
    }
    // Opens the check from its menu item; from then on nothing written yet.
    void Open() {
        form->MenuMaildropCheck->trigger();
        form->st.PkParametersLoaded = true;
        f.serial.ClearWritten();
    }
    void ClickTab(int page) {
        QTabBar* bar = form->TabBalk->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    }
    bool Closed() const {
        return !form->MenuMaildropCheck->isChecked() && Buttons() == 0 && !form->st.DumbMode &&
               form->st.HostModeActive;
    }
};
} // namespace

class MaildropTest : public QObject {
    Q_OBJECT
private slots:
    void toggleFramesByMode_data();
    void toggleFramesByMode();
    void startUpRunsOnceTheMaildropIsOff();
    void mailboxCommands();
    void openingTheCheck_data();
    void openingTheCheck();
    void closingTheCheckFromItsMenu();
    void leavingTheDumbPageClosesTheCheck_data();
    void leavingTheDumbPageClosesTheCheck();
    void readyingTheControllerClosesTheCheck();
};

void MaildropTest::toggleFramesByMode_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QByteArray>("listenOff");
    QTest::addColumn<QByteArray>("listenOn");
    QTest::newRow("PACTOR") << "PACTOR" << QByteArray("\x01OPt\x17") << QByteArray("\x01OPN\x17");
    QTest::newRow("AMTOR") << "AMTOR" << QByteArray("\x01OAM\x17") << QByteArray("\x01OAL\x17");
    QTest::newRow("RTTY") << "RTTY" << QByteArray() << QByteArray();
    QTest::newRow("dumb terminal") << "DUMB" << QByteArray() << QByteArray();
}

void MaildropTest::toggleFramesByMode() {
    QFETCH(QString, mode);
    QFETCH(QByteArray, listenOff);
    QFETCH(QByteArray, listenOn);
    Rig r(mode);
    QVERIFY(!r.form->MenuToggleMaildrop->isChecked());
    r.form->MenuToggleMaildrop->trigger();
    QCOMPARE(r.f.Written(), listenOff + "\x01OTLY\x17");
    QVERIFY(r.form->st.MaildropOn);
    QVERIFY(r.form->MenuToggleMaildrop->isChecked());
    QCOMPARE(r.form->Transmitbalk->text(), QString("Maildrop is switched ON"));
    QVERIFY(r.form->StatusAanvraagTimer.isActive());

    r.f.serial.ClearWritten();
    r.form->MenuToggleMaildrop->trigger();
    QCOMPARE(r.f.Written(), listenOn + "\x01OTLN\x17");
    QVERIFY(!r.form->st.MaildropOn);
    QVERIFY(!r.form->MenuToggleMaildrop->isChecked());
    QCOMPARE(r.form->Transmitbalk->text(), QString("Transmit"));
    QVERIFY(r.form->StatusAanvraagTimer.isActive());
}

void MaildropTest::startUpRunsOnceTheMaildropIsOff() {
    // Started with the maildrop on: no controller start-up. Once it is
    // switched off, the next layout pass runs the start-up, once.
    Rig r("", true, true);
    QVERIFY(!r.form->st.PkStarted);
    QVERIFY(r.form->MenuToggleMaildrop->isChecked());
    r.form->resize(800, 480);
    QVERIFY(!r.f.Written().contains("restart"));
    r.form->MenuToggleMaildrop->trigger();
    QVERIFY(r.f.Written().endsWith("\x01OTLN\x17"));
    r.f.serial.ClearWritten();
    r.form->resize(820, 480);
    QVERIFY(r.form->st.PkStarted);
    QVERIFY(
        r.f.Written().contains("*\x01\x01OHON\x17\x11\x18\x03\rAWL 8\rpar 0\r8b on\rrestart\r"));
    QVERIFY(r.f.Written().contains("host on\r"));
    r.f.serial.ClearWritten();
    r.form->resize(840, 480);
    QVERIFY(!r.f.Written().contains("restart"));
}

void MaildropTest::mailboxCommands() {
    Rig r("DUMB");
    r.form->MdcList->click();
    QCOMPARE(r.f.Written(), QByteArray("L\r"));

    // Each answer goes out exactly as typed, between the letter with its
    // blank and the carriage return.
    r.f.serial.ClearWritten();
    r.f.prompts.inputAnswers << QString("12") << QString("pa0xyz de") << QString(" 3 x")
                             << QString("caf\u00e9");
    r.form->MdcRead->click();
    r.form->MdcWrite->click();
    r.form->MdcKill->click();
    r.form->MdcRead->click();
    QCOMPARE(r.f.Written(), QByteArray("R 12\r"
                                       "S pa0xyz de\r"
                                       "K  3 x\r"
                                       "R caf\xe9\r"));
    QCOMPARE(r.f.prompts.Calls("input|"),
             (QStringList{"input|Reading from MB|Give number of file",
                          "input|Write a file in MB|To who ?",
                          "input|Kill a file in MB|Give number of file",
                          "input|Reading from MB|Give number of file"}));

    // An empty answer, or Cancel, sends nothing.
    r.f.serial.ClearWritten();
    r.f.prompts.inputAnswers << QString() << std::nullopt << QString() << std::nullopt;
    r.form->MdcRead->click();
    r.form->MdcWrite->click();
    r.form->MdcKill->click();
    r.form->MdcKill->click();
    QCOMPARE(r.f.prompts.Calls("input|").size(), 8);
    QCOMPARE(r.f.Written(), QByteArray());
}

void MaildropTest::openingTheCheck_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QByteArray>("standby");
    QTest::newRow("PACTOR") << "PACTOR" << QByteArray("\x01OPt\x17");
    QTest::newRow("AMTOR") << "AMTOR" << QByteArray("\x01OAM\x17");
}

void MaildropTest::openingTheCheck() {
    // The mode's standby frame; a second later, as the page turns, the
    // controller leaves HOST mode, and after its half second a line feed and
    // a carriage return; half a second later "MDC" opens the mailbox.
    QFETCH(QString, mode);
    QFETCH(QByteArray, standby);
    Rig r(mode);
    r.form->MenuMaildropCheck->trigger();
    const QByteArray hostOff = "\x01OHON\x17";
    QCOMPARE(r.f.Written(), standby + hostOff + "\x0A\x0D" + "MDC\r");
    const auto& log = r.f.serial.WrittenLog();
    auto at = [&](qsizetype i) { return log.at(int(i)).tick; };
    const qsizetype off = standby.size(), lf = off + hostOff.size(), mdc = lf + 2;
    QVERIFY(at(off) - at(off - 1) >= 1000);
    QVERIFY(at(lf) - at(lf - 1) >= 500);
    QVERIFY(at(mdc) - at(mdc - 1) >= 500);
    QVERIFY(r.form->MenuMaildropCheck->isChecked());
    QVERIFY(r.form->MaildropCheckOpen());
    QVERIFY(r.form->st.DumbMode);
    QVERIFY(!r.form->st.HostModeActive);
    QCOMPARE(r.form->st.ModeName, QString("DUMB"));
    QCOMPARE(r.form->TabBalk->Page(), r.form->TabBalk->indexOf(r.form->DumbPage));
    QCOMPARE(r.Buttons(), 1);
    QCOMPARE(r.form->Transmitbalk->text(), QString("Maildrop Check"));
}

void MaildropTest::closingTheCheckFromItsMenu() {
    // The mailbox is left first, then HOST mode and PACTOR come back.
    Rig r;
    r.Open();
    QVERIFY(r.form->MaildropCheckOpen());
    r.form->MenuMaildropCheck->trigger();
    QCOMPARE(r.f.Written(), kCloseMailbox + kBackToHost + "\x01OPt\x17");
    QVERIFY(r.Closed());
    QCOMPARE(r.form->TabBalk->Page(), 0);
    QCOMPARE(r.form->st.ModeName, QString("PACTOR"));
    QVERIFY(r.form->MenuUnpro->isEnabled());
    // Opening again works from the closed state.
    r.form->MenuMaildropCheck->trigger();
    QVERIFY(r.form->MaildropCheckOpen());
    QCOMPARE(r.Buttons(), 1);
}

void MaildropTest::leavingTheDumbPageClosesTheCheck_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QByteArray>("modeFrame");
    QTest::newRow("PACTOR tab") << 0 << QByteArray("\x01OPt\x17");
    QTest::newRow("AMTOR tab") << 1 << QByteArray("\x01OAM\x17");
    QTest::newRow("RTTY tab") << 2 << QByteArray("\x01OBA\x17");
}

void MaildropTest::leavingTheDumbPageClosesTheCheck() {
    // Another page of the mode bar ends the mailbox dialogue first, then
    // switches once into the page's mode.
    QFETCH(int, page);
    QFETCH(QByteArray, modeFrame);
    Rig r;
    r.Open();
    r.ClickTab(page);
    QCOMPARE(r.f.Written(), kCloseMailbox + kBackToHost + modeFrame);
    QVERIFY(r.Closed());
    QCOMPARE(r.form->TabBalk->Page(), page);
    QCOMPARE(r.form->MenuAmtorFec->isEnabled(), page == 1);
    QCOMPARE(r.form->MenuBaudotTransmit->isEnabled(), page == 2);
}

void MaildropTest::readyingTheControllerClosesTheCheck() {
    // Any switch into a HOST mode readies the controller first, which closes
    // an open check with the same bytes.
    Rig r;
    r.form->MenuMaildropCheck->trigger();
    r.f.serial.ClearWritten();
    r.form->st.PkParametersLoaded = true;
    r.form->ZetPkKlaar();
    QVERIFY(r.f.Written().contains("\x0D\x42\x0D"));
    QVERIFY(!r.form->MaildropCheckOpen());
    QCOMPARE(r.Buttons(), 0);
}

QTEST_MAIN(MaildropTest)
#include "tst_maildrop.moc"
