// Calling and link control: the own call, calls from the dialog and the call
// list, "His de My", change over and the disconnects, with their exact bytes.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QToolButton>
#include <QtTest>

#include "FormFixture.h"
#include "LinkScript.h"
#include "operations/CallEdit.h"
#include "operations/ConnectForm.h"
#include "operations/ListConnectForm.h"
#include "operations/YourcallForm.h"

using namespace LinkScript;

namespace {
// The call dialog answered with OK and this text, or with Cancel.
std::function<int(QDialog&)> ConnectOk(const QString& call, QString* label = nullptr) {
    return [=](QDialog& d) {
        auto& dlg = static_cast<TConnectForm&>(d);
        if (label) *label = dlg.Label1->text();
        dlg.InputCall->setText(call);
        dlg.ConnectOkKnopClick();
        return dlg.result();
    };
}
std::function<int(QDialog&)> ConnectCancel(const QString& typed = QString()) {
    return [=](QDialog& d) {
        auto& dlg = static_cast<TConnectForm&>(d);
        if (!typed.isEmpty()) dlg.InputCall->setText(typed);
        dlg.CancelKnopClick();
        return dlg.result();
    };
}
// The list dialog: OK with this line selected (-1: none), or Cancel.
std::function<int(QDialog&)> ListOk(int row, QStringList* shown = nullptr) {
    return [=](QDialog& d) {
        auto& dlg = static_cast<TListConnectForm&>(d);
        if (shown)
            for (int i = 0; i < dlg.Inputcalls->count(); ++i)
                *shown << dlg.Inputcalls->item(i)->text();
        if (row >= 0) dlg.Inputcalls->setCurrentRow(row);
        dlg.OkKnopClick();
        return dlg.result();
    };
}
std::function<int(QDialog&)> ListCancel(int row = -1) {
    return [=](QDialog& d) {
        auto& dlg = static_cast<TListConnectForm&>(d);
        if (row >= 0) dlg.Inputcalls->setCurrentRow(row);
        dlg.CancelKnopClick();
        return dlg.result();
    };
}
std::function<int(QDialog&)> OwnCall(const QString& call, QString* shown = nullptr) {
    return [=](QDialog& d) {
        auto& dlg = static_cast<TYourcallForm&>(d);
        if (shown) *shown = dlg.CallInput->text();
        dlg.CallInput->setText(call);
        dlg.OkKnopClick();
        return dlg.result();
    };
}
QString LastLine(const THoofdForm& form) {
    return form.ZendWindow->document()->lastBlock().text();
}
const QByteArray kCallList = "PA3XYZ\r\n\r\nDL1ABC/MM/QRPX\r\n   \r\n\r\nG4ABC\r\n";
} // namespace

class CallsTest : public QObject {
    Q_OBJECT
private slots:
    void callEmptyOrCancelled();
    void callInPactorAndAmtor();
    void giveCallOnly_data();
    void giveCallOnly();
    void listCall();
    void listCallWithNothingSelected();
    void listCallCancelledKeepsLastChoice();
    void listCallWithoutTheFile();
    void callListShownAfresh();
    void hisDeMy_data();
    void hisDeMy();
    void ownCallInAmtor();
    void ownCallInPactorPersists();
    void ownCallCancelled();
    void changeOver_data();
    void changeOver();
    void disconnect_data();
    void disconnect();
    void hardDisconnect();
    void buttonsAndMenuItemsForward();
};

void CallsTest::callEmptyOrCancelled() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Listen(f);
    form.st.HisCall = "OLD";
    f.serial.ClearWritten();
    f.prompts.modalActions.enqueue(ConnectOk(""));
    form.MenuCallAstationClick();
    QCOMPARE(form.st.HisCall, QString());
    QCOMPARE(f.Written(), QByteArray());

    form.st.HisCall = "OLD";
    f.prompts.modalActions.enqueue(ConnectCancel("PA3XYZ"));
    form.MenuCallAstationClick();
    QCOMPARE(form.st.HisCall, QString());
    QCOMPARE(form.ConnectForm->EnteredCall, QString());
    // The box keeps what was typed for the next use.
    QCOMPARE(form.ConnectForm->InputCall->text(), QString("PA3XYZ"));

    // The close box counts as Cancel.
    form.st.HisCall = "OLD";
    f.prompts.modalActions.enqueue([](QDialog& d) {
        d.show();
        d.close();
        return d.result();
    });
    form.MenuCallAstationClick();
    QCOMPARE(form.st.HisCall, QString());
    QCOMPARE(f.Written(), QByteArray());
    QVERIFY(form.StatusAanvraagTimer.isActive());
}

