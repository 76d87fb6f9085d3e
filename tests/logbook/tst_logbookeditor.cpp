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
} // namespace

class LogBookEditorTest : public QObject {
    Q_OBJECT
private slots:
    void emptyLogBookOpensNothing();
    void opensOnTheLastRecord();
    void deleteAMiddleRecord();
    void deleteTheFirstRecord();
    void deleteTheLastRecord();
    void deleteTheOnlyRecordClosesTheEditor();
    void typedRecordNumbers();
    void nextAndPrevious();
    void longInfoIsShownAndSavedAsThirty();
    void saveKeepsTheWordsOfNameAndQth();
    void typedLettersBecomeCapitals();
    void escapeAndClose();
    void failedWriteIsReported();
};

void LogBookEditorTest::emptyLogBookOpensNothing() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f);
    form.st.PickedCall = "xx9ab";
    form.MenuEditLogBookClick();
    QVERIFY(f.prompts.Calls("modal").isEmpty());
    QCOMPARE(form.st.PickedCall, QString("xx9ab"));
}

void LogBookEditorTest::opensOnTheLastRecord() {
    FormFixture f;
    const QByteArray three = NumberedRecords(2) + EntryRecord("XX9AB", "Bob", "Rome", "3/5/26 ",
                                                              "9:07:00 AM ", "tnx qso");
    THoofdForm& form = StartWithLogBook(f, three);
    form.st.PickedCall = "xx9ab";
    QStringList shown;
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog& d) {
        auto& e = static_cast<TLogBookEditForm&>(d);
        shown = QStringList{e.Recordnummer->text(),   e.CallEdit->text(), e.NameEdit->text(),
                            e.QthEdit->text(),        e.DateEdit->text(), e.TimeEdit->text(),
                            e.InfoMemo->toPlainText()};
    }));
    form.MenuEditLogBookClick();
    QCOMPARE(f.prompts.Calls("modal"), QStringList{"modal|LogBookEditForm"});
    QCOMPARE(shown, QStringList({"2", "XX9AB       ", "Bob                 ",
                                 "Rome                ", "3/5/26 ", "9:07:00 AM ", "tnx qso"}));
    QCOMPARE(form.st.PickedCall, QString());
    QCOMPARE(QApplication::clipboard()->text(), QString("tnx qso"));
    QCOMPARE(Beeps(f), 0);
    QCOMPARE(form.LogBookEditForm->windowTitle(), QString("Edit LogBook"));
}

void LogBookEditorTest::deleteAMiddleRecord() {
    FormFixture f;
    const QByteArray five = NumberedRecords(5);
    THoofdForm& form = StartWithLogBook(f, five);
    QString number, call;
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog& d) {
        auto& e = static_cast<TLogBookEditForm&>(d);
        TypeNumber(e, "2");
        QTest::mouseClick(e.DeleteKnop, Qt::LeftButton);
        number = e.Recordnummer->text();
        call = e.CallEdit->text();
    }));
    form.MenuEditLogBookClick();
    QCOMPARE(f.ReadFile("Halvuro.log"), Rec(five, 0) + Rec(five, 1) + Rec(five, 3) + Rec(five, 4));
    QCOMPARE(Beeps(f), 2);
    QCOMPARE(number, QString("1"));
    QCOMPARE(call, QString("XX9A1       "));
    QCOMPARE(form.st.LogBookRecordCount, 4);
    QCOMPARE(form.LogBookEditForm->DeleteIndex, 4);
}

void LogBookEditorTest::deleteTheFirstRecord() {
    FormFixture f;
    const QByteArray three = NumberedRecords(3);
    THoofdForm& form = StartWithLogBook(f, three);
    TLogBookEditForm& e = *form.LogBookEditForm;
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog&) {
        TypeNumber(e, "0");
        QCOMPARE(Beeps(f), 1); // arriving at record 0
        e.DeleteKnopClick();
        QVERIFY(e.isVisible());
    }));
    form.MenuEditLogBookClick();
    QCOMPARE(f.ReadFile("Halvuro.log"), Rec(three, 1) + Rec(three, 2));
    QCOMPARE(Beeps(f), 1 + 2);
    // The record that moved into place 0, read back from the file.
    QCOMPARE(e.Recordnummer->text(), QString("0"));
    QCOMPARE(e.CallEdit->text(), QString("XX9A1       "));
    QCOMPARE(form.st.LogBookRecord.Bytes(), Rec(three, 1));
    QCOMPARE(form.st.LogBookRecordCount, 2);
}

