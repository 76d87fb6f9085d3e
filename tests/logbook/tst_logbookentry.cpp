// Picking words in the receive window for a new logbook entry, and the entry
// window "LogBook" that saves it as a record at the end of "Halvuro.log".
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "FormFixture.h"
#include "LogBookSupport.h"
#include "logbook/LogBookInvulForm.h"
#include "logbook/LogBookWidgets.h"

using namespace LogBookSupport;

namespace {
// Puts the text into the receive window and selects `word` in it, as a
// double click on it does.
void Select(THoofdForm& form, const QString& text, const QString& word) {
    form.ReceiveWindow->setPlainText(text);
    QTextCursor c = form.ReceiveWindow->textCursor();
    const int at = text.indexOf(word);
    c.setPosition(at);
    c.setPosition(at + word.size(), QTextCursor::KeepAnchor);
    form.ReceiveWindow->setTextCursor(c);
}
void Click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(4, 4));
}
} // namespace

class LogBookEntryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void pickingFillsCallNameAndQth();
    void secondCallClickKeepsTheDateAndRenewsTheTime();
    void saveAppendsTheTypedEntry();
    void saveOfAnEmptyEntry();
    void cancelAndCloseKeepTheTexts();
    void noPickWithTheLogBookOffOrNothingSelected();
    void wholeSelectionIsPicked();
    void failedWriteChangesNothing();
};

void LogBookEntryTest::pickingFillsCallNameAndQth() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f);
    Select(form, "cq cq de xx9abc123 k", "xx9abc123");
    QString call, name, qth, picked;
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog& d) {
        auto& e = static_cast<TLogBookInvulForm&>(d);
        Click(e.CallLabel);
        call = e.CallEdit->text();
        picked = form.st.PickedCall;
        Click(e.NameLabel);
        name = e.NameEdit->text();
        Click(e.QthEdit); // the box itself works as its label does
        qth = e.QthEdit->text();
    }));
    const quint64 before = f.clock.Elapsed();
    form.ReceiveWindowDblClick();
    QCOMPARE(f.prompts.Calls("modal"), QStringList{"modal|LogBookInvulForm"});
    QCOMPARE(call, QString("XX9ABC12"));
    QCOMPARE(picked, QString("XX9ABC12"));
    QCOMPARE(name, QString("XX9ABC12"));
    QCOMPARE(qth, QString("XX9ABC12"));
    // Half a second before the window, 0.8 s after each click.
    QCOMPARE(f.clock.Elapsed() - before, quint64(501 + 3 * 801));
    // Name and QTH take the pick as it is; only the call is put in capitals.
    Select(form, "name is bob", "bob");
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog& d) {
        auto& e = static_cast<TLogBookInvulForm&>(d);
        Click(e.NameEdit);
        name = e.NameEdit->text();
    }));
    form.ReceiveWindowDblClick();
    QCOMPARE(name, QString("bob"));
    QCOMPARE(form.st.PickedCall, QString("bob"));
}

void LogBookEntryTest::secondCallClickKeepsTheDateAndRenewsTheTime() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f);
    f.clock.SetNow(QDateTime(QDate(2026, 3, 5), QTime(9, 7, 0)));
    TLogBookInvulForm& e = *form.LogBookInvulForm;
    form.st.PickedCall = "pa3x";
    e.CallEditDblClick();
    QCOMPARE(e.DateEdit->text(), QString("3/5/26 "));
    QCOMPARE(e.TimeEdit->text(), QString("9:07:00 AM "));
    f.clock.SetNow(QDateTime(QDate(2026, 3, 6), QTime(10, 0, 0)));
    e.CallEditDblClick();
    QCOMPARE(e.DateEdit->text(), QString("3/5/26 "));
    QCOMPARE(e.TimeEdit->text(), QString("10:00:00 AM "));
    // Name and QTH leave date and time alone.
    e.TimeEdit->setText("x");
    e.NameEditDblClick();
    e.QthEditDblClick();
    QCOMPARE(e.TimeEdit->text(), QString("x"));
    // An emptied date box gets today's date again.
    e.DateEdit->clear();
    e.CallEditDblClick();
    QCOMPARE(e.DateEdit->text(), QString("3/6/26 "));
}

void LogBookEntryTest::saveAppendsTheTypedEntry() {
    FormFixture f;
    const QByteArray one = NumberedRecords(1);
    THoofdForm& form = StartWithLogBook(f, one);
    const QString received = "cq de xx9ab k";
    Select(form, received, "xx9ab");
    int result = -1;
    f.prompts.modalActions.enqueue([&](QDialog& d) {
        auto& e = static_cast<TLogBookInvulForm&>(d);
        d.show();
        Click(e.CallLabel);
        QTest::keyClicks(e.NameEdit, "Bob Smith and a very long family name");
        QTest::keyClicks(e.QthEdit, "Rome");
        e.DateEdit->setText("3/5/26 ");
        e.TimeEdit->setText("9:07:00 AM ");
        QTest::keyClicks(e.InfoMemo, "tnx fer qso");
        QTest::keyClick(e.InfoMemo, Qt::Key_Return); // makes no new line
        QTest::keyClicks(e.InfoMemo, " 73");
        Click(e.LogInvulSaveKnop);
        result = d.result();
        return result;
    });
    form.ReceiveWindowDblClick();
    QCOMPARE(result, int(QDialog::Accepted));
    QVERIFY(!form.LogBookInvulForm->isVisible());
    QCOMPARE(f.ReadFile("Halvuro.log"),
             one + RawRecord("XX9AB       ", "Bob Smith and a very", "Rome                ",
                             "3/5/26 ", "9:07:00 AM ", "tnx fer qso 73"));
    QCOMPARE(form.st.LogBookRecordCount, 2);
    QCOMPARE(form.st.LogBookPosition, 2);
    const TLogBookInvulForm& e = *form.LogBookInvulForm;
    for (QLineEdit* box : {e.CallEdit, e.NameEdit, e.QthEdit, e.DateEdit, e.TimeEdit})
        QVERIFY(box->text().isEmpty());
    QVERIFY(e.InfoMemo->toPlainText().isEmpty());
    for (int field = 0; field < TLogBookRecord::kFieldCount; ++field)
        QVERIFY(form.st.LogBookRecord.Text(TLogBookRecord::Field(field)).isEmpty());
    QCOMPARE(form.ReceiveWindow->toPlainText(), received);

    // The call box takes at most 8 characters; a pasted second line of the
    // Info is not stored.
    form.st.PickedCall = "x";
    QTest::keyClicks(e.CallEdit, "pa3abcdefg");
    QCOMPARE(e.CallEdit->text(), QString("pa3abcde"));
    e.InfoMemo->setPlainText("first\nsecond");
    form.LogBookInvulForm->LogInvulSaveKnopClick();
    QCOMPARE(f.ReadFile("Halvuro.log").mid(260),
             RawRecord("pa3abcde    ", QByteArray(20, ' '), QByteArray(20, ' '), "", "", "first"));
}

