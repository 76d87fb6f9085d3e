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
// A scripted answer to a dialog of type D.
template <class D> std::function<int(QDialog&)> Answer(std::function<void(D&)> act) {
    return [act](QDialog& d) {
        act(static_cast<D&>(d));
        return d.result();
    };
}
std::function<int(QDialog&)> CloseBox() {
    return [](QDialog& d) {
        d.show();
        d.close();
        return d.result();
    };
}
auto ConnectOk(const QString& call, QString* label = nullptr) {
    return Answer<TConnectForm>([=](TConnectForm& d) {
        if (label) *label = d.Label1->text();
        d.InputCall->setText(call);
        d.ConnectOkKnopClick();
    });
}
// OK with this line selected (-1: none), or Cancel.
auto ListOk(int row) {
    return Answer<TListConnectForm>([=](TListConnectForm& d) {
        if (row >= 0) d.Inputcalls->setCurrentRow(row);
        d.OkKnopClick();
    });
}
auto ListCancel(int row) {
    return Answer<TListConnectForm>([=](TListConnectForm& d) {
        d.Inputcalls->setCurrentRow(row);
        d.CancelKnopClick();
    });
}
auto OwnCall(const QString& call, QString* shown = nullptr) {
    return Answer<TYourcallForm>([=](TYourcallForm& d) {
        if (shown) *shown = d.CallInput->text();
        d.CallInput->setText(call);
        d.OkKnopClick();
    });
}
void FeedAll(FormFixture& f, const QList<QByteArray>& replies) {
    for (const QByteArray& r : replies)
        Feed(f, Reply(r));
}
const QByteArray kCallList = "PA3XYZ\r\n\r\nDL1ABC/MM/QRPX\r\n   \r\n\r\nG4ABC\r\n";
const QByteArray kEnd = "\x01 \x04\x17";
} // namespace

class CallsTest : public QObject {
    Q_OBJECT
private slots:
    void callDialog();
    void giveCallOnly_data();
    void giveCallOnly();
    void listCall();
    void listCallWithoutSelectionCancelOrFile();
    void callListShownAfresh();
    void hisDeMy_data();
    void hisDeMy();
    void ownCall();
    void changeOver_data();
    void changeOver();
    void disconnect_data();
    void disconnect();
    void buttonsAndMenuItemsForward();
};

void CallsTest::callDialog() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Listen(f);
    f.serial.ClearWritten();
    // Empty, cancelled (what was typed stays in the box), closed.
    form.st.HisCall = "OLD";
    f.prompts.modalActions.enqueue(ConnectOk(""));
    form.MenuCallAstationClick();
    QCOMPARE(form.st.HisCall, QString());
    for (auto answer : {Answer<TConnectForm>([](TConnectForm& d) {
                            d.InputCall->setText("PA3XYZ");
                            d.CancelKnopClick();
                        }),
                        CloseBox()}) {
        form.st.HisCall = "OLD";
        f.prompts.modalActions.enqueue(answer);
        form.MenuCallAstationClick();
        QCOMPARE(form.st.HisCall, QString());
        QCOMPARE(form.ConnectForm->InputCall->text(), QString("PA3XYZ"));
    }
    QCOMPARE(f.Written(), QByteArray());
    QVERIFY(form.StatusAanvraagTimer.isActive());

    QString label;
    f.prompts.modalActions.enqueue(ConnectOk("PA3XYZ", &label));
    form.MenuCallAstationClick();
    QCOMPARE(label, QString("Connect To:"));
    QCOMPARE(form.st.HisCall, QString("PA3XYZ"));
    QCOMPARE(f.Written(), QByteArray("\x01OPGPA3XYZ\x17"));
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
    FeedAll(f, replies);
    f.serial.ClearWritten();
    QString shown;
    f.prompts.modalActions.enqueue(ConnectOk("G4ABC", &shown));
    form.MenuCallAstationClick();
    QCOMPARE(shown, label);
    QCOMPARE(form.st.HisCall, QString("G4ABC"));
    QCOMPARE(f.Written(), QByteArray());
    // The label follows the state at every use.
    Listen(f);
    f.prompts.modalActions.enqueue(ConnectOk("G4ABC", &shown));
    form.MenuCallAstationClick();
    QCOMPARE(shown, QString("Connect To:"));
}