void CallsTest::callInPactorAndAmtor() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Listen(f);
    f.serial.ClearWritten();
    QString label;
    f.prompts.modalActions.enqueue(ConnectOk("PA3XYZ", &label));
    form.MenuCallAstationClick();
    QCOMPARE(label, QString("Connect To:"));
    QCOMPARE(form.st.HisCall, QString("PA3XYZ"));
    QCOMPARE(f.Written(), QByteArray("\x01OPGPA3XYZ\x17"));
    QVERIFY(form.StatusAanvraagTimer.isActive());

    // AMTOR: the other station's selective call.
    Listen(f, true);
    f.serial.ClearWritten();
    f.prompts.modalActions.enqueue(ConnectOk("XYZA", &label));
    form.MenuCallAstationClick();
    QCOMPARE(label, QString("Connect To:"));
    QCOMPARE(f.Written(), QByteArray("\x01OACXYZA\x17"));
}

void CallsTest::giveCallOnly_data() {
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<QString>("label");
    QTest::newRow("RTTY") << QList<QByteArray>{"OPBA0---0"} << "Give Call";
    QTest::newRow("AMTOR link") << QList<QByteArray>{"OPAC1---0", "OPAC3--0"} << "Give Call";
    QTest::newRow("PACTOR link") << QList<QByteArray>{"OPPG1---0", "OPPG3--0"} << "Connect To:";
}

void CallsTest::giveCallOnly() {
    QFETCH(QList<QByteArray>, replies);
    QFETCH(QString, label);
    FormFixture f;
    THoofdForm& form = f.Create();
    for (const QByteArray& r : replies)
        Feed(f, Reply(r));
    f.serial.ClearWritten();
    QString shown;
    f.prompts.modalActions.enqueue(ConnectOk("G4ABC", &shown));
    form.MenuCallAstationClick();
    QCOMPARE(shown, label);
    QCOMPARE(form.st.HisCall, QString("G4ABC"));
    QCOMPARE(f.Written(), QByteArray());
    // The label follows the state at every use.
    Listen(f);
    f.prompts.modalActions.enqueue(ConnectCancel());
    f.prompts.modalActions.enqueue(ConnectOk("G4ABC", &shown));
    form.MenuCallAstationClick();
    form.MenuCallAstationClick();
    QCOMPARE(shown, QString("Connect To:"));
}

void CallsTest::listCall() {
    FormFixture f;
    f.WriteFile("DERVALO.CAL", kCallList); // any letter case
    THoofdForm& form = f.Create();
    Listen(f);
    f.serial.ClearWritten();
    QStringList shown;
    f.prompts.modalActions.enqueue(ListOk(1, &shown));
    form.MenuCallAListStationClick();
    // Blank lines are skipped, a line of blanks is an entry, a long line is
    // listed with 11 characters and called with 8.
    QCOMPARE(shown, (QStringList{"PA3XYZ", "DL1ABC/MM/Q", "   ", "G4ABC"}));
    QCOMPARE(form.st.HisCall, QString("DL1ABC/M"));
    QCOMPARE(f.Written(), QByteArray("\x01OPGDL1ABC/M\x17"));
    QVERIFY(form.StatusAanvraagTimer.isActive());

    // AMTOR, and the link is not looked at.
    Feed(f, Reply("OPAC1---0"));
    Feed(f, Reply("OPAC3--0"));
    QVERIFY(form.st.IsConnected);
    f.serial.ClearWritten();
    f.prompts.modalActions.enqueue(ListOk(3));
    form.MenuCallAListStationClick();
    QCOMPARE(f.Written(), QByteArray("\x01OACG4ABC\x17"));
}

void CallsTest::listCallWithNothingSelected() {
    FormFixture f;
    f.WriteFile("Dervalo.cal", kCallList);
    THoofdForm& form = f.Create();
    Listen(f);
    form.st.HisCall = "OLD";
    f.serial.ClearWritten();
    f.prompts.modalActions.enqueue(ListOk(-1));
    form.MenuCallAListStationClick();
    QCOMPARE(form.st.HisCall, QString());
    QCOMPARE(f.Written(), QByteArray("\x01OPG\x17"));
}