void LogBookEditorTest::deleteTheLastRecord() {
    FormFixture f;
    const QByteArray five = NumberedRecords(5);
    THoofdForm& form = StartWithLogBook(f, five + "piece");
    TLogBookEditForm& e = *form.LogBookEditForm;
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog&) { e.DeleteKnopClick(); }));
    form.MenuEditLogBookClick();
    // No record moves; the piece at the end goes with the cut.
    QCOMPARE(f.ReadFile("Halvuro.log"), five.left(4 * 130));
    QCOMPARE(Beeps(f), 0);
    QCOMPARE(e.Recordnummer->text(), QString("3"));
    QCOMPARE(e.CallEdit->text(), QString("XX9A3       "));
}

void LogBookEditorTest::deleteTheOnlyRecordClosesTheEditor() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(1));
    bool visible = true;
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog& d) {
        QTest::mouseClick(static_cast<TLogBookEditForm&>(d).DeleteKnop, Qt::LeftButton);
        visible = d.isVisible();
    }));
    form.MenuEditLogBookClick();
    QVERIFY(!visible);
    QCOMPARE(QFileInfo(f.Path("Halvuro.log")).size(), 0);
    QCOMPARE(form.st.LogBookRecordCount, 0);
    QCOMPARE(form.st.LogBookPosition, 0);
    QCOMPARE(Beeps(f), 1); // opening on record 0
    // Nothing left to edit; the next entry starts the file again.
    form.MenuEditLogBookClick();
    QCOMPARE(f.prompts.Calls("modal").size(), 1);
    form.LogBookInvulForm->LogInvulSaveKnopClick();
    QCOMPARE(QFileInfo(f.Path("Halvuro.log")).size(), 130);
}

void LogBookEditorTest::typedRecordNumbers() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(5));
    TLogBookEditForm& e = *form.LogBookEditForm;
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog&) {
        TypeNumber(e, "3");
        QCOMPARE(e.CallEdit->text(), QString("XX9A3       "));
        QCOMPARE(form.st.LogBookPosition, 3);
        // Beyond the last record: nothing changes.
        TypeNumber(e, "9");
        QCOMPARE(e.Recordnummer->text(), QString("9"));
        QCOMPARE(e.CallEdit->text(), QString("XX9A3       "));
        QCOMPARE(form.st.LogBookPosition, 3);
        QCOMPARE(Beeps(f), 0);
        // 0, a negative number and letters all go to record 0 with a beep.
        for (const QString& typed : {QString("0"), QString("-2"), QString("ab")}) {
            TypeNumber(e, "4");
            const int before = Beeps(f);
            TypeNumber(e, typed);
            QVERIFY2(Beeps(f) > before, qPrintable(typed));
            QCOMPARE(form.st.LogBookPosition, 0);
            QCOMPARE(e.CallEdit->text(), QString("XX9A0       "));
        }
        QCOMPARE(e.Recordnummer->text(), QString("0"));
        // What follows goes in front of the number the box was set to.
        TypeNumber(e, "-");
        QTest::keyClicks(e.Recordnummer, "1");
        QCOMPARE(e.Recordnummer->text(), QString("10"));
        QCOMPARE(form.st.LogBookPosition, 0);
        // An emptied box selects nothing.
        e.Recordnummer->clear();
        QCOMPARE(form.st.LogBookPosition, 0);
    }));
    form.MenuEditLogBookClick();
}

