// The logbook editor: browsing by number, Previous and Next with their beeps,
// saving a record in place and deleting one, checked on the file's bytes.
#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QtTest>

#include "FormFixture.h"
#include "LogBookSupport.h"
#include "logbook/LogBookEditForm.h"
#include "logbook/LogBookInvulForm.h"
#include "logbook/LogBookWidgets.h"

using namespace LogBookSupport;

namespace {
QByteArray Rec(const QByteArray& records, int n) {
    return records.mid(n * 130, 130);
}
int Beeps(const FormFixture& f) {
    return int(f.prompts.Calls("beep").size());
}
// Replaces the record box's text by typing, as the operator does.
void TypeNumber(TLogBookEditForm& e, const QString& text) {
    e.Recordnummer->selectAll();
    QTest::keyClicks(e.Recordnummer, text);
}
// Opens the editor and runs `body` while it is shown.
void Edit(FormFixture& f, std::function<void(TLogBookEditForm&)> body) {
    f.prompts.modalActions.enqueue(
        WhileShown([body](QDialog& d) { body(static_cast<TLogBookEditForm&>(d)); }));
    f.form->MenuEditLogBookClick();
}
} // namespace

class LogBookEditorTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnTheLastRecord();
    void deleteMovesTheLaterRecordsUp();
    void deleteTheFirstRecord();
    void deleteTheOnlyRecordClosesTheEditor();
    void typedRecordNumbers();
    void nextAndPrevious();
    void longInfoIsShownAndSavedAsThirty();
    void saveKeepsTheWordsOfNameAndQth();
    void escapeAndCloseAndFailures();
    void failedDeleteShowsWhatTheFileHolds();
    void fullInfoRefusesTypedKeys();
};

void LogBookEditorTest::opensOnTheLastRecord() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f);
    form.MenuEditLogBookClick(); // nothing to edit
    QVERIFY(f.prompts.Calls("modal").isEmpty());
    f.WriteFile("Halvuro.log", NumberedRecords(2) + EntryRecord("xx9ab", "Bob", "Rome", "3/5/26 ",
                                                                "9:07:00 AM ", "tnx qso"));
    form.OpenLogBookFile();
    form.st.PickedCall = "xx9ab";
    QStringList shown;
    Edit(f, [&](TLogBookEditForm& e) {
        shown << e.Recordnummer->text() << e.CallEdit->text() << e.NameEdit->text()
              << e.QthEdit->text() << e.DateEdit->text() << e.TimeEdit->text()
              << e.InfoMemo->toPlainText();
        // Typed letters in call and time become capitals, elsewhere not.
        QTest::keyClicks(e.CallEdit, "x");
        QTest::keyClicks(e.TimeEdit, "pm");
        QTest::keyClicks(e.NameEdit, "x");
        shown << e.CallEdit->text() << e.TimeEdit->text() << e.NameEdit->text();
    });
    QCOMPARE(shown, QStringList({"2", "xx9ab       ", "Bob                 ",
                                 "Rome                ", "3/5/26 ", "9:07:00 AM ", "tnx qso",
                                 "xx9ab       X", "9:07:00 AM PM", "Bob                 x"}));
    QCOMPARE(form.st.PickedCall, QString());
    QCOMPARE(QApplication::clipboard()->text(), QString("tnx qso"));
    QCOMPARE(Beeps(f), 0);
}

void LogBookEditorTest::deleteMovesTheLaterRecordsUp() {
    FormFixture f;
    const QByteArray five = NumberedRecords(5);
    THoofdForm& form = StartWithLogBook(f, five + "piece");
    QStringList shown;
    Edit(f, [&](TLogBookEditForm& e) {
        TypeNumber(e, "2");
        QTest::mouseClick(e.DeleteKnop, Qt::LeftButton);
        shown << e.Recordnummer->text() << e.CallEdit->text();
    });
    QCOMPARE(f.ReadFile("Halvuro.log"), Rec(five, 0) + Rec(five, 1) + Rec(five, 3) + Rec(five, 4));
    QCOMPARE(Beeps(f), 2);
    QCOMPARE(shown, QStringList({"1", "XX9A1       "}));
    QCOMPARE(form.st.LogBookRecordCount, 4);
    // The last record: nothing moves, the one before it is shown.
    Edit(f, [&](TLogBookEditForm& e) {
        e.DeleteKnopClick();
        QCOMPARE(e.Recordnummer->text(), QString("2"));
        QCOMPARE(e.CallEdit->text(), QString("XX9A3       "));
    });
    QCOMPARE(f.ReadFile("Halvuro.log"), Rec(five, 0) + Rec(five, 1) + Rec(five, 3));
    QCOMPARE(Beeps(f), 2);
}

