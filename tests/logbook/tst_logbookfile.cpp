// The logbook file "Halvuro.log" and its switch: opened at start and by the
// switch, counted in whole records, closed by the switch and at the end.
#include <QAction>
#include <QtTest>

#include "FormFixture.h"
#include "LogBookSupport.h"
#include "logbook/LogBookInvulForm.h"
#include "logbook/LogBookShowForm.h"
#include "logbook/LogBookWidgets.h"
#include "shell/InOutError.h"

using namespace LogBookSupport;

class LogBookFileTest : public QObject {
    Q_OBJECT
private slots:
    void startWithoutFileCreatesAnEmptyOne();
    void startWithTheLogBookOffOpensNothing();
    void countsWholeRecordsAndWritesOverThePiece();
    void switchOnAndOff();
    void foundWithoutRegardToCase();
    void fileThatCannotBeOpenedSwitchesTheLogBookOff();
    void closeClosesTheFile();
    void recordReadsAndWritesFailCleanly();
    void viewerWidthFollowsTheMainWindow();
};

void LogBookFileTest::startWithoutFileCreatesAnEmptyOne() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f);
    QVERIFY(QFile::exists(f.Path("Halvuro.log")));
    QCOMPARE(QFileInfo(f.Path("Halvuro.log")).size(), 0);
    QVERIFY(form.LogBookFile.isOpen());
    QCOMPARE(form.st.LogBookRecordCount, 0);
    QCOMPARE(form.st.LogBookPosition, 0);
    QVERIFY(form.LogBook->isChecked());
    QVERIFY(form.MenuShowLogBook->isEnabled());
    QVERIFY(form.MenuEditLogBook->isEnabled());
    QVERIFY(f.prompts.Boxes().isEmpty());
}

void LogBookFileTest::startWithTheLogBookOffOpensNothing() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Start();
    QVERIFY(!QFile::exists(f.Path("Halvuro.log")));
    QVERIFY(!form.LogBookFile.isOpen());
    QVERIFY(!form.LogBook->isChecked());
    QVERIFY(!form.MenuShowLogBook->isEnabled());
    QVERIFY(!form.MenuEditLogBook->isEnabled());
}

void LogBookFileTest::countsWholeRecordsAndWritesOverThePiece() {
    FormFixture f;
    const QByteArray two = NumberedRecords(2);
    THoofdForm& form = StartWithLogBook(f, two + QByteArray(40, 'x'));
    QCOMPARE(form.st.LogBookRecordCount, 2);
    QCOMPARE(form.st.LogBookPosition, 2);

    TLogBookInvulForm& entry = *form.LogBookInvulForm;
    entry.CallEdit->setText("PA3X");
    entry.LogInvulSaveKnopClick();
    const QByteArray file = f.ReadFile("Halvuro.log");
    QCOMPARE(file.size(), 390);
    QCOMPARE(file.left(260), two);
    QCOMPARE(file.mid(260), RawRecord("PA3X        ", QByteArray(20, ' '), QByteArray(20, ' ')));
    QCOMPARE(form.st.LogBookRecordCount, 3);
    QCOMPARE(form.st.LogBookPosition, 3);
}

void LogBookFileTest::switchOnAndOff() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    f.WriteFile("Halvuro.log", NumberedRecords(3));
    THoofdForm& form = f.Start();
    // The menu item flips its own check mark; the switch decides.
    form.LogBook->trigger();
    QVERIFY(form.st.LogBookOn);
    QVERIFY(form.LogBook->isChecked());
    QVERIFY(form.MenuShowLogBook->isEnabled() && form.MenuEditLogBook->isEnabled());
    QVERIFY(form.LogBookFile.isOpen());
    QCOMPARE(form.st.LogBookRecordCount, 3);
    QCOMPARE(form.st.LogBookPosition, 3);

    form.LogBook->trigger();
    QVERIFY(!form.st.LogBookOn);
    QVERIFY(!form.LogBook->isChecked());
    QVERIFY(!form.MenuShowLogBook->isEnabled() && !form.MenuEditLogBook->isEnabled());
    QVERIFY(!form.LogBookFile.isOpen());

    // On again sees what the file holds now.
    f.WriteFile("Halvuro.log", NumberedRecords(5));
    form.LogBookClick();
    QCOMPARE(form.st.LogBookRecordCount, 5);
    form.close();
    QVERIFY(f.ReadFile("Dervalo.INI").endsWith("ON\r\n"));
    QCOMPARE(f.ReadFile("Halvuro.log"), NumberedRecords(5));
}

