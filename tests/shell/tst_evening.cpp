// The operator's evening in the main window: link event lines (window,
// capture file, saved buffer, picking), macros on the line, the entry window
// with worked before, prefill, the band choice, TIME_OFF, the own station and
// a pick used once, contacts handed on as UDP datagrams, and F1's own viewer.
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QUdpSocket>
#include <QtTest>

#include "../logbook/AdiReader.h"
#include "FormFixture.h"
#include "LogBookSupport.h"
#include "host/Frames.h"
#include "logbook/LogBookInvulForm.h"
#include "logbook/LogBookWidgets.h"
#include "shell/Widgets.h"

using namespace LogBookSupport;

namespace {
const QDateTime kEvening(QDate(2026, 11, 20), QTime(19, 42, 0), Qt::UTC);

QByteArray ThreeContacts() {
    return EntryRecord("PA3XYZ", "Piet", "Utrecht", "10/1/26 ") +
           EntryRecord("DL1ABC", "Hans", "Bonn", "10/5/26 ") +
           EntryRecord("PA3XYZ", "", "", "11/2/26 ");
}
void Link(THoofdForm& form, bool up) {
    form.st.ModeName = "PACTOR";
    form.st.HisCall = "PA3XYZ";
    form.st.IsConnected = up;
    form.st.LinkStateText = up ? "CONNECT" : "STANDBY";
    form.StatusLine();
}
void SelectIn(THoofdForm& form, const QString& word) {
    const QString text = form.ReceiveWindow->toPlainText();
    QTextCursor c = form.ReceiveWindow->textCursor();
    c.setPosition(text.lastIndexOf(word));
    c.setPosition(text.lastIndexOf(word) + word.size(), QTextCursor::KeepAnchor);
    form.ReceiveWindow->setTextCursor(c);
}
void Click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(4, 4));
}
} // namespace

class EveningTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void eventLinesGoWhereReceivedTextGoes();
    void macroGoesOutAsTyped();
    void entryWindowAfterALink();
    void contactsHandedOnAsDatagrams();
    void helpShowsTheManualInItsOwnViewer();
};

void EveningTest::eventLinesGoWhereReceivedTextGoes() {
    FormFixture f;
    f.WriteFile("Dervalo-extra.ini", "UtcStamp=on\r\n");
    THoofdForm& form = StartWithLogBook(f, ThreeContacts());
    f.prompts.fileAnswers.enqueue("capture.log");
    form.MenuOpenLogFileClick();
    f.clock.SetNow(kEvening);
    form.schryfText("rx line\rhalf");
    Link(form, true);
    f.clock.Advance(16 * 60 * 1000 + 500);
    Link(form, false);
    // In the window the events stand above the half line, which goes on;
    // the capture file gets them once that line ends.
    const QByteArray events =
        "*** 19:42 UTC  CONNECTED to PA3XYZ: worked 2x before, last 2026-11-02, Piet, Utrecht\r"
        "*** 19:58 UTC  DISCONNECTED from PA3XYZ (16 min)\r";
    QCOMPARE(f.ReadFile("capture.log"), QByteArray("19:42 rx line\r19:42 half"));
    QByteArray shown = "19:42 rx line\r" + events + "19:42 half";
    shown.replace("\r", "\r\n");
    QCOMPARE(form.ReceiveBufferBytes(), shown);
    form.schryfText("way\rnext");
    QCOMPARE(f.ReadFile("capture.log"), "19:42 rx line\r19:42 halfway\r" + events + "19:58 next");
    QCOMPARE(form.ReceiveBufferBytes(), shown + "way\r\n19:58 next");
    // At the start of a line an event simply comes next, in both.
    form.schryfText("\r");
    Link(form, true);
    QVERIFY(f.ReadFile("capture.log").endsWith("next\r*** 19:58 UTC  CONNECTED to PA3XYZ: worked 2x before, last 2026-11-02, Piet, Utrecht\r"));
    QVERIFY(form.ReceiveBufferBytes().endsWith("next\r\n*** 19:58 UTC  CONNECTED to PA3XYZ: worked 2x before, last 2026-11-02, Piet, Utrecht\r\n"));
    // A call in an event line is picked like any word.
    f.prompts.modalActions.enqueue([](QDialog&) { return 0; });
    SelectIn(form, "PA3XYZ");
    form.ReceiveWindowDblClick();
    QCOMPARE(form.st.PickedCall, QString("PA3XYZ"));
}

