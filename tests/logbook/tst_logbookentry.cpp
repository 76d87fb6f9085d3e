// Picking words in the receive window for a new logbook entry, and the entry
// window "LogBook" that saves it as a record at the end of "Halvuro.log".
#include <QPushButton>
#include <QtTest>

#include "FormFixture.h"
#include "LogBookSupport.h"
#include "logbook/LogBookInvulForm.h"
#include "logbook/LogBookWidgets.h"

using namespace LogBookSupport;

namespace {
// Puts the text into the receive window and selects `word` in it, as a
// double click does, then picks it.
void Pick(THoofdForm& form, const QString& text, const QString& word) {
    form.ReceiveWindow->setPlainText(text);
    QTextCursor c = form.ReceiveWindow->textCursor();
    c.setPosition(text.indexOf(word));
    c.setPosition(text.indexOf(word) + word.size(), QTextCursor::KeepAnchor);
    form.ReceiveWindow->setTextCursor(c);
    form.ReceiveWindowDblClick();
}
void Click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(4, 4));
}
// The entry window, while it is shown.
void InEntry(FormFixture& f, std::function<void(TLogBookInvulForm&)> body) {
    f.prompts.modalActions.enqueue(
        WhileShown([body](QDialog& d) { body(static_cast<TLogBookInvulForm&>(d)); }));
}
} // namespace

class LogBookEntryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void pickingFillsCallNameAndQth();
    void secondCallClickKeepsTheDateAndRenewsTheTime();
    void saveAppendsTheTypedEntry();
    void cancelAndCloseKeepTheTexts();
    void noPickWithTheLogBookOffOrNothingSelected();
    void failedWriteChangesNothing();
};

void LogBookEntryTest::pickingFillsCallNameAndQth() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f);
    QStringList seen;
    InEntry(f, [&](TLogBookInvulForm& e) {
        Click(e.CallLabel);
        seen << e.CallEdit->text() << form.st.PickedCall;
        // The pick went into one field: later clicks only place the caret.
        Click(e.NameLabel);
        Click(e.QthEdit);
        seen << e.NameEdit->text() << e.QthEdit->text();
    });
    const quint64 before = f.clock.Elapsed();
    Pick(form, "cq cq de xx9abc123 k", "xx9abc123");
    QCOMPARE(f.prompts.Calls("modal"), QStringList{"modal|LogBookInvulForm"});
    QCOMPARE(seen, QStringList({"XX9ABC12", "XX9ABC12", "", ""}));
    // Half a second before the window, 0.8 s after the click that took it.
    QCOMPARE(f.clock.Elapsed() - before, quint64(501 + 801));
    // The box works as its label does.
    InEntry(f, [&](TLogBookInvulForm& e) { Click(e.QthEdit); });
    Pick(form, "qth rome", "rome");
    QCOMPARE(form.LogBookInvulForm->QthEdit->text(), QString("rome"));
    // The whole selection is picked, several words and lines as well.
    f.prompts.modalActions.enqueue([](QDialog&) { return 0; });
    Pick(form, "qth new york\ncity", "new york\ncity");
    QCOMPARE(form.st.PickedCall, QString("new york\r\ncity"));
}

void LogBookEntryTest::secondCallClickKeepsTheDateAndRenewsTheTime() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f);
    TLogBookInvulForm& e = *form.LogBookInvulForm;
    f.clock.SetNow(QDateTime(QDate(2026, 3, 5), QTime(9, 7, 0)));
    e.CallEditDblClick();
    QCOMPARE(e.DateEdit->text(), QString("3/5/26 "));
    QCOMPARE(e.TimeEdit->text(), QString("9:07:00 AM "));
    f.clock.SetNow(QDateTime(QDate(2026, 3, 6), QTime(22, 0, 0)));
    e.NameEditDblClick(); // leaves date and time alone
    QCOMPARE(e.TimeEdit->text(), QString("9:07:00 AM "));
    e.CallEditDblClick();
    QCOMPARE(e.DateEdit->text(), QString("3/5/26 "));
    QCOMPARE(e.TimeEdit->text(), QString("10:00:00 PM "));
}