void LogBookEditorTest::deleteTheFirstRecord() {
    FormFixture f;
    const QByteArray three = NumberedRecords(3);
    THoofdForm& form = StartWithLogBook(f, three);
    Edit(f, [&](TLogBookEditForm& e) {
        TypeNumber(e, "0");
        QCOMPARE(Beeps(f), 1); // arriving at record 0
        e.DeleteKnopClick();
        QVERIFY(e.isVisible());
        // The record that moved into place 0, read back from the file.
        QCOMPARE(e.Recordnummer->text(), QString("0"));
        QCOMPARE(e.CallEdit->text(), QString("XX9A1       "));
    });
    QCOMPARE(f.ReadFile("Halvuro.log"), Rec(three, 1) + Rec(three, 2));
    QCOMPARE(Beeps(f), 1 + 2);
    QCOMPARE(form.st.LogBookRecord.Bytes(), Rec(three, 1));
}

void LogBookEditorTest::deleteTheOnlyRecordClosesTheEditor() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(1));
    Edit(f, [&](TLogBookEditForm& e) {
        QTest::mouseClick(e.DeleteKnop, Qt::LeftButton);
        QVERIFY(!e.isVisible());
    });
    QCOMPARE(QFileInfo(f.Path("Halvuro.log")).size(), 0);
    QCOMPARE(form.st.LogBookRecordCount, 0);
    QCOMPARE(form.st.LogBookPosition, 0);
    form.LogBookInvulForm->LogInvulSaveKnopClick();
    QCOMPARE(QFileInfo(f.Path("Halvuro.log")).size(), 130);
}

void LogBookEditorTest::typedRecordNumbers() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(5));
    Edit(f, [&](TLogBookEditForm& e) {
        TypeNumber(e, "3");
        QCOMPARE(e.CallEdit->text(), QString("XX9A3       "));
        // Beyond the last record: nothing changes.
        TypeNumber(e, "9");
        QCOMPARE(e.CallEdit->text(), QString("XX9A3       "));
        QCOMPARE(form.st.LogBookPosition, 3);
        QCOMPARE(Beeps(f), 0);
        // 0, a negative number and letters go to record 0 with a beep.
        for (const QString& typed : {QString("0"), QString("-2"), QString("ab")}) {
            TypeNumber(e, "4");
            const int before = Beeps(f);
            TypeNumber(e, typed);
            QVERIFY2(Beeps(f) > before, qPrintable(typed));
            QCOMPARE(form.st.LogBookPosition, 0);
            QCOMPARE(e.CallEdit->text(), QString("XX9A0       "));
        }
    });
}

void LogBookEditorTest::nextAndPrevious() {
    FormFixture f;
    const QByteArray file = NumberedRecords(2) + EntryRecord("PA3X", "Piet", "Ede", "d", "t", "i2");
    THoofdForm& form = StartWithLogBook(f, file);
    Edit(f, [&](TLogBookEditForm& e) {
        // At the last record Next beeps twice and stays; typing is dropped.
        e.NameEdit->setText("typed, not saved");
        QTest::mouseClick(e.LogEditNextKnop, Qt::LeftButton);
        QCOMPARE(Beeps(f), 2);
        QCOMPARE(e.Recordnummer->text(), QString("2"));
        QCOMPARE(e.NameEdit->text(), QString("Piet                "));
        QCOMPARE(QApplication::clipboard()->text(), QString("i2"));
        QTest::mouseClick(e.LogEditVorigeKnop, Qt::LeftButton);
        QCOMPARE(e.CallEdit->text(), QString("XX9A1       "));
        QCOMPARE(QApplication::clipboard()->text(), QString()); // record 1 has no Info
        // Arriving at record 0 beeps once; Previous there once more.
        QTest::mouseClick(e.LogEditVorigeKnop, Qt::LeftButton);
        QCOMPARE(Beeps(f), 3);
        QTest::mouseClick(e.LogEditVorigeKnop, Qt::LeftButton);
        QCOMPARE(Beeps(f), 4);
        QCOMPARE(form.st.LogBookPosition, 0);
        QTest::mouseClick(e.LogEditNextKnop, Qt::LeftButton);
        QTest::mouseClick(e.LogEditNextKnop, Qt::LeftButton);
        QCOMPARE(e.Recordnummer->text(), QString("2"));
        QCOMPARE(Beeps(f), 4);
    });
    QCOMPARE(f.ReadFile("Halvuro.log"), file);
}

