// Start-up, the close request and the settings file as the program sees them.
#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QtTest>

#include "FormFixture.h"
#include "shell/Widgets.h"

namespace {
// The file written after a start without one: the built-in defaults, all
// switches off.
QByteArray DefaultFile() {
    return FormFixture::Settings("COM4", "9600", false, false, "Hello", "User");
}
} // namespace

class LifecycleTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartWithoutSettings();
    void refusedCloseStillWritesSettings();
    void confirmedCloseStoresMaximizedState();
    void maildropOnAtStart();
    void initPkOffSendsNothing();
    void settingsFoundWhateverTheCase();
    void helpAndEditor();
    void helpOpensTheInstalledManual();
    void unwritableSettingsFolder();
};

void LifecycleTest::firstStartWithoutSettings() {
    FormFixture f;
    THoofdForm& form = f.Start();

    // The warning, with the timers stopped, then the defaults.
    QCOMPARE(f.prompts.Boxes(), QStringList{"Dervalo    Warning|Dervalo.ini not found on disk"});
    QCOMPARE(form.Pane8->text(), QString("COM4: 9600"));
    QCOMPARE(form.st.MyCall, QString("Hello"));
    QCOMPARE(form.Versie->text(), QString("Version 3.01"));
    QVERIFY(!form.MenuShowLogBook->isEnabled());
    QVERIFY(!form.MenuEditLogBook->isEnabled());
    QVERIFY(!form.PkInit->isChecked());
    QCOMPARE(f.serial.OpenedDevice(), QString("COM4"));
    QCOMPARE(f.serial.Baud(), quint16(9600));
    // The transmit window is yellow on blue, the receive window silver.
    QCOMPARE(form.ZendWindow->palette().color(QPalette::Base), QColor(0, 0, 255));
    QCOMPARE(form.ZendWindow->palette().color(QPalette::Text), QColor(255, 255, 0));
    QCOMPARE(form.ReceiveWindow->palette().color(QPalette::Base), QColor(192, 192, 192));
    QVERIFY(form.ReceiveWindow->font().fixedPitch() ||
            !form.ReceiveWindow->font().family().isEmpty());
    // "Init Pk" is off: the controller is taken to be in HOST mode already,
    // and only the clock goes out (plain, since HOST mode was not yet set).
    QCOMPARE(form.Transmitbalk->text(), QString("Transmit"));
    QVERIFY(form.st.HostModeActive);
    QVERIFY(!form.st.PkStarted);
    QVERIFY(form.StatusAanvraagTimer.isActive());
    QVERIFY(form.Schryfinterval.isActive());

    // A confirmed close leaves the 31-line default file behind.
    QVERIFY(!QFile::exists(f.Path("Dervalo.INI")));
    form.close();
    QCOMPARE(f.prompts.Calls("confirm"), QStringList{"confirm|Dervalo|Close Dervalo?"});
    QCOMPARE(f.ReadFile("Dervalo.INI"), DefaultFile());
    QVERIFY(form.st.Closing);
}

void LifecycleTest::refusedCloseStillWritesSettings() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings("COM2", "19200"));
    THoofdForm& form = f.Start();
    QVERIFY(f.prompts.Boxes().isEmpty());
    QCOMPARE(form.Pane8->text(), QString("COM2: 19200"));
    QFile::remove(f.Path("Dervalo.INI"));

    f.prompts.confirmAnswers.enqueue(false);
    QVERIFY(!form.close());
    QVERIFY(form.isVisible());
    QVERIFY(!form.st.Closing);
    const QByteArray written = f.ReadFile("Dervalo.INI");
    QCOMPARE(written, FormFixture::Settings("COM2", "19200"));
}

void LifecycleTest::confirmedCloseStoresMaximizedState() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Start();
    form.showMaximized();
    QVERIFY(form.isMaximized());
    // A refused close keeps the state from the start.
    f.prompts.confirmAnswers.enqueue(false);
    form.close();
    QVERIFY(f.ReadFile("Dervalo.INI").split('\n').at(27).startsWith("OFF"));
    // A confirmed one takes the state of now.
    form.close();
    QCOMPARE(f.ReadFile("Dervalo.INI").split('\n').at(27), QByteArray("ON\r"));
    QVERIFY(form.ReceiveWindow->toPlainText().isEmpty());
}