void CallsTest::listCallCancelledKeepsLastChoice() {
    FormFixture f;
    f.WriteFile("Dervalo.cal", kCallList);
    THoofdForm& form = f.Create();
    Listen(f);
    // Cancel before any OK: the call becomes empty.
    form.st.HisCall = "OLD";
    f.prompts.modalActions.enqueue(ListCancel(0));
    form.MenuCallAListStationClick();
    QCOMPARE(form.st.HisCall, QString());

    f.prompts.modalActions.enqueue(ListOk(0));
    form.MenuCallAListStationClick();
    f.serial.ClearWritten();
    form.st.HisCall = "SOMEONE";
    f.prompts.modalActions.enqueue(ListCancel(3));
    form.MenuCallAListStationClick();
    QCOMPARE(form.st.HisCall, QString("PA3XYZ"));
    QCOMPARE(f.Written(), QByteArray());
    QVERIFY(!form.ListConnectForm->Confirmed);

    // Its close box is Cancel as well.
    f.prompts.modalActions.enqueue([](QDialog& d) {
        d.show();
        d.close();
        return d.result();
    });
    form.MenuCallAListStationClick();
    QCOMPARE(f.Written(), QByteArray());
    QVERIFY(form.StatusAanvraagTimer.isActive());
}

void CallsTest::listCallWithoutTheFile() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Listen(f, true);
    form.st.HisCall = "OLD";
    f.serial.ClearWritten();
    f.prompts.log.clear();
    form.MenuCallAListStationClick();
    QCOMPARE(f.prompts.Boxes(), QStringList{"Dervalo    Warning|Dervalo.cal not found !"});
    QVERIFY(f.prompts.Calls("modal").isEmpty());
    QCOMPARE(form.st.HisCall, QString("OLD"));
    QCOMPARE(f.Written(), QByteArray());

    // The AMTOR page's button still sets the call from the last choice.
    form.AmtorListcall->click();
    QCOMPARE(form.st.HisCall, QString());
    f.WriteFile("Dervalo.cal", kCallList);
    f.prompts.modalActions.enqueue(ListOk(3));
    form.AmtorListcall->click();
    QCOMPARE(f.Written(), QByteArray("\x01OACG4ABC\x17"));
    QFile::remove(f.Path("Dervalo.cal"));
    form.st.HisCall = "OLD";
    form.AmtorListcall->click();
    QCOMPARE(form.st.HisCall, QString("G4ABC"));
}

void CallsTest::callListShownAfresh() {
    FormFixture f;
    f.WriteFile("Dervalo.cal", "PA3XYZ\r\nDL1ABC\r\n");
    THoofdForm& form = f.Create();
    TListConnectForm& dlg = *form.ListConnectForm;
    f.prompts.log.clear();
    dlg.FormShow();
    QCOMPARE(dlg.Inputcalls->count(), 2);
    // The file is read again at every showing.
    f.WriteFile("Dervalo.cal", "G4ABC\r\n");
    dlg.FormShow();
    QCOMPARE(dlg.Inputcalls->count(), 1);
    QCOMPARE(dlg.Inputcalls->item(0)->text(), QString("G4ABC"));
    // Gone meanwhile: a box, and the calls of the last reading stay.
    QFile::remove(f.Path("Dervalo.cal"));
    dlg.FormShow();
    QCOMPARE(f.prompts.Boxes(), QStringList{"Warning|Dervalo.Cal not found on disk"});
    QCOMPARE(dlg.Inputcalls->count(), 1);
    QCOMPARE(dlg.Calls.Count(), 1);
    // There but unreadable: an empty list and no box.
    QVERIFY(QDir(f.dir.path()).mkdir("Dervalo.cal"));
    dlg.FormShow();
    QCOMPARE(dlg.Inputcalls->count(), 0);
    QCOMPARE(dlg.Calls.Count(), 0);
    QCOMPARE(f.prompts.Boxes().size(), 1);
}