void LogBookEntryTest::saveOfAnEmptyEntry() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f);
    form.LogBookInvulForm->LogInvulSaveKnopClick();
    form.LogBookInvulForm->LogInvulSaveKnopClick();
    const QByteArray empty =
        RawRecord(QByteArray(12, ' '), QByteArray(20, ' '), QByteArray(20, ' '), "", "", "");
    QCOMPARE(f.ReadFile("Halvuro.log"), empty + empty);
    QCOMPARE(form.st.LogBookRecordCount, 2);
}

void LogBookEntryTest::cancelAndCloseKeepTheTexts() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(1));
    Select(form, "de xx9ab", "xx9ab");
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog& d) {
        auto& e = static_cast<TLogBookInvulForm&>(d);
        Click(e.CallLabel);
        QTest::keyClicks(e.InfoMemo, "559");
        Click(e.CancelKnop);
    }));
    form.ReceiveWindowDblClick();
    Select(form, "op bob", "bob");
    QString call, name, info;
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog& d) {
        auto& e = static_cast<TLogBookInvulForm&>(d);
        call = e.CallEdit->text();
        info = e.InfoMemo->toPlainText();
        Click(e.NameLabel);
        name = e.NameEdit->text();
        Click(e.CloseKnop);
    }));
    form.ReceiveWindowDblClick();
    QCOMPARE(call, QString("XX9AB"));
    QCOMPARE(info, QString("559"));
    QCOMPARE(name, QString("bob"));
    QCOMPARE(f.ReadFile("Halvuro.log"), NumberedRecords(1));
    QCOMPARE(form.st.LogBookRecordCount, 1);
    QCOMPARE(form.LogBookInvulForm->NameEdit->text(), QString("bob"));
}

void LogBookEntryTest::noPickWithTheLogBookOffOrNothingSelected() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Start();
    form.st.PickedCall = "old";
    Select(form, "de xx9ab", "xx9ab");
    const quint64 before = f.clock.Elapsed();
    form.ReceiveWindowDblClick();
    QVERIFY(f.prompts.Calls("modal").isEmpty());
    QCOMPARE(form.st.PickedCall, QString("old"));
    QCOMPARE(f.clock.Elapsed(), before);
    QCOMPARE(form.ReceiveWindow->textCursor().selectedText(), QString("xx9ab"));

    form.LogBookClick();
    QTextCursor c = form.ReceiveWindow->textCursor();
    c.clearSelection();
    form.ReceiveWindow->setTextCursor(c);
    form.ReceiveWindowDblClick();
    QVERIFY(f.prompts.Calls("modal").isEmpty());
    QCOMPARE(form.st.PickedCall, QString("old"));
}

void LogBookEntryTest::wholeSelectionIsPicked() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f);
    Select(form, "qth new york\ncity", "new york\ncity");
    form.ReceiveWindowDblClick();
    QCOMPARE(form.st.PickedCall, QString("new york\r\ncity"));
    // The call takes the first 8 characters of it.
    form.LogBookInvulForm->CallEditDblClick();
    QCOMPARE(form.LogBookInvulForm->CallEdit->text(), QString("NEW YORK"));
}

void LogBookEntryTest::failedWriteChangesNothing() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(1));
    Select(form, "de xx9ab", "xx9ab");
    bool visibleAfterSave = false;
    QString callAfterSave;
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog& d) {
        auto& e = static_cast<TLogBookInvulForm&>(d);
        Click(e.CallLabel);
        form.LogBookFile.close(); // the file goes away under the window
        Click(e.LogInvulSaveKnop);
        visibleAfterSave = d.isVisible();
        callAfterSave = e.CallEdit->text();
    }));
    form.ReceiveWindowDblClick();
    QCOMPARE(f.prompts.Boxes().size(), 1);
    QVERIFY(f.prompts.Boxes()[0].startsWith("Dervalo|Error writing file "));
    QVERIFY(visibleAfterSave);
    QCOMPARE(callAfterSave, QString("XX9AB"));
    QCOMPARE(form.st.LogBookRecordCount, 1);
    QCOMPARE(form.st.LogBookPosition, 1);
    QCOMPARE(f.ReadFile("Halvuro.log"), NumberedRecords(1));
}

QTEST_MAIN(LogBookEntryTest)
#include "tst_logbookentry.moc"