void EveningTest::macroGoesOutAsTyped() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Start();
    // Not connected in PACTOR: shown, nothing sent, as typing would.
    form.st.ModeName = "PACTOR";
    form.st.LinkStateText = "STANDBY";
    f.serial.ClearWritten();
    form.ZendWindow->clear();
    form.SendMacro(2);
    QCOMPARE(f.Written(), QByteArray());
    QCOMPARE(form.ZendWindow->toPlainText(), QString("73  de PA0ABC SK"));
    form.ZendWindow->clear();
    Link(form, true);
    f.serial.ClearWritten();
    form.SendMacro(0);
    QByteArray frames;
    for (const char c : QByteArray("PA3XYZ de PA0ABC "))
        frames += Frames::DataFrame(QByteArray(1, c));
    QCOMPARE(f.Written(), frames);
    QCOMPARE(form.ZendWindow->toPlainText(), QString("PA3XYZ de PA0ABC "));
    // Ctrl+1 is the first macro's key, in the Macros menu.
    QAction* first = form.findChild<QAction*>("MenuMacro1");
    QVERIFY(first);
    QCOMPARE(first->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_1));
    // Both new menus stand before Help, without an Alt letter (Alt+T is
    // "Clear Tx Screen"), and Station holds its three dialogs.
    QStringList titles;
    for (QAction* a : form.menuBar()->actions())
        titles << a->text();
    QCOMPARE(titles.mid(titles.size() - 3), QStringList({"Macros", "Station", "Help"}));
    QStringList station;
    for (QAction* a : form.findChild<QMenu*>("StationMenu")->actions())
        station << a->text();
    QCOMPARE(station, QStringList({"Rig…", "Logging…", "My station…"}));
    QCOMPARE(form.findChild<QAction*>("MenuMacro10")->shortcut(),
             QKeySequence(Qt::CTRL | Qt::Key_0));
}

void EveningTest::entryWindowAfterALink() {
    FormFixture f;
    f.WriteFile("Dervalo-extra.ini", "MyLocator=JO22\r\nOperator=PA0ABC\r\n");
    THoofdForm& form = StartWithLogBook(f, ThreeContacts());
    f.clock.SetNow(kEvening);
    Link(form, true);
    f.clock.Advance(10 * 60 * 1000);
    Link(form, false);
    f.clock.Advance(60 * 1000);
    form.schryfText("name is Kees\r");
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog& d) {
        auto& e = static_cast<TLogBookInvulForm&>(d);
        QVERIFY(e.BandBox->isVisible()); // no rig: the band is chosen here
        Click(e.CallLabel);
        QCOMPARE(e.CallEdit->text(), QString("PA3XYZ"));
        // Filled from the last contact with the call.
        QCOMPARE(e.NameEdit->text(), QString("Piet"));
        QCOMPARE(e.QthEdit->text(), QString("Utrecht"));
        // The pick went into one field: this click only places the caret.
        Click(e.QthEdit);
        QCOMPARE(e.QthEdit->text(), QString("Utrecht"));
        e.BandBox->setCurrentText("40m");
        Click(e.LogInvulSaveKnop);
    }));
    SelectIn(form, "PA3XYZ");
    form.ReceiveWindowDblClick();
    QVERIFY(form.ReceiveBufferBytes().endsWith(
        "*** 19:53 UTC  PA3XYZ: worked 2x before, last 2026-11-02, Piet, Utrecht\r\n"));
    const AdiFile adi = ReadAdi(f.ReadFile("Dervalo.adi"));
    QVERIFY2(adi.error.isEmpty(), adi.error.constData());
    const QByteArrayList r = adi.records.value(0);
    for (const char* field : {"CALL=PA3XYZ", "TIME_ON=194200", "TIME_OFF=195200", "BAND=40m",
                              "NAME=Piet", "MY_GRIDSQUARE=JO22", "OPERATOR=PA0ABC"})
        QVERIFY2(r.contains(field), qPrintable(r.join(' ') + " lacks " + field));
    // The band is remembered; the next pick with a name goes into Name only.
    QVERIFY(f.ReadFile("Dervalo-extra.ini").contains("Band=40m\r\n"));
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog& d) {
        auto& e = static_cast<TLogBookInvulForm&>(d);
        QCOMPARE(e.BandBox->currentText(), QString("40m"));
        Click(e.NameLabel);
        Click(e.CallEdit);
        QCOMPARE(e.NameEdit->text(), QString("Kees"));
        QCOMPARE(e.CallEdit->text(), QString());
    }));
    SelectIn(form, "Kees");
    form.ReceiveWindowDblClick();
    QCOMPARE(form.st.LogBookRecordCount, 4);
}