void CallsTest::listCall() {
    FormFixture f;
    f.WriteFile("DERVALO.CAL", kCallList); // any letter case
    THoofdForm& form = f.Create();
    Listen(f);
    f.serial.ClearWritten();
    f.prompts.modalActions.enqueue(ListOk(1));
    form.MenuCallAListStationClick();
    // Blank lines skipped, a line of blanks listed, a long line listed with
    // 11 characters and called with 8.
    QStringList shown;
    for (int i = 0; i < form.ListConnectForm->Inputcalls->count(); ++i)
        shown << form.ListConnectForm->Inputcalls->item(i)->text();
    QCOMPARE(shown, (QStringList{"PA3XYZ", "DL1ABC/MM/Q", "   ", "G4ABC"}));
    QCOMPARE(form.st.HisCall, QString("DL1ABC/M"));
    QCOMPARE(f.Written(), QByteArray("\x01OPGDL1ABC/M\x17"));
    QVERIFY(form.StatusAanvraagTimer.isActive());
    // AMTOR, and the link is not looked at.
    FeedAll(f, {"OPAC1---0", "OPAC3--0"});
    QVERIFY(form.st.IsConnected);
    f.serial.ClearWritten();
    f.prompts.modalActions.enqueue(ListOk(3));
    form.MenuCallAListStationClick();
    QCOMPARE(f.Written(), QByteArray("\x01OACG4ABC\x17"));
}

void CallsTest::listCallWithoutSelectionCancelOrFile() {
    FormFixture f;
    f.WriteFile("Dervalo.cal", kCallList);
    THoofdForm& form = f.Create();
    Listen(f);
    form.st.HisCall = "OLD";
    f.prompts.modalActions.enqueue(ListCancel(0)); // before any OK
    form.MenuCallAListStationClick();
    QCOMPARE(form.st.HisCall, QString());
    f.serial.ClearWritten();
    f.prompts.modalActions.enqueue(ListOk(-1));
    form.MenuCallAListStationClick();
    // A focus mark on a line is no selection either.
    f.prompts.modalActions.enqueue(Answer<TListConnectForm>([](TListConnectForm& d) {
        d.Inputcalls->setCurrentRow(0, QItemSelectionModel::NoUpdate);
        d.OkKnopClick();
    }));
    form.MenuCallAListStationClick();
    QCOMPARE(f.Written(), QByteArray("\x01OPG\x17\x01OPG\x17")); // the empty call
    // Cancel and the close box give the call of the last OK, sending nothing.
    f.prompts.modalActions.enqueue(ListOk(0));
    form.MenuCallAListStationClick();
    for (auto answer : {ListCancel(3), CloseBox()}) {
        f.serial.ClearWritten();
        form.st.HisCall = "SOMEONE";
        f.prompts.modalActions.enqueue(answer);
        form.MenuCallAListStationClick();
        QCOMPARE(form.st.HisCall, QString("PA3XYZ"));
        QCOMPARE(f.Written(), QByteArray());
    }

    // Without the file: a warning, no dialog, the call unchanged; the AMTOR
    // page's button still sets the call of the last choice.
    QFile::remove(f.Path("Dervalo.cal"));
    Listen(f, true);
    form.st.HisCall = "SOMEONE";
    f.prompts.log.clear();
    f.serial.ClearWritten();
    form.MenuCallAListStationClick();
    QCOMPARE(f.prompts.log, QStringList{"box|Dervalo    Warning|Dervalo.cal not found !"});
    QCOMPARE(form.st.HisCall, QString("SOMEONE"));
    form.AmtorListcall->click();
    QCOMPARE(form.st.HisCall, QString("PA3XYZ"));
    QCOMPARE(f.Written(), QByteArray());
}

void CallsTest::callListShownAfresh() {
    FormFixture f;
    f.WriteFile("Dervalo.cal", "PA3XYZ\r\nDL1ABC\r\n");
    THoofdForm& form = f.Create();
    TListConnectForm& dlg = *form.ListConnectForm;
    f.prompts.log.clear();
    dlg.FormShow();
    QCOMPARE(dlg.Inputcalls->count(), 2);
    f.WriteFile("Dervalo.cal", "G4ABC\r\n");
    dlg.FormShow();
    QCOMPARE(dlg.Inputcalls->count(), 1);
    // Gone meanwhile: a box, and the calls of the last reading stay.
    QFile::remove(f.Path("Dervalo.cal"));
    dlg.FormShow();
    QCOMPARE(f.prompts.Boxes(), QStringList{"Warning|Dervalo.Cal not found on disk"});
    QCOMPARE(dlg.Inputcalls->count(), 1);
    QCOMPARE(dlg.Inputcalls->item(0)->text(), QString("G4ABC"));
    // There but unreadable: an empty list and no box.
    QVERIFY(QDir(f.dir.path()).mkdir("Dervalo.cal"));
    dlg.FormShow();
    QCOMPARE(dlg.Inputcalls->count(), 0);
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
}