void LogBookFileTest::foundWithoutRegardToCase() {
    FormFixture f;
    f.WriteFile("HALVURO.LOG", NumberedRecords(1));
    THoofdForm& form = StartWithLogBook(f);
    QCOMPARE(form.st.LogBookRecordCount, 1);
    QVERIFY(!QFile::exists(f.Path("Halvuro.log")));
    form.LogBookInvulForm->LogInvulSaveKnopClick();
    QCOMPARE(f.ReadFile("HALVURO.LOG").size(), 260);
}

void LogBookFileTest::fileThatCannotBeOpenedSwitchesTheLogBookOff() {
    FormFixture f;
    QVERIFY(QDir(f.dir.path()).mkdir("Halvuro.log"));
    THoofdForm& form = StartWithLogBook(f);
    QCOMPARE(f.prompts.Boxes().size(), 1);
    QVERIFY(f.prompts.Boxes()[0].startsWith("Dervalo|Cannot open file "));
    QVERIFY(!form.st.LogBookOn);
    QVERIFY(!form.LogBook->isChecked());
    QVERIFY(!form.MenuShowLogBook->isEnabled() && !form.MenuEditLogBook->isEnabled());
    QCOMPARE(form.st.LogBookRecordCount, 0);

    // Turning it on through the menu fails the same way, and stays off.
    form.LogBook->trigger();
    QCOMPARE(f.prompts.Boxes().size(), 2);
    QVERIFY(!form.st.LogBookOn);
    QVERIFY(!form.LogBook->isChecked());
    // Picking stays off with it.
    form.ReceiveWindow->setPlainText("xx9ab");
    form.ReceiveWindow->selectAll();
    form.ReceiveWindowDblClick();
    QVERIFY(f.prompts.Calls("modal").isEmpty());
    form.close();
    QVERIFY(f.ReadFile("Dervalo.INI").endsWith("OFF\r\n"));
}

void LogBookFileTest::closeClosesTheFile() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(2));
    f.prompts.confirmAnswers.enqueue(false);
    form.close();
    QVERIFY(form.LogBookFile.isOpen()); // refused: still open
    form.close();
    QVERIFY(!form.LogBookFile.isOpen());
    QCOMPARE(f.ReadFile("Halvuro.log"), NumberedRecords(2));
}

void LogBookFileTest::recordReadsAndWritesFailCleanly() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(2) + "piece");
    form.ReadLogBookRecord(1);
    QCOMPARE(form.st.LogBookRecord.Bytes(), NumberedRecords(2).mid(130));
    // Beyond the end, or the piece at the end: an error, the buffer kept.
    QVERIFY_THROWS_EXCEPTION(InOutError, form.ReadLogBookRecord(2));
    QVERIFY_THROWS_EXCEPTION(InOutError, form.ReadLogBookRecord(-1));
    QCOMPARE(form.st.LogBookRecord.Bytes(), NumberedRecords(2).mid(130));
    form.CutLogBookFile(1);
    QCOMPARE(f.ReadFile("Halvuro.log"), NumberedRecords(1));
    form.CloseLogBookFile();
    QVERIFY_THROWS_EXCEPTION(InOutError, form.ReadLogBookRecord(0));
    QVERIFY_THROWS_EXCEPTION(InOutError, form.WriteLogBookRecord(0));
    QVERIFY_THROWS_EXCEPTION(InOutError, form.CutLogBookFile(0));
    QVERIFY_THROWS_EXCEPTION(InOutError, form.ReadLogBookFile());
    QCOMPARE(f.ReadFile("Halvuro.log"), NumberedRecords(1));
}

void LogBookFileTest::viewerWidthFollowsTheMainWindow() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f);
    QCOMPARE(form.LogBookShowForm->width(), form.width() - 16);
    form.resize(1000, 600);
    QCOMPARE(form.LogBookShowForm->width(), 1000 - 16);
}

QTEST_MAIN(LogBookFileTest)
#include "tst_logbookfile.moc"