void LogBookEditorTest::nextAndPrevious() {
    FormFixture f;
    QByteArray file = NumberedRecords(2);
    file += EntryRecord("PA3X", "Piet", "Ede", "d", "t", "info two");
    THoofdForm& form = StartWithLogBook(f, file);
    TLogBookEditForm& e = *form.LogBookEditForm;
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog&) {
        // At the last record Next beeps twice and stays; typing is dropped.
        e.NameEdit->setText("typed, not saved");
        QTest::mouseClick(e.LogEditNextKnop, Qt::LeftButton);
        QCOMPARE(Beeps(f), 2);
        QCOMPARE(e.Recordnummer->text(), QString("2"));
        QCOMPARE(e.NameEdit->text(), QString("Piet                "));
        QCOMPARE(QApplication::clipboard()->text(), QString("info two"));

        QTest::mouseClick(e.LogEditVorigeKnop, Qt::LeftButton);
        QCOMPARE(e.Recordnummer->text(), QString("1"));
        QCOMPARE(e.CallEdit->text(), QString("XX9A1       "));
        QCOMPARE(QApplication::clipboard()->text(), QString()); // record 1 has no Info
        QCOMPARE(Beeps(f), 2);
        // Arriving at record 0 beeps once; Previous there beeps once more.
        QTest::mouseClick(e.LogEditVorigeKnop, Qt::LeftButton);
        QCOMPARE(e.Recordnummer->text(), QString("0"));
        QCOMPARE(Beeps(f), 3);
        e.CallEdit->setText("dropped");
        QTest::mouseClick(e.LogEditVorigeKnop, Qt::LeftButton);
        QCOMPARE(Beeps(f), 4);
        QCOMPARE(form.st.LogBookPosition, 0);
        QCOMPARE(e.CallEdit->text(), QString("XX9A0       "));

        QTest::mouseClick(e.LogEditNextKnop, Qt::LeftButton);
        QTest::mouseClick(e.LogEditNextKnop, Qt::LeftButton);
        QCOMPARE(e.Recordnummer->text(), QString("2"));
        QCOMPARE(e.InfoMemo->toPlainText(), QString("info two"));
        QCOMPARE(Beeps(f), 4);
    }));
    form.MenuEditLogBookClick();
    QCOMPARE(f.ReadFile("Halvuro.log"), file);
}

void LogBookEditorTest::longInfoIsShownAndSavedAsThirty() {
    FormFixture f;
    const QByteArray info40 = "0123456789abcdefghijklmnopqrstuvwxyzABCD";
    THoofdForm& form = StartWithLogBook(f, EntryRecord("XX9AB", "Bob", "Rome", "d", "t", info40));
    TLogBookEditForm& e = *form.LogBookEditForm;
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog&) {
        QCOMPARE(e.InfoMemo->toPlainText(), QString(info40.left(30)));
        QCOMPARE(QApplication::clipboard()->text(), QString(info40));
        // Typing at the end adds nothing, Enter makes no new line.
        e.InfoMemo->moveCursor(QTextCursor::End);
        QTest::keyClicks(e.InfoMemo, "xyz");
        QTest::keyClick(e.InfoMemo, Qt::Key_Return);
        QCOMPARE(e.InfoMemo->toPlainText(), QString(info40.left(30)));
        QTest::mouseClick(e.LogEditSaveKnop, Qt::LeftButton);
    }));
    form.MenuEditLogBookClick();
    QCOMPARE(f.ReadFile("Halvuro.log"),
             EntryRecord("XX9AB", "Bob", "Rome", "d", "t", info40.left(30)));
    QCOMPARE(QApplication::clipboard()->text(), QString(info40.left(30)));
    QCOMPARE(form.st.LogBookRecordCount, 1);
}