void LifecycleTest::maildropOnAtStart() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings("COM4", "9600", true, true));
    THoofdForm& form = f.Start();
    QCOMPARE(form.Transmitbalk->text(), QString("Maildrop is switched ON !"));
    QVERIFY(form.MenuToggleMaildrop->isChecked());
    QVERIFY(!form.st.PkStarted);
    // No start-up sequence: only the clock, in plain form.
    QCOMPARE(f.Written(), QByteArray("DA 2603050907\r"));

    // A confirmed close with the maildrop on leaves the controller alone.
    f.serial.ClearWritten();
    form.ReceiveWindow->setPlainText("kept");
    form.close();
    QCOMPARE(f.Written(), QByteArray());
    QCOMPARE(form.ReceiveWindow->toPlainText(), QString("kept"));
    QVERIFY(f.ReadFile("Dervalo.INI").contains("\r\nON\r\nON\r\nOFF\r\n"));
}

void LifecycleTest::initPkOffSendsNothing() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Start();
    // HOST mode is assumed before the clock goes: framed, as a unit in HOST
    // mode takes it.
    QCOMPARE(f.Written(), QByteArray("\x01ODA2603050907\x17"));
    QVERIFY(form.st.HostModeActive);
    QCOMPARE(form.Transmitbalk->text(), QString("Transmit"));
    // Every later layout pass does the same again.
    f.serial.ClearWritten();
    form.resize(800, 500);
    QCOMPARE(f.Written(), QByteArray("\x01ODA2603050907\x17"));
    QCOMPARE(form.Transmitbalk->text(), QString("Transmit"));
}

void LifecycleTest::settingsFoundWhateverTheCase() {
    FormFixture f;
    f.WriteFile("dervalo.ini", FormFixture::Settings("COM3", "4800"));
    THoofdForm& form = f.Start();
    QVERIFY(f.prompts.Boxes().isEmpty());
    QCOMPARE(form.Pane8->text(), QString("COM3: 4800"));
    form.close();
    // The file found is the one replaced; no second file appears.
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList{"dervalo.ini"});
}

void LifecycleTest::helpAndEditor() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Create();
    form.Help1Click();
    form.MenuEditaFileClick();
    QCOMPARE(f.prompts.Boxes(),
             (QStringList{"Dervalo    Warning|Dervalo.hlp not found !",
                          "Dervalo    Warning|Tramlet.exe not found! Download it from Homepage "
                          "QQ0QQ"}));
    f.WriteFile("DERVALO.HLP", "help");
    f.WriteFile("tramlet.EXE", "editor");
    f.prompts.log.clear();
    form.Help1Click();
    form.MenuEditaFileClick();
    QCOMPARE(f.prompts.log, (QStringList{"open-document|" + f.Path("DERVALO.HLP"),
                                         "start|" + f.Path("tramlet.EXE")}));
}

void LifecycleTest::helpOpensTheInstalledManual() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Create();
    // The first manual found is opened in the desktop's browser.
    f.WriteFile("manual.html", "<html></html>");
    form.SetManualCandidates({f.Path("missing/manual.html"), f.Path("manual.html")});
    form.Help1Click();
    QCOMPARE(f.prompts.log, QStringList{"open-document|" + f.Path("manual.html")});
    // Without a browser the program's own viewer shows it.
    f.prompts.log.clear();
    f.prompts.openDocumentResult = false;
    f.prompts.modalActions.enqueue([](QDialog&) { return 0; });
    form.Help1Click();
    QVERIFY(f.prompts.Boxes().isEmpty());
    QCOMPARE(f.prompts.Calls("modal"), QStringList{"modal|ManualViewer"});
    // "Dervalo.hlp" in the working folder comes first.
    f.prompts.log.clear();
    f.prompts.openDocumentResult = true;
    f.WriteFile("dervalo.hlp", "help");
    form.Help1Click();
    QCOMPARE(f.prompts.log, QStringList{"open-document|" + f.Path("dervalo.hlp")});
}

void LifecycleTest::unwritableSettingsFolder() {
    FormFixture f;
    THoofdForm& form = f.Start();
    // The folder disappears: the file cannot be created, and nothing is said.
    QVERIFY(f.dir.remove());
    f.prompts.log.clear();
    form.close();
    QVERIFY(f.prompts.Boxes().isEmpty());
}

QTEST_MAIN(LifecycleTest)
#include "tst_lifecycle.moc"