void CallsTest::hisDeMy_data() {
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<QByteArray>("text"); // empty: nothing at all
    QTest::newRow("PACTOR link") << QList<QByteArray>{"OPPG1---0", "OPPG3S-0"}
                                 << QByteArray("DL1ABC de PA0ABC =>");
    QTest::newRow("AMTOR link") << QList<QByteArray>{"OPAC1---0", "OPAC3S-0"}
                                << QByteArray("DL1ABC de PA0ABC");
    QTest::newRow("RTTY") << QList<QByteArray>{"OPBA0---0"} << QByteArray("DL1ABC de PA0ABC");
    QTest::newRow("PACTOR listen") << QList<QByteArray>{"OPPN3---0"} << QByteArray();
    QTest::newRow("AMTOR calling") << QList<QByteArray>{"OPAC1---0"} << QByteArray();
    QTest::newRow("after the link")
        << QList<QByteArray>{"OPPG1---0", "OPPG3S-0", "OPPt0---0"} << QByteArray();
}

void CallsTest::hisDeMy() {
    QFETCH(QList<QByteArray>, replies);
    QFETCH(QByteArray, text);
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings("COM1", "9600", false, false, "PA0ABC"));
    THoofdForm& form = f.Create();
    form.st.HisCall = "DL1ABC";
    for (const QByteArray& r : replies)
        Feed(f, Reply(r));
    const int lines = form.ZendWindow->blockCount();
    f.serial.ClearWritten();
    form.MenuSendHiscalldeMycallClick();
    if (text.isEmpty()) {
        QCOMPARE(f.Written(), QByteArray());
        QCOMPARE(form.ZendWindow->blockCount(), lines);
    } else {
        QCOMPARE(f.Written(), "\x01 " + text + "\r\x17");
        QCOMPARE(LastLine(form), QString::fromLatin1(text));
        QCOMPARE(form.ZendWindow->blockCount(), lines + 1);
    }
}

void CallsTest::ownCallInAmtor() {
    FormFixture f;
    f.WriteFile("Dervalo.INI",
                FormFixture::Settings("COM1", "9600", false, false, "PA0ABC", "PAAB"));
    THoofdForm& form = f.Create();
    Listen(f, true);
    form.st.HostModeActive = true;
    f.serial.ClearWritten();
    QString shown;
    f.prompts.modalActions.enqueue(OwnCall("ABCDEF", &shown));
    form.MenuYourcallClick();
    QCOMPARE(shown, QString("PA0ABC")); // the own call as last entered
    QCOMPARE(form.st.MyCall, QString("ABCDEF"));
    QCOMPARE(form.st.MySelCall, QString("ABCD"));
    QCOMPARE(form.st.DefaultMyCall, QString("PA0ABC"));
    // Unframed, in HOST mode too.
    QCOMPARE(f.Written(), QByteArray("MYC ABCDEF\r"));
    QVERIFY(form.StatusAanvraagTimer.isActive());
    // Next time the dialog starts with it.
    f.prompts.modalActions.enqueue(OwnCall("ABCDEF", &shown));
    form.MenuYourcallClick();
    QCOMPARE(shown, QString("ABCDEF"));
}

void CallsTest::ownCallInPactorPersists() {
    FormFixture f;
    f.WriteFile("Dervalo.INI",
                FormFixture::Settings("COM1", "9600", false, false, "PA0ABC", "PAAB"));
    THoofdForm& form = f.Create();
    Listen(f);
    f.serial.ClearWritten();
    f.prompts.modalActions.enqueue(OwnCall("ON4XYZ"));
    form.MenuYourcallClick();
    QCOMPARE(form.st.DefaultMyCall, QString("ON4XYZ"));
    QCOMPARE(form.st.MySelCall, QString("PAAB"));
    QCOMPARE(f.Written(), QByteArray("MYC ON4XYZ\r"));
    // His de My names the new own call.
    form.st.HisCall = "DL1ABC";
    Feed(f, Reply("OPPG1---0"));
    Feed(f, Reply("OPPG3S-0"));
    f.serial.ClearWritten();
    form.SpeedHiscall->click();
    QCOMPARE(f.Written(), QByteArray("\x01 DL1ABC de ON4XYZ =>\r\x17"));
    form.close();
    QVERIFY(f.ReadFile("Dervalo.INI").contains("\r\nON4XYZ\r\nPAAB\r\n"));
}