void CallsTest::hisDeMy() {
    QFETCH(QList<QByteArray>, replies);
    QFETCH(QByteArray, text);
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Create();
    form.st.HisCall = "DL1ABC";
    FeedAll(f, replies);
    const int lines = form.ZendWindow->blockCount();
    f.serial.ClearWritten();
    form.MenuSendHiscalldeMycallClick();
    QCOMPARE(f.Written(), text.isEmpty() ? QByteArray() : "\x01 " + text + "\r\x17");
    QCOMPARE(form.ZendWindow->blockCount(), lines + (text.isEmpty() ? 0 : 1));
    if (!text.isEmpty())
        QCOMPARE(form.ZendWindow->document()->lastBlock().text(), QString::fromLatin1(text));
}

void CallsTest::ownCall() {
    FormFixture f;
    f.WriteFile("Dervalo.INI",
                FormFixture::Settings("COM4", "9600", false, false, "PA0ABC", "PAAB"));
    THoofdForm& form = f.Create();
    form.st.HostModeActive = true;
    // Cancel and the close box change nothing.
    f.prompts.modalActions.enqueue(Answer<TYourcallForm>([](TYourcallForm& d) {
        d.CallInput->setText("XX1XX");
        d.CancelKnopClick();
    }));
    f.prompts.modalActions.enqueue(CloseBox());
    form.MenuYourcallClick();
    form.MenuYourcallClick();
    QCOMPARE(form.st.MyCall, QString("PA0ABC"));
    QCOMPARE(f.Written(), QByteArray());

    // Six letters in AMTOR: the selective call takes four, unframed "MYC".
    Listen(f, true);
    QString shown;
    f.prompts.modalActions.enqueue(OwnCall("ABCDEF", &shown));
    form.MenuYourcallClick();
    QCOMPARE(shown, QString("PA0ABC"));
    QCOMPARE(form.st.MyCall, QString("ABCDEF"));
    QCOMPARE(form.st.MySelCall, QString("ABCD"));
    QCOMPARE(form.st.DefaultMyCall, QString("PA0ABC"));
    QCOMPARE(f.Written(), QByteArray("MYC ABCDEF\r"));
    QVERIFY(form.StatusAanvraagTimer.isActive());

    // In PACTOR the own call itself, named by His de My and kept.
    Listen(f);
    f.serial.ClearWritten();
    f.prompts.modalActions.enqueue(OwnCall("ON4XYZ", &shown));
    form.MenuYourcallClick();
    QCOMPARE(shown, QString("ABCDEF"));
    QCOMPARE(form.st.DefaultMyCall, QString("ON4XYZ"));
    QCOMPARE(form.st.MySelCall, QString("ABCD"));
    Connect(f, false, true);
    f.serial.ClearWritten();
    form.MenuSendHiscalldeMycallClick();
    QCOMPARE(f.Written(), QByteArray("\x01 DL1ABC de ON4XYZ =>\r\x17"));
    form.close();
    QVERIFY(f.ReadFile("Dervalo.INI").contains("\r\nON4XYZ\r\nABCD\r\n"));
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
    if (link == 0) return;
    // The turn changes during the link: the other form from then on.
    Turn(f, amtor, link == 2);
    f.serial.ClearWritten();
    form.SpeedCho->click();
    const QByteArray inBand = amtor ? "\x01 +?\x17" : "\x01 \x19\x17";
    QCOMPARE(f.Written(), link == 2 ? inBand : QByteArray("\x01OAG\x17"));
}

