// The maildrop switch and the maildrop check: the frames around the switch
// in each mode, opening and closing the mailbox, the mailbox commands with
// their input boxes, and the start-up once the maildrop is switched off.
#include <QAction>
#include <QToolButton>
#include <QtTest>

#include "FormFixture.h"
#include "shell/Widgets.h"

namespace {
struct Rig {
    FormFixture f;
    THoofdForm* form = nullptr;
    explicit Rig(const QString& mode = "PACTOR", bool maildrop = false, bool pkInit = false) {
        f.WriteFile("Dervalo.INI", FormFixture::Settings("COM4", "9600", maildrop, pkInit));
        form = &f.Start();
        form->st.ModeName = mode;
        form->st.DumbMode = mode == "DUMB";
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
    QVERIFY(r.f.Written().contains("*\rrestart\r"));
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
    // The mode's standby frame first; half a second after the dumb terminal
    // is entered, "MDC" and a carriage return open the mailbox.
    QFETCH(QString, mode);
    QFETCH(QByteArray, standby);
    Rig r(mode);
    r.form->MenuMaildropCheck->trigger();
    const QByteArray written = r.f.Written();
    QVERIFY(written.startsWith(standby));
    QVERIFY(written.endsWith("MDC\r"));
    const auto& log = r.f.serial.WrittenLog();
    const int mdc = int(written.lastIndexOf("MDC\r"));
    QVERIFY(mdc > 0);
    QVERIFY(log.at(mdc).tick - log.at(mdc - 1).tick >= 500);
    QVERIFY(r.form->MenuMaildropCheck->isChecked());
    QVERIFY(r.form->MaildropCheckOpen());
    QCOMPARE(r.Buttons(), 1);
    QCOMPARE(r.form->Transmitbalk->text(), QString("Maildrop Check"));
}

void MaildropTest::closingTheCheckFromItsMenu() {
    Rig r;
    r.form->MenuMaildropCheck->trigger();
    QVERIFY(r.form->MaildropCheckOpen());
    r.f.serial.ClearWritten();
    r.form->MenuMaildropCheck->trigger();
    QVERIFY(r.f.Written().startsWith("\x0D\x42\x0D"));
    QVERIFY(!r.form->MenuMaildropCheck->isChecked());
    QCOMPARE(r.Buttons(), 0);
    // Opening again works from the closed state.
    r.form->MenuMaildropCheck->trigger();
    QVERIFY(r.form->MaildropCheckOpen());
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