void LogBookEditorTest::longInfoIsShownAndSavedAsThirty() {
    FormFixture f;
    const QByteArray info40 = "0123456789abcdefghijklmnopqrstuvwxyzABCD";
    StartWithLogBook(f, EntryRecord("XX9AB", "Bob", "Rome", "d", "t", info40));
    Edit(f, [&](TLogBookEditForm& e) {
        QCOMPARE(e.InfoMemo->toPlainText(), QString(info40.left(30)));
        QCOMPARE(QApplication::clipboard()->text(), QString(info40));
        e.InfoMemo->moveCursor(QTextCursor::End);
        QTest::keyClicks(e.InfoMemo, "xyz");
        QTest::keyClick(e.InfoMemo, Qt::Key_Return);
        QCOMPARE(e.InfoMemo->toPlainText(), QString(info40.left(30)));
        QTest::mouseClick(e.LogEditSaveKnop, Qt::LeftButton);
    });
    QCOMPARE(f.ReadFile("Halvuro.log"),
             EntryRecord("XX9AB", "Bob", "Rome", "d", "t", info40.left(30)));
}

void LogBookEditorTest::saveKeepsTheWordsOfNameAndQth() {
    FormFixture f;
    const QByteArray two = EntryRecord("XX9AB", "Abe Lin", "New York", "3/5/26 ", "9:07:00 AM ") +
                           EntryRecord("PA3X", "Piet", "Ede");
    StartWithLogBook(f, two);
    Edit(f, [&](TLogBookEditForm& e) {
        TypeNumber(e, "0");
        QTest::keyClicks(e.InfoMemo, "qsl via buro"); // only the Info is corrected
        QTest::mouseClick(e.LogEditSaveKnop, Qt::LeftButton);
        QCOMPARE(e.NameEdit->text(), QString("Abe Lin"));
    });
    QCOMPARE(f.ReadFile("Halvuro.log"),
             EntryRecord("XX9AB", "Abe Lin", "New York", "3/5/26 ", "9:07:00 AM ", "qsl via buro") +
                 Rec(two, 1));
    // A blank in the call goes; blanks in front of a name and in the date stay.
    Edit(f, [&](TLogBookEditForm& e) {
        e.CallEdit->setText("PA 3X  ");
        e.NameEdit->setText(" Piet de Vries   and his long name");
        e.DateEdit->setText(" 3/5/26  ");
        e.LogEditSaveKnopClick();
    });
    QCOMPARE(f.ReadFile("Halvuro.log").mid(130),
             RawRecord("PA3X        ", " Piet de Vries   and", "Ede                 ", " 3/5/26  ",
                       "9:07:00 "));
}