void CallsTest::disconnect_data() {
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<QByteArray>("normal");
    QTest::addColumn<QByteArray>("hard");
    QTest::newRow("PACTOR, receiving") << QList<QByteArray>{"OPPG1---0", "OPPG3--0"}
                                       << "\x01OAG\x17" + kEnd << QByteArray("\x01OPt\x17");
    QTest::newRow("AMTOR, receiving") << QList<QByteArray>{"OPAC1---0", "OPAC3--0"}
                                      << "\x01OAG\x17" + kEnd << QByteArray("\x01OAM\x17");
    QTest::newRow("PACTOR, sending")
        << QList<QByteArray>{"OPPG1---0", "OPPG3S-0"} << kEnd << QByteArray("\x01OPt\x17");
    QTest::newRow("AMTOR, sending")
        << QList<QByteArray>{"OPAC1---0", "OPAC3S-0"} << kEnd << QByteArray("\x01OAM\x17");
    QTest::newRow("no link") << QList<QByteArray>{"OPPN3---0"} << kEnd << QByteArray("\x01OPt\x17");
    QTest::newRow("RTTY") << QList<QByteArray>{"OPBA0---0"} << kEnd << QByteArray();
    QTest::newRow("dumb terminal") << QList<QByteArray>{} << kEnd << QByteArray();
}

void CallsTest::disconnect() {
    QFETCH(QList<QByteArray>, replies);
    QFETCH(QByteArray, normal);
    QFETCH(QByteArray, hard);
    FormFixture f;
    THoofdForm& form = f.Create();
    FeedAll(f, replies);
    form.st.DumbMode = replies.isEmpty();
    f.serial.ClearWritten();
    form.MenuDisconnectClick();
    QCOMPARE(f.Written(), normal);
    f.serial.ClearWritten();
    form.MenuHardDisconnectClick();
    QCOMPARE(f.Written(), hard);
}

void CallsTest::buttonsAndMenuItemsForward() {
    // Each button and menu item reaches its operation, from PACTOR listen:
    // the dialog it shows, or the bytes it writes.
    FormFixture f;
    f.WriteFile("Dervalo.cal", kCallList);
    THoofdForm& form = f.Create();
    Listen(f);
    const QString connect = "modal|ConnectForm", list = "modal|ListConnectForm";
    const QList<std::tuple<QObject*, QString, QByteArray>> cases = {
        {form.PactorCall, connect, {}},
        {form.Amtorcall, connect, {}},
        {form.RttyHiscall, connect, {}},
        {form.MenuCallAstation, connect, {}},
        {form.PactorListCall, list, {}},
        {form.AmtorListcall, list, {}},
        {form.MenuCallAListStation, list, {}},
        {form.MenuYourcall, "modal|YourcallForm", {}},
        {form.pactorDisconnect, {}, kEnd},
        {form.AmtorDisConnect, {}, kEnd},
        {form.MenuDisconnect, {}, kEnd},
        {form.PactorHardDisconnect, {}, "\x01OPt\x17"},
        {form.AmtorHardDisconnect, {}, "\x01OPt\x17"},
        {form.MenuHardDisconnect, {}, "\x01OPt\x17"},
    };
    for (const auto& [control, modal, bytes] : cases) {
        f.prompts.log.clear();
        f.serial.ClearWritten();
        if (auto* b = qobject_cast<QToolButton*>(control)) {
            b->setEnabled(true); // some are locked outside a link
            b->click();
        } else {
            static_cast<QAction*>(control)->trigger();
        }
        QCOMPARE(f.prompts.Calls("modal").join(","), modal);
        QCOMPARE(f.Written(), bytes);
    }
    QCOMPARE(form.MenuCallAstation->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(form.MenuCallAListStation->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F5));
    QCOMPARE(form.MenuSendHiscalldeMycall->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_End));
    QCOMPARE(form.MenuChangeOver->shortcut(), QKeySequence(Qt::Key_End));
    QCOMPARE(form.MenuDisconnect->shortcut(), QKeySequence(Qt::ALT | Qt::Key_D));
    QCOMPARE(form.MenuHardDisconnect->shortcut(), QKeySequence(Qt::ALT | Qt::Key_H));
    QCOMPARE(form.SpeedHiscall->text() + "|" + form.SpeedHiscall->toolTip(),
             QString("His de My|Send HisCall de Mycall"));
    QCOMPARE(form.SpeedCho->text() + "|" + form.SpeedCho->toolTip(), QString("CHO|Change Over"));
}

QTEST_MAIN(CallsTest)
#include "tst_calls.moc"