void CallsTest::ownCallCancelled() {
    FormFixture f;
    THoofdForm& form = f.Create();
    const QString call = form.st.DefaultMyCall;
    f.serial.ClearWritten();
    f.prompts.modalActions.enqueue([](QDialog& d) {
        auto& dlg = static_cast<TYourcallForm&>(d);
        dlg.CallInput->setText("XX1XX");
        dlg.CancelKnopClick();
        return dlg.result();
    });
    form.MenuYourcallClick();
    f.prompts.modalActions.enqueue([](QDialog& d) {
        d.show();
        d.close();
        return d.result();
    });
    form.MenuYourcallClick();
    QCOMPARE(form.st.MyCall, call);
    QCOMPARE(form.st.DefaultMyCall, call);
    QCOMPARE(f.Written(), QByteArray());
    QVERIFY(form.StatusAanvraagTimer.isActive());
}

void CallsTest::changeOver_data() {
    QTest::addColumn<bool>("amtor");
    QTest::addColumn<int>("link"); // 0 none, 1 this side sending, 2 receiving
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("PACTOR, no link") << false << 0 << QByteArray();
    QTest::newRow("AMTOR, no link") << true << 0 << QByteArray();
    QTest::newRow("PACTOR, sending") << false << 1 << QByteArray("\x01 \x19\x17");
    QTest::newRow("PACTOR, receiving") << false << 2 << QByteArray("\x01OAG\x17");
    QTest::newRow("AMTOR, sending") << true << 1 << QByteArray("\x01 +?\x17");
    QTest::newRow("AMTOR, receiving") << true << 2 << QByteArray("\x01OAG\x17");
}

void CallsTest::changeOver() {
    QFETCH(bool, amtor);
    QFETCH(int, link);
    QFETCH(QByteArray, bytes);
    FormFixture f;
    THoofdForm& form = f.Create();
    if (link == 0)
        Listen(f, amtor);
    else
        Connect(f, amtor, link == 1);
    f.serial.ClearWritten();
    form.MenuChangeOverClick();
    QCOMPARE(f.Written(), bytes);
    // The turn changes during the link: the other form from now on.
    if (link != 0) {
        const bool sending = link != 1;
        Turn(f, amtor, sending);
        f.serial.ClearWritten();
        form.SpeedCho->click();
        const QByteArray inBand = amtor ? "\x01 +?\x17" : "\x01 \x19\x17";
        QCOMPARE(f.Written(), sending ? inBand : QByteArray("\x01OAG\x17"));
    }
}

void CallsTest::disconnect_data() {
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<bool>("dumb");
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray end = "\x01 \x04\x17";
    QTest::newRow("PACTOR, receiving")
        << QList<QByteArray>{"OPPG1---0", "OPPG3--0"} << false << "\x01OAG\x17" + end;
    QTest::newRow("AMTOR, receiving")
        << QList<QByteArray>{"OPAC1---0", "OPAC3--0"} << false << "\x01OAG\x17" + end;
    QTest::newRow("PACTOR, sending") << QList<QByteArray>{"OPPG1---0", "OPPG3S-0"} << false << end;
    QTest::newRow("AMTOR, sending") << QList<QByteArray>{"OPAC1---0", "OPAC3S-0"} << false << end;
    QTest::newRow("no link") << QList<QByteArray>{"OPPN3---0"} << false << end;
    QTest::newRow("RTTY") << QList<QByteArray>{"OPBA0---0"} << false << end;
    QTest::newRow("dumb terminal") << QList<QByteArray>{} << true << end;
}

void CallsTest::disconnect() {
    QFETCH(QList<QByteArray>, replies);
    QFETCH(bool, dumb);
    QFETCH(QByteArray, bytes);
    FormFixture f;
    THoofdForm& form = f.Create();
    for (const QByteArray& r : replies)
        Feed(f, Reply(r));
    form.st.DumbMode = dumb;
    f.serial.ClearWritten();
    form.MenuDisconnectClick();
    QCOMPARE(f.Written(), bytes);
}

void CallsTest::hardDisconnect() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Connect(f, false, false);
    f.serial.ClearWritten();
    form.MenuHardDisconnectClick();
    QCOMPARE(f.Written(), QByteArray("\x01OPt\x17"));
    Connect(f, true, true);
    f.serial.ClearWritten();
    form.MenuHardDisconnectClick();
    QCOMPARE(f.Written(), QByteArray("\x01OAM\x17"));
    Rtty(f);
    f.serial.ClearWritten();
    form.MenuHardDisconnectClick();
    QCOMPARE(f.Written(), QByteArray());
}