void LogBookEntryTest::saveAppendsTheTypedEntry() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(1));
    int result = -1;
    InEntry(f, [&](TLogBookInvulForm& e) {
        Click(e.CallLabel);
        QTest::keyClicks(e.NameEdit, "Bob Smith and a very long family name");
        QTest::keyClicks(e.QthEdit, "Rome");
        e.DateEdit->setText("3/5/26 ");
        e.TimeEdit->setText("9:07:00 AM ");
        QTest::keyClicks(e.InfoMemo, "tnx fer qso");
        QTest::keyClick(e.InfoMemo, Qt::Key_Return); // makes no new line
        QTest::keyClicks(e.InfoMemo, " 73");
        Click(e.LogInvulSaveKnop);
        result = e.result();
        QVERIFY(!e.isVisible());
    });
    Pick(form, "cq de xx9ab k", "xx9ab");
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(f.ReadFile("Halvuro.log"),
             NumberedRecords(1) + RawRecord("XX9AB       ", "Bob Smith and a very",
                                            "Rome                ", "3/5/26 ", "9:07:00 AM ",
                                            "tnx fer qso 73"));
    QCOMPARE(form.st.LogBookRecordCount, 2);
    QCOMPARE(form.st.LogBookPosition, 2);
    TLogBookInvulForm& e = *form.LogBookInvulForm;
    for (QLineEdit* box : {e.CallEdit, e.NameEdit, e.QthEdit, e.DateEdit, e.TimeEdit})
        QVERIFY(box->text().isEmpty());
    QVERIFY(e.InfoMemo->toPlainText().isEmpty());
    QCOMPARE(form.st.LogBookRecord.Text(TLogBookRecord::Call), QString());
    // The picked call's worked-before line stands above the received line
    // it was picked from, which is left whole to go on.
    QVERIFY(form.ReceiveWindow->toPlainText().startsWith("*** "));
    QVERIFY(form.ReceiveWindow->toPlainText().endsWith(" UTC  XX9AB: first contact\ncq de xx9ab k"));
    // At most 8 characters go into the call box; only the first line of a
    // pasted Info is stored.
    QTest::keyClicks(e.CallEdit, "pa3abcdefg");
    e.InfoMemo->setPlainText("first\nsecond");
    e.LogInvulSaveKnopClick();
    QCOMPARE(f.ReadFile("Halvuro.log").mid(260),
             RawRecord("pa3abcde    ", QByteArray(20, ' '), QByteArray(20, ' '), "", "", "first"));
}

void LogBookEntryTest::cancelAndCloseKeepTheTexts() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(1));
    InEntry(f, [&](TLogBookInvulForm& e) {
        Click(e.CallLabel);
        QTest::keyClicks(e.InfoMemo, "559");
        Click(e.CancelKnop);
    });
    Pick(form, "de xx9ab", "xx9ab");
    QStringList seen;
    InEntry(f, [&](TLogBookInvulForm& e) {
        Click(e.NameLabel);
        seen << e.CallEdit->text() << e.NameEdit->text() << e.InfoMemo->toPlainText();
        Click(e.CloseKnop);
    });
    Pick(form, "op bob", "bob");
    QCOMPARE(seen, QStringList({"XX9AB", "bob", "559"}));
    QCOMPARE(f.ReadFile("Halvuro.log"), NumberedRecords(1));
    QCOMPARE(form.st.LogBookRecordCount, 1);
}

void LogBookEntryTest::noPickWithTheLogBookOffOrNothingSelected() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Start();
    form.st.PickedCall = "old";
    const quint64 before = f.clock.Elapsed();
    Pick(form, "de xx9ab", "xx9ab");
    QCOMPARE(form.ReceiveWindow->textCursor().selectedText(), QString("xx9ab"));
    form.LogBookClick();
    Pick(form, "de xx9ab", "");
    QVERIFY(f.prompts.Calls("modal").isEmpty());
    QCOMPARE(form.st.PickedCall, QString("old"));
    QCOMPARE(f.clock.Elapsed(), before);
}

void LogBookEntryTest::failedWriteChangesNothing() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(1));
    InEntry(f, [&](TLogBookInvulForm& e) {
        Click(e.CallLabel);
        form.LogBookFile.close(); // the file goes away under the window
        Click(e.LogInvulSaveKnop);
        QVERIFY(e.isVisible());
        QCOMPARE(e.CallEdit->text(), QString("XX9AB"));
    });
    Pick(form, "de xx9ab", "xx9ab");
    QCOMPARE(f.prompts.Boxes().size(), 1);
    QVERIFY(f.prompts.Boxes()[0].startsWith("Dervalo|Error writing file "));
    QCOMPARE(form.st.LogBookRecordCount, 1);
    QCOMPARE(form.st.LogBookPosition, 1);
    QCOMPARE(f.ReadFile("Halvuro.log"), NumberedRecords(1));
}

QTEST_MAIN(LogBookEntryTest)
#include "tst_logbookentry.moc"