void LogBookEditorTest::escapeAndCloseAndFailures() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(3));
    Edit(f, [&](TLogBookEditForm& e) {
        e.CallEdit->setFocus();
        QTest::keyClick(e.CallEdit, Qt::Key_Escape);
        QVERIFY(e.isVisible());
        e.LogEditNextKnop->setFocus();
        QTest::keyClick(e.LogEditNextKnop, Qt::Key_Escape);
        QVERIFY(!e.isVisible());
    });
    QCOMPARE(form.st.LogBookPosition, 3);
    Edit(f, [&](TLogBookEditForm& e) {
        TypeNumber(e, "1");
        QTest::mouseClick(e.CloseKnop, Qt::LeftButton);
        QVERIFY(!e.isVisible());
    });
    QCOMPARE(form.st.LogBookPosition, 3);
    // The file gone: Delete and Save report it and change nothing.
    Edit(f, [&](TLogBookEditForm& e) {
        form.LogBookFile.close();
        QTest::mouseClick(e.DeleteKnop, Qt::LeftButton);
        QVERIFY(e.isVisible());
        QTest::mouseClick(e.LogEditSaveKnop, Qt::LeftButton);
    });
    QCOMPARE(f.prompts.Boxes().size(), 2);
    QVERIFY(f.prompts.Boxes()[1].startsWith("Dervalo|Error writing file "));
    QCOMPARE(form.st.LogBookRecordCount, 3);
    QCOMPARE(f.ReadFile("Halvuro.log"), NumberedRecords(3));
}

void LogBookEditorTest::failedDeleteShowsWhatTheFileHolds() {
    FormFixture f;
    const QByteArray five = NumberedRecords(5);
    THoofdForm& form = StartWithLogBook(f, five);
    Edit(f, [&](TLogBookEditForm& e) {
        TypeNumber(e, "2");
        // Another program cuts the file to four records: deleting record 2
        // moves record 3 up and then finds no record 4.
        QVERIFY(QFile::resize(f.Path("Halvuro.log"), 4 * 130));
        QTest::mouseClick(e.DeleteKnop, Qt::LeftButton);
        QVERIFY(e.isVisible());
        QCOMPARE(form.st.LogBookRecordCount, 4);
        QCOMPARE(e.Recordnummer->text(), QString("2"));
        QCOMPARE(e.CallEdit->text(), QString("XX9A3       "));
        // A Save writes what is shown where it stands.
        e.NameEdit->setText("Moved");
        QTest::mouseClick(e.LogEditSaveKnop, Qt::LeftButton);
        QCOMPARE(f.ReadFile("Halvuro.log"), Rec(five, 0) + Rec(five, 1) +
                                                EntryRecord("XX9A3", "Moved", "Qth3") +
                                                Rec(five, 3));
        // Cut beyond the record shown: the last one is shown.
        QVERIFY(QFile::resize(f.Path("Halvuro.log"), 2 * 130));
        QTest::mouseClick(e.DeleteKnop, Qt::LeftButton);
        QCOMPARE(e.Recordnummer->text(), QString("1"));
        QCOMPARE(e.CallEdit->text(), QString("XX9A1       "));
        // Emptied: nothing to show, the editor closes.
        QVERIFY(QFile::resize(f.Path("Halvuro.log"), 0));
        QTest::mouseClick(e.DeleteKnop, Qt::LeftButton);
        QVERIFY(!e.isVisible());
    });
    QCOMPARE(form.st.LogBookRecordCount, 0);
    QCOMPARE(f.prompts.Boxes().size(), 3);
    for (const QString& box : f.prompts.Boxes())
        QVERIFY2(box.startsWith("Dervalo|Error reading file "), qPrintable(box));
}

void LogBookEditorTest::fullInfoRefusesTypedKeys() {
    FormFixture f;
    const QByteArray thirty = "0123456789abcdefghijklmnopqrst";
    StartWithLogBook(f, EntryRecord("XX9AB", "Bob", "Rome", "d", "t", thirty));
    Edit(f, [&](TLogBookEditForm& e) {
        e.InfoMemo->moveCursor(QTextCursor::Start);
        QTest::keyClicks(e.InfoMemo, "ab");
        QCOMPARE(e.InfoMemo->toPlainText(), QString(thirty));
        // Typing over a selection replaces it; the box stays full.
        QTextCursor c = e.InfoMemo->textCursor();
        c.setPosition(0);
        c.setPosition(3, QTextCursor::KeepAnchor);
        e.InfoMemo->setTextCursor(c);
        QTest::keyClicks(e.InfoMemo, "XYZW");
        QCOMPARE(e.InfoMemo->toPlainText(), "XYZ" + QString(thirty.mid(3)));
    });
}

QTEST_MAIN(LogBookEditorTest)
#include "tst_logbookeditor.moc"
