// The logbook file "Halvuro.log" and its switch: opened at start and by the
// switch, counted in whole records, closed by the switch and at the end.
#include <QAction>
#include <QPlainTextEdit>
#include <QtTest>

#include "FormFixture.h"
#include "LogBookSupport.h"
#include "logbook/LogBookInvulForm.h"
#include "logbook/LogBookShowForm.h"
#include "logbook/LogBookWidgets.h"

using namespace LogBookSupport;

class LogBookFileTest : public QObject {
    Q_OBJECT
private slots:
    void startCreatesAMissingFile();
    void countsWholeRecordsAndWritesOverThePiece();
    void switchOnAndOff();
    void fileThatCannotBeOpenedSwitchesTheLogBookOff();
    void viewerWidthFollowsTheMainWindow();
};

void LogBookFileTest::startCreatesAMissingFile() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f);
    QVERIFY(QFile::exists(f.Path("Halvuro.log")));
    QCOMPARE(QFileInfo(f.Path("Halvuro.log")).size(), 0);
    QCOMPARE(form.st.LogBookRecordCount, 0);
    QCOMPARE(form.st.LogBookPosition, 0);
    QVERIFY(form.LogBook->isChecked() && form.MenuShowLogBook->isEnabled() &&
            form.MenuEditLogBook->isEnabled());
    // A file of another letter case is the logbook.
    FormFixture g;
    g.WriteFile("HALVURO.LOG", NumberedRecords(1));
    THoofdForm& other = StartWithLogBook(g);
    QCOMPARE(other.st.LogBookRecordCount, 1);
    other.LogBookInvulForm->LogInvulSaveKnopClick();
    QCOMPARE(g.ReadFile("HALVURO.LOG").size(), 260);
    QVERIFY(!QFile::exists(g.Path("Halvuro.log")));
}

void LogBookFileTest::countsWholeRecordsAndWritesOverThePiece() {
    FormFixture f;
    const QByteArray two = NumberedRecords(2);
    THoofdForm& form = StartWithLogBook(f, two + QByteArray(40, 'x'));
    QCOMPARE(form.st.LogBookRecordCount, 2);
    QCOMPARE(form.st.LogBookPosition, 2);
    form.LogBookInvulForm->CallEdit->setText("PA3X");
    form.LogBookInvulForm->LogInvulSaveKnopClick();
    QCOMPARE(f.ReadFile("Halvuro.log"),
             two + RawRecord("PA3X        ", QByteArray(20, ' '), QByteArray(20, ' ')));
    QCOMPARE(form.st.LogBookRecordCount, 3);
    QCOMPARE(form.st.LogBookPosition, 3);
}

void LogBookFileTest::switchOnAndOff() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    f.WriteFile("Halvuro.log", NumberedRecords(3));
    THoofdForm& form = f.Start();
    QVERIFY(!form.LogBookFile.isOpen());
    QVERIFY(!form.MenuShowLogBook->isEnabled() && !form.MenuEditLogBook->isEnabled());
    // The menu item flips its own check mark; the switch decides.
    form.LogBook->trigger();
    QVERIFY(form.st.LogBookOn && form.LogBook->isChecked());
    QVERIFY(form.MenuShowLogBook->isEnabled() && form.MenuEditLogBook->isEnabled());
    QCOMPARE(form.st.LogBookRecordCount, 3);
    form.LogBook->trigger();
    QVERIFY(!form.st.LogBookOn && !form.LogBook->isChecked());
    QVERIFY(!form.MenuShowLogBook->isEnabled() && !form.MenuEditLogBook->isEnabled());
    QVERIFY(!form.LogBookFile.isOpen());
    // On again counts what the file holds now; the close closes it.
    f.WriteFile("Halvuro.log", NumberedRecords(5));
    form.LogBookClick();
    QCOMPARE(form.st.LogBookRecordCount, 5);
    f.prompts.confirmAnswers.enqueue(false);
    form.close();
    QVERIFY(form.LogBookFile.isOpen());
    form.close();
    QVERIFY(!form.LogBookFile.isOpen());
    QVERIFY(f.ReadFile("Dervalo.INI").endsWith("ON\r\n"));
    QCOMPARE(f.ReadFile("Halvuro.log"), NumberedRecords(5));
}

void LogBookFileTest::fileThatCannotBeOpenedSwitchesTheLogBookOff() {
    FormFixture f;
    QVERIFY(QDir(f.dir.path()).mkdir("Halvuro.log"));
    THoofdForm& form = StartWithLogBook(f);
    QCOMPARE(f.prompts.Boxes().size(), 1);
    QVERIFY(f.prompts.Boxes()[0].startsWith("Dervalo|Cannot open file "));
    QVERIFY(!form.st.LogBookOn && !form.LogBook->isChecked());
    QVERIFY(!form.MenuShowLogBook->isEnabled() && !form.MenuEditLogBook->isEnabled());
    form.LogBook->trigger();
    QCOMPARE(f.prompts.Boxes().size(), 2);
    QVERIFY(!form.st.LogBookOn && !form.LogBook->isChecked());
    // Picking stays off with it.
    form.ReceiveWindow->setPlainText("xx9ab");
    form.ReceiveWindow->selectAll();
    form.ReceiveWindowDblClick();
    QVERIFY(f.prompts.Calls("modal").isEmpty());
}

void LogBookFileTest::viewerWidthFollowsTheMainWindow() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f);
    // The layout counts with the main window's outer width, frame included.
    QCOMPARE(form.LogBookShowForm->width(), form.OuterWidth() - 16);
    form.resize(1000, 600);
    QCOMPARE(form.LogBookShowForm->width(), 1000 + THoofdForm::kFrameWidth - 16);
}

QTEST_MAIN(LogBookFileTest)
#include "tst_logbookfile.moc"