void EveningTest::contactsHandedOnAsDatagrams() {
    QUdpSocket wsjtx, adif;
    QVERIFY(wsjtx.bind(QHostAddress::LocalHost, 0));
    QVERIFY(adif.bind(QHostAddress::LocalHost, 0));
    FormFixture f;
    f.WriteFile("Dervalo-extra.ini",
                QStringLiteral("LogWsjtx=127.0.0.1:%1\r\nLogAdifUdp=127.0.0.1:%2\r\n")
                    .arg(wsjtx.localPort())
                    .arg(adif.localPort())
                    .toLatin1());
    THoofdForm& form = StartWithLogBook(f);
    TLogBookInvulForm& e = *form.LogBookInvulForm;
    e.CallEdit->setText("PA3XYZ");
    e.QthEdit->setText(QString::fromUtf8("Köln"));
    e.BandBox->setCurrentText("20m");
    e.LogInvulSaveKnopClick();
    QTRY_VERIFY_WITH_TIMEOUT(wsjtx.hasPendingDatagrams() && adif.hasPendingDatagrams(), 5000);
    QByteArray d(int(wsjtx.pendingDatagramSize()), '\0');
    wsjtx.readDatagram(d.data(), d.size());
    QByteArray plain(int(adif.pendingDatagramSize()), '\0');
    adif.readDatagram(plain.data(), plain.size());
    QCOMPARE(d.left(12), QByteArray::fromHex("adbccbda000000030000000c"));
    QCOMPARE(d.mid(12, 11), QByteArray("\0\0\0\x07"
                                       "Dervalo",
                                       11));
    QCOMPARE(d.mid(27), plain);
    const AdiFile read = ReadAdi(plain);
    QVERIFY2(read.error.isEmpty(), read.error.constData());
    QVERIFY(read.records.value(0).contains("QTH=Koln"));
    QVERIFY(read.records.value(0).contains("BAND=20m"));
    // The logbook keeps the text as typed.
    QVERIFY(f.ReadFile("Halvuro.log").contains("K\xF6ln"));

    // A target that does not read: one note on the status line, no box.
    f.WriteFile("Dervalo-extra.ini", "LogAdifUdp=nowhere\r\n");
    form.LoadEveningSettings();
    for (int i = 0; i < 2; ++i) {
        e.CallEdit->setText("PA3XYZ");
        e.LogInvulSaveKnopClick();
    }
    QCOMPARE(form.Transmitbalk->text(),
             QString("Contact not handed on: ADIF nowhere: not HOST:PORT"));
    QCOMPARE(f.prompts.Boxes(), QStringList());
}

void EveningTest::helpShowsTheManualInItsOwnViewer() {
    FormFixture f;
    f.WriteFile("manual.html", "<html><body><h1>Dervalo</h1></body></html>");
    THoofdForm& form = f.Start();
    form.SetManualCandidates({f.Path("manual.html")});
    f.prompts.openDocumentResult = false;
    QString shown;
    f.prompts.modalActions.enqueue([&](QDialog& d) {
        shown = d.findChild<QTextBrowser*>("ManualBrowser")->toPlainText();
        return 0;
    });
    form.Help1Click();
    QCOMPARE(f.prompts.Calls("modal"), QStringList{"modal|ManualViewer"});
    QVERIFY(shown.contains("Dervalo"));
}

QTEST_MAIN(EveningTest)
#include "tst_evening.moc"