void CallsTest::buttonsAndMenuItemsForward() {
    // Each button and menu item reaches its operation: the dialog it shows,
    // or the bytes it writes, from PACTOR listen.
    struct Case {
        const char* name;
        std::function<void(THoofdForm&)> press;
        QString modal;
        QByteArray bytes;
    };
    const QByteArray end = "\x01 \x04\x17";
    const QList<Case> cases = {
        {"PactorCall", [](THoofdForm& w) { w.PactorCall->click(); }, "modal|ConnectForm", {}},
        {"Amtorcall", [](THoofdForm& w) { w.Amtorcall->click(); }, "modal|ConnectForm", {}},
        {"RttyHiscall", [](THoofdForm& w) { w.RttyHiscall->click(); }, "modal|ConnectForm", {}},
        {"F5", [](THoofdForm& w) { w.MenuCallAstation->trigger(); }, "modal|ConnectForm", {}},
        {"PactorListCall",
         [](THoofdForm& w) { w.PactorListCall->click(); },
         "modal|ListConnectForm",
         {}},
        {"AmtorListcall",
         [](THoofdForm& w) { w.AmtorListcall->click(); },
         "modal|ListConnectForm",
         {}},
        {"Alt+F5",
         [](THoofdForm& w) { w.MenuCallAListStation->trigger(); },
         "modal|ListConnectForm",
         {}},
        {"Your call", [](THoofdForm& w) { w.MenuYourcall->trigger(); }, "modal|YourcallForm", {}},
        {"pactorDisconnect", [](THoofdForm& w) { w.pactorDisconnect->click(); }, {}, end},
        {"AmtorDisConnect", [](THoofdForm& w) { w.AmtorDisConnect->click(); }, {}, end},
        {"Alt+D", [](THoofdForm& w) { w.MenuDisconnect->trigger(); }, {}, end},
        {"PactorHardDisconnect",
         [](THoofdForm& w) { w.PactorHardDisconnect->click(); },
         {},
         "\x01OPt\x17"},
        {"AmtorHardDisconnect",
         [](THoofdForm& w) { w.AmtorHardDisconnect->click(); },
         {},
         "\x01OPt\x17"},
        {"Alt+H", [](THoofdForm& w) { w.MenuHardDisconnect->trigger(); }, {}, "\x01OPt\x17"},
    };
    for (const Case& c : cases) {
        FormFixture f;
        f.WriteFile("Dervalo.cal", kCallList);
        THoofdForm& form = f.Create();
        Listen(f);
        f.serial.ClearWritten();
        form.pactorDisconnect->setEnabled(true); // locked outside a link by the mode bar
        form.AmtorDisConnect->setEnabled(true);
        form.PactorHardDisconnect->setEnabled(true);
        form.AmtorHardDisconnect->setEnabled(true);
        c.press(form);
        QCOMPARE(f.prompts.Calls("modal").join(","), c.modal);
        QVERIFY2(f.Written() == c.bytes, c.name);
    }
    // The shortcuts and captions the operator sees.
    FormFixture f;
    THoofdForm& form = f.Create();
    QCOMPARE(form.MenuCallAstation->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(form.MenuCallAListStation->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F5));
    QCOMPARE(form.MenuSendHiscalldeMycall->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_End));
    QCOMPARE(form.MenuChangeOver->shortcut(), QKeySequence(Qt::Key_End));
    QCOMPARE(form.MenuDisconnect->shortcut(), QKeySequence(Qt::ALT | Qt::Key_D));
    QCOMPARE(form.MenuHardDisconnect->shortcut(), QKeySequence(Qt::ALT | Qt::Key_H));
    QCOMPARE(form.SpeedHiscall->text(), QString("His de My"));
    QCOMPARE(form.SpeedHiscall->toolTip(), QString("Send HisCall de Mycall"));
    QCOMPARE(form.SpeedCho->text(), QString("CHO"));
    QCOMPARE(form.SpeedCho->toolTip(), QString("Change Over"));
}

QTEST_MAIN(CallsTest)
#include "tst_calls.moc"