void LogBookEditorTest::saveKeepsTheWordsOfNameAndQth() {
    FormFixture f;
    const QByteArray two = EntryRecord("XX9AB", "Abe Lin", "New York", "3/5/26 ", "9:07:00 AM ") +
                           EntryRecord("PA3X", "Piet", "Ede");
    THoofdForm& form = StartWithLogBook(f, two);
    TLogBookEditForm& e = *form.LogBookEditForm;
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog&) {
        TypeNumber(e, "1"); // back to the first record afterwards
        TypeNumber(e, "0");
        // Only the Info is corrected.
        QTest::keyClicks(e.InfoMemo, "qsl via buro");
        QTest::mouseClick(e.LogEditSaveKnop, Qt::LeftButton);
        QCOMPARE(e.NameEdit->text(), QString("Abe Lin"));
        QCOMPARE(e.QthEdit->text(), QString("New York"));
        QCOMPARE(e.CallEdit->text(), QString("XX9AB"));
    }));
    form.MenuEditLogBookClick();
    QCOMPARE(f.ReadFile("Halvuro.log"),
             EntryRecord("XX9AB", "Abe Lin", "New York", "3/5/26 ", "9:07:00 AM ", "qsl via buro") +
                 Rec(two, 1));
    // A blank in the call goes; blanks at the front of a name stay; date and
    // time keep theirs.
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog&) {
        e.CallEdit->setText("PA 3X  ");
        e.NameEdit->setText(" Piet de Vries   and his long name");
        e.DateEdit->setText(" 3/5/26  ");
        e.LogEditSaveKnopClick();
    }));
    form.MenuEditLogBookClick();
    QCOMPARE(f.ReadFile("Halvuro.log").mid(130),
             RawRecord("PA3X        ", " Piet de Vries   and", "Ede                 ", " 3/5/26  ",
                       "9:07:00 "));
    QCOMPARE(form.st.LogBookRecordCount, 2);
}

void LogBookEditorTest::typedLettersBecomeCapitals() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, EntryRecord("xx9ab", "bob", "rome"));
    TLogBookEditForm& e = *form.LogBookEditForm;
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog&) {
        QCOMPARE(e.CallEdit->text(), QString("xx9ab       ")); // shown as stored
        e.CallEdit->clear();
        QTest::keyClicks(e.CallEdit, "dl1abc");
        e.TimeEdit->clear();
        QTest::keyClicks(e.TimeEdit, "9:07 pm");
        QTest::keyClicks(e.NameEdit, "x");
        QCOMPARE(e.CallEdit->text(), QString("DL1ABC"));
        QCOMPARE(e.TimeEdit->text(), QString("9:07 PM"));
        QCOMPARE(e.NameEdit->text(), QString("bob                 x"));
    }));
    form.MenuEditLogBookClick();
}

void LogBookEditorTest::escapeAndClose() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(3));
    TLogBookEditForm& e = *form.LogBookEditForm;
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog&) {
        e.CallEdit->setFocus();
        QTest::keyClick(e.CallEdit, Qt::Key_Escape);
        QVERIFY(e.isVisible());
        QCOMPARE(form.st.LogBookPosition, 2);
        e.LogEditNextKnop->setFocus();
        QTest::keyClick(e.LogEditNextKnop, Qt::Key_Escape);
        QVERIFY(!e.isVisible());
    }));
    form.MenuEditLogBookClick();
    QCOMPARE(form.st.LogBookPosition, 3);
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog&) {
        TypeNumber(e, "1");
        QTest::mouseClick(e.CloseKnop, Qt::LeftButton);
        QVERIFY(!e.isVisible());
    }));
    form.MenuEditLogBookClick();
    QCOMPARE(form.st.LogBookPosition, 3);
    QCOMPARE(f.ReadFile("Halvuro.log"), NumberedRecords(3));
}

void LogBookEditorTest::failedWriteIsReported() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(3));
    TLogBookEditForm& e = *form.LogBookEditForm;
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog&) {
        form.LogBookFile.close();
        QTest::mouseClick(e.DeleteKnop, Qt::LeftButton);
        QVERIFY(e.isVisible());
        QTest::mouseClick(e.LogEditSaveKnop, Qt::LeftButton);
    }));
    form.MenuEditLogBookClick();
    QCOMPARE(f.prompts.Boxes().size(), 2);
    QVERIFY(f.prompts.Boxes()[0].startsWith("Dervalo|Error "));
    QCOMPARE(form.st.LogBookRecordCount, 3);
    QCOMPARE(f.ReadFile("Halvuro.log"), NumberedRecords(3));
}

QTEST_MAIN(LogBookEditorTest)
#include "tst_logbookeditor.moc"
